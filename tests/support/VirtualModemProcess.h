#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QTest>

// The virtual modem (tools/vmodem) on a pseudo-terminal, driven by a test: commands go to
// its standard input, the command lines it received come back as "RX ..." lines.
class VirtualModemProcess
{
public:
    explicit VirtualModemProcess(const QStringList& startup = {})
    {
        QStringList args;
        for (const QString& line : startup)
            args << QStringLiteral("-e") << line;
        m_process.start(QStringLiteral(VORNX_BIN_DIR "/vmodem"), args);
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000))
            m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    ~VirtualModemProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // The serial end of the pseudo-terminal (empty when the modem did not start).
    const QString& path() const { return m_path; }

    void command(const QString& line) { m_process.write((line + QLatin1Char('\n')).toUtf8()); }

    // Stops the modem as if the device were pulled out.
    void quit()
    {
        command(QStringLiteral("quit"));
        m_process.waitForFinished(5000);
    }

    // Command lines received so far, oldest first.
    QStringList received()
    {
        while (m_process.canReadLine() || m_process.waitForReadyRead(0)) {
            if (!m_process.canReadLine())
                continue;
            const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
            if (line.startsWith(QLatin1String("RX ")))
                m_received << line.mid(3);
        }
        return m_received;
    }

    // Waits, keeping the test's event loop running, until `line` has been received.
    bool waitReceived(const QString& line, int ms = 5000)
    {
        QDeadlineTimer deadline(ms);
        while (!received().contains(line)) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(10);
        }
        return true;
    }

private:
    QProcess m_process;
    QString m_path;
    QStringList m_received;
};
