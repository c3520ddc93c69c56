# The modem path: caller-ID parsing, the serial port over pseudo-terminals with the
# virtual modem, and the main window's modem handling.
vornx_add_test(tst_calleridparser SOURCES capture/tst_calleridparser.cpp LIBS capture)
vornx_add_test(tst_mscomm SOURCES platform/tst_mscomm.cpp LIBS capture)
target_include_directories(tst_mscomm PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_mscomm vmodem)
vornx_add_test(tst_modemreception SOURCES app/tst_modemreception.cpp LIBS app_shell)
target_include_directories(tst_modemreception PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_modemreception vmodem)
vornx_add_test(tst_mainformmodem SOURCES app/tst_mainformmodem.cpp LIBS app_shell TIMEOUT 180)
target_include_directories(tst_mainformmodem PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_mainformmodem vmodem)
