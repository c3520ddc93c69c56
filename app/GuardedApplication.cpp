#include "app/GuardedApplication.h"

#include "platform/ui/ExceptionReport.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv)
{
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
