// The main window's region table: loaded at creation behind the loading notice, reported
// without costing the rest of the creation, and the query window reached from the window.
#include "app/GuardedApplication.h"
#include "app/LoadingNotice.h"
#include "app/MainWindow.h"
#include "lookup/RegionTable.h"
#include "capture/LineMessage.h"
#include "lookup/RegionQueryWindow.h"
#include "lookup/CallerWindow.h"
#include "platform/Application.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/MessageBoxes.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Counts the loading notices that were shown.
class NoticeWatch final : public QObject
{
public:
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<LoadingNotice*>(watched))
            ++shown;
        return false;
    }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestMainWindowArea : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void fullTableBehindTheNotice();
    void unopenableTableIsReportedAndCreationGoesOn();
    void damagedRecordsAreSkippedWithOneNotice();
    void missingTableIsCreatedEmpty();
    void queryWindowUsesTheTableAndGoesWithTheWindow();
    void otherInfoShowsTheCallerWindowWithoutSound();

private:
    QString areaFile() const { return m_folder->filePath(QStringLiteral("area.dat")); }

    std::unique_ptr<QTemporaryDir> m_folder;
    QList<MessageBoxes::Box> m_boxes;
    QStringList m_sounds;
    NoticeWatch m_notices;
};

void TestMainWindowArea::initTestCase()
{
    Application::setTitle(QStringLiteral("维诺星系列－来电显示"));
    MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
        m_boxes << box;
        return QMessageBox::Ok;
    });
    qApp->installEventFilter(&m_notices);
    Sound::setHandler([this](const QString& path) { m_sounds << path; });
    // One line device, so that the creation's TAPI start-up has nothing to report.
    auto line = std::make_unique<SimulatedLineProvider>(QString());
    line->addDevice({});
    LineProviders::install(std::move(line));
}

void TestMainWindowArea::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    ProgramFolder::setPath(m_folder->path());
    m_boxes.clear();
    m_sounds.clear();
    m_notices.shown = 0;
}

void TestMainWindowArea::fullTableBehindTheNotice()
{
    QVERIFY(QFile::copy(QStringLiteral(VORNX_BIN_DIR "/area.dat"), areaFile()));
    MainWindow form;
    QVERIFY(form.regionTable());
    QVERIFY(form.regionTable()->isEmpty());
    form.startUp();
    QCOMPARE(form.regionTable()->size(), qsizetype(321375));
    QCOMPARE(m_notices.shown, 1);
    QVERIFY(form.findChildren<LoadingNotice*>().isEmpty());
    QVERIFY(m_boxes.isEmpty());
}

void TestMainWindowArea::unopenableTableIsReportedAndCreationGoesOn()
{
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("area.dat")));
    MainWindow form;
    // Raising here would skip the device steps that follow in the creation.
    QVERIFY_THROWS_NO_EXCEPTION(form.loadRegionTable());
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).text, QStringLiteral("电话号码归属查询数据无法打开！."));
    QCOMPARE(m_boxes.at(0).caption, QStringLiteral("维诺星系列－来电显示"));
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Critical);
    QVERIFY(form.regionTable()->isEmpty());
    QVERIFY(form.findChildren<LoadingNotice*>().isEmpty());
    QCOMPARE(m_notices.shown, 1);
}

void TestMainWindowArea::damagedRecordsAreSkippedWithOneNotice()
{
    writeFile(areaFile(), "010     \r" + QByteArray(50, 'x') + "\r\n0591    \rfz\r\n0592    \r" + QByteArray(80, 'y') +
                              "\r\n01390591\rmobile\r\n");
    MainWindow form;
    form.startUp();
    QCOMPARE(form.regionTable()->size(), qsizetype(2));
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).caption, QStringLiteral("系统提示"));
    QCOMPARE(m_boxes.at(0).text,
             QStringLiteral("电话号码归属查询数据中有2条记录无效，已跳过（RegionRecord类District字段过长）"));
}

void TestMainWindowArea::missingTableIsCreatedEmpty()
{
    MainWindow form;
    form.startUp();
    QVERIFY(QFile::exists(areaFile()));
    QVERIFY(form.regionTable()->isEmpty());
    QVERIFY(m_boxes.isEmpty());
}

void TestMainWindowArea::queryWindowUsesTheTableAndGoesWithTheWindow()
{
    // 福建省福州市 in GBK.
    writeFile(areaFile(), QByteArray("0591    \r\xb8\xa3\xbd\xa8\xca\xa1\xb8\xa3\xd6\xdd\xca\xd0\r\n"));
    MainWindow form;
    form.startUp();
    form.show();
    QVERIFY(!form.findChild<RegionQueryWindow*>());
    // The tray menu's item opens it.
    QCOMPARE(form.findChild<QAction*>(QStringLiteral("regionQueryAction"))->text(), QStringLiteral("号码归属查询(&P)"));
    form.findChild<QAction*>(QStringLiteral("regionQueryAction"))->trigger();
    QPointer<RegionQueryWindow> window = form.findChild<RegionQueryWindow*>();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    window->findChild<QLineEdit*>(QStringLiteral("numberEdit"))->setText(QStringLiteral("0591123456"));
    window->findChild<QPushButton*>(QStringLiteral("queryButton"))->click();
    auto* region = window->findChild<QLineEdit*>(QStringLiteral("regionEdit"));
    QCOMPARE(region->text(), QStringLiteral("福建省福州市"));

    window->close();
    form.findChild<QAction*>(QStringLiteral("regionQueryAction"))->trigger();
    QCOMPARE(form.findChildren<RegionQueryWindow*>().size(), 1);
    QVERIFY(window->isVisible());
    QCOMPARE(region->text(), QStringLiteral("福建省福州市"));

    form.close();
    QVERIFY(!window);
    QVERIFY(!form.regionTable());
}

void TestMainWindowArea::otherInfoShowsTheCallerWindowWithoutSound()
{
    // 福建省福州市 in GBK.
    writeFile(areaFile(), QByteArray("0591    \r\xb8\xa3\xbd\xa8\xca\xa1\xb8\xa3\xd6\xdd\xca\xd0\r\n"));
    MainWindow form;
    form.startUp();
    form.show();
    form.showRegionQuery();
    auto* query = form.findChild<RegionQueryWindow*>();
    auto* infoButton = query->findChild<QPushButton*>(QStringLiteral("callerInfoButton"));
    QVERIFY(infoButton->isEnabled());
    query->findChild<QLineEdit*>(QStringLiteral("numberEdit"))->setText(QStringLiteral("00591123456"));
    QTest::mouseClick(infoButton, Qt::LeftButton);
    auto* caller = form.findChild<CallerWindow*>();
    QVERIFY(caller);
    QVERIFY(caller->isVisible());
    QCOMPARE(caller->record().number(), QStringLiteral("591123456"));
    // The caller window found the region in the main window's table.
    QCOMPARE(caller->rowText(1), QStringLiteral("591123456(福建省福州市)"));
    QVERIFY2(m_sounds.isEmpty(), qPrintable(m_sounds.join(QLatin1Char(' '))));
    // A call that comes in afterwards still sounds.
    QCoreApplication::postEvent(&form, new LineMessage(WM_CALLER_NUMBER, "13905911234", 0));
    QTRY_COMPARE(caller->record().number(), QStringLiteral("13905911234"));
    QCOMPARE(m_sounds.size(), 1);
    form.close();
}

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestMainWindowArea test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindowarea.moc"
