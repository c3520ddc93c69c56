#include "app/MainWindow.h"

#include "app/LoadingNotice.h"
#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/RegionQueryWindow.h"
#include "platform/ui/ExceptionReport.h"
#include "platform/ui/MessageBoxes.h"

#include <QScopeGuard>

void MainWindow::loadRegionTable()
{
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

void MainWindow::showRegionQuery()
{
    if (!m_regionQueryWindow) {
        m_regionQueryWindow = new RegionQueryWindow(*m_regionTable, this);
        connect(m_regionQueryWindow, &RegionQueryWindow::callerInfoRequested, this, &MainWindow::showCallerInfo);
        m_regionQueryWindow->enableCallerInfo();
    }
    m_regionQueryWindow->show();
    m_regionQueryWindow->raise();
    m_regionQueryWindow->activateWindow();
}
