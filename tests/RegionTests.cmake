# The region table, its file and command line, the query window and the main window's use of them.
# Most of them read the table the build generates.
vornx_add_test(tst_regiontable SOURCES lookup/tst_regiontable.cpp LIBS lookup)
vornx_add_test(tst_areacodefile SOURCES lookup/tst_areacodefile.cpp LIBS lookup)
add_dependencies(tst_areacodefile area_dat)
vornx_add_test(tst_regiontablecache SOURCES lookup/tst_regiontablecache.cpp LIBS lookup)
add_dependencies(tst_regiontablecache area_dat)
vornx_add_test(tst_regioncommand SOURCES app/tst_regioncommand.cpp)
add_dependencies(tst_regioncommand vornx area_dat)
vornx_add_test(tst_regionquerywindow SOURCES lookup_ui/tst_regionquerywindow.cpp LIBS lookup_ui)
add_dependencies(tst_regionquerywindow vornx area_dat)
vornx_add_test(tst_mainwindowarea SOURCES app/tst_mainwindowarea.cpp LIBS app_shell)
add_dependencies(tst_mainwindowarea area_dat)
