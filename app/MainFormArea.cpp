#include "app/MainForm.h"

#include "app/FShowMsg.h"
#include "lookup/AreaCode.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/PhoneQryForm.h"
#include "lookup/RegionQuery.h"
#include "lookup/ShowInfoDlg.h"
#include "platform/ui/ExceptionReport.h"
#include "platform/ui/MessageBoxes.h"

#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

void TMainForm::LoadAreaCodes()
{
    // The caller window finds the regions of its numbers in this window's table.
    TShowInfoDlg::setRegionLookup([form = QPointer<TMainForm>(this)](const QString& number) {
        return form && form->AreaTable ? RegionQuery::district(*form->AreaTable, number) : QString();
    });
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
    if (!PhoneQryForm) {
        PhoneQryForm = new TPhoneQryForm(*AreaTable, this);
        connect(PhoneQryForm, &TPhoneQryForm::callerInfoRequested, this, &TMainForm::ShowCallerInfo);
        PhoneQryForm->btnInfo->setEnabled(true);
    }
    PhoneQryForm->show();
    PhoneQryForm->raise();
    PhoneQryForm->activateWindow();
}

void TMainForm::ShowCallerInfo(const QString& number)
{
    if (!ShowInfoDlg)
        ShowInfoDlg = new TShowInfoDlg(this);
    // Closed first so that the window looks the number up even while it is on screen; the
    // arrival sound is for calls, not for a number the user typed.
    ShowInfoDlg->close();
    ShowInfoDlg->SoundOn = false;
    ShowInfoDlg->PhoneNo = number;
    ShowInfoDlg->show();
    ShowInfoDlg->SoundOn = true;
    ShowInfoDlg->raise();
    ShowInfoDlg->activateWindow();
}
