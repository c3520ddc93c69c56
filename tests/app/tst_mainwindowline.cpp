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

class TestMainFormTapi : public QObject
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
        form.RadioButton3->setChecked(true);
        form.StartTapi();
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(myTAPILine);
        QCOMPARE(items(form.ComboBox1), QStringList({"第一线路", "第三线路"}));
        QCOMPARE(form.ComboBox1->currentIndex(), 0);
        QCOMPARE(report(form.ListBox1).mid(0, 3), QStringList({"TAPI线路: #0", "TAPI线路名称: 第一线路",
                                                                 "TAPI服务提供商名称: 模拟服务"}));
        QVERIFY(report(form.ListBox1).contains(QStringLiteral("是否支持语音呼叫: 是")));
        QCOMPARE(form.Label4->text(), QStringLiteral("TAPI来电设备: 第一线路                 "));
        // The standard line icon.
        QVERIFY(!form.Image1->pixmap().isNull());
        QVERIFY(form.Image1->pixmap().toImage().pixelColor(15, 20) != QColor(Qt::red));

        // Choosing the second item reports device 2, with its own icon.
        form.ComboBox1->setCurrentIndex(1);
        emit form.ComboBox1->activated(1);
        QCOMPARE(myTAPILine->GetCurLine(), 2u);
        QCOMPARE(report(form.ListBox1).mid(0, 2), QStringList({"TAPI线路: #2", "TAPI线路名称: 第三线路"}));
        QVERIFY(report(form.ListBox1).contains(QStringLiteral("是否支持语音呼叫: 否")));
        QCOMPARE(form.Image1->pixmap().toImage().pixelColor(15, 15), QColor(Qt::red));
        QCOMPARE(form.Label4->text(), QStringLiteral("TAPI来电设备: 第三线路                 "));

        // With the modem chosen the status line is not the list's to change.
        form.RadioButton3->setChecked(false);
        form.Label4->setText(QStringLiteral("Modem: COM1"));
        form.ComboBox1->setCurrentIndex(0);
        form.ComboBox1Change();
        QCOMPARE(form.Label4->text(), QStringLiteral("Modem: COM1"));
        QCOMPARE(myTAPILine->GetCurLine(), 0u);

        // An index beyond the list (a stored choice from another machine) selects nothing.
        form.ComboBox1->setCurrentIndex(-1);
        form.ComboBox1Change();
        QCOMPARE(report(form.ListBox1), QStringList{"没有有效的TAPI线路选中"});
    }

    void noUsableDeviceShowsBothFailures()
    {
        install({});
        MainWindow form;
        form.Image1->setPixmap(QPixmap(30, 30));
        const qint64 before = form.Image1->pixmap().cacheKey();
        form.RadioButton3->setChecked(true);
        form.StartTapi();
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes[0].text, QStringLiteral("未知错误"));
        QCOMPARE(m_boxes[1].text, QStringLiteral("致命的错误, TAPI版本协商失败"));
        QCOMPARE(m_boxes[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(form.ComboBox1->count(), 0);
        QCOMPARE(form.ListBox1->count(), 0);
        // The report built later (the stored settings) says that nothing is selected; the
        // icon request for device 0 fails and the picture stays.
        form.ComboBox1Change();
        QCOMPARE(report(form.ListBox1), QStringList{"没有有效的TAPI线路选中"});
        QCOMPARE(form.Image1->pixmap().cacheKey(), before);
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
        form.StartTapi();
        form.btnLineCfg->click();
        QCOMPARE(opened, QList<DWORD>{0});
        QVERIFY(m_boxes.isEmpty());

        form.ComboBox1->setCurrentIndex(1);
        form.ComboBox1Change();
        form.btnLineCfg->click();
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
        form.StartTapi();
        // What the monitoring command does with the TAPI group chosen.
        myTAPILine->CloseLine();
        QVERIFY(myTAPILine->OpenLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));

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
                                   {WM_LINE_RING, {}}, {WM_LINE_RING, {}}, {WM_CALLER_NUMBER, "13905911234"}}));
        QCOMPARE(simline({"disconnect", "0"}), 0);
        QTRY_COMPARE(tap.messages.size(), 5);
        QCOMPARE(tap.messages.mid(3), (QList<QPair<int, QByteArray>>{{WM_RING_DONE, {}}, {WM_RING_DONE, {}}}));
    }
};

QTEST_MAIN(TestMainFormTapi)
#include "tst_mainwindowline.moc"
