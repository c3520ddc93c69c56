# The road of a call: number taken from the line, caller window, sounds, call log.
vornx_add_test(tst_incomingnumber SOURCES app/tst_incomingnumber.cpp LIBS app_core)
vornx_add_test(tst_callerstatement SOURCES lookup/tst_callerstatement.cpp LIBS lookup)
vornx_add_test(tst_calllog SOURCES lookup/tst_calllog.cpp LIBS lookup)
vornx_add_test(tst_sound SOURCES platform/tst_sound.cpp LIBS platform_sound)
add_dependencies(tst_sound vornx_sounds)
vornx_add_test(tst_showinfodlg SOURCES lookup_ui/tst_showinfodlg.cpp LIBS lookup_ui)
vornx_add_test(tst_mainformnotify SOURCES app/tst_mainformnotify.cpp LIBS app_shell)
