// Soak of the road of a call: the built program in a temporary program folder, the virtual
// modem (tools/vmodem) on a pseudo-terminal and a SQLite customer database, then many calls
// with random numbers (about half of them customers, some repeating the previous caller),
// rings and noise lines between and inside the reports, every report cut into chunks at
// random places.
//
//   bench_soak [--calls N] [--seed S]
//
// Counts the calls sent, the caller windows filled (VORNX_CALLER_LOG), the lines of
// "Phone.Log" and the program's resident size after the first call and at the end. A caller
// who calls again right after himself is shown once, so windows and log lines are expected
// once per distinct consecutive number; every logged number is checked against the one sent.
#include "CustomerDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstring>

namespace {

QStringList writeCustomers(const QString& file, int count)
{
    const auto phoneOf = [](int i) { return QStringLiteral("0591%1").arg(3000000 + i); };
    writeCustomerDatabase(file, count, phoneOf);
    QStringList phones;
    for (int i = 1; i <= count; ++i)
        phones << phoneOf(i) << mobileOf(i);
    return phones;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int shownCount(const QString& log)
{
    return int(readFile(log).count("shown "));
}

long residentKiB(qint64 pid)
{
    for (const QByteArray& line : readFile(QStringLiteral("/proc/%1/status").arg(pid)).split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// A line the modem or the line might send that is no caller-ID report.
QByteArray noiseLine(QRandomGenerator& random)
{
    static const char* const lines[] = {"RING", "OK", "ERROR", "+CREG: 1", "NAME = ZHANG SAN", "MESG = 0102",
                                        "DATE = 1208", "CONNECT 9600", "NO CARRIER", ""};
    if (random.bounded(3) > 0)
        return lines[random.bounded(int(std::size(lines)))];
    QByteArray garbage;
    for (int i = random.bounded(1, 40); i > 0; --i)
        garbage += char(random.bounded(0x20, 0x7f)); // printable, so a line end never hides in it
    return garbage.startsWith("NMBR") ? "X" + garbage : garbage;
}

// The vmodem `send` text of one call: rings, noise, the report.
QString report(QRandomGenerator& random, const QByteArray& number)
{
    QByteArray text;
    const auto line = [&](const QByteArray& l) { text += "\r\n" + l + "\r\n"; };
    for (int i = random.bounded(1, 3); i > 0; --i)
        line("RING");
    if (random.bounded(2))
        line(noiseLine(random));
    line("DATE = 1208");
    line("TIME = 1745");
    if (random.bounded(4) == 0)
        line(noiseLine(random));
    line("NMBR = " + number);
    QString escaped;
    for (char c : text)
        escaped += c == '\r' ? QStringLiteral("\\r") : c == '\n' ? QStringLiteral("\\n") : c == '\\' ? QStringLiteral("\\\\") : QString(QLatin1Char(c));
    return QStringLiteral("send ") + escaped;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int calls = 2000;
    quint32 seed = 12;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--calls"))
            calls = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--seed"))
            seed = args.at(i + 1).toUInt();
    }
    QRandomGenerator random(seed);

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("prog"));
    QDir().mkpath(folder);
    const QStringList customers = writeCustomers(folder + QStringLiteral("/demo.db"), 5000);
    if (!QFile::copy(QStringLiteral(VORNX_BIN_DIR "/Vornx.ini"), folder + QStringLiteral("/Vornx.ini")) ||
        !QFile::copy(QStringLiteral(VORNX_BIN_DIR "/area.dat"), folder + QStringLiteral("/area.dat")))
        qFatal("shipped files missing: build vornx first");

    QProcess modem;
    modem.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    modem.start(QStringLiteral(VORNX_BIN_DIR "/vmodem"));
    if (!modem.waitForStarted(5000) || !modem.waitForReadyRead(5000))
        qFatal("the virtual modem did not start");
    const QByteArray device = modem.readLine().trimmed();
    writeFile(folder + QStringLiteral("/sysset.ini"),
              "[DEVICESET]\r\nDEVTYPE=4\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n[PORTS]\r\nCOM1=" + device + "\r\n");

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
    // The program's warnings would fill an unread pipe and block it after some thousand calls.
    program.setStandardOutputFile(dir.filePath(QStringLiteral("program.out")));
    program.setStandardErrorFile(dir.filePath(QStringLiteral("program.out")), QIODevice::Append);
    program.start(QStringLiteral(VORNX_BIN_DIR "/vornx"));
    if (!program.waitForStarted())
        qFatal("the program did not start");

    // Monitoring has begun once the modem was told to report caller IDs.
    QByteArray received;
    QElapsedTimer wait;
    wait.start();
    while (!received.toUpper().contains("CID")) {
        if (wait.elapsed() > 30000)
            qFatal("the program did not start monitoring the modem");
        modem.waitForReadyRead(100);
        received += modem.readAllStandardOutput();
    }
    QThread::msleep(500);

    QList<QByteArray> expected; // one per distinct consecutive number, as the program logs it
    QByteArray previous;
    int sent = 0;
    int late = 0;
    long rssStart = 0;
    for (int i = 0; i < calls; ++i) {
        QByteArray number;
        const int kind = random.bounded(10);
        if (kind == 0 && !previous.isEmpty())
            number = previous;
        else if (kind < 5)
            number = customers.at(random.bounded(int(customers.size()))).toLatin1();
        else if (kind < 8)
            number = "13" + QByteArray::number(random.bounded(100000000, 999999999));
        else
            number = "0" + QByteArray::number(random.bounded(20, 999)) + QByteArray::number(random.bounded(1000000, 9999999));
        const bool distinct = number != previous;
        previous = number;
        if (distinct) // the program keeps the number from its first digit 1 to 9
            expected << number.mid(qsizetype(std::strspn(number.constData(), "0")));

        modem.write(QStringLiteral("chunk %1\npause %2\n%3\n")
                        .arg(random.bounded(1, 24))
                        .arg(random.bounded(0, 3))
                        .arg(report(random, number))
                        .toLatin1());
        ++sent;
        QElapsedTimer t;
        t.start();
        // A call never shown is counted once; the next calls wait only for themselves.
        while (shownCount(log) < expected.size() - late && t.elapsed() < 10000) {
            modem.waitForReadyRead(5);
            modem.readAllStandardOutput();
        }
        if (modem.state() != QProcess::Running)
            qFatal("the virtual modem ended (exit code %d) at call %d", modem.exitCode(), i + 1);
        if (program.state() != QProcess::Running)
            qFatal("the program ended at call %d", i + 1);
        if (shownCount(log) < expected.size() - late) {
            std::printf("call %d (%s): no caller window within 10 s\n", i + 1, number.constData());
            ++late;
        }
        if (!distinct)
            QThread::msleep(100); // nothing to wait for: a repeated caller is not shown again
        if (i == 0)
            rssStart = residentKiB(program.processId());
        if ((i + 1) % 250 == 0)
            std::printf("%5d calls, resident %ld KiB\n", i + 1, residentKiB(program.processId()));
        std::fflush(stdout);
    }
    QThread::msleep(1000);
    const long rssEnd = residentKiB(program.processId());
    program.terminate();
    program.waitForFinished(10000);
    modem.write("quit\n");
    modem.waitForFinished(5000);

    QList<QByteArray> logged;
    for (const QByteArray& line : readFile(folder + QStringLiteral("/Phone.Log")).split('\n')) {
        // "time-#-number-#-remark"
        const qsizetype from = line.indexOf("-#-");
        if (from >= 0)
            logged << line.mid(from + 3, line.indexOf("-#-", from + 3) - from - 3);
    }
    int mismatched = 0;
    for (qsizetype i = 0; i < expected.size() && i < logged.size(); ++i) {
        if (expected.at(i) != logged.at(i))
            ++mismatched;
    }
    const int shown = shownCount(log);
    std::printf("calls sent %d, distinct consecutive %lld, windows shown %d, Phone.Log lines %lld, "
                "lost %lld, numbers logged wrong %d, shown late (>10 s) %d\n",
                sent, qlonglong(expected.size()), shown, qlonglong(logged.size()),
                qlonglong(expected.size() - std::min<qsizetype>(shown, logged.size())), mismatched, late);
    std::printf("resident size: %ld KiB after the first call, %ld KiB at the end\n", rssStart, rssEnd);
    return expected.size() == shown && expected.size() == logged.size() && mismatched == 0 ? 0 : 1;
}
