#include "app/MainForm.h"

#include "platform/ProgramFolder.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), AppPath(ProgramFolder::path())
{
    setWindowTitle(QStringLiteral("维诺星系列－来电显示V3.0"));
    resize(439, 533);
}

TMainForm::~TMainForm() = default;
