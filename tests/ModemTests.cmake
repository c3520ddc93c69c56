# The modem path: caller-ID parsing, the serial port and the modem line over
# pseudo-terminals with the virtual modem, and the main window's wiring of its devices.
vornx_add_test(tst_calleridparser SOURCES capture/tst_calleridparser.cpp LIBS capture)
vornx_add_test(tst_serialport SOURCES platform/tst_serialport.cpp LIBS capture)
target_include_directories(tst_serialport PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_serialport vmodem)
vornx_add_test(tst_modemline SOURCES capture/tst_modemline.cpp LIBS capture TIMEOUT 180)
target_include_directories(tst_modemline PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_modemline vmodem)
vornx_add_test(tst_mainwindowmodem SOURCES app/tst_mainwindowmodem.cpp LIBS app_shell TIMEOUT 180)
target_include_directories(tst_mainwindowmodem PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_mainwindowmodem vmodem)
vornx_add_test(tst_modemendtoend SOURCES app/tst_modemendtoend.cpp LIBS platform)
target_include_directories(tst_modemendtoend PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_modemendtoend vmodem vornx)
# The program's own application object: only its close command ends it.
vornx_add_test(tst_quitpolicy SOURCES app/tst_quitpolicy.cpp LIBS app_shell)
target_include_directories(tst_quitpolicy PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_quitpolicy vmodem)
