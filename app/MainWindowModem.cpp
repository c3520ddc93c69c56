#include "app/MainWindow.h"

#include "capture/LineMessage.h"
#include "capture/ModemLine.h"
#include "capture/TelephonyLine.h"
#include "platform/ui/MessageBoxes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QRadioButton>

namespace {
// The modem says every ring itself, so each of its rings is a single one (see startRinging).
constexpr qintptr kModemRing = 4;
constexpr qintptr kModemNumber = 121;

void ShowBox(const QString& caption, const QString& text)
{
    MessageBoxes::show({QMessageBox::NoIcon, caption, text, QMessageBox::Ok, QMessageBox::Ok});
}

void ShowError(const QString& text)
{
    ShowBox(QCoreApplication::translate("MainWindow", "错误提示"), text);
}

// A command as the modem gets it: the box's text as typed.
QByteArray CommandText(const QComboBox* box)
{
    return box->currentText().toLocal8Bit();
}
} // namespace

void MainWindow::connectModem()
{
    connect(m_modem, &ModemLine::callerNumber, this,
            [this](const QByteArray& number) { postMessage(WM_CALLER_NUMBER, number, kModemNumber); });
    connect(m_modem, &ModemLine::ringing, this, [this] { postMessage(WM_LINE_RING, {}, kModemRing); });
    connect(m_modem, &ModemLine::portLost, this, &MainWindow::showModemLost);
}

void MainWindow::postMessage(int id, const QByteArray& text, qintptr lParam)
{
    QCoreApplication::postEvent(this, new LineMessage(LineMessageId(id), text, lParam));
}

ModemCommands MainWindow::modemCommands() const
{
    return {m_portCombo->currentIndex() + 1, CommandText(m_initCommandCombo), CommandText(m_callerIdCommandCombo)};
}

void MainWindow::chooseModemDefaults()
{
    const int port = m_modem->findModemPort();
    m_portCombo->setCurrentIndex(port > 0 ? port - 1 : 0);
    describePorts();
    m_callerIdCommandCombo->setCurrentIndex(0);
    m_initCommandCombo->setCurrentIndex(0);
}

bool MainWindow::startModemMonitoring(QString* device)
{
    const ModemCommands commands = modemCommands();
    *device = QStringLiteral("Modem: COM%1").arg(commands.port);
    // A modem already monitored on the same choice is left alone; a changed port or
    // command starts it afresh, and one that refused its start-up is tried again.
    QString error;
    if (m_modem->startMonitoring(commands, &error))
        return true;
    ShowError(error);
    return false;
}

void MainWindow::startMonitoring()
{
    bool started = false;
    QString device;
    if (m_lineRadio->isChecked()) {
        started = openLineForMonitoring(&device);
        m_monitoredDevice = MonitoredDevice::Line;
        storeDeviceChoice();
    } else if (m_modemRadio->isChecked()) {
        started = startModemMonitoring(&device);
        m_monitoredDevice = MonitoredDevice::Modem;
        storeDeviceChoice();
    }
    showMonitoringState(started ? MonitoringState::On : MonitoringState::Off, device);
    // A start that failed keeps the window on screen, where the user can change the choice;
    // only a working one leaves it for the tray.
    if (started)
        sendToTray();
}

void MainWindow::testModem()
{
    QString error;
    QString restartError;
    if (m_modem->test(modemCommands(), &error, &restartError))
        ShowBox(tr("提示"), tr("测试成功！"));
    else
        ShowError(error);
    if (!restartError.isEmpty())
        ShowError(restartError);
}

void MainWindow::dial(const QString& number)
{
    if (m_monitoredDevice == MonitoredDevice::Line) {
        // A refusal now is said now; a call that fails later comes back from the line.
        if (!m_line)
            showCallBackFailed(LINEERR_INVALLINEHANDLE);
        else if (!m_line->makeCall(number))
            showCallBackFailed(m_line->takeLastError());
        return;
    }
    QString error;
    if (!m_modem->dial(number, &error))
        ShowError(tr("MODEM错误:") + error);
}

void MainWindow::hangUp()
{
    if (m_monitoredDevice == MonitoredDevice::Line) {
        if (m_line)
            m_line->dropCall();
        return;
    }
    QString error;
    if (!m_modem->hangUp(&error))
        ShowError(tr("MODEM错误:") + error);
}

void MainWindow::pickUp()
{
    if (m_monitoredDevice == MonitoredDevice::Line)
        return;
    QString error;
    if (!m_modem->pickUp(&error))
        ShowError(tr("MODEM错误:") + error);
}

void MainWindow::showModemLost(const QString& errorText)
{
    // A modem left over from before the line was chosen does not speak for the line.
    if (m_monitoredDevice == MonitoredDevice::Modem)
        showMonitoringState(MonitoringState::Lost, m_monitoredName);
    ShowError(tr("Modem已断开，来电监控已停止。请接好Modem后按“监控”重新开始。\r\n\r\n") + errorText);
}
