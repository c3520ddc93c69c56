#pragma once

#include "capture/CallerIdParser.h"
#include "platform/serial/SerialPort.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

// What a modem is started with: its port (COM1..COM8 by number) and the two commands as
// the user typed them.
struct ModemCommands
{
    int port = 1;
    QByteArray initCommand;
    QByteArray callerIdCommand;

    bool operator==(const ModemCommands&) const = default;
};

// The caller-ID modem on a serial port: finds it, starts and tests it, dials, picks up and
// hangs up, and reports what it hears. The modem's own reports arrive as signals; failures
// of a command come back as false with the text to show, and nothing here shows a message.
//
// The exchanges block for the short fixed pauses a modem needs (see ModemExchange), so a
// command returns with the modem's verdict.
class ModemLine final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ModemLine)

public:
    // `settingsFile` holds the port map ([PORTS]), read whenever a port opens.
    explicit ModemLine(const QString& settingsFile, QObject* parent = nullptr);
    ~ModemLine() override;

    // The first port, COM1 upwards, whose modem answers "AT" with "OK"; 0 when none does.
    // Absent, busy and silent ports are passed over. The port is closed afterwards.
    int findModemPort();

    // Starts the modem for monitoring: the initialisation command, "ats0=0" (no automatic
    // answer) and the caller-ID command. A modem already being monitored with the same
    // commands is left alone; another port or other commands start it afresh on them.
    // After a refusal the port stays open, as the modem may still report calls, but the
    // modem does not count as monitored: the next start tries the whole sequence again.
    bool startMonitoring(const ModemCommands& commands, QString* error);

    // Tries the two commands on a port of its own, closing it afterwards; a modem that was
    // being monitored is started again with the same commands, and a failure of that
    // restart comes back in `restartError`.
    bool test(const ModemCommands& commands, QString* error, QString* restartError);

    bool dial(const QString& number, QString* error);
    bool pickUp(QString* error);
    bool hangUp(QString* error);
    // Takes the ringing call off hook and hangs it up a moment later, so that the exchange
    // stops ringing it: the way a blocked caller is turned away. The hang-up follows from
    // the event loop; a port closed by then needs none.
    bool answerAndHangUp(QString* error);

    // Closes the port; monitoring ends without a word, and a lost modem is no longer waited for.
    void close();

    // How long a call turned away stays off hook: long enough for the exchange to connect it.
    static constexpr int AnsweredCallMs = 1500;
    // How often the port of a lost modem is tried again.
    static constexpr int ResumeIntervalMs = 1000;

    bool isOpen() const { return m_port.isOpen(); }
    // The open port's modem accepted the start-up commands.
    bool isMonitoring() const { return m_port.isOpen() && m_started; }
    // The port number last opened or tried.
    int port() const { return m_port.commPort(); }

signals:
    // The modem's ring indicator came on.
    void ringing();
    // A caller-ID report completed, with the number as the modem sent it.
    void callerNumber(const QByteArray& number);
    // What the port delivered, as it came, and what was written to it: for the line monitor.
    void dataReceived(const QByteArray& data);
    void dataSent(const QByteArray& data);
    // A caller-ID report of any shape completed, with or without a number.
    void reportRecognised(const CallerIdReport& report);
    // The monitored modem's device went away; the port is closed. A modem that is only
    // being scanned or tested is never reported.
    void portLost(const QString& errorText);
    // The lost modem's device came back and took the start-up commands again, caller-ID
    // command included: calls are reported again.
    void monitoringResumed();

private:
    enum class Purpose
    {
        Monitoring,
        Test
    };
    bool runStartSequence(const ModemCommands& commands, Purpose purpose, QString* error);
    bool write(const QByteArray& command, QString* error);
    bool sendAndWait(const QByteArray& command, int pauseMs);
    // What the port holds, handed on to the monitor as well.
    QByteArray takeInput();
    void portEvent();
    void deviceLost(const QString& errorText);
    void tryResume();

    SerialPort m_port;
    CallerIdParser m_parser;
    bool m_started = false;
    // The commands the monitored modem was started with, for starting it again when its
    // device comes back: an unplugged or power-cycled modem forgets its caller-ID setting.
    ModemCommands m_commands;
    QTimer m_resumeTimer;
    QTimer m_hangUpTimer;
};
