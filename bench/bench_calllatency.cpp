// Latency of the road of a call in the built program: from the last byte of the modem's
// NMBR line written to the serial line until the caller window is shown and filled, with
// the full region table loaded and a customer database of 10k, 100k and 1M customers.
//
//   bench_calllatency [--calls N] [--sizes 10000,100000,1000000]
//
// The benchmark is the modem itself: it opens a pseudo-terminal, maps COM1 of the program
// folder's sysset.ini to it, answers the program's AT commands with OK and then sends one
// caller-ID report per call, each for another customer. The program stamps each filled
// caller window with the steady clock (VORNX_CALLER_LOG), the clock the benchmark reads
// right after writing the report.
#include "CustomerDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

qint64 steadyMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Numbers are unique by construction: the running number is part of both. Returns some of
// the numbers to call.
QStringList writeCustomers(const QString& file, int count)
{
    const char* const areas[] = {"010", "021", "020", "0755", "0591", "0571", "025", "027", "028", "023"};
    const auto phoneOf = [&areas](int i) {
        const QString area = QLatin1String(areas[i % 10]);
        return area + QStringLiteral("%1").arg(20000000 + i, 8, 10, QLatin1Char('0')).right(area.size() == 3 ? 8 : 7);
    };
    writeCustomerDatabase(file, count, phoneOf);
    QStringList calls;
    for (int i = count / 60; i <= count; i += count / 60)
        calls << (i % 2 ? mobileOf(i) : phoneOf(i));
    return calls;
}

class PtyModem
{
public:
    PtyModem()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)
            qFatal("no pseudo-terminal");
        m_path = QString::fromLocal8Bit(ptsname(m_fd));
    }
    ~PtyModem() { ::close(m_fd); }
    const QString& path() const { return m_path; }

    // Answers command lines with OK for `ms`; true once a caller-ID command was answered.
    bool serve(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) {
                if (p.revents & POLLHUP)
                    QThread::msleep(20); // the program has not opened its end yet
                continue;
            }
            char buf[256];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                continue;
            m_pending.append(buf, n);
            qsizetype cr;
            while ((cr = m_pending.indexOf('\r')) >= 0) {
                const QByteArray line = m_pending.left(cr).trimmed();
                m_pending.remove(0, cr + 1);
                if (line.isEmpty())
                    continue;
                send("\r\nOK\r\n");
                if (line.toUpper().contains("CID"))
                    m_monitoring = true;
            }
        }
        return m_monitoring;
    }

    qint64 call(const QString& number)
    {
        send("\r\nRING\r\n\r\nDATE=1208\r\nTIME=1745\r\nNMBR=" + number.toLatin1() + "\r\n");
        return steadyMicros();
    }

private:
    void send(const QByteArray& bytes)
    {
        if (::write(m_fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            qWarning("short write to the pseudo-terminal");
    }

    int m_fd = -1;
    QString m_path;
    QByteArray m_pending;
    bool m_monitoring = false;
};

int shownCount(const QString& log, qint64* lastStamp)
{
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    int count = 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("shown ")) {
            ++count;
            *lastStamp = line.mid(6).toLongLong();
        }
    }
    return count;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

double percentile(QList<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const qsizetype i = std::min(values.size() - 1, qsizetype(std::ceil(p * values.size())) - 1);
    return values.at(std::max<qsizetype>(0, i));
}

void run(int customers, int calls)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("prog"));
    QDir().mkpath(folder);
    QStringList numbers = writeCustomers(folder + QStringLiteral("/demo.db"), customers);
    if (!QFile::copy(QStringLiteral(VORNX_BIN_DIR "/Vornx.ini"), folder + QStringLiteral("/Vornx.ini")) ||
        !QFile::copy(QStringLiteral(VORNX_BIN_DIR "/area.dat"), folder + QStringLiteral("/area.dat")))
        qFatal("shipped files missing: build vornx first");

    PtyModem modem;
    writeFile(folder + QStringLiteral("/sysset.ini"),
              "[DEVICESET]\r\nDEVTYPE=4\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n[PORTS]\r\nCOM1=" +
                  modem.path().toLocal8Bit() + "\r\n");
    const QString log = dir.filePath(QStringLiteral("caller.log"));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORNX_DATA_DIR"), folder);
    env.insert(QStringLiteral("VORNX_CALLER_LOG"), log);
    env.insert(QStringLiteral("VORNX_MESSAGE_LOG"), dir.filePath(QStringLiteral("messages.log")));
    env.insert(QStringLiteral("VORNX_SOUND_LOG"), dir.filePath(QStringLiteral("sounds.log")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VORNX_BIN_DIR "/vornx"));
    if (!program.waitForStarted() || !modem.serve(30000))
        qFatal("the program did not start monitoring the modem");
    modem.serve(500);

    QList<double> latencies;
    qint64 stamp = 0;
    for (int i = 0; i <= calls && i < numbers.size(); ++i) {
        const qint64 sent = modem.call(numbers.at(i));
        QElapsedTimer t;
        t.start();
        while (shownCount(log, &stamp) < i + 1) {
            if (t.elapsed() > 20000)
                qFatal("no caller window for call %d", i);
            modem.serve(0);
            QThread::usleep(200);
        }
        if (i > 0) // the first call creates the window and opens the database
            latencies << (stamp - sent) / 1000.0;
        modem.serve(150);
    }
    program.terminate();
    program.waitForFinished(10000);
    // Every call must have found its customer, or the figures time a different road.
    QFile shown(log);
    shown.open(QIODevice::ReadOnly);
    if (shown.readAll().contains(QStringLiteral("数据库中没有对应来电的通讯资料信息！").toUtf8()))
        qFatal("a call did not find its customer");
    std::printf("%8d customers: median %7.1f ms, 95th percentile %7.1f ms, max %7.1f ms (%lld calls)\n", customers,
                percentile(latencies, 0.5), percentile(latencies, 0.95), percentile(latencies, 1.0),
                qlonglong(latencies.size()));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int calls = 50;
    QList<int> sizes = {10000, 100000, 1000000};
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--calls"))
            calls = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--sizes")) {
            sizes.clear();
            for (const QString& s : args.at(i + 1).split(QLatin1Char(',')))
                sizes << s.toInt();
        }
    }
    for (int size : sizes)
        run(size, calls);
    return 0;
}
