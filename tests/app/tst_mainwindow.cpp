#include "app/GuardedApplication.h"
#include "app/ClickableWidgets.h"
#include "app/MainWindow.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
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

// Raises an error from inside an event handler.
class Thrower final : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw Error(QStringLiteral("数据无法打开！"));
        return QObject::event(e);
    }
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

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

    void windowAndWidgets()
    {
        MainWindow form;
        QCOMPARE(form.windowTitle(), QStringLiteral("维诺星系列－来电显示V3.0"));
        QCOMPARE(form.size(), QSize(439, 533));
        QCOMPARE(form.font().family(), QStringLiteral("宋体"));
        QCOMPARE(form.font().pointSize(), 9);
        QCOMPARE(form.monitoredDevice(), MainWindow::MonitoredDevice::None);

        auto* hint = child<QLabel>(form, "deviceHintLabel");
        auto* status = child<QLabel>(form, "statusLabel");
        QCOMPARE(hint->text(), QStringLiteral("请选择电话设备    "));
        QVERIFY(hint->font().bold());
        QVERIFY(status->font().bold());
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::red));
        auto* banner = child<ClickableLabel>(form, "banner");
        QCOMPARE(banner->pixmap().size(), QSize(399, 98));
        QCOMPARE(banner->cursor().shape(), Qt::PointingHandCursor);

        auto* modemGroup = child<ClickableGroupBox>(form, "modemGroup");
        auto* lineGroup = child<ClickableGroupBox>(form, "lineGroup");
        auto* modemRadio = child<QRadioButton>(form, "modemRadio");
        auto* lineRadio = child<QRadioButton>(form, "lineRadio");
        QCOMPARE(modemGroup->title(), QStringLiteral("    来电Modem"));
        QCOMPARE(modemRadio->parentWidget(), modemGroup);
        QCOMPARE(lineGroup->title(), QStringLiteral("    TAPI来电设备"));
        QCOMPARE(lineRadio->parentWidget(), lineGroup);
        // The radio buttons sit in different groups: each one's reaction clears the other.
        lineRadio->setChecked(true);
        modemRadio->setChecked(true);
        QVERIFY(!lineRadio->isChecked());

        QCOMPARE(child<QLabel>(form, "portLabel")->text(), QStringLiteral("连接端口："));
        QCOMPARE(child<QLabel>(form, "initCommandLabel")->text(), QStringLiteral("初始化AT："));
        QCOMPARE(child<QLabel>(form, "callerIdCommandLabel")->text(), QStringLiteral("来电开AT："));
        auto* initCommand = child<QComboBox>(form, "initCommandCombo");
        auto* callerIdCommand = child<QComboBox>(form, "callerIdCommandCombo");
        QCOMPARE(items(child<QComboBox>(form, "portCombo")),
                 QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
        QCOMPARE(items(initCommand), QStringList({"ATZ", "AT&FE1", "AT&F&C1&D2"}));
        // The four classic commands keep their places; the chipsets' commands follow.
        QCOMPARE(items(callerIdCommand),
                 QStringList({"AT#CID=1", "AT+VCID=1", "AT#CLS=8#CID=1", "AT#CLS=8#CID=1", "AT-STE=1;+VCID=1", "AT+VCID=2",
                              "AT#CID=2", "ATS40.2=1", "AT+FCLASS=8;+VCID=1"}));
        QVERIFY(callerIdCommand->isEditable());
        QVERIFY(initCommand->isEditable());
        QCOMPARE(child<QPushButton>(form, "testModemButton")->text(), QStringLiteral("测试Modem"));

        QCOMPARE(child<QToolButton>(form, "lineConfigButton")->toolTip(), QStringLiteral("线路配置"));
        QCOMPARE(child<ClickableLabel>(form, "lineIcon")->size(), QSize(30, 30));
        auto* report = child<QListWidget>(form, "lineReport");
        QCOMPARE(report->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(report->palette().color(QPalette::Text), QColor(0, 255, 0));

        QCOMPARE(child<QCheckBox>(form, "autoStartCheck")->text(), QStringLiteral("下次自动启动"));
        QCOMPARE(child<QCheckBox>(form, "dropFirstDigitCheck")->text(), QStringLiteral("汇线通,去来电首位     "));
        QCOMPARE(child<QCheckBox>(form, "dtmfCheck")->text(), QStringLiteral("转为DTMF制式"));
        auto* monitor = child<QPushButton>(form, "monitorButton");
        QCOMPARE(monitor->text(), QStringLiteral("监控(&S)"));
        QVERIFY(monitor->isDefault());
        QCOMPARE(child<QPushButton>(form, "exitButton")->text(), QStringLiteral("退出(&X)"));

        for (const char* name : {"ringTimer", "autoStartTimer"}) {
            auto* timer = child<QTimer>(form, name);
            QVERIFY(!timer->isActive());
            QCOMPARE(timer->interval(), 1000);
        }
    }

    void exitButtonClosesTheWindow()
    {
        MainWindow form;
        form.show();
        QSignalSpy closed(&form, &MainWindow::closed);
        child<QPushButton>(form, "exitButton")->click();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!form.isVisible());
    }

    void errorInAHandlerIsReportedAndTheProgramGoesOn()
    {
        Application::setTitle(QStringLiteral("维诺星系列－来电显示"));
        m_boxes.clear();
        Thrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).caption, QStringLiteral("维诺星系列－来电显示"));
        QCOMPARE(m_boxes.at(0).text, QStringLiteral("数据无法打开！."));
        QCOMPARE(m_boxes.at(0).icon, QMessageBox::Critical);
    }

private:
    QTemporaryDir m_folder;
    QList<MessageBoxes::Box> m_boxes;
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
