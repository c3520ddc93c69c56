# Data-layer tests run on real databases; a throwaway PostgreSQL server is started for them.
set(VORNX_PG_STATE ${CMAKE_CURRENT_BINARY_DIR}/pgserver.state)
add_test(NAME pgserver_start COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/support/pgserver.sh start ${VORNX_PG_STATE})
add_test(NAME pgserver_stop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/support/pgserver.sh stop ${VORNX_PG_STATE})
set_tests_properties(pgserver_start PROPERTIES FIXTURES_SETUP postgres)
set_tests_properties(pgserver_stop PROPERTIES FIXTURES_CLEANUP postgres)
function(vornx_add_db_test name)
    vornx_add_test(${name} ${ARGN})
    target_sources(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support/TestDatabases.cpp)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "VORNX_PG_STATE=${VORNX_PG_STATE}")
    # They create and drop their tables in the server's one database: one at a time.
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED postgres RESOURCE_LOCK postgres_tables)
endfunction()
vornx_add_db_test(tst_dbaccess SOURCES lookup/tst_dbaccess.cpp LIBS lookup)
vornx_add_test(tst_datasourcesettings SOURCES lookup/tst_datasourcesettings.cpp LIBS lookup)
vornx_add_test(tst_statementrunner SOURCES lookup/tst_statementrunner.cpp LIBS lookup)
vornx_add_test(tst_accessmirror SOURCES platform/tst_accessmirror.cpp LIBS platform_db)
vornx_add_db_test(tst_lookupsources SOURCES lookup/tst_lookupsources.cpp LIBS lookup_ui setup)
vornx_add_test(tst_setupwizards SOURCES setup_ui/tst_setupwizards.cpp support/TestDatabases.cpp LIBS setup_ui lookup_ui platform_sound Qt6::Network)
# The wizard's logic, without a display.
vornx_add_test(tst_setuplogic SOURCES setup/tst_setuplogic.cpp support/TestDatabases.cpp LIBS setup)
vornx_add_db_test(tst_numberindex SOURCES lookup/tst_numberindex.cpp LIBS lookup)
# User data sources in the home folder and system ones, listed and opened.
vornx_add_test(tst_odbcdatasources SOURCES platform/tst_odbcdatasources.cpp support/TestDatabases.cpp LIBS lookup)
