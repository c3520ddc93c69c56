#include "capture/ModemLine.h"

#include "capture/ModemExchange.h"
#include "platform/Error.h"
#include "platform/serial/SerialPortMap.h"

#include <QCoreApplication>

using namespace ModemExchange;

namespace {
QString callerIdNoAnswer()
{
    return QCoreApplication::translate("ModemLine", "打开来显示功能失败.");
}

QString callerIdRefused()
{
    return QCoreApplication::translate(
        "ModemLine", "无法打开来显示功能,请重新设置。\r\n\r\n如果重试所有指令都不成功，表明的Modem不支持来电显示.");
}

// The start-up and the test say different things about a modem that ignores or refuses
// its initialisation command; the test tells the two apart.
struct InitTexts
{
    QString noAnswer;
    QString refused;
};

InitTexts initTexts(bool test)
{
    if (test)
        return {QCoreApplication::translate("ModemLine", "初始化失败."),
                QCoreApplication::translate("ModemLine", "初始化失败,请重新设置初始化指令.")};
    const QString failed = QCoreApplication::translate("ModemLine", "Modem初始化失败,请重新设置初始化指令.");
    return {failed, failed};
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}
} // namespace

ModemLine::ModemLine(const QString& settingsFile, QObject* parent) : QObject(parent), m_port(settingsFile)
{
    m_port.setObjectName(QStringLiteral("modemPort"));
    connect(&m_port, &SerialPort::commEventOccurred, this, &ModemLine::portEvent);
    connect(&m_port, &SerialPort::deviceLost, this, &ModemLine::deviceLost);
    m_resumeTimer.setInterval(ResumeIntervalMs);
    m_hangUpTimer.setSingleShot(true);
    m_hangUpTimer.setInterval(AnsweredCallMs);
    connect(&m_hangUpTimer, &QTimer::timeout, this, [this] {
        if (m_port.isOpen())
            hangUp(nullptr);
    });
    connect(&m_resumeTimer, &QTimer::timeout, this, &ModemLine::tryResume);
}

ModemLine::~ModemLine()
{
    close();
}

int ModemLine::findModemPort()
{
    m_resumeTimer.stop();
    m_started = false;
    int found = 0;
    for (int port = 1; port <= SerialPortMap::PortCount && found == 0; ++port) {
        try {
            if (m_port.isOpen())
                m_port.setPortOpen(false);
            m_port.setCommPort(port);
            m_port.setPortOpen(true);
            // A port whose output does not drain has no modem that takes commands.
            if (sendAndWait("AT", 150) && Answered(m_port) && Positive(takeInput()))
                found = port;
        } catch (const Error&) {
            // Absent, busy or failing: the next port.
        }
    }
    close();
    return found;
}

bool ModemLine::runStartSequence(const ModemCommands& commands, Purpose purpose, QString* error)
{
    const InitTexts init = initTexts(purpose == Purpose::Test);
    try {
        if (m_port.isOpen())
            m_port.setPortOpen(false);
        m_port.setCommPort(commands.port);
        m_port.setPortOpen(true);
        if (!sendAndWait(commands.initCommand, 150) || !Answered(m_port))
            throw Error(init.noAnswer);
        if (!Positive(takeInput()))
            throw Error(init.refused);
        if (purpose == Purpose::Monitoring) {
            // Calls are only to be watched, never answered by the modem itself.
            sendAndWait("ats0=0", 150);
            // The caller-ID command is judged on its own reply, not on this one's "OK".
            takeInput();
        }
        if (!sendAndWait(commands.callerIdCommand, 50) || !Answered(m_port))
            throw Error(callerIdNoAnswer());
        if (!Positive(takeInput()))
            throw Error(callerIdRefused());
    } catch (const Error& e) {
        setError(error, e.message());
        return false;
    }
    return true;
}

bool ModemLine::startMonitoring(const ModemCommands& commands, QString* error)
{
    // Watching the old port while the settings name a new one would miss every call.
    if (isMonitoring() && commands == m_commands)
        return true;
    m_resumeTimer.stop();
    m_started = false;
    m_started = runStartSequence(commands, Purpose::Monitoring, error);
    if (m_started)
        m_commands = commands;
    return m_started;
}

bool ModemLine::test(const ModemCommands& commands, QString* error, QString* restartError)
{
    // The test needs the port to itself; monitoring, if it ran, starts again afterwards so
    // that a test never ends it unnoticed.
    const bool monitoring = isMonitoring();
    close();
    const bool passed = runStartSequence(commands, Purpose::Test, error);
    close();
    if (monitoring)
        startMonitoring(commands, restartError);
    return passed;
}

QByteArray ModemLine::takeInput()
{
    const QByteArray data = m_port.input();
    if (!data.isEmpty())
        emit dataReceived(data);
    return data;
}

bool ModemLine::sendAndWait(const QByteArray& command, int pauseMs)
{
    emit dataSent(command + '\r');
    return SendAndWait(m_port, command, pauseMs);
}

bool ModemLine::write(const QByteArray& command, QString* error)
{
    try {
        emit dataSent(command + '\r');
        m_port.output(command + '\r');
    } catch (const Error& e) {
        setError(error, e.message());
        return false;
    }
    return true;
}

bool ModemLine::dial(const QString& number, QString* error)
{
    return write("ATDT" + number.toLocal8Bit(), error);
}

bool ModemLine::pickUp(QString* error)
{
    // A Hayes modem ignores a command line without its "AT" prefix.
    return write("ATH1", error);
}

bool ModemLine::hangUp(QString* error)
{
    return write("ATH0", error);
}

bool ModemLine::answerAndHangUp(QString* error)
{
    if (!write("ATH1", error))
        return false;
    m_hangUpTimer.start();
    return true;
}

void ModemLine::close()
{
    m_resumeTimer.stop();
    m_hangUpTimer.stop();
    m_started = false;
    if (m_port.isOpen())
        m_port.setPortOpen(false);
}

void ModemLine::portEvent()
{
    switch (m_port.commEvent()) {
    case SerialPort::comEvReceive: {
        const QByteArray data = takeInput();
        for (const CallerIdReport& report : m_parser.feedReports(data)) {
            emit reportRecognised(report);
            if (report.handedOn())
                emit callerNumber(report.number);
        }
        break;
    }
    case SerialPort::comEvCD:
        // The carrier came up: nudge the port and throw away what the modem said about it.
        if (m_port.carrierDetected()) {
            m_port.output(QByteArray());
            WaitSent(m_port);
            takeInput();
        }
        break;
    case SerialPort::comEvRing:
        emit ringing();
        break;
    default:
        break;
    }
}

void ModemLine::deviceLost(const QString& errorText)
{
    // Only a monitored modem is worth a word; the scan and the test report nothing of it.
    if (!m_started)
        return;
    m_started = false;
    // Started first: whoever hears of the loss may hold the event loop in a message box.
    m_resumeTimer.start();
    emit portLost(errorText);
}

void ModemLine::tryResume()
{
    // A failed try leaves nothing open, so that the device is opened afresh next time.
    if (!runStartSequence(m_commands, Purpose::Monitoring, nullptr)) {
        if (m_port.isOpen())
            m_port.setPortOpen(false);
        return;
    }
    m_resumeTimer.stop();
    m_started = true;
    emit monitoringResumed();
}
