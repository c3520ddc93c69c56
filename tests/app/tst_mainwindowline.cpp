// The main window's line devices: TAPI start-up over the simulated provider, the device list
// with a refused device in the middle, the report and icon, the line's configuration dialog,
// and a call rung from another process reaching the window as line messages.
#include "app/ClickableWidgets.h"
#include "app/MainWindow.h"
#include "capture/LineMessage.h"
#include "capture/TelephonyLine.h"
#include "platform/ProgramFolder.h"
#include "platform/telephony/SimulatedLineControl.h"
#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/MessageBoxes.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

// Keeps the line messages that reach the main window, so the test sees what arrived
// without the window going on to ring and pop up.
class MessageTap final : public QObject
{
public:
    QList<QPair<int, QByteArray>> messages;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (!LineMessage::isLineMessage(e))
            return false;
        const auto* m = static_cast<LineMessage*>(e);
        messages.append({m->id(), m->text()});
        return true;
    }
};

SimulatedLineDevice device(const char* name, DWORD mediaModes = 0x14)
{
    SimulatedLineDevice d;
    d.caps.lineName = name;
    d.caps.providerInfo = "模拟服务";
    d.caps.mediaModes = mediaModes;
    return d;
}

template <typename T> T* child(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

QStringList items(const QComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

QStringList report(const QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

} // namespace

class TestMainWindowLine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QList<MessageBoxes::Box> m_boxes;

    SimulatedLineProvider* install(const QList<SimulatedLineDevice>& devices)
    {
        auto provider = std::make_unique<SimulatedLineProvider>(m_folder.filePath(QStringLiteral("simline.json")));
        for (const auto& d : devices)
            provider->addDevice(d);
        SimulatedLineProvider* p = provider.get();
        LineProviders::install(std::move(provider));
        return p;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        ProgramFolder::setPath(m_folder.path());
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box;
            return QMessageBox::Ok;
        });
    }

    void cleanup()
    {
        LineProviders::clear();
        m_boxes.clear();
    }

    void listsOnlyNegotiatedDevicesAndReportsTheChosenOne()
    {
        auto refusing = device("第二线路");
        refusing.negotiateError = LINEERR_INCOMPATIBLEAPIVERSION;
        auto third = device("第三线路", LINEMEDIAMODE_DATAMODEM);
        third.iconFile = QStringLiteral("third.png");
        QImage red(16, 16, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(m_folder.filePath(QStringLiteral("third.png"))));
        install({device("第一线路"), refusing, third});

        MainWindow form;
        child<QRadioButton>(form, "lineRadio")->setChecked(true);
        form.startLineDevices();
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(items(child<QComboBox>(form, "lineCombo")), QStringList({"第一线路", "第三线路"}));
        QCOMPARE(child<QComboBox>(form, "lineCombo")->currentIndex(), 0);
        QCOMPARE(report(child<QListWidget>(form, "lineReport")).mid(0, 3), QStringList({"TAPI线路: #0", "TAPI线路名称: 第一线路",
                                                                 "TAPI服务提供商名称: 模拟服务"}));
        QVERIFY(report(child<QListWidget>(form, "lineReport")).contains(QStringLiteral("是否支持语音呼叫: 是")));
        QCOMPARE(child<QLabel>(form, "statusLabel")->text(), QStringLiteral("TAPI来电设备: 第一线路                 "));
        // The standard line icon.
        QVERIFY(!child<ClickableLabel>(form, "lineIcon")->pixmap().isNull());
        QVERIFY(child<ClickableLabel>(form, "lineIcon")->pixmap().toImage().pixelColor(15, 20) != QColor(Qt::red));

        // Choosing the second item reports device 2, with its own icon.
        child<QComboBox>(form, "lineCombo")->setCurrentIndex(1);
        emit child<QComboBox>(form, "lineCombo")->activated(1);
        QCOMPARE(report(child<QListWidget>(form, "lineReport")).mid(0, 2), QStringList({"TAPI线路: #2", "TAPI线路名称: 第三线路"}));
        QVERIFY(report(child<QListWidget>(form, "lineReport")).contains(QStringLiteral("是否支持语音呼叫: 否")));
        QCOMPARE(child<ClickableLabel>(form, "lineIcon")->pixmap().toImage().pixelColor(15, 15), QColor(Qt::red));
        QCOMPARE(child<QLabel>(form, "statusLabel")->text(), QStringLiteral("TAPI来电设备: 第三线路                 "));

        // With the modem chosen the status line is not the list's to change.
        child<QRadioButton>(form, "lineRadio")->setChecked(false);
        child<QLabel>(form, "statusLabel")->setText(QStringLiteral("Modem: COM1"));
        child<QComboBox>(form, "lineCombo")->setCurrentIndex(0);
        form.showLineReport();
        QCOMPARE(child<QLabel>(form, "statusLabel")->text(), QStringLiteral("Modem: COM1"));
        QCOMPARE(report(child<QListWidget>(form, "lineReport")).value(0), QStringLiteral("TAPI线路: #0"));

        // An index beyond the list (a stored choice from another machine) selects nothing.
        child<QComboBox>(form, "lineCombo")->setCurrentIndex(-1);
        form.showLineReport();
        QCOMPARE(report(child<QListWidget>(form, "lineReport")), QStringList{"没有有效的TAPI线路选中"});
    }

    void noUsableDeviceShowsBothFailures()
    {
        install({});
        MainWindow form;
        child<ClickableLabel>(form, "lineIcon")->setPixmap(QPixmap(30, 30));
        const qint64 before = child<ClickableLabel>(form, "lineIcon")->pixmap().cacheKey();
        child<QRadioButton>(form, "lineRadio")->setChecked(true);
        form.startLineDevices();
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes[0].text, QStringLiteral("未知错误"));
        QCOMPARE(m_boxes[1].text, QStringLiteral("致命的错误, TAPI版本协商失败"));
        QCOMPARE(m_boxes[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(child<QComboBox>(form, "lineCombo")->count(), 0);
        QCOMPARE(child<QListWidget>(form, "lineReport")->count(), 0);
        // The report built later (the stored settings) says that nothing is selected; the
        // icon request for device 0 fails and the picture stays.
        form.showLineReport();
        QCOMPARE(report(child<QListWidget>(form, "lineReport")), QStringList{"没有有效的TAPI线路选中"});
        QCOMPARE(child<ClickableLabel>(form, "lineIcon")->pixmap().cacheKey(), before);
    }

    void lineButtonOpensTheProvidersDialog()
    {
        auto refusing = device("B");
        refusing.configDialogError = LINEERR_OPERATIONFAILED;
        SimulatedLineProvider* sim = install({device("A"), refusing});
        QList<DWORD> opened;
        sim->setConfigDialog([&](SimulatedLineProvider&, DWORD d, QWidget* owner) {
            QCOMPARE(owner, nullptr);
            opened << d;
        });
        MainWindow form;
        form.startLineDevices();
        child<QToolButton>(form, "lineConfigButton")->click();
        QCOMPARE(opened, QList<DWORD>{0});
        QVERIFY(m_boxes.isEmpty());

        child<QComboBox>(form, "lineCombo")->setCurrentIndex(1);
        form.showLineReport();
        child<QToolButton>(form, "lineConfigButton")->click();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].caption, QStringLiteral("错误提示"));
        QCOMPARE(m_boxes[0].text, QStringLiteral("因不明原因，请求失败"));
        QCOMPARE(m_boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void callRungFromOutsideReachesTheWindow()
    {
        SimulatedLineProvider* sim = install({device("A")});
        SimulatedLineControl control(sim);
        const QString socket = m_folder.filePath(QStringLiteral("simline.sock"));
        QVERIFY(control.listen(socket));
        MainWindow form;
        MessageTap tap;
        form.installEventFilter(&tap);
        form.startLineDevices();
        child<QRadioButton>(form, "lineRadio")->setChecked(true);
        child<QPushButton>(form, "monitorButton")->click();
        QVERIFY(m_boxes.isEmpty());

        const auto simline = [&](const QStringList& args) {
            QProcess tool;
            tool.start(QStringLiteral(VORNX_BIN_DIR "/simline"), QStringList{"--socket", socket} + args);
            while (tool.state() != QProcess::NotRunning)
                QTest::qWait(10);
            return tool.exitCode();
        };
        QCOMPARE(simline({"offer", "0", "013905911234"}), 0);
        QTRY_COMPARE(tap.messages.size(), 3);
        QCOMPARE(tap.messages, (QList<QPair<int, QByteArray>>{
                                   {WM_LINE_RING, {}}, {WM_LINE_RING, {}}, {WM_CALLER_NUMBER, "013905911234"}}));
        QCOMPARE(simline({"disconnect", "0"}), 0);
        QTRY_COMPARE(tap.messages.size(), 5);
        QCOMPARE(tap.messages.mid(3), (QList<QPair<int, QByteArray>>{{WM_RING_DONE, {}}, {WM_RING_DONE, {}}}));
    }
};

QTEST_MAIN(TestMainWindowLine)
#include "tst_mainwindowline.moc"
