#include "app/MainWindow.h"

#include "app/LineMonitorWindow.h"
#include "capture/LineMessage.h"
#include "capture/ModemLine.h"

namespace {
// A simulated call is posted as the modem posts its numbers.
constexpr qintptr kModemNumber = 121;
} // namespace

void MainWindow::showLineMonitor()
{
    if (!m_lineMonitor) {
        m_lineMonitor = new LineMonitorWindow(this);
        connect(m_modem, &ModemLine::dataReceived, m_lineMonitor, &LineMonitorWindow::addReceived);
        connect(m_modem, &ModemLine::dataSent, m_lineMonitor, &LineMonitorWindow::addSent);
        connect(m_modem, &ModemLine::reportRecognised, m_lineMonitor, &LineMonitorWindow::addReport);
        // The whole road of a call, without a modem: the notification, the lookup, the
        // caller window and the call log all see it as a modem's report.
        connect(m_lineMonitor, &LineMonitorWindow::simulatedCall, this,
                [this](const QByteArray& number) { postMessage(WM_CALLER_NUMBER, number, kModemNumber); });
    }
    m_lineMonitor->show();
    m_lineMonitor->raise();
    m_lineMonitor->activateWindow();
}
