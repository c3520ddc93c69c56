#pragma once

#include <QApplication>

// The application object. An error that escapes a handler is shown by the standard
// exception report and the program goes on. Closing the last visible window does not end
// the program: only the main window's close does (see main).
class GuardedApplication final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GuardedApplication)

public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
