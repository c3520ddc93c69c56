# The program as the desktop sees it: its package, its command line, its notifications.
# The Debian package, built from this build by CPack and unpacked into a throw-away root.
vornx_add_test(tst_package SOURCES e2e/tst_package.cpp LIBS Qt6::Gui TIMEOUT 600)
target_compile_definitions(tst_package PRIVATE VORNX_BUILD_DIR="${CMAKE_BINARY_DIR}" VORNX_VERSION="${PROJECT_VERSION}"
                           VORNX_PLUGIN_SUBDIR="${VORNX_PLUGIN_SUBDIR}")
add_dependencies(tst_package vornx vmodem simline vornx_sounds vornx_demo_db area_dat vornx_desktop_files)
# What a packaged program answers on its command line.
vornx_add_test(tst_commandline SOURCES app/tst_commandline.cpp)
target_compile_definitions(tst_commandline PRIVATE VORNX_VERSION="${PROJECT_VERSION}")
add_dependencies(tst_commandline vornx)
# The caller in the desktop's notification, against a notification service of the test.
vornx_add_test(tst_desktopnotifier SOURCES platform/tst_desktopnotifier.cpp support/NotificationServer.h LIBS platform_desktop)
vornx_add_test(tst_desktopnotification SOURCES app/tst_desktopnotification.cpp support/NotificationServer.h LIBS app_shell)
add_dependencies(tst_desktopnotification area_dat vornx_demo_db)
