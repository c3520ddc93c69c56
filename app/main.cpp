#include "app/CommandLineHelp.h"
#include "app/GuardedApplication.h"
#include "app/LineProviderSetup.h"
#include "app/MainWindow.h"
#include "app/RegionCommand.h"
#include "app/Translations.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/ProgramFolder.h"
#include "platform/SingleInstance.h"
#include "platform/telephony/MqttLineProvider.h"
#include "platform/telephony/NetworkCallLine.h"
#include "platform/telephony/SipLineProvider.h"
#include "platform/ui/ExceptionReport.h"
#include "platform/ui/MessageBoxes.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    if (CommandLineHelp::requested(argc, argv)) {
        QCoreApplication app(argc, argv);
        if (!Translations::setUp(app.arguments()))
            return 2;
        return CommandLineHelp::run(app.arguments());
    }
    // A region query from a script needs no display and no window.
    if (RegionCommand::requested(argc, argv)) {
        QCoreApplication app(argc, argv);
        if (!Translations::setUp(app.arguments()))
            return 2;
        return RegionCommand::run(app.arguments());
    }
    GuardedApplication app(argc, argv);
    if (!Translations::setUp(app.arguments()))
        return 2;
    try {
        // One copy per program folder, locked before a new folder gets the shipped files, so
        // that two copies started together never copy into it at once.
        SingleInstance instance(QCoreApplication::applicationFilePath(), ProgramFolder::resolve(app.arguments()));
        QString error;
        switch (instance.tryLock(&error)) {
        case SingleInstance::Result::Locked:
            break;
        case SingleInstance::Result::AlreadyRunning:
            MessageBoxes::show({QMessageBox::Critical, QCoreApplication::translate("main", "错误"),
                                QCoreApplication::translate("main", "维诺星已经在运行！"), QMessageBox::Ok,
                                QMessageBox::Ok});
            return 0;
        case SingleInstance::Result::Failed:
            MessageBoxes::show({QMessageBox::Critical, QCoreApplication::translate("main", "错误"), error,
                                QMessageBox::Ok, QMessageBox::Ok});
            return 0;
        }
        Application::setTitle(QCoreApplication::translate("main", "维诺星系列－来电显示"));
        if (!ProgramFolder::init(app.arguments(), &error))
            throw Error(error);
        Application::setHelpFile(ProgramFolder::path() + QStringLiteral("Vornx.CHM"));
        SipLineProvider* sipLine = InstallLineProviders();

        MainWindow window;
        // The registration state is part of the line's report: shown as soon as it changes.
        QObject::connect(sipLine, &SipLineProvider::registrationChanged, &window, &MainWindow::showLineReport);
        for (NetworkCallLine* line : InstalledNetworkLines()) {
            QObject::connect(line, &NetworkCallLine::stateChanged, &window, &MainWindow::showLineReport);
            if (auto* mqtt = qobject_cast<MqttLineProvider*>(line))
                window.publishCallsThrough(*mqtt);
        }
        QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
        window.startUp();
        window.show();
        app.exec();
    } catch (const std::exception& e) {
        ShowExceptionReport(e);
    }
    return 0;
}
