#include "app/MainWindow.h"

#include "app/DeviceSettings.h"
#include "capture/ModemLine.h"
#include "capture/TelephonyLine.h"
#include "lookup/BlockList.h"
#include "lookup/BlockListWindow.h"
#include "platform/ui/MessageBoxes.h"

void MainWindow::turnAway(const QString& number)
{
    callerWindow();
    QString error;
    const bool newCall = m_callerLookup->turnAway(number, &error);
    if (!error.isEmpty())
        tell({{CallerRecord::Notice::Error, error}});
    // A repeated caller ID of the same call is not answered a second time.
    if (!newCall || !DeviceSettings(settingsFile()).readSystem().blockAnswer)
        return;
    if (m_monitoredDevice == MonitoredDevice::Line) {
        if (m_line)
            m_line->declineCall();
        return;
    }
    if (m_monitoredDevice == MonitoredDevice::Modem) {
        if (!m_modem->answerAndHangUp(&error))
            tell({{CallerRecord::Notice::Error, QStringLiteral("MODEM错误:") + error}});
    }
}

void MainWindow::showBlockList()
{
    QString error;
    if (!m_blockList->load(&error))
        ShowWarningBox(error);
    if (!m_blockListWindow) {
        m_blockListWindow =
            new BlockListWindow(*m_blockList, DeviceSettings(settingsFile()).readSystem().blockAnswer, this);
        m_blockListWindow->setObjectName(QStringLiteral("blockListWindow"));
        connect(m_blockListWindow, &BlockListWindow::answerBlockedChanged, this,
                [this](bool on) { reportSettingsWrite(DeviceSettings(settingsFile()).writeBlockAnswer(on)); });
    }
    m_blockListWindow->refresh();
    m_blockListWindow->show();
    m_blockListWindow->raise();
    m_blockListWindow->activateWindow();
}

void MainWindow::blockNumber(const QString& number)
{
    QString error;
    if (!m_blockList->add(number, QString(), &error)) {
        ShowWarningBox(error);
        return;
    }
    storeBlockList();
}

void MainWindow::unblockNumber(const QString& number)
{
    if (m_blockList->remove(number))
        storeBlockList();
}

bool MainWindow::isBlocked(const QString& number) const
{
    return m_blockList->match(number).has_value();
}

void MainWindow::storeBlockList()
{
    QString error;
    if (!m_blockList->save(&error))
        ShowWarningBox(error);
    if (m_blockListWindow)
        m_blockListWindow->refresh();
}
