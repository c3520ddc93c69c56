#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

// The built program run as a user would start it, in a program folder of its own and with
// its own runtime folder, its message boxes, sounds and caller windows written to files.
class ProgramRun
{
public:
    // One filled caller window: its rows as "label<TAB>value", row 1 first.
    struct Shown
    {
        qint64 steadyMicros = 0;
        QStringList rows;

        QString value(const QString& label) const
        {
            for (const QString& row : rows) {
                if (row.section(QLatin1Char('\t'), 0, 0) == label)
                    return row.section(QLatin1Char('\t'), 1);
            }
            return QStringLiteral("<no row %1>").arg(label);
        }
        QString row(int n) const { return rows.value(n - 1).section(QLatin1Char('\t'), 1); }
    };

    ProgramRun() { QDir().mkpath(folder()); }
    ~ProgramRun() { stop(); }

    QString folder() const { return m_dir.filePath(QStringLiteral("prog")); }
    QString file(const QString& name) const { return QDir(folder()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
    void writeGbk(const QString& name, const QString& text) const
    {
        QStringEncoder gbk("GB18030");
        write(name, gbk.encode(text));
    }
    // The full region table, as the build generates it beside the program.
    void copyAreaTable() const { copyShipped(QStringLiteral("area.dat")); }
    // A file the build ships beside the program (sounds, demo database).
    void copyShipped(const QString& name) const { QFile::copy(QStringLiteral(VORNX_BIN_DIR "/") + name, file(name)); }

    // The simulated line's driver run against this program folder: its exit code and its
    // answer ("OK ...").
    QPair<int, QString> simline(const QStringList& args) const
    {
        QProcess tool;
        tool.start(QStringLiteral(VORNX_BIN_DIR "/simline"), QStringList{QStringLiteral("--data-dir"), folder()} + args);
        tool.waitForFinished(10000);
        return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()).trimmed()};
    }

    // The program's message boxes are really shown and nobody answers them, as on a PC left
    // alone; nothing is written to messages() then.
    void leaveBoxesUnanswered() { m_boxesAnswered = false; }

    bool start(const QStringList& arguments = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("VORNX_DATA_DIR"), folder());
        if (m_boxesAnswered)
            env.insert(QStringLiteral("VORNX_MESSAGE_LOG"), log(QStringLiteral("messages")));
        else
            env.remove(QStringLiteral("VORNX_MESSAGE_LOG"));
        env.insert(QStringLiteral("VORNX_SOUND_LOG"), log(QStringLiteral("sounds")));
        env.insert(QStringLiteral("VORNX_CALLER_LOG"), log(QStringLiteral("caller")));
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(VORNX_BIN_DIR "/vornx"), arguments);
        return m_process.waitForStarted();
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }
    bool running() const { return m_process.state() == QProcess::Running; }

    // Every caller window filled so far.
    QList<Shown> shown() const
    {
        QList<Shown> result;
        for (const QString& block : readUtf8(log(QStringLiteral("caller"))).split(QStringLiteral("\n\n"))) {
            QStringList lines = block.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (lines.isEmpty() || !lines.first().startsWith(QLatin1String("shown ")))
                continue;
            Shown s;
            s.steadyMicros = lines.takeFirst().mid(6).toLongLong();
            s.rows = lines;
            result << s;
        }
        return result;
    }
    // Waits (the event loop runs) until `count` caller windows were filled.
    bool waitForShown(int count, int timeoutMs = 15000) const
    {
        QElapsedTimer t;
        t.start();
        while (shown().size() < count) {
            if (t.elapsed() > timeoutMs || !running())
                return false;
            QTest::qWait(20);
        }
        return true;
    }

    QStringList messages() const
    {
        return readUtf8(log(QStringLiteral("messages"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList sounds() const
    {
        return readUtf8(log(QStringLiteral("sounds"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The call log's lines, decoded, without their line ends.
    QStringList callLog() const
    {
        QFile f(file(QStringLiteral("Phone.Log")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringDecoder gbk("GB18030");
        QStringList lines = QString(gbk.decode(f.readAll())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString& line : lines)
            line.remove(QLatin1Char('\r'));
        return lines;
    }

private:
    QString log(const QString& name) const { return m_dir.filePath(name + QStringLiteral(".log")); }
    static QString readUtf8(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    bool m_boxesAnswered = true;
};
