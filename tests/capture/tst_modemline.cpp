// The modem line over pseudo-terminals with the virtual modem, without a display: the port
// scan, the start-up and the test with their texts, calls, caller-ID reports in awkward
// chunks, a modem that stops draining and one that goes away.
#include "capture/ModemExchange.h"
#include "capture/ModemLine.h"
#include "platform/profile/PrivateProfile.h"
#include "support/VirtualModemProcess.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kInitFailed = QStringLiteral("Modem初始化失败,请重新设置初始化指令.");
const QString kCallerIdNoAnswer = QStringLiteral("打开来显示功能失败.");
const QString kCallerIdRefused =
    QStringLiteral("无法打开来显示功能,请重新设置。\r\n\r\n如果重试所有指令都不成功，表明的Modem不支持来电显示.");

const ModemCommands kDefaults{3, "ATZ", "AT#CID=1"};

QList<QByteArray> numbers(const QSignalSpy& spy)
{
    QList<QByteArray> list;
    for (const QList<QVariant>& args : spy)
        list << args.at(0).toByteArray();
    return list;
}
} // namespace

class TestModemLine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;

    QString ini() const { return m_folder->filePath(QStringLiteral("sysset.ini")); }

    void map(int com, const QString& path)
    {
        QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(com), path));
    }

private slots:
    void init()
    {
        // Every port leads nowhere unless a test maps it, whatever the machine has.
        m_folder = std::make_unique<QTemporaryDir>();
        for (int com = 1; com <= 8; ++com)
            map(com, m_folder->filePath(QStringLiteral("absent%1").arg(com)));
    }

    void scanFindsTheModemPastAbsentBusyAndSilentPorts()
    {
        VirtualModemProcess busy;
        VirtualModemProcess silent({QStringLiteral("default NONE")});
        VirtualModemProcess refusing({QStringLiteral("default ERROR")});
        VirtualModemProcess modem;
        map(2, busy.path());
        map(3, silent.path());
        map(4, refusing.path());
        map(6, modem.path());
        SerialPort holder(ini());
        holder.setCommPort(2);
        holder.setPortOpen(true);

        ModemLine line(ini());
        QCOMPARE(line.findModemPort(), 6);
        QVERIFY(!line.isOpen());
        QVERIFY(silent.received().contains(QStringLiteral("AT")));
        QVERIFY(refusing.received().contains(QStringLiteral("AT")));
        QVERIFY(modem.received().contains(QStringLiteral("AT")));
        QVERIFY(busy.received().isEmpty());
    }

    void scanWithoutModemFindsNone()
    {
        VirtualModemProcess silent({QStringLiteral("default NONE")});
        map(8, silent.path());
        ModemLine line(ini());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(line.findModemPort(), 0);
        QVERIFY(clock.elapsed() >= 150);
        QVERIFY(!line.isOpen());
    }

    void startUpAndACallInChunks()
    {
        VirtualModemProcess modem({QStringLiteral("chunk 5"), QStringLiteral("pause 15")});
        map(3, modem.path());
        ModemLine line(ini());
        QSignalSpy numbersSpy(&line, &ModemLine::callerNumber);
        QString error = QStringLiteral("untouched");
        QVERIFY(line.startMonitoring({3, "AT&F&C1&D2", "AT+VCID=1"}, &error));
        QCOMPARE(error, QStringLiteral("untouched"));
        QCOMPARE(modem.received(), QStringList({"AT&F&C1&D2", "ats0=0", "AT+VCID=1"}));
        QVERIFY(line.isMonitoring());
        QCOMPARE(line.port(), 3);

        modem.command(QStringLiteral("call 0591123456"));
        QTRY_COMPARE(numbers(numbersSpy), QList<QByteArray>{"0591123456"});

        // Started again on the same choice while monitoring: the modem is left alone.
        QVERIFY(line.startMonitoring({3, "AT&F&C1&D2", "AT+VCID=1"}, &error));
        QCOMPARE(modem.received().size(), 3);
        // Other commands: the modem starts afresh on them and goes on reporting calls.
        QVERIFY(line.startMonitoring({3, "ATZ", "AT#CID=1"}, &error));
        QCOMPARE(modem.received().mid(3), QStringList({"ATZ", "ats0=0", "AT#CID=1"}));
        QVERIFY(line.isMonitoring());
        modem.command(QStringLiteral("call 0207654321"));
        QTRY_COMPARE(numbers(numbersSpy), (QList<QByteArray>{"0591123456", "0207654321"}));
    }

    void reportsBetweenNoise()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        ModemLine line(ini());
        QSignalSpy numbersSpy(&line, &ModemLine::callerNumber);
        QVERIFY(line.startMonitoring(kDefaults, nullptr));
        // Two numbers in one write, each its own report.
        modem.command(QStringLiteral("send RING\\r\\nNMBR=13800138000\\r\\nNMBR = 0591123456\\r\\n"));
        QTRY_COMPARE(numbers(numbersSpy), QList<QByteArray>({"13800138000", "0591123456"}));
        modem.command(QStringLiteral("send \\r\\nRING\\r\\nDATE = 0321\\r\\nNAME = X\\r\\n"));
        modem.command(QStringLiteral("call 22"));
        QTRY_COMPARE(numbersSpy.size(), 3);
        QCOMPARE(numbersSpy.last().at(0).toByteArray(), QByteArray("22"));
    }

    // Every report shape the virtual modem can play, cut into small pieces on the way: the
    // number arrives as sent, a withheld caller gives a report without one.
    void everyShapeOverThePort_data()
    {
        QTest::addColumn<QString>("shape");
        for (const char* shape : {"nmbr", "ddn", "nbr", "oneline", "isdn", "isdnring", "isdnslash", "isdnspace", "zyxel",
                                  "box", "sdmf", "mdmf", "voice"})
            QTest::newRow(shape) << QString::fromLatin1(shape);
    }

    void everyShapeOverThePort()
    {
        QFETCH(QString, shape);
        VirtualModemProcess modem({QStringLiteral("chunk 3"), QStringLiteral("pause 2")});
        map(3, modem.path());
        ModemLine line(ini());
        QSignalSpy numbersSpy(&line, &ModemLine::callerNumber);
        QSignalSpy reportsSpy(&line, &ModemLine::reportRecognised);
        QSignalSpy rawSpy(&line, &ModemLine::dataReceived);
        QSignalSpy sentSpy(&line, &ModemLine::dataSent);
        QVERIFY(line.startMonitoring(kDefaults, nullptr));
        QCOMPARE(sentSpy.size(), 3);
        QCOMPARE(sentSpy.at(2).at(0).toByteArray(), QByteArray("AT#CID=1\r"));

        modem.command(QStringLiteral("shape %1 013905911234").arg(shape));
        QTRY_COMPARE(numbers(numbersSpy), QList<QByteArray>{"013905911234"});
        QTRY_VERIFY(!reportsSpy.isEmpty());
        QCOMPARE(reportsSpy.last().at(0).value<CallerIdReport>().number, QByteArray("013905911234"));
        QByteArray raw;
        for (const QList<QVariant>& args : rawSpy)
            raw += args.at(0).toByteArray();
        // As sent: text, or the hex digits of a packet.
        QVERIFY(raw.contains("13905911234") || raw.contains(QByteArray("13905911234").toHex().toUpper()));

        // A withheld caller: nothing that names a number.
        reportsSpy.clear();
        modem.command(QStringLiteral("shape %1 P").arg(shape));
        modem.command(QStringLiteral("shape %1 0591123456").arg(shape));
        QTRY_COMPARE(numbersSpy.size(), shape == QLatin1String("nmbr") || shape == QLatin1String("voice") ? 3 : 2);
        QCOMPARE(numbersSpy.last().at(0).toByteArray(), QByteArray("0591123456"));
        if (shape != QLatin1String("isdnspace")) {
            QVERIFY(reportsSpy.size() >= 2);
            const CallerIdReport withheld = reportsSpy.at(reportsSpy.size() - 2).at(0).value<CallerIdReport>();
            QVERIFY(!withheld.hasNumber());
        }
    }

    void startUpFailures_data()
    {
        QTest::addColumn<QStringList>("modemSetup");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("init refused") << QStringList{"reply ATZ ERROR"} << kInitFailed << QStringList{"ATZ"};
        QTest::newRow("init unanswered") << QStringList{"reply ATZ NONE"} << kInitFailed << QStringList{"ATZ"};
        // The "OK" to "ats0=0" must not count for the caller-ID command.
        QTest::newRow("caller ID refused")
            << QStringList{"reply AT#CID=1 ERROR"} << kCallerIdRefused << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
        QTest::newRow("caller ID unanswered")
            << QStringList{"reply AT#CID=1 NONE"} << kCallerIdNoAnswer << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
        QTest::newRow("caller ID answered late")
            << QStringList{"delay AT#CID=1 400"} << kCallerIdNoAnswer << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
        QTest::newRow("echo and reply with OK")
            << QStringList{"echo on"} << QString() << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
    }

    void startUpFailures()
    {
        QFETCH(QStringList, modemSetup);
        QFETCH(QString, text);
        QFETCH(QStringList, sent);
        VirtualModemProcess modem(modemSetup);
        map(3, modem.path());
        ModemLine line(ini());
        QString error;
        QCOMPARE(line.startMonitoring(kDefaults, &error), text.isEmpty());
        QCOMPARE(error, text);
        QCOMPARE(modem.received(), sent);
        QCOMPARE(line.isMonitoring(), text.isEmpty());
        // The modem may still report calls: the port stays open either way.
        QVERIFY(line.isOpen());
    }

    void portThatCannotOpenSaysWhich()
    {
        ModemLine line(ini());
        QString error;
        QVERIFY(!line.startMonitoring({5, "ATZ", "AT#CID=1"}, &error));
        QVERIFY2(error.contains(QLatin1String("COM5")) && error.contains(QLatin1String("absent5")), qPrintable(error));
        QVERIFY(!line.isOpen());
    }

    // After a refused start-up the next start tries again instead of claiming to monitor,
    // and a refused modem that goes away is not reported: it was never monitored.
    void refusedStartUpIsRetried()
    {
        auto modem = std::make_unique<VirtualModemProcess>(QStringList{QStringLiteral("reply AT#CID=1 ERROR")});
        map(3, modem->path());
        ModemLine line(ini());
        QSignalSpy lost(&line, &ModemLine::portLost);
        QSignalSpy numbersSpy(&line, &ModemLine::callerNumber);
        QString error;
        QVERIFY(!line.startMonitoring(kDefaults, &error));
        QVERIFY(!line.startMonitoring(kDefaults, &error));
        QCOMPARE(error, kCallerIdRefused);
        QCOMPARE(modem->received().count(QStringLiteral("ATZ")), 2);

        modem->command(QStringLiteral("reply AT#CID=1 OK"));
        QTest::qWait(100);
        QVERIFY(line.startMonitoring(kDefaults, &error));
        QCOMPARE(modem->received().count(QStringLiteral("AT#CID=1")), 3);
        modem->command(QStringLiteral("call 13800138000"));
        QTRY_COMPARE(numbers(numbersSpy), QList<QByteArray>{"13800138000"});

        modem = std::make_unique<VirtualModemProcess>(QStringList{QStringLiteral("reply ATZ ERROR")});
        map(3, modem->path());
        line.close();
        QVERIFY(!line.startMonitoring(kDefaults, &error));
        modem->quit();
        QTest::qWait(300);
        QCOMPARE(lost.size(), 0);
    }

    void testCommand_data()
    {
        QTest::addColumn<QStringList>("modemSetup");
        QTest::addColumn<QString>("text");
        QTest::newRow("success") << QStringList{} << QString();
        QTest::newRow("init unanswered") << QStringList{"reply ATZ NONE"} << QStringLiteral("初始化失败.");
        QTest::newRow("init refused") << QStringList{"reply ATZ ERROR"}
                                      << QStringLiteral("初始化失败,请重新设置初始化指令.");
        QTest::newRow("caller ID unanswered") << QStringList{"reply AT#CID=1 NONE"} << kCallerIdNoAnswer;
        QTest::newRow("caller ID refused") << QStringList{"reply AT#CID=1 ERROR"} << kCallerIdRefused;
    }

    void testCommand()
    {
        QFETCH(QStringList, modemSetup);
        QFETCH(QString, text);
        VirtualModemProcess modem(modemSetup);
        map(3, modem.path());
        ModemLine line(ini());
        QString error;
        QString restartError;
        QCOMPARE(line.test(kDefaults, &error, &restartError), text.isEmpty());
        QCOMPARE(error, text);
        QVERIFY(restartError.isEmpty());
        QVERIFY(!line.isOpen());
        QVERIFY(!modem.received().contains(QStringLiteral("ats0=0")));
    }

    // A test while the modem is monitored does not silently end monitoring.
    void testWhileMonitoringStartsItAgain()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        ModemLine line(ini());
        QSignalSpy numbersSpy(&line, &ModemLine::callerNumber);
        QVERIFY(line.startMonitoring(kDefaults, nullptr));
        QString error;
        QString restartError;
        QVERIFY(line.test(kDefaults, &error, &restartError));
        QVERIFY(error.isEmpty() && restartError.isEmpty());
        QVERIFY(line.isMonitoring());
        // Start-up, the test (init, caller ID), then the start-up again.
        QCOMPARE(modem.received(),
                 QStringList({"ATZ", "ats0=0", "AT#CID=1", "ATZ", "AT#CID=1", "ATZ", "ats0=0", "AT#CID=1"}));
        modem.command(QStringLiteral("call 0591123456"));
        QTRY_COMPARE(numbers(numbersSpy), QList<QByteArray>{"0591123456"});

        // Commands the modem refuses fail the test and the restart alike, each with its text.
        modem.command(QStringLiteral("reply AT&FE1 ERROR"));
        QTest::qWait(100);
        QVERIFY(!line.test({3, "AT&FE1", "AT#CID=1"}, &error, &restartError));
        QCOMPARE(error, QStringLiteral("初始化失败,请重新设置初始化指令."));
        QCOMPARE(restartError, kInitFailed);
        QVERIFY(line.isOpen());
        QVERIFY(!line.isMonitoring());
    }

    void callsGoToTheModem()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        ModemLine line(ini());
        // Nothing started: the port is closed and says so.
        QString error;
        QVERIFY(!line.dial(QStringLiteral("0591123456"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!line.pickUp(nullptr));
        QVERIFY(!line.hangUp(nullptr));

        QVERIFY(line.startMonitoring(kDefaults, nullptr));
        QVERIFY(line.dial(QStringLiteral("0591123456"), &error));
        QVERIFY(line.pickUp(&error));
        QVERIFY(line.hangUp(&error));
        QVERIFY(modem.waitReceived(QStringLiteral("ATH0")));
        // A Hayes modem takes only command lines that start with "AT".
        QCOMPARE(modem.received().mid(3), QStringList({"ATDT0591123456", "ATH1", "ATH0"}));
    }

    void modemThatStopsDrainingEndsTheWait()
    {
        VirtualModemProcess modem({QStringLiteral("stall on")});
        map(3, modem.path());
        QTest::qWait(300);
        ModemLine line(ini());
        QElapsedTimer clock;
        clock.start();
        QString error;
        QVERIFY(!line.startMonitoring(kDefaults, &error));
        QVERIFY(clock.elapsed() < 150 + ModemExchange::DrainLimitMs + 1000);
        QCOMPARE(error, kInitFailed);
    }

    void unpluggedModemIsReportedOnce()
    {
        auto modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        ModemLine line(ini());
        QSignalSpy lost(&line, &ModemLine::portLost);
        QVERIFY(line.startMonitoring(kDefaults, nullptr));
        modem->quit();
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY(!lost.at(0).at(0).toString().isEmpty());
        QTest::qWait(300);
        QCOMPARE(lost.size(), 1);
        QVERIFY(!line.isOpen());
        QVERIFY(!line.isMonitoring());

        // Plugged in again: the next start begins afresh.
        modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        QVERIFY(line.startMonitoring(kDefaults, nullptr));
        QCOMPARE(modem->received(), QStringList({"ATZ", "ats0=0", "AT#CID=1"}));
        QCOMPARE(lost.size(), 1);
    }

    // A monitored modem whose device goes and comes back is started again by itself, with
    // the caller-ID command it had, and its calls are reported again.
    void modemThatComesBackIsStartedAgain()
    {
        auto modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        ModemLine line(ini());
        QSignalSpy lost(&line, &ModemLine::portLost);
        QSignalSpy resumed(&line, &ModemLine::monitoringResumed);
        QSignalSpy numbersSpy(&line, &ModemLine::callerNumber);
        const ModemCommands commands{3, "AT&F", "AT-STE=1;+VCID=1"};
        QVERIFY(line.startMonitoring(commands, nullptr));
        modem->quit();
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY(!line.isMonitoring());

        // Absent for a few tries. The port names a path with no device: the freed pseudo-terminal
        // number may be handed to a modem of another test running beside this one.
        map(3, m_folder->filePath(QStringLiteral("absent3")));
        QTest::qWait(ModemLine::ResumeIntervalMs * 2 + 200);
        QCOMPARE(resumed.size(), 0);
        QVERIFY(!line.isOpen());

        modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        QTRY_COMPARE_WITH_TIMEOUT(resumed.size(), 1, ModemLine::ResumeIntervalMs * 5);
        QVERIFY(line.isMonitoring());
        QCOMPARE(modem->received(), QStringList({"AT&F", "ats0=0", "AT-STE=1;+VCID=1"}));
        modem->command(QStringLiteral("shape ddn 0591123456"));
        QTRY_COMPARE(numbers(numbersSpy), QList<QByteArray>{"0591123456"});

        // Closed by the user after a loss: the port is not tried any more.
        modem->quit();
        QTRY_COMPARE(lost.size(), 2);
        line.close();
        modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        QTest::qWait(ModemLine::ResumeIntervalMs * 2 + 200);
        QVERIFY(modem->received().isEmpty());
        QCOMPARE(resumed.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestModemLine)
#include "tst_modemline.moc"
