// The main window's wiring of its devices, over pseudo-terminals with the virtual modem and
// the simulated line: the commands reach the modem, what the devices report becomes the
// posted call messages, failures become boxes, and the device choice is stored.
#include "app/AnimatedTrayIcon.h"
#include "app/DeviceSettings.h"
#include "app/MainWindow.h"
#include "capture/LineMessage.h"
#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "support/VirtualModemProcess.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Keeps the messages posted to the main window without letting it pop up a caller window.
class MessageTap final : public QObject
{
public:
    struct Message
    {
        int id;
        QByteArray text;
        qintptr lParam;
        bool operator==(const Message&) const = default;
    };
    QList<Message> messages;

    QList<QByteArray> numbers() const
    {
        QList<QByteArray> list;
        for (const Message& m : messages)
            if (m.id == WM_CALLER_NUMBER)
                list << m.text;
        return list;
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (!LineMessage::isLineMessage(e))
            return false;
        const auto* m = static_cast<LineMessage*>(e);
        messages.append({m->id(), m->text(), m->lParam()});
        return true;
    }
};

template <typename T> T* child(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}
} // namespace

class TestMainWindowModem : public QObject
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

    QStringList texts() const
    {
        QStringList list;
        for (const auto& box : m_boxes)
            list << box.text;
        return list;
    }

    // The modem chosen, on COM3 unless told otherwise.
    static void chooseModem(MainWindow& window, int port = 2)
    {
        child<QRadioButton>(window, "modemRadio")->setChecked(true);
        child<QComboBox>(window, "portCombo")->setCurrentIndex(port);
    }

    static void clickMonitor(MainWindow& window) { child<QPushButton>(window, "monitorButton")->click(); }

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
        for (int com = 1; com <= 8; ++com)
            map(com, m_folder->filePath(QStringLiteral("absent%1").arg(com)));
    }

    void cleanup() { LineProviders::clear(); }

    void defaultsChooseTheFoundPort()
    {
        VirtualModemProcess modem;
        map(6, modem.path());
        MainWindow window;
        auto* callerId = child<QComboBox>(window, "callerIdCommandCombo");
        callerId->setCurrentIndex(2);
        window.chooseModemDefaults();
        QCOMPARE(child<QComboBox>(window, "portCombo")->currentText(), QStringLiteral("COM6"));
        QCOMPARE(callerId->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(window, "initCommandCombo")->currentIndex(), 0);
        QVERIFY(m_boxes.isEmpty());

        map(6, m_folder->filePath(QStringLiteral("absent6")));
        window.chooseModemDefaults();
        QCOMPARE(child<QComboBox>(window, "portCombo")->currentText(), QStringLiteral("COM1"));
    }

    void monitoringStartsTheModemAndACallIsPosted()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        MainWindow window;
        MessageTap tap;
        window.installEventFilter(&tap);
        chooseModem(window);
        child<QComboBox>(window, "callerIdCommandCombo")->setCurrentIndex(1);
        child<QComboBox>(window, "initCommandCombo")->setCurrentIndex(2);
        clickMonitor(window);
        QVERIFY2(m_boxes.isEmpty(), qPrintable(texts().join(QLatin1Char('|'))));
        QCOMPARE(modem.received(), QStringList({"AT&F&C1&D2", "ats0=0", "AT+VCID=1"}));
        QCOMPARE(window.monitoredDevice(), MainWindow::MonitoredDevice::Modem);
        QVERIFY(child<AnimatedTrayIcon>(window, "trayIcon")->isVisible());

        const DeviceSetSection stored = DeviceSettings(ini()).readDeviceSet();
        QCOMPARE(stored.devType, 4);
        QCOMPARE(stored.devNum, 2);
        QCOMPARE(stored.modemSet1, 1);
        QCOMPARE(stored.modemSet2, 2);

        modem.command(QStringLiteral("call 0591123456"));
        QTRY_COMPARE(tap.numbers(), QList<QByteArray>{"0591123456"});
        QCOMPARE(tap.messages.at(0), (MessageTap::Message{WM_CALLER_NUMBER, "0591123456", 121}));

        // Pressed again while monitoring: the choice is recorded, the modem left alone.
        child<QComboBox>(window, "callerIdCommandCombo")->setCurrentIndex(0);
        clickMonitor(window);
        QCOMPARE(modem.received().size(), 3);
        QCOMPARE(DeviceSettings(ini()).readDeviceSet().modemSet1, 0);

        // The choice comes back at the next start.
        MainWindow next;
        next.applyDeviceSettings();
        QVERIFY(child<QRadioButton>(next, "modemRadio")->isChecked());
        QCOMPARE(child<QComboBox>(next, "portCombo")->currentIndex(), 2);
        QCOMPARE(child<QComboBox>(next, "initCommandCombo")->currentIndex(), 2);
    }

    // A refused start-up is a box; the choice is stored and the program goes to the tray
    // all the same, and the next press tries again.
    void refusedStartUpIsShownAndRetried()
    {
        VirtualModemProcess modem({QStringLiteral("reply AT#CID=1 ERROR")});
        map(3, modem.path());
        MainWindow window;
        chooseModem(window);
        clickMonitor(window);
        QCOMPARE(texts().size(), 1);
        QVERIFY(texts().at(0).startsWith(QStringLiteral("无法打开来显示功能")));
        QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));
        QCOMPARE(m_boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(window.monitoredDevice(), MainWindow::MonitoredDevice::Modem);
        QCOMPARE(DeviceSettings(ini()).readDeviceSet().devType, 4);
        QVERIFY(child<AnimatedTrayIcon>(window, "trayIcon")->isVisible());
        clickMonitor(window);
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(modem.received().count(QStringLiteral("ATZ")), 2);
    }

    void testCommandShowsItsVerdict()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        MainWindow window;
        chooseModem(window);
        auto* test = child<QPushButton>(window, "testModemButton");
        test->click();
        QCOMPARE(texts(), QStringList{QStringLiteral("测试成功！")});
        QCOMPARE(m_boxes[0].caption, QStringLiteral("提示"));
        QCOMPARE(window.monitoredDevice(), MainWindow::MonitoredDevice::None);

        modem.command(QStringLiteral("reply ATZ ERROR"));
        QTest::qWait(100);
        test->click();
        QCOMPARE(texts().last(), QStringLiteral("初始化失败,请重新设置初始化指令."));
        QCOMPARE(m_boxes.last().caption, QStringLiteral("错误提示"));
        QVERIFY(!modem.received().contains(QStringLiteral("ats0=0")));
    }

    void lineCommandsGoToTheModem()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        MainWindow window;
        LineCommands& commands = window;
        // Monitoring never started: the port is closed.
        commands.dial(QStringLiteral("0591123456"));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.startsWith(QStringLiteral("MODEM错误:")));
        QVERIFY(m_boxes[0].text.size() > QStringLiteral("MODEM错误:").size());
        QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));

        chooseModem(window);
        clickMonitor(window);
        QCOMPARE(m_boxes.size(), 1);
        commands.dial(QStringLiteral("0591123456"));
        commands.pickUp();
        commands.hangUp();
        QVERIFY(modem.waitReceived(QStringLiteral("H0")));
        QCOMPARE(modem.received().mid(3), QStringList({"ATDT0591123456", "H1", "H0"}));
        QCOMPARE(m_boxes.size(), 1);
    }

    void unpluggedModemIsReportedOnce()
    {
        auto modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        MainWindow window;
        chooseModem(window);
        clickMonitor(window);
        QVERIFY(m_boxes.isEmpty());
        modem->quit();
        QTRY_COMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.startsWith(QStringLiteral("Modem已断开")));
        QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));
        QTest::qWait(300);
        QCOMPARE(m_boxes.size(), 1);

        // Plugged in again: the monitoring command starts it afresh.
        modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        clickMonitor(window);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(modem->received(), QStringList({"ATZ", "ats0=0", "AT#CID=1"}));
    }

    void lineMonitoringOpensTheLine()
    {
        auto provider = std::make_unique<SimulatedLineProvider>(m_folder->filePath(QStringLiteral("simline.json")));
        SimulatedLineDevice line;
        line.caps.lineName = "线路";
        line.caps.mediaModes = LINEMEDIAMODE_DATAMODEM;
        provider->addDevice(line);
        SimulatedLineProvider* sim = provider.get();
        LineProviders::install(std::move(provider));

        MainWindow window;
        MessageTap tap;
        window.installEventFilter(&tap);
        window.startLineDevices();
        child<QRadioButton>(window, "lineRadio")->setChecked(true);
        QCOMPARE(sim->status(), QStringList{"0 closed idle"});
        clickMonitor(window);
        QCOMPARE(window.monitoredDevice(), MainWindow::MonitoredDevice::Line);
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QVERIFY(child<AnimatedTrayIcon>(window, "trayIcon")->isVisible());
        const DeviceSetSection stored = DeviceSettings(ini()).readDeviceSet();
        QCOMPARE(stored.devType, 3);
        QCOMPARE(stored.devNum, 0);

        LineCommands& commands = window;
        commands.dial(QStringLiteral("0591123456"));
        QTRY_COMPARE(sim->status(), QStringList{"0 open ringback"});
        QTest::qWait(50); // the call's handle arrives with the line's reply
        commands.hangUp();
        QTRY_VERIFY(sim->status().at(0).endsWith(QLatin1String("idle")));
        tap.messages.clear();
        QCOMPARE(sim->offer(0, "013905911234", ""), QString());
        QTRY_COMPARE(tap.numbers(), QList<QByteArray>{"013905911234"}); // as the line delivered it
        // The line's rings go on until the call ends, unlike the modem's single rings.
        QVERIFY(tap.messages.contains(MessageTap::Message{WM_LINE_RING, {}, 0}));
        QCOMPARE(sim->setCallState(0, LINECALLSTATE_IDLE), QString());
        QTRY_VERIFY(tap.messages.contains(MessageTap::Message{WM_RING_DONE, {}, 0}));

        QVERIFY(m_boxes.isEmpty());
    }
};

QTEST_MAIN(TestMainWindowModem)
#include "tst_mainwindowmodem.moc"
