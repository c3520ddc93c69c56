# Parts of the program whose libraries are large and seldom needed (the history chart, sound,
# the SIP stack) are Qt plugins, loaded when first used, so that the program resident in the
# tray all day does not map those libraries. They live in <libdir>/vornx of an installed
# program; a build puts them at the same place relative to its bin folder, so that the
# program finds them the same way in both.
include(GNUInstallDirs)
file(RELATIVE_PATH VORNX_PLUGIN_SUBDIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/vornx)
get_filename_component(VORNX_PLUGIN_BUILD_DIR ${VORNX_BIN_DIR}/${VORNX_PLUGIN_SUBDIR} ABSOLUTE)

# vornx_add_plugin(name SOURCES ... [LIBS ...])
function(vornx_add_plugin name)
    cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} MODULE ${P_SOURCES})
    target_link_libraries(${name} PRIVATE ${P_LIBS})
    set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${VORNX_PLUGIN_BUILD_DIR})
    install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vornx)
endfunction()
