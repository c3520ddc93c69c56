#include "app/MainForm.h"

#include "app/FShowMsg.h"
#include "lookup/AreaCode.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/PhoneQryForm.h"
#include "platform/ui/ExceptionReport.h"
#include "platform/ui/MessageBoxes.h"

#include <QScopeGuard>

void TMainForm::LoadAreaCodes()
{
    if (!FShowMsg)
        FShowMsg = new TFShowMsg(this);
    FShowMsg->showNow();
    AreaCodeLoad load;
    {
        // The notice goes whatever happens while loading, before any message is shown.
        const auto closeNotice = qScopeGuard([] {
            delete FShowMsg;
            FShowMsg = nullptr;
        });
        load = AreaCodeFile::load(AppPath + QStringLiteral("area.dat"), *AreaTable);
    }
    // A region table that cannot be read costs the region display, not the telephone
    // devices and settings of the steps after this one: it is reported, not raised.
    if (!load.error.isEmpty())
        ShowExceptionReport(load.error);
    else if (load.skipped > 0)
        ShowWarningBox(load.skipNotice());
}

void TMainForm::ShowPhoneQryForm()
{
    if (!PhoneQryForm)
        PhoneQryForm = new TPhoneQryForm(*AreaTable, this);
    PhoneQryForm->show();
    PhoneQryForm->raise();
    PhoneQryForm->activateWindow();
}
