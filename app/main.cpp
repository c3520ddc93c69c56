#include "app/LineProviderSetup.h"
#include "app/MainForm.h"
#include "app/RegionCommand.h"
#include "lookup/DataModule.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // A region query from a script needs no display and no window.
    if (RegionCommand::requested(argc, argv)) {
        QCoreApplication app(argc, argv);
        return RegionCommand::run(app.arguments());
    }
    QApplication app(argc, argv);
    QString error;
    if (!ProgramFolder::init(app.arguments(), &error)) {
        MessageBoxes::show(
            {QMessageBox::Critical, QStringLiteral("错误提示"), error, QMessageBox::Ok, QMessageBox::Ok});
        return 0;
    }
    InstallLineProviders();
    TDataModule1 dataModule(ProgramFolder::path());
    DataModule1 = &dataModule;
    TMainForm form;
    MainForm = &form;
    form.show();
    const int rc = app.exec();
    MainForm = nullptr;
    DataModule1 = nullptr;
    return rc == 0 ? 0 : rc;
}
