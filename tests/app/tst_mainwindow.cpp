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

class TestMainForm : public QObject
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

    void windowAndComponents()
    {
        MainWindow form;
        QCOMPARE(form.windowTitle(), QStringLiteral("维诺星系列－来电显示V3.0"));
        QCOMPARE(form.size(), QSize(439, 533));
        QCOMPARE(form.font().family(), QStringLiteral("宋体"));
        QCOMPARE(form.font().pointSize(), 9);
        QCOMPARE(form.AppPath, ProgramFolder::path());
        QCOMPARE(form.DevType, 0);

        QCOMPARE(form.Label1->text(), QStringLiteral("请选择电话设备    "));
        QVERIFY(form.Label1->font().bold());
        QVERIFY(form.Label4->font().bold());
        QCOMPARE(form.Label4->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(form.Image2->pixmap().size(), QSize(399, 98));
        QCOMPARE(form.Image2->cursor().shape(), Qt::PointingHandCursor);

        QCOMPARE(form.GroupBox3->title(), QStringLiteral("    来电Modem"));
        QCOMPARE(form.RadioButton4->parentWidget(), form.GroupBox3);
        QCOMPARE(form.GroupBox2->title(), QStringLiteral("    TAPI来电设备"));
        QCOMPARE(form.RadioButton3->parentWidget(), form.GroupBox2);
        // The radio buttons sit in different groups: each one's reaction clears the other.
        form.RadioButton3->setChecked(true);
        form.RadioButton4->setChecked(true);
        QVERIFY(!form.RadioButton3->isChecked());

        QCOMPARE(form.Label7->text(), QStringLiteral("连接端口："));
        QCOMPARE(form.Label5->text(), QStringLiteral("初始化AT："));
        QCOMPARE(form.Label6->text(), QStringLiteral("来电开AT："));
        QCOMPARE(items(form.ComboBox4), QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
        QCOMPARE(items(form.ComboBox6), QStringList({"ATZ", "AT&FE1", "AT&F&C1&D2"}));
        QCOMPARE(items(form.ComboBox5),
                 QStringList({"AT#CID=1", "AT+VCID=1", "AT#CLS=8#CID=1", "AT#CLS=8#CID=1"}));
        QVERIFY(form.ComboBox5->isEditable());
        QVERIFY(form.ComboBox6->isEditable());
        QCOMPARE(form.btnTestModem->text(), QStringLiteral("测试Modem"));

        QCOMPARE(form.btnLineCfg->toolTip(), QStringLiteral("线路配置"));
        QCOMPARE(form.Image1->size(), QSize(30, 30));
        QCOMPARE(form.ListBox1->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(form.ListBox1->palette().color(QPalette::Text), QColor(0, 255, 0));

        QCOMPARE(form.chkBoot->text(), QStringLiteral("下次自动启动"));
        QCOMPARE(form.chkDelHeader->text(), QStringLiteral("汇线通,去来电首位     "));
        QCOMPARE(form.chkFskDTMF->text(), QStringLiteral("转为DTMF制式"));
        QCOMPARE(form.btnMonitor->text(), QStringLiteral("监控(&S)"));
        QVERIFY(form.btnMonitor->isDefault());
        QCOMPARE(form.btnStart->text(), QStringLiteral("退出(&X)"));

        for (QTimer* timer : {form.Timer1, form.Timer2}) {
            QVERIFY(!timer->isActive());
            QCOMPARE(timer->interval(), 1000);
        }
        // Other windows reach the components by name as well.
        QCOMPARE(form.findChild<QComboBox*>(QStringLiteral("ComboBox5")), form.ComboBox5);
    }

    void exitButtonClosesTheWindow()
    {
        MainWindow form;
        form.show();
        QSignalSpy closed(&form, &MainWindow::closed);
        form.btnStart->click();
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
    TestMainForm test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
