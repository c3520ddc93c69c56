#include "app/MainWindow.h"

#include "capture/LineMessage.h"
#include "capture/ModemExchange.h"
#include "capture/TelephonyLine.h"
#include "platform/Error.h"
#include "platform/serial/SerialPort.h"
#include "platform/serial/SerialPortMap.h"
#include "platform/ui/MessageBoxes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QRadioButton>

using namespace ModemExchange;

namespace {
const QString kInitFailed = QStringLiteral("Modem初始化失败,请重新设置初始化指令.");
const QString kCallerIdNoAnswer = QStringLiteral("打开来显示功能失败.");
const QString kCallerIdRefused =
    QStringLiteral("无法打开来显示功能,请重新设置。\r\n\r\n如果重试所有指令都不成功，表明的Modem不支持来电显示.");

void ShowBox(const QString& caption, const QString& text)
{
    MessageBoxes::show({QMessageBox::NoIcon, caption, text, QMessageBox::Ok, QMessageBox::Ok});
}

// A command as the modem gets it: the box's text as typed.
QByteArray CommandText(const QComboBox* box)
{
    return box->currentText().toLocal8Bit();
}
} // namespace

void MainWindow::ConnectModemHandlers()
{
    connect(MSComm1, &SerialPort::OnComm, this, &MainWindow::MSComm1Comm);
    connect(MSComm1, &SerialPort::DeviceLost, this, &MainWindow::MSComm1DeviceLost);
}

void MainWindow::SetModemDefaults()
{
    const int port = ScanModemPort();
    ComboBox4->setCurrentIndex(port > 0 ? port - 1 : 0);
    ComboBox5->setCurrentIndex(0);
    ComboBox6->setCurrentIndex(0);
}

int MainWindow::ScanModemPort()
{
    int found = 0;
    for (int port = 1; port <= SerialPortMap::PortCount && found == 0; ++port) {
        try {
            if (MSComm1->PortOpen())
                MSComm1->SetPortOpen(false);
            MSComm1->SetCommPort(port);
            MSComm1->SetPortOpen(true);
            // A port whose output does not drain has no modem that takes commands.
            if (SendAndWait(*MSComm1, "AT", 150) && Answered(*MSComm1) && Positive(MSComm1->Input()))
                found = port;
        } catch (const Error&) {
            // Absent, busy or failing: the next port.
        }
    }
    if (MSComm1->PortOpen())
        MSComm1->SetPortOpen(false);
    return found;
}

void MainWindow::btnMonitorClick()
{
    if (RadioButton3->isChecked()) {
        if (myTAPILine) {
            myTAPILine->CloseLine();
            myTAPILine->OpenLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM);
        }
        DevType = 3;
        WriteDeviceChoice();
    } else if (RadioButton4->isChecked()) {
        // An open port whose modem refused the start-up is not being monitored: try again.
        if (!MSComm1->PortOpen() || !m_modemStarted)
            ModemStartUp();
        DevType = 4;
        WriteDeviceChoice();
    }
    SendToTray();
}

bool MainWindow::ModemStartUp()
{
    m_modemStarted = false;
    try {
        if (MSComm1->PortOpen())
            MSComm1->SetPortOpen(false);
        MSComm1->SetCommPort(ComboBox4->currentIndex() + 1);
        MSComm1->SetPortOpen(true);
        if (!SendAndWait(*MSComm1, CommandText(ComboBox6), 150) || !Answered(*MSComm1))
            throw Error(kInitFailed);
        if (!Positive(MSComm1->Input()))
            throw Error(kInitFailed);
        SendAndWait(*MSComm1, "ats0=0", 150);
        // The caller-ID command is judged on its own reply, not on this one's "OK".
        MSComm1->Input();
        if (!SendAndWait(*MSComm1, CommandText(ComboBox5), 50) || !Answered(*MSComm1))
            throw Error(kCallerIdNoAnswer);
        if (!Positive(MSComm1->Input()))
            throw Error(kCallerIdRefused);
    } catch (const Error& e) {
        // The port stays open, as the modem may still report calls; the next monitoring
        // command tries the start-up again.
        ShowBox(QStringLiteral("错误提示"), e.message());
        return false;
    }
    m_modemStarted = true;
    return true;
}

void MainWindow::btnTestModemClick()
{
    // Testing needs the port to itself. When the modem is being monitored, monitoring is
    // started again afterwards, so the test never ends it unnoticed.
    const bool monitoring = MSComm1->PortOpen() && m_modemStarted;
    if (MSComm1->PortOpen())
        MSComm1->SetPortOpen(false);
    m_modemStarted = false;
    ModemTest();
    if (MSComm1->PortOpen())
        MSComm1->SetPortOpen(false);
    if (monitoring)
        ModemStartUp();
}

bool MainWindow::ModemTest()
{
    try {
        MSComm1->SetCommPort(ComboBox4->currentIndex() + 1);
        MSComm1->SetPortOpen(true);
        if (!SendAndWait(*MSComm1, CommandText(ComboBox6), 150) || !Answered(*MSComm1))
            throw Error(QStringLiteral("初始化失败."));
        if (!Positive(MSComm1->Input()))
            throw Error(QStringLiteral("初始化失败,请重新设置初始化指令."));
        if (!SendAndWait(*MSComm1, CommandText(ComboBox5), 50) || !Answered(*MSComm1))
            throw Error(kCallerIdNoAnswer);
        if (!Positive(MSComm1->Input()))
            throw Error(kCallerIdRefused);
    } catch (const Error& e) {
        ShowBox(QStringLiteral("错误提示"), e.message());
        return false;
    }
    ShowBox(QStringLiteral("提示"), QStringLiteral("测试成功！"));
    return true;
}

void MainWindow::DialNumber(const QString& number)
{
    if (DevType == 3) {
        if (myTAPILine)
            myTAPILine->MakeCall(number);
        return;
    }
    WriteModem("ATDT" + number.toLocal8Bit());
}

void MainWindow::HangUp()
{
    if (DevType == 3) {
        if (myTAPILine)
            myTAPILine->DropCall();
        return;
    }
    WriteModem("H0");
}

void MainWindow::PickUp()
{
    if (DevType == 3)
        return;
    WriteModem("H1");
}

void MainWindow::WriteModem(const QByteArray& command)
{
    try {
        MSComm1->Output(command + '\r');
    } catch (const Error& e) {
        ShowBox(QStringLiteral("错误提示"), QStringLiteral("MODEM错误:") + e.message());
    }
}

void MainWindow::MSComm1Comm()
{
    switch (MSComm1->CommEvent()) {
    case SerialPort::comEvReceive:
        for (const QByteArray& number : m_callerIdParser.feed(MSComm1->Input())) {
            CallerNumber = number;
            QCoreApplication::postEvent(this, new LineMessage(WM_CALLER_NUMBER, CallerNumber, 121));
        }
        break;
    case SerialPort::comEvCD:
        // The carrier came up: nudge the port and throw away what the modem said about it.
        if (MSComm1->CDHolding()) {
            MSComm1->Output(QByteArray());
            WaitSent(*MSComm1);
            MSComm1->Input();
        }
        break;
    case SerialPort::comEvRing:
        QCoreApplication::postEvent(this, new LineMessage(WM_LINE_RING, QByteArray(), 4));
        break;
    default:
        break;
    }
}

void MainWindow::MSComm1DeviceLost(const QString& errorText)
{
    // Only a monitored modem is worth a word; the scan and the test report nothing of it.
    if (!m_modemStarted)
        return;
    m_modemStarted = false;
    ShowBox(QStringLiteral("错误提示"),
            QStringLiteral("Modem已断开，来电监控已停止。请接好Modem后按“监控”重新开始。\r\n\r\n") + errorText);
}
