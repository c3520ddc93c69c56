#include "app/MainWindow.h"

#include "app/LoadingNotice.h"
#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/RegionQueryWindow.h"
#include "lookup/RegionQuery.h"
#include "lookup/CallerWindow.h"
#include "platform/ui/ExceptionReport.h"
#include "platform/ui/MessageBoxes.h"

#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

void MainWindow::loadRegionTable()
{
    // The caller window finds the regions of its numbers in this window's table.
    CallerWindow::setRegionLookup([form = QPointer<MainWindow>(this)](const QString& number) {
        return form && form->m_regionTable ? RegionQuery::district(*form->m_regionTable, number) : QString();
    });
    if (!m_loadingNotice)
        m_loadingNotice = new LoadingNotice(this);
    m_loadingNotice->showNow();
    AreaCodeLoad load;
    {
        // The notice goes whatever happens while loading, before any message is shown.
        const auto closeNotice = qScopeGuard([this] { delete m_loadingNotice; });
        load = AreaCodeFile::load(m_programFolder + QStringLiteral("area.dat"), *m_regionTable);
    }
    // A region table that cannot be read costs the region display, not the telephone
    // devices and settings of the steps after this one: it is reported, not raised.
    if (!load.error.isEmpty())
        ShowExceptionReport(load.error);
    else if (load.skipped > 0)
        ShowWarningBox(load.skipNotice());
}

void MainWindow::ShowPhoneQryForm()
{
    if (!PhoneQryForm) {
        PhoneQryForm = new RegionQueryWindow(*m_regionTable, this);
        connect(PhoneQryForm, &RegionQueryWindow::callerInfoRequested, this, &MainWindow::ShowCallerInfo);
        PhoneQryForm->btnInfo->setEnabled(true);
    }
    PhoneQryForm->show();
    PhoneQryForm->raise();
    PhoneQryForm->activateWindow();
}

void MainWindow::ShowCallerInfo(const QString& number)
{
    if (!ShowInfoDlg)
        ShowInfoDlg = new CallerWindow(this);
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
