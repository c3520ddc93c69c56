#include "app/GuardedApplication.h"

#include "platform/ui/ExceptionReport.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The main window spends its life hidden behind the tray icon, so a message box or a
    // wizard is often the only window on screen; closing it must not end the monitoring.
    // The program ends when its main window closes ("关闭", the updater's start, the end
    // of the session).
    setQuitOnLastWindowClosed(false);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowExceptionReport(e);
    }
    return false;
}
