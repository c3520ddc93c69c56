# Calls from the network: an NCID server scripted by the test, and a mosquitto broker the
# tests start on a free loopback port (with a password file and TLS certificates made there).
vornx_add_test(tst_ncidline SOURCES platform/tst_ncidline.cpp LIBS capture Qt6::Network)
vornx_add_test(tst_mqttline SOURCES platform/tst_mqttline.cpp LIBS app_shell Qt6::Network TIMEOUT 180)
# Several desks: the built program as publisher on the virtual modem and as listeners.
vornx_add_test(tst_mqttdesks SOURCES e2e/tst_mqttdesks.cpp e2e/ProgramRun.h LIBS Qt6::Sql Qt6::Network TIMEOUT 300)
target_include_directories(tst_mqttdesks PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(tst_mqttdesks vornx vmodem area_dat)
# The MQTT client and line where the libmosquitto.so.1 found first lacks its functions.
add_library(mosquitto_impostor SHARED support/NotMosquitto.cpp)
set_target_properties(mosquitto_impostor PROPERTIES OUTPUT_NAME mosquitto SOVERSION 1
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/impostor)
vornx_add_test(tst_mqttwithoutlibrary SOURCES platform/tst_mqttwithoutlibrary.cpp LIBS platform_telephony)
add_dependencies(tst_mqttwithoutlibrary mosquitto_impostor)
set_tests_properties(tst_mqttwithoutlibrary PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANGUAGE=zh_CN;LD_LIBRARY_PATH=${CMAKE_CURRENT_BINARY_DIR}/impostor")
vornx_add_test(tst_networklinedialog SOURCES platform/tst_networklinedialog.cpp LIBS platform_ui)
