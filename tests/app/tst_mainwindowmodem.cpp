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
#include <QFileInfo>
#include <QStandardItemModel>
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

    // One simulated line device, "线路", installed for the window to find.
    SimulatedLineProvider* installLine()
    {
        auto provider = std::make_unique<SimulatedLineProvider>(m_folder->filePath(QStringLiteral("simline.json")));
        SimulatedLineDevice line;
        line.caps.lineName = "线路";
        line.caps.mediaModes = LINEMEDIAMODE_DATAMODEM;
        provider->addDevice(line);
        SimulatedLineProvider* sim = provider.get();
        LineProviders::install(std::move(provider));
        return sim;
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

    // The port list says which device stands behind each port and greys the ports without
    // one, which stay selectable: stored settings may name them.
    void portListNamesTheDevices()
    {
        auto modem = std::make_unique<VirtualModemProcess>();
        QVERIFY(!modem->path().isEmpty());
        map(3, modem->path());
        MainWindow window;
        window.chooseModemDefaults();
        auto* ports = child<QComboBox>(window, "portCombo");
        QCOMPARE(ports->count(), 8);
        const auto tip = [ports](int item) { return ports->itemData(item, Qt::ToolTipRole).toString(); };
        const auto greyed = [ports](int item) { return ports->itemData(item, Qt::ForegroundRole).isValid(); };
        QCOMPARE(tip(2), QStringLiteral("COM3：") + modem->path());
        QVERIFY(!greyed(2));
        for (int item : {0, 1, 3, 7}) {
            QVERIFY2(tip(item).contains(m_folder->filePath(QStringLiteral("absent%1").arg(item + 1))), qPrintable(tip(item)));
            QVERIFY(tip(item).contains(QStringLiteral("设备不存在")));
            QVERIFY(greyed(item));
        }
        // Greyed, not disabled: an absent port can still be chosen.
        ports->setCurrentIndex(5);
        QCOMPARE(ports->currentText(), QStringLiteral("COM6"));
        auto* model = qobject_cast<QStandardItemModel*>(ports->model());
        QVERIFY(model && model->item(5)->isEnabled() && model->item(5)->isSelectable());

        // The modem pulled out: seen the next time the user turns to the modem.
        const QString gone = modem->path();
        modem.reset();
        QTRY_VERIFY(!QFileInfo::exists(gone));
        child<QRadioButton>(window, "lineRadio")->setChecked(true);
        child<QRadioButton>(window, "modemRadio")->setChecked(true);
        QVERIFY(greyed(2));
        QVERIFY(tip(2).contains(gone));
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

        // Pressed again on the same choice: the modem is left alone.
        clickMonitor(window);
        QCOMPARE(modem.received().size(), 3);
        // A changed command starts the modem afresh with it; the choice is recorded.
        child<QComboBox>(window, "callerIdCommandCombo")->setCurrentIndex(0);
        clickMonitor(window);
        QVERIFY2(m_boxes.isEmpty(), qPrintable(texts().join(QLatin1Char('|'))));
        QCOMPARE(modem.received().mid(3), QStringList({"AT&F&C1&D2", "ats0=0", "AT#CID=1"}));
        QCOMPARE(DeviceSettings(ini()).readDeviceSet().modemSet1, 0);

        // The choice comes back at the next start.
        MainWindow next;
        next.applyDeviceSettings();
        QVERIFY(child<QRadioButton>(next, "modemRadio")->isChecked());
        QCOMPARE(child<QComboBox>(next, "portCombo")->currentIndex(), 2);
        QCOMPARE(child<QComboBox>(next, "initCommandCombo")->currentIndex(), 2);
    }

    // The chipset presets follow the four old commands, whose stored indexes keep their
    // meaning; a preset goes to the modem as listed.
    void chipsetPresetsFollowTheOldCommands()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        MainWindow window;
        auto* callerId = child<QComboBox>(window, "callerIdCommandCombo");
        QStringList items;
        for (int i = 0; i < callerId->count(); ++i)
            items << callerId->itemText(i);
        QCOMPARE(items.mid(0, 4), QStringList({"AT#CID=1", "AT+VCID=1", "AT#CLS=8#CID=1", "AT#CLS=8#CID=1"}));
        for (const char* preset : {"AT-STE=1;+VCID=1", "AT+VCID=2", "AT#CID=2", "ATS40.2=1"})
            QVERIFY2(items.indexOf(QString::fromLatin1(preset)) >= 4, preset);
        // The settings file keeps one digit of the index.
        QVERIFY(callerId->count() <= 10);

        chooseModem(window);
        callerId->setCurrentIndex(callerId->findText(QStringLiteral("ATS40.2=1")));
        clickMonitor(window);
        QCOMPARE(modem.received(), QStringList({"ATZ", "ats0=0", "ATS40.2=1"}));
        MainWindow next;
        next.applyDeviceSettings();
        QCOMPARE(child<QComboBox>(next, "callerIdCommandCombo")->currentText(), QStringLiteral("ATS40.2=1"));
    }

    // Commands typed into the lists are stored as text and come back at the next start,
    // and the modem gets them then; an old file without the text keys keeps its indexes.
    void typedCommandsAreKept()
    {
        VirtualModemProcess modem;
        map(3, modem.path());
        {
            MainWindow window;
            chooseModem(window);
            child<QComboBox>(window, "callerIdCommandCombo")->setEditText(QStringLiteral("AT+VCID=1;+VRID=0"));
            child<QComboBox>(window, "initCommandCombo")->setEditText(QStringLiteral("AT&F&C1&D2S0=0"));
            clickMonitor(window);
            QCOMPARE(modem.received(), QStringList({"AT&F&C1&D2S0=0", "ats0=0", "AT+VCID=1;+VRID=0"}));
        }
        const DeviceSetSection stored = DeviceSettings(ini()).readDeviceSet();
        QCOMPARE(stored.callerIdCommand, QStringLiteral("AT+VCID=1;+VRID=0"));
        QCOMPARE(stored.initCommand, QStringLiteral("AT&F&C1&D2S0=0"));

        VirtualModemProcess second;
        map(3, second.path());
        {
            MainWindow next;
            next.applyDeviceSettings();
            QCOMPARE(child<QComboBox>(next, "callerIdCommandCombo")->currentText(), QStringLiteral("AT+VCID=1;+VRID=0"));
            QCOMPARE(child<QComboBox>(next, "initCommandCombo")->currentText(), QStringLiteral("AT&F&C1&D2S0=0"));
            clickMonitor(next);
            QCOMPARE(second.received(), QStringList({"AT&F&C1&D2S0=0", "ats0=0", "AT+VCID=1;+VRID=0"}));
        }

        // A file written before the text keys: the indexes alone, the second of two equal items.
        QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("DEVICESET"), QStringLiteral("MODEMCMD1"), QString()));
        QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("DEVICESET"), QStringLiteral("MODEMCMD2"), QString()));
        QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("DEVICESET"), QStringLiteral("MODEMSET1"), QStringLiteral("3")));
        QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("DEVICESET"), QStringLiteral("MODEMSET2"), QStringLiteral("1")));
        MainWindow old;
        old.applyDeviceSettings();
        QCOMPARE(child<QComboBox>(old, "callerIdCommandCombo")->currentIndex(), 3);
        QCOMPARE(child<QComboBox>(old, "initCommandCombo")->currentIndex(), 1);
    }

    // A refused start-up is a box; the choice is stored, the tray icon says that nothing is
    // monitored, the window stays, and the next press tries again.
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
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::Off);
        QVERIFY(!child<AnimatedTrayIcon>(window, "trayIcon")->isVisible());
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
        QVERIFY(modem.waitReceived(QStringLiteral("ATH0")));
        // A Hayes modem takes only command lines that start with "AT".
        QCOMPARE(modem.received().mid(3), QStringList({"ATDT0591123456", "ATH1", "ATH0"}));
        QCOMPARE(m_boxes.size(), 1);
    }

    // Monitoring moved to another port: the new port's modem is started and heard, the old
    // one no longer watched.
    void changedPortMovesTheMonitoring()
    {
        VirtualModemProcess first;
        VirtualModemProcess second;
        map(3, first.path());
        map(4, second.path());
        MainWindow window;
        MessageTap tap;
        window.installEventFilter(&tap);
        chooseModem(window, 2);
        clickMonitor(window);
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(first.received(), QStringList({"ATZ", "ats0=0", "AT#CID=1"}));

        child<QComboBox>(window, "portCombo")->setCurrentIndex(3);
        clickMonitor(window);
        QVERIFY2(m_boxes.isEmpty(), qPrintable(texts().join(QLatin1Char('|'))));
        QCOMPARE(second.received(), QStringList({"ATZ", "ats0=0", "AT#CID=1"}));
        QCOMPARE(DeviceSettings(ini()).readDeviceSet().devNum, 3);
        QVERIFY(child<AnimatedTrayIcon>(window, "trayIcon")->toolTip().contains(QStringLiteral("COM4")));

        second.command(QStringLiteral("call 0591123456"));
        QTRY_COMPARE(tap.numbers(), QList<QByteArray>{"0591123456"});
        first.command(QStringLiteral("call 0207654321"));
        QTest::qWait(300);
        QCOMPARE(tap.numbers(), QList<QByteArray>{"0591123456"});
        // Calling back goes out on the monitored modem.
        LineCommands& commands = window;
        commands.dial(QStringLiteral("0591123456"));
        QVERIFY(second.waitReceived(QStringLiteral("ATDT0591123456")));
        QVERIFY(!first.received().contains(QStringLiteral("ATDT0591123456")));
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
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::Lost);
        QVERIFY(child<AnimatedTrayIcon>(window, "trayIcon")->toolTip().contains(QStringLiteral("COM3")));
        QTest::qWait(300);
        QCOMPARE(m_boxes.size(), 1);

        // Plugged in again: the monitoring command starts it afresh.
        modem = std::make_unique<VirtualModemProcess>();
        map(3, modem->path());
        clickMonitor(window);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(modem->received(), QStringList({"ATZ", "ats0=0", "AT#CID=1"}));
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::On);
    }

    // A call-back the line refuses is said, and the line goes on bringing incoming calls.
    void failedLineCallBackIsSaidAndMonitoringGoesOn()
    {
        SimulatedLineProvider* sim = installLine();
        QCOMPARE(sim->setMakeCallResult(0, LINEERR_OPERATIONFAILED), QString());
        MainWindow window;
        MessageTap tap;
        window.installEventFilter(&tap);
        window.startLineDevices();
        child<QRadioButton>(window, "lineRadio")->setChecked(true);
        clickMonitor(window);
        QVERIFY(m_boxes.isEmpty());

        LineCommands& commands = window;
        commands.dial(QStringLiteral("0591123456"));
        QTRY_COMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].text, QStringLiteral("回拨失败：因不明原因，请求失败"));
        QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::On);

        QCOMPARE(sim->offer(0, "013905911234", ""), QString());
        QTRY_COMPARE(tap.numbers(), QList<QByteArray>{"013905911234"});
        QCOMPARE(m_boxes.size(), 1);
    }

    // The line closed by its provider is said once, the tray shows it lost, and the next
    // monitoring start opens it again.
    void lineClosedByItsProviderIsSaidAndReopened()
    {
        SimulatedLineProvider* sim = installLine();
        MainWindow window;
        MessageTap tap;
        window.installEventFilter(&tap);
        window.startLineDevices();
        child<QRadioButton>(window, "lineRadio")->setChecked(true);
        clickMonitor(window);
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::On);
        QCOMPARE(sim->closeLine(0), QString());
        QTRY_COMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.startsWith(QStringLiteral("TAPI线路已被关闭")));
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::Lost);
        QVERIFY(child<AnimatedTrayIcon>(window, "trayIcon")->toolTip().contains(QStringLiteral("线路")));
        QTest::qWait(200);
        QCOMPARE(m_boxes.size(), 1);
        // Calling back over the closed line is refused at once, and said.
        LineCommands& commands = window;
        commands.dial(QStringLiteral("0591123456"));
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes[1].text, QStringLiteral("回拨失败：指定的线路句柄无效"));
        m_boxes.removeLast();

        clickMonitor(window);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::On);
        QCOMPARE(sim->offer(0, "013905911234", ""), QString());
        QTRY_COMPARE(tap.numbers(), QList<QByteArray>{"013905911234"});
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
