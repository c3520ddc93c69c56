# Files shipped beside the executable. Each one is registered by name so that the
# program can copy the whole set into a new program folder (see ProgramFolder).

# vornx_ship_file(SOURCE [NAME name]): copy a file of the source tree beside the executable.
function(vornx_ship_file source)
    cmake_parse_arguments(S "" "NAME" "" ${ARGN})
    if(NOT S_NAME)
        get_filename_component(S_NAME ${source} NAME)
    endif()
    configure_file(${source} ${VORNX_BIN_DIR}/${S_NAME} COPYONLY)
    set_property(GLOBAL APPEND PROPERTY VORNX_SHIPPED ${S_NAME})
endfunction()

# vornx_ship_generated(name): register a file that a build rule writes into VORNX_BIN_DIR.
function(vornx_ship_generated name)
    set_property(GLOBAL APPEND PROPERTY VORNX_SHIPPED ${name})
endfunction()

function(vornx_write_ship_manifest)
    get_property(names GLOBAL PROPERTY VORNX_SHIPPED)
    list(REMOVE_DUPLICATES names)
    list(JOIN names "\n" text)
    file(GENERATE OUTPUT ${VORNX_BIN_DIR}/vornx.files CONTENT "${text}\n")
endfunction()
