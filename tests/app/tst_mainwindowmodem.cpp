// The main window's modem commands over pseudo-terminals with the virtual modem: the port
// scan, the monitoring command for both device types, the test command, calls, and a
// modem that stops draining or goes away.
#include "app/MainWindow.h"
#include "app/DeviceSettings.h"
#include "capture/LineMessage.h"
#include "capture/ModemExchange.h"
#include "capture/TelephonyLine.h"
#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/serial/SerialPort.h"
#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "support/VirtualModemProcess.h"

#include "app/AnimatedTrayIcon.h"

#include <QComboBox>
#include <QPushButton>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kInitFailed = QStringLiteral("Modem初始化失败,请重新设置初始化指令.");
const QString kCallerIdNoAnswer = QStringLiteral("打开来显示功能失败.");
const QString kCallerIdRefused =
    QStringLiteral("无法打开来显示功能,请重新设置。\r\n\r\n如果重试所有指令都不成功，表明的Modem不支持来电显示.");

// Keeps the numbers posted to the main window without letting it pop up a caller window.
class NumberTap final : public QObject
{
public:
    QList<QByteArray> numbers;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (!LineMessage::isLineMessage(e))
            return false;
        const auto* m = static_cast<LineMessage*>(e);
        if (m->id() == WM_CALLER_NUMBER)
            numbers << m->text();
        return true;
    }
};
} // namespace

class TestMainFormModem : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QList<MessageBoxes::Box> m_boxes;

    QString ini() const { return ProgramFolder::file(QStringLiteral("sysset.ini")); }

    void map(int com, const QString& path)
    {
        QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(com), path));
    }

    // Every port leads nowhere unless a test maps it, whatever the machine has.
    void mapAllAbsent()
    {
        for (int com = 1; com <= 8; ++com)
            map(com, m_folder->filePath(QStringLiteral("absent%1").arg(com)));
    }

    QStringList texts() const
    {
        QStringList list;
        for (const auto& box : m_boxes)
            list << box.text;
        return list;
    }

    // The modem chosen on COM3 with the given commands' items.
    void chooseModem(MainWindow& form, int port = 2)
    {
        form.RadioButton4->setChecked(true);
        form.ComboBox4->setCurrentIndex(port);
    }

private slots:
    void initTestCase()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box;
            return QMessageBox::Ok;
        });
    }

    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        ProgramFolder::setPath(m_folder->path());
        m_boxes.clear();
        mapAllAbsent();
    }

    void cleanup() { LineProviders::clear(); }

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
        holder.SetCommPort(2);
        holder.SetPortOpen(true);

        MainWindow form;
        form.ComboBox5->setCurrentIndex(2);
        form.SetModemDefaults();
        QCOMPARE(form.ComboBox4->currentText(), QStringLiteral("COM6"));
        QCOMPARE(form.ComboBox5->currentIndex(), 0);
        QCOMPARE(form.ComboBox6->currentIndex(), 0);
        QVERIFY(!form.MSComm1->PortOpen());
        QVERIFY(silent.received().contains(QStringLiteral("AT")));
        QVERIFY(modem.received().contains(QStringLiteral("AT")));
        QVERIFY(busy.received().isEmpty());
        QVERIFY(m_boxes.isEmpty());
    }

    void scanWithoutModemChoosesCom1()
    {
        VirtualModemProcess silent({QStringLiteral("default NONE")});
        map(8, silent.path());
        MainWindow form;
        form.ComboBox4->setCurrentIndex(5);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(form.ScanModemPort(), 0);
        QVERIFY(clock.elapsed() >= 150);
        form.SetModemDefaults();
        QCOMPARE(form.ComboBox4->currentText(), QStringLiteral("COM1"));
        QVERIFY(!form.MSComm1->PortOpen());
    }

    void monitoringStartsTheModemAndACallArrives()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        MainWindow form;
        NumberTap tap;
        form.installEventFilter(&tap);
        chooseModem(form);
        form.ComboBox5->setCurrentIndex(1);
        form.ComboBox6->setCurrentIndex(2);
        form.btnMonitor->click();
        QVERIFY2(m_boxes.isEmpty(), qPrintable(texts().join(QLatin1Char('|'))));
        QCOMPARE(modem.received(), QStringList({"AT&F&C1&D2", "ats0=0", "AT+VCID=1"}));
        QCOMPARE(form.DevType, 4);
        QVERIFY(form.MSComm1->PortOpen());
        QVERIFY(form.TrayIcon1->isVisible());

        const DeviceSetSection stored = DeviceSettings(ini()).readDeviceSet();
        QCOMPARE(stored.devType, 4);
        QCOMPARE(stored.devNum, 2);
        QCOMPARE(stored.modemSet1, 1);
        QCOMPARE(stored.modemSet2, 2);

        modem.command(QStringLiteral("call 0591123456"));
        QTRY_COMPARE(tap.numbers, QList<QByteArray>{"0591123456"});

        // Pressed again while monitoring: the choice is recorded, the modem left alone.
        form.ComboBox5->setCurrentIndex(0);
        form.btnMonitor->click();
        QCOMPARE(modem.received().size(), 3);
        QCOMPARE(DeviceSettings(ini()).readDeviceSet().modemSet1, 0);

        // The choice comes back at the next start.
        MainWindow next;
        next.ApplyDeviceSettings();
        QVERIFY(next.RadioButton4->isChecked());
        QCOMPARE(next.ComboBox4->currentIndex(), 2);
        QCOMPARE(next.ComboBox6->currentIndex(), 2);
    }

    void startUpFailures_data()
    {
        QTest::addColumn<QStringList>("modemSetup");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("init refused") << QStringList{"reply ATZ ERROR"} << kInitFailed << QStringList{"ATZ"};
        QTest::newRow("init unanswered") << QStringList{"reply ATZ NONE"} << kInitFailed << QStringList{"ATZ"};
        // The "OK" to "ats0=0" must not count for the caller-ID command.
        QTest::newRow("caller ID refused") << QStringList{"reply AT#CID=1 ERROR"} << kCallerIdRefused
                                           << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
        QTest::newRow("caller ID unanswered") << QStringList{"reply AT#CID=1 NONE"} << kCallerIdNoAnswer
                                              << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
        QTest::newRow("caller ID answered late") << QStringList{"delay AT#CID=1 400"} << kCallerIdNoAnswer
                                                 << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
        QTest::newRow("echo and reply with OK") << QStringList{"echo on"} << QString()
                                                << QStringList{"ATZ", "ats0=0", "AT#CID=1"};
    }

    void startUpFailures()
    {
        QFETCH(QStringList, modemSetup);
        QFETCH(QString, text);
        QFETCH(QStringList, sent);
        VirtualModemProcess modem(modemSetup);
        map(3, modem.path());
        MainWindow form;
        chooseModem(form);
        form.btnMonitor->click();
        if (text.isEmpty()) {
            QCOMPARE(m_boxes.size(), 0);
        } else {
            QCOMPARE(texts(), QStringList{text});
            QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));
            QCOMPARE(m_boxes[0].icon, QMessageBox::NoIcon);
        }
        QCOMPARE(modem.received(), sent);
        // Whatever the outcome: the choice is stored and the program goes to the tray.
        QCOMPARE(form.DevType, 4);
        QCOMPARE(DeviceSettings(ini()).readDeviceSet().devType, 4);
        QVERIFY(form.TrayIcon1->isVisible());
        QVERIFY(form.MSComm1->PortOpen());
    }

    void portThatCannotOpenShowsItsOwnText()
    {
        MainWindow form;
        chooseModem(form, 4);
        form.btnMonitor->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.contains(QLatin1String("COM5")));
        QVERIFY(m_boxes[0].text.contains(QLatin1String("absent5")));
        QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));
        QCOMPARE(form.DevType, 4);
        QVERIFY(form.TrayIcon1->isVisible());
    }

    // After a failed start-up the second press tries again instead of claiming to monitor.
    void secondPressRetriesAFailedStartUp()
    {
        VirtualModemProcess modem({QStringLiteral("reply AT#CID=1 ERROR")});
        map(3, modem.path());
        MainWindow form;
        NumberTap tap;
        form.installEventFilter(&tap);
        chooseModem(form);
        form.btnMonitor->click();
        QCOMPARE(texts(), QStringList{kCallerIdRefused});
        form.btnMonitor->click();
        QCOMPARE(texts(), QStringList({kCallerIdRefused, kCallerIdRefused}));
        QCOMPARE(modem.received().count(QStringLiteral("ATZ")), 2);

        modem.command(QStringLiteral("reply AT#CID=1 OK"));
        QTest::qWait(100);
        form.btnMonitor->click();
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(modem.received().count(QStringLiteral("AT#CID=1")), 3);
        modem.command(QStringLiteral("call 13800138000"));
        QTRY_COMPARE(tap.numbers, QList<QByteArray>{"13800138000"});
    }

    void testCommand_data()
    {
        QTest::addColumn<QStringList>("modemSetup");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("success") << QStringList{} << QStringLiteral("提示") << QStringLiteral("测试成功！");
        QTest::newRow("init unanswered") << QStringList{"reply ATZ NONE"} << QStringLiteral("错误提示")
                                         << QStringLiteral("初始化失败.");
        QTest::newRow("init refused") << QStringList{"reply ATZ ERROR"} << QStringLiteral("错误提示")
                                      << QStringLiteral("初始化失败,请重新设置初始化指令.");
        QTest::newRow("caller ID unanswered") << QStringList{"reply AT#CID=1 NONE"} << QStringLiteral("错误提示")
                                              << kCallerIdNoAnswer;
        QTest::newRow("caller ID refused") << QStringList{"reply AT#CID=1 ERROR"} << QStringLiteral("错误提示")
                                           << kCallerIdRefused;
    }

    void testCommand()
    {
        QFETCH(QStringList, modemSetup);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        VirtualModemProcess modem(modemSetup);
        map(3, modem.path());
        MainWindow form;
        chooseModem(form);
        form.btnTestModem->click();
        QCOMPARE(texts(), QStringList{text});
        QCOMPARE(m_boxes[0].caption, caption);
        QCOMPARE(m_boxes[0].icon, QMessageBox::NoIcon);
        QVERIFY(!form.MSComm1->PortOpen());
        QVERIFY(!modem.received().contains(QStringLiteral("ats0=0")));
        QCOMPARE(form.DevType, 0);
    }

    // Testing while the modem is monitored does not silently end monitoring.
    void testWhileMonitoringKeepsMonitoring()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        MainWindow form;
        NumberTap tap;
        form.installEventFilter(&tap);
        chooseModem(form);
        form.btnMonitor->click();
        QVERIFY(m_boxes.isEmpty());
        form.btnTestModem->click();
        QCOMPARE(texts(), QStringList{QStringLiteral("测试成功！")});
        QVERIFY(form.MSComm1->PortOpen());
        // Test (init, caller ID), then the start-up again.
        QCOMPARE(modem.received(),
                 QStringList({"ATZ", "ats0=0", "AT#CID=1", "ATZ", "AT#CID=1", "ATZ", "ats0=0", "AT#CID=1"}));
        modem.command(QStringLiteral("call 0591123456"));
        QTRY_COMPARE(tap.numbers, QList<QByteArray>{"0591123456"});
    }

    void callsGoToTheModem()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        MainWindow form;
        // Monitoring never started: the port is closed.
        form.DialNumber(QStringLiteral("0591123456"));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.startsWith(QStringLiteral("MODEM错误:")));
        QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));

        chooseModem(form);
        form.btnMonitor->click();
        QCOMPARE(m_boxes.size(), 1);
        form.DialNumber(QStringLiteral("0591123456"));
        form.PickUp();
        form.HangUp();
        QVERIFY(modem.waitReceived(QStringLiteral("H0")));
        QCOMPARE(modem.received().mid(3), QStringList({"ATDT0591123456", "H1", "H0"}));
        QCOMPARE(m_boxes.size(), 1);
    }

    void modemThatStopsDrainingEndsTheWait()
    {
        VirtualModemProcess modem({QStringLiteral("stall on")});
        map(3, modem.path());
        QTest::qWait(300);
        MainWindow form;
        chooseModem(form);
        QElapsedTimer clock;
        clock.start();
        form.btnMonitor->click();
        QVERIFY(clock.elapsed() < 150 + ModemExchange::DrainLimitMs + 1000);
        QCOMPARE(texts(), QStringList{kInitFailed});
        QCOMPARE(form.DevType, 4);
    }

    void unpluggedModemIsReportedOnce()
    {
        auto modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        MainWindow form;
        chooseModem(form);
        form.btnMonitor->click();
        QVERIFY(m_boxes.isEmpty());
        modem->quit();
        QTRY_COMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.startsWith(QStringLiteral("Modem已断开")));
        QTest::qWait(300);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(!form.MSComm1->PortOpen());

        // Plugged in again: the monitoring command starts it afresh.
        modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        form.btnMonitor->click();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(modem->received(), QStringList({"ATZ", "ats0=0", "AT#CID=1"}));
    }

    void tapiMonitoringOpensTheLine()
    {
        auto provider = std::make_unique<SimulatedLineProvider>(m_folder->filePath(QStringLiteral("simline.json")));
        SimulatedLineDevice line;
        line.caps.lineName = "线路";
        line.caps.mediaModes = LINEMEDIAMODE_DATAMODEM;
        provider->addDevice(line);
        SimulatedLineProvider* sim = provider.get();
        LineProviders::install(std::move(provider));

        MainWindow form;
        NumberTap tap;
        form.installEventFilter(&tap);
        form.StartTapi();
        form.RadioButton3->setChecked(true);
        QCOMPARE(sim->status(), QStringList{"0 closed idle"});
        form.btnMonitor->click();
        QCOMPARE(form.DevType, 3);
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QVERIFY(form.TrayIcon1->isVisible());
        const DeviceSetSection stored = DeviceSettings(ini()).readDeviceSet();
        QCOMPARE(stored.devType, 3);
        QCOMPARE(stored.devNum, 0);

        form.DialNumber(QStringLiteral("0591123456"));
        QTRY_COMPARE(sim->status(), QStringList{"0 open ringback"});
        QTest::qWait(50); // the call's handle arrives with the line's reply
        form.HangUp();
        QTRY_VERIFY(sim->status().at(0).endsWith(QLatin1String("idle")));
        QCOMPARE(sim->offer(0, "013905911234", ""), QString());
        QTRY_COMPARE(tap.numbers, QList<QByteArray>{"13905911234"});
        QCOMPARE(sim->setCallState(0, LINECALLSTATE_IDLE), QString());
        QTest::qWait(50);

        QVERIFY(m_boxes.isEmpty());
    }
};

QTEST_MAIN(TestMainFormModem)
#include "tst_mainwindowmodem.moc"
