# Call history, the call record sheet and the caller window's commands.
vornx_add_test(tst_callsheet SOURCES lookup/tst_callsheet.cpp LIBS lookup)
vornx_add_test(tst_celldocument SOURCES lookup/tst_celldocument.cpp LIBS lookup)
vornx_add_test(tst_callhistory SOURCES lookup/tst_callhistory.cpp LIBS lookup)
# The chart is looked into through Qt Charts, as the plugin made it.
vornx_add_test(tst_historywindow SOURCES lookup_ui/tst_historywindow.cpp support/CallerWindowFixture.h
    LIBS lookup_ui Qt6::Charts)
target_include_directories(tst_historywindow PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
# The same window where its chart plugin cannot be found.
vornx_add_test(tst_historywithoutchart SOURCES lookup_ui/tst_historywithoutchart.cpp LIBS lookup_ui WITHOUT_PLUGINS)
vornx_add_test(tst_callercommands SOURCES lookup_ui/tst_callercommands.cpp support/CallerWindowFixture.h LIBS lookup_ui)
target_include_directories(tst_callercommands PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
vornx_add_test(tst_callhistoryroad SOURCES app/tst_callhistoryroad.cpp LIBS app_shell)
target_include_directories(tst_callhistoryroad PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_callhistoryroad vmodem vornx vornx_demo_db area_dat)
