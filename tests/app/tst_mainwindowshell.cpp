// The main window's shell: device controls and their settings, the tray icon and its menu,
// the about box, help, updater and address-book commands, the loading notice.
#include "app/AboutDialog.h"
#include "app/AnimatedTrayIcon.h"
#include "app/ClickableWidgets.h"
#include "app/LoadingNotice.h"
#include "app/Maker.h"
#include "platform/addressbook/ContactsWindow.h"
#include "app/MainWindow.h"
#include "lookup/HistoryWindow.h"
#include "lookup/RegionQueryWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

template <typename T> T* child(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

// The picture of an icon at the menu's size, to tell icons apart by what they show.
QImage picture(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

QIcon shipped(const char* name)
{
    return QIcon(QStringLiteral(":/app/images/%1.png").arg(QLatin1String(name)));
}

// Receives what the program hands to the desktop's browser or mail program.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl& url) { urls.append(url); }
};

class TestMainWindowShell : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QTemporaryDir> m_config;
    QList<MessageBoxes::Box> m_boxes;
    UrlSink m_sink;

    std::unique_ptr<MainWindow> createForm()
    {
        auto form = std::make_unique<MainWindow>();
        form->startUp();
        form->show();
        // What the start-up had to say (no line devices here) is not the commands' concern.
        m_boxes.clear();
        return form;
    }

    QString settingsFile() const { return m_folder->filePath(QStringLiteral("sysset.ini")); }
    QString autostartEntry() const { return m_config->filePath(QStringLiteral("autostart/Vornexa.desktop")); }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_sink, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &m_sink, "openUrl");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    }

    void init()
    {
        // Every test gets a fresh program folder with the shipped files and its own
        // configuration folder, so nothing touches the real autostart folder.
        m_folder = std::make_unique<QTemporaryDir>();
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(ProgramFolder::copyShippedFiles(QStringLiteral(VORNX_BIN_DIR), m_folder->path()));
        ProgramFolder::setPath(m_folder->path());
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
        m_boxes.clear();
        m_sink.urls.clear();
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes.append(box);
            return QMessageBox::Ok;
        });
    }

    void cleanup()
    {
        MessageBoxes::setHandler({});
    }

    void trayMenuHoldsEveryItemInOrder()
    {
        auto form = createForm();
        struct Item
        {
            const char* name; // null for a separator
            const char* caption;
            const char* image; // null for none
        };
        const Item expected[] = {
            {"aboutAction", "关于(&A)", nullptr},
            {"helpAction", "帮助(&H)", "menu_help"},
            {"updateAction", "在线升级(&U)", nullptr},
            {nullptr, nullptr, nullptr},
            {"historyAction", "历史记录(&L)", "menu_history"},
            {"addressBookAction", "通讯薄(&A)", "menu_addressbook"},
            {"regionQueryAction", "号码归属查询(&P)", nullptr},
            {"blockListAction", "黑名单(&B)...", nullptr},
            {nullptr, nullptr, nullptr},
            {"deviceAction", "选择设备(&S)", "menu_device"},
            {"dataSourceAction", "设置数据源(&D)", "menu_datasource"},
            {"notifyAction", "桌面通知(&N)", nullptr},
            {nullptr, nullptr, nullptr},
            {"closeAction", "关闭(&X)", "menu_close"},
        };
        const QList<QAction*> actions = child<QMenu>(*form, "trayMenu")->actions();
        QCOMPARE(actions.size(), qsizetype(std::size(expected)));
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const Item& e = expected[i];
            QAction* a = actions.at(i);
            QCOMPARE(a->isSeparator(), e.name == nullptr);
            QVERIFY(a->isVisible());
            if (!e.name)
                continue;
            QCOMPARE(a->objectName(), QLatin1String(e.name));
            QCOMPARE(a->text(), QString::fromUtf8(e.caption));
            if (!e.image) {
                QVERIFY2(a->icon().isNull(), e.name);
                continue;
            }
            QCOMPARE(shipped(e.image).availableSizes().value(0), QSize(16, 16));
            QVERIFY2(!picture(a->icon()).isNull() && picture(a->icon()) == picture(shipped(e.image)), e.name);
        }
        // Before monitoring the tray shows the resting picture greyed, and the ringing one
        // while animated.
        auto* tray = child<AnimatedTrayIcon>(*form, "trayIcon");
        QVERIFY(!picture(tray->icon()).isNull());
        QVERIFY(picture(tray->icon()) != picture(shipped("tray_rest")));
        tray->setIconIndex(1);
        QCOMPARE(picture(tray->icon()), picture(shipped("tray_ring")));
        QVERIFY(picture(shipped("tray_rest")) != picture(shipped("tray_ring")));
        tray->setIconIndex(0);
    }

    void trayIconGoesAndComesBack()
    {
        auto form = createForm();
        QVERIFY(!child<AnimatedTrayIcon>(*form, "trayIcon")->isVisible());
        QCOMPARE(child<AnimatedTrayIcon>(*form, "trayIcon")->iconIndex(), 0);

        form->sendToTray();
        QVERIFY(child<AnimatedTrayIcon>(*form, "trayIcon")->isVisible());
        if (AnimatedTrayIcon::available()) {
            QTRY_VERIFY(!form->isVisible()); // the tray icon alone stands for the program
            QVERIFY(!form->windowHandle()); // and the hidden window holds no native window
        } else {
            // Without a tray the window must stay reachable, and the tray's menu opens on it.
            QVERIFY(form->isVisible());
            emit form->customContextMenuRequested(QPoint(40, 500));
            QVERIFY(child<QMenu>(*form, "trayMenu")->isVisible());
            child<QMenu>(*form, "trayMenu")->hide();
        }

        child<QAction>(*form, "deviceAction")->trigger();
        QVERIFY(!child<AnimatedTrayIcon>(*form, "trayIcon")->isVisible());
        QVERIFY(form->isVisible());
        QVERIFY(!form->isMinimized());
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        // A second "选择设备" with the window shown only keeps the icon hidden.
        child<QAction>(*form, "deviceAction")->trigger();
        QVERIFY(!child<AnimatedTrayIcon>(*form, "trayIcon")->isVisible());
        QVERIFY(form->isVisible());
    }

    void minimisingLeavesOnlyTheTrayIcon()
    {
        // Runs where a tray exists (a desktop session, or Xvfb with a tray owner).
        if (!AnimatedTrayIcon::available())
            QSKIP("no system tray on this display");
        auto form = createForm();
        // Before monitoring the window minimises as any window does.
        form->showMinimized();
        QTest::qWait(100);
        QVERIFY(form->isVisible());
        form->showNormal();
        child<AnimatedTrayIcon>(*form, "trayIcon")->setVisible(true);
        form->showMinimized();
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(!form->windowHandle());
        child<QAction>(*form, "deviceAction")->trigger();
        QVERIFY(form->isVisible());
        QVERIFY(!form->isMinimized());
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    // The tray icon and its tooltip say whether and what the program monitors; a start that
    // failed leaves the window on screen, a working one sends it to the tray.
    void monitoringStateShowsOnTheTray()
    {
        const auto cleared = qScopeGuard([] { LineProviders::clear(); });
        {
            // No line device at all: the start fails.
            auto form = createForm();
            auto* tray = child<AnimatedTrayIcon>(*form, "trayIcon");
            QCOMPARE(form->monitoringState(), MainWindow::MonitoringState::Off);
            QCOMPARE(tray->toolTip(), QStringLiteral("维诺星系列－来电显示\n未在监控来电"));
            QVERIFY(child<QRadioButton>(*form, "lineRadio")->isChecked());
            child<QPushButton>(*form, "monitorButton")->click();
            QCOMPARE(m_boxes.size(), 1);
            QVERIFY2(m_boxes[0].text.startsWith(QStringLiteral("无法打开TAPI线路")), qPrintable(m_boxes[0].text));
            QCOMPARE(form->monitoringState(), MainWindow::MonitoringState::Off);
            QCOMPARE(tray->toolTip(), QStringLiteral("维诺星系列－来电显示\n未在监控来电"));
            QVERIFY(picture(tray->icon()) != picture(shipped("tray_rest")));
            QTest::qWait(100);
            QVERIFY(form->isVisible());
            QVERIFY(!tray->isVisible());
        }
        m_boxes.clear();

        auto provider = std::make_unique<SimulatedLineProvider>(m_folder->filePath(QStringLiteral("line.json")));
        SimulatedLineDevice device;
        device.caps.lineName = "店里的电话";
        provider->addDevice(device);
        SimulatedLineProvider* sim = provider.get();
        LineProviders::install(std::move(provider));
        auto form = createForm();
        auto* tray = child<AnimatedTrayIcon>(*form, "trayIcon");
        child<QPushButton>(*form, "monitorButton")->click();
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(form->monitoringState(), MainWindow::MonitoringState::On);
        QCOMPARE(tray->toolTip(), QStringLiteral("维诺星系列－来电显示\n正在监控来电：TAPI来电设备: 店里的电话"));
        QCOMPARE(picture(tray->icon()), picture(shipped("tray_rest")));
        QVERIFY(tray->isVisible());
        if (AnimatedTrayIcon::available())
            QTRY_VERIFY(!form->isVisible());

        // The provider takes the line away: said once, and the tray shows it.
        QCOMPARE(sim->closeLine(0), QString());
        QTRY_COMPARE(m_boxes.size(), 1);
        QCOMPARE(form->monitoringState(), MainWindow::MonitoringState::Lost);
        QCOMPARE(tray->toolTip(),
                 QStringLiteral("维诺星系列－来电显示\n设备已断开，来电监控已停止：TAPI来电设备: 店里的电话"));
        QVERIFY(picture(tray->icon()) != picture(shipped("tray_rest")));
        QVERIFY(tray->isVisible());
    }

    void trayIconAnimatesEvery200ms()
    {
        auto form = createForm();
        auto* tray = child<AnimatedTrayIcon>(*form, "trayIcon");
        const qint64 resting = tray->icon().cacheKey();
        tray->setAnimate(true);
        QVERIFY(tray->animate());
        QTRY_COMPARE_WITH_TIMEOUT(tray->iconIndex(), 1, 1000);
        QVERIFY(tray->icon().cacheKey() != resting);
        QTRY_COMPARE_WITH_TIMEOUT(tray->iconIndex(), 0, 1000);
        tray->setAnimate(false);
        tray->setIconIndex(1);
        QTest::qWait(3 * AnimatedTrayIcon::kAnimationInterval);
        QCOMPARE(tray->iconIndex(), 1); // stopped: no more steps
        tray->setIconIndex(0);
        tray->setIconIndex(7); // no such icon: ignored
        QCOMPARE(tray->iconIndex(), 0);
    }

    void helpShowsTheOverviewPage()
    {
        auto form = createForm();
        child<QAction>(*form, "helpAction")->trigger();
        QVERIFY(m_boxes.isEmpty());
        QTextBrowser* browser = HelpViewer::browser();
        QVERIFY(browser);
        QVERIFY(browser->window()->isVisible());
        QCOMPARE(browser->source().fileName(), QStringLiteral("abstract_index.htm"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("选择电话设备")));
        // The overview links to the caller window's page, which the caller window opens too.
        QVERIFY(HelpViewer::showTopic(QStringLiteral("ShowCallInfo_index.htm")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("客户资料窗口")));

        QVERIFY(QFile::remove(m_folder->filePath(QStringLiteral("help/abstract_index.htm"))));
        child<QAction>(*form, "helpAction")->trigger();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).caption, QStringLiteral("错误提示"));
        QCOMPARE(m_boxes.at(0).text, QStringLiteral("对不起，打开帮助文件出错！"));
    }

    void updaterMissingKeepsTheProgramRunning()
    {
        QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/Update.exe"));
        auto form = createForm();
        QSignalSpy closed(form.get(), &MainWindow::closed);
        child<QAction>(*form, "updateAction")->trigger();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).caption, QStringLiteral("错误提示"));
        QVERIFY(m_boxes.at(0).text.contains(QStringLiteral("Update.exe")));
        QCOMPARE(closed.count(), 0);
        QVERIFY(form->isVisible());
    }

    void updaterStartsAndTheProgramMakesWay()
    {
        const QString updater = QCoreApplication::applicationDirPath() + QStringLiteral("/Update.exe");
        const QString marker = m_folder->filePath(QStringLiteral("updated"));
        const auto removeUpdater = qScopeGuard([&updater] { QFile::remove(updater); });
        {
            QFile script(updater);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
        }
        QFile::setPermissions(updater, QFile::permissions(updater) | QFileDevice::ExeOwner);
        auto form = createForm();
        QSignalSpy closed(form.get(), &MainWindow::closed);
        child<QAction>(*form, "updateAction")->trigger();
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(QFile::exists(marker));
    }

    void addressBookCommand()
    {
        auto form = createForm();
        child<QAction>(*form, "addressBookAction")->trigger();
        QVERIFY(m_boxes.isEmpty());
        QWidget* book = form->findChild<ContactsWindow*>();
        QVERIFY(book && book->isVisible());
        QCOMPARE(book->windowTitle(), QStringLiteral("通讯薄"));
        book->hide();
        child<QAction>(*form, "addressBookAction")->trigger();
        QCOMPARE(form->findChildren<ContactsWindow*>(), QList<ContactsWindow*>{static_cast<ContactsWindow*>(book)}); // one window, reused
        QVERIFY(book->isVisible());

        // The settings name a contacts file in a folder that does not exist.
        QVERIFY(PrivateProfile(settingsFile())
                    .writeString(QStringLiteral("ADDRBOOK"), QStringLiteral("VCARD"), m_folder->filePath(QStringLiteral("gone/c.vcf"))));
        auto second = std::make_unique<MainWindow>();
        child<QAction>(*second, "addressBookAction")->trigger();
        QVERIFY(!second->findChild<ContactsWindow*>());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).caption, QStringLiteral("系统提示"));
        QCOMPARE(m_boxes.at(0).text, QStringLiteral("通讯薄安装错误，请重新安装！"));
    }

    void aboutBoxAndLinks()
    {
        auto form = createForm();
        bool inspected = false;
        QPointer<AboutDialog> about;
        QTimer::singleShot(0, this, [&] {
            about = form->findChild<AboutDialog*>();
            QVERIFY(about && about->isVisible() && about->isModal());
            QCOMPARE(about->windowTitle(), QStringLiteral("关于"));
            QCOMPARE(about->size(), QSize(401, 303));
            QStringList texts;
            for (const QLabel* l : about->findChildren<QLabel*>())
                texts << l->text();
            const QString all = texts.join(QLatin1Char('\n'));
            QVERIFY(all.contains(QStringLiteral("维诺星系列之来电显示 V 3.0")));
            QVERIFY(all.contains(Maker::name()));
            QVERIFY(all.contains(QStringLiteral("维诺星系列软件主页")));
            QVERIFY(all.contains(QStringLiteral("技术支持")));
            QCOMPARE(child<QLabel>(*about, "homePageLink")->cursor().shape(), Qt::PointingHandCursor);
            emit child<QLabel>(*about, "homePageLink")->linkActivated(Maker::kHomePage);
            emit child<QLabel>(*about, "supportLink")->linkActivated(QStringLiteral("mailto:") + Maker::kSupportMail);
            auto* ok = about->findChild<QPushButton*>();
            QCOMPARE(ok->text(), QStringLiteral("确定"));
            QVERIFY(ok->isDefault());
            ok->click();
            inspected = true;
        });
        child<QAction>(*form, "aboutAction")->trigger();
        QVERIFY(inspected);
        QVERIFY(about && !about->isVisible());
        QCOMPARE(m_sink.urls, (QList<QUrl>{QUrl(Maker::kHomePage), QUrl(QStringLiteral("mailto:") + Maker::kSupportMail)}));

        // The banner leads to the same home page.
        emit child<ClickableLabel>(*form, "banner")->clicked();
        QCOMPARE(m_sink.urls.size(), 3);
        QCOMPARE(m_sink.urls.last(), QUrl(Maker::kHomePage));
    }

    void dataSourceWizardIsModalAndReused()
    {
        auto form = createForm();
        QPointer<QDialog> first;
        QTimer::singleShot(0, this, [&] {
            first = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(first);
            first->reject();
        });
        child<QAction>(*form, "dataSourceAction")->trigger();
        QVERIFY(first);
        QTimer::singleShot(0, this, [&] {
            QCOMPARE(qobject_cast<QDialog*>(QApplication::activeModalWidget()), first.data());
            first->reject();
        });
        child<QAction>(*form, "dataSourceAction")->trigger();
    }

    void historyOpensWithoutBlocking()
    {
        auto form = createForm();
        form->findChild<QAction*>(QStringLiteral("historyAction"))->trigger();
        QPointer<HistoryWindow> first = form->findChild<HistoryWindow*>();
        QVERIFY(first && first->isVisible());
        QVERIFY(!first->isModal());
        first->hide();
        form->findChild<QAction*>(QStringLiteral("historyAction"))->trigger();
        QCOMPARE(form->findChildren<HistoryWindow*>().size(), 1);
        QVERIFY(first->isVisible());
        form.reset();
        QVERIFY(!first); // gone with the main window
    }

    void numberQueryOpensItsWindow()
    {
        auto form = createForm();
        QVERIFY(!form->findChild<RegionQueryWindow*>());
        form->findChild<QAction*>(QStringLiteral("regionQueryAction"))->trigger();
        QPointer<RegionQueryWindow> query = form->findChild<RegionQueryWindow*>();
        QVERIFY(query && query->isVisible());
        QVERIFY(!query->isModal());
        form->close(); // the close handling releases the query window before the table it reads
        QVERIFY(!query);
    }

    void closeCommandEndsTheProgram()
    {
        auto form = createForm();
        QSignalSpy closed(form.get(), &MainWindow::closed);
        form->sendToTray();
        child<QAction>(*form, "closeAction")->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!form->isVisible());
    }

    void loadingNotice()
    {
        QPointer<LoadingNotice> notice = new LoadingNotice;
        notice->showNow();
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->size(), QSize(268, 47));
        QVERIFY(notice->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(notice->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(notice->findChild<QLabel*>()->text() == QStringLiteral("正在加载参数..."));
        // Closing frees it.
        notice->close();
        QTRY_VERIFY(notice.isNull());
    }

    void deviceControlsAndStatusLine()
    {
        auto form = createForm();
        const QString tail(17, QLatin1Char(' '));
        // No settings file: the TAPI group is chosen.
        QVERIFY(child<QRadioButton>(*form, "lineRadio")->isChecked());
        QVERIFY(!child<QRadioButton>(*form, "modemRadio")->isChecked());
        QVERIFY(!child<QComboBox>(*form, "portCombo")->isEnabled() && !child<QComboBox>(*form, "callerIdCommandCombo")->isEnabled() && !child<QComboBox>(*form, "initCommandCombo")->isEnabled());
        QVERIFY(!child<QPushButton>(*form, "testModemButton")->isEnabled());
        QCOMPARE(child<QLabel>(*form, "statusLabel")->text(), QStringLiteral("TAPI来电设备: ") + child<QComboBox>(*form, "lineCombo")->currentText() + tail);

        emit child<ClickableGroupBox>(*form, "modemGroup")->clicked();
        QVERIFY(child<QRadioButton>(*form, "modemRadio")->isChecked());
        QVERIFY(!child<QRadioButton>(*form, "lineRadio")->isChecked());
        QVERIFY(child<QComboBox>(*form, "portCombo")->isEnabled() && child<QComboBox>(*form, "callerIdCommandCombo")->isEnabled() && child<QComboBox>(*form, "initCommandCombo")->isEnabled());
        QVERIFY(child<QPushButton>(*form, "testModemButton")->isEnabled());
        QVERIFY(!child<QComboBox>(*form, "lineCombo")->isEnabled() && !child<QToolButton>(*form, "lineConfigButton")->isEnabled() && !child<QListWidget>(*form, "lineReport")->isEnabled());
        QCOMPARE(child<QLabel>(*form, "statusLabel")->text(), QStringLiteral("Modem: ") + child<QComboBox>(*form, "portCombo")->currentText() + tail);

        // A port set from code leaves the status line; the user's choice updates it.
        const QString before = child<QLabel>(*form, "statusLabel")->text();
        child<QComboBox>(*form, "portCombo")->setCurrentIndex(5);
        QCOMPARE(child<QLabel>(*form, "statusLabel")->text(), before);
        child<QComboBox>(*form, "portCombo")->setCurrentIndex(2);
        emit child<QComboBox>(*form, "portCombo")->activated(2);
        QCOMPARE(child<QLabel>(*form, "statusLabel")->text(), QStringLiteral("Modem: COM3") + tail);

        // A click on the checked button keeps it checked.
        child<QRadioButton>(*form, "modemRadio")->click();
        QVERIFY(child<QRadioButton>(*form, "modemRadio")->isChecked());

        emit child<ClickableGroupBox>(*form, "lineGroup")->clicked();
        QVERIFY(child<QRadioButton>(*form, "lineRadio")->isChecked());
        QVERIFY(!child<QRadioButton>(*form, "modemRadio")->isChecked());
        QVERIFY(child<QComboBox>(*form, "lineCombo")->isEnabled() && !child<QComboBox>(*form, "portCombo")->isEnabled());
        QVERIFY(child<QLabel>(*form, "statusLabel")->text().startsWith(QStringLiteral("TAPI来电设备: ")));
        // The port's change reaction does nothing while TAPI is chosen.
        emit child<QComboBox>(*form, "portCombo")->activated(0);
        QVERIFY(child<QLabel>(*form, "statusLabel")->text().startsWith(QStringLiteral("TAPI来电设备: ")));
    }

    void settingsSurviveARestart()
    {
        {
            auto form = createForm();
            QVERIFY(!child<QTimer>(*form, "autoStartTimer")->isActive());
            child<QRadioButton>(*form, "modemRadio")->setChecked(true);
            child<QComboBox>(*form, "portCombo")->setCurrentIndex(2);
            child<QComboBox>(*form, "callerIdCommandCombo")->setCurrentIndex(3);
            child<QComboBox>(*form, "initCommandCombo")->setCurrentIndex(1);
            child<QCheckBox>(*form, "autoStartCheck")->click();
            child<QCheckBox>(*form, "dropFirstDigitCheck")->click();
            child<QCheckBox>(*form, "dtmfCheck")->setChecked(true);
            form->storeDeviceChoice();
            QVERIFY(QFile::exists(autostartEntry()));
        }
        const PrivateProfile ini(settingsFile());
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("DEVTYPE"), QString()), QStringLiteral("4"));
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("DEVNUM"), QString()), QStringLiteral("2"));
        QCOMPARE(ini.readString(QStringLiteral("SYSTEM"), QStringLiteral("AUTOSTART"), QString()), QStringLiteral("1"));
        QFile entry(autostartEntry());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        entry.close();
        QVERIFY(text.contains(QStringLiteral("Exec=") + QCoreApplication::applicationFilePath()));
        // The program folder is not the executable's, so the entry names it.
        QVERIFY2(text.contains(QStringLiteral("--data-dir")), qPrintable(text));

        QFile::remove(autostartEntry());
        auto form = createForm();
        QVERIFY(child<QRadioButton>(*form, "modemRadio")->isChecked());
        QVERIFY(!child<QRadioButton>(*form, "lineRadio")->isChecked());
        QCOMPARE(child<QComboBox>(*form, "portCombo")->currentIndex(), 2);
        QCOMPARE(child<QComboBox>(*form, "callerIdCommandCombo")->currentIndex(), 3);
        QCOMPARE(child<QComboBox>(*form, "initCommandCombo")->currentIndex(), 1);
        QVERIFY(child<QCheckBox>(*form, "autoStartCheck")->isChecked());
        QVERIFY(child<QCheckBox>(*form, "dropFirstDigitCheck")->isChecked());
        QVERIFY(child<QCheckBox>(*form, "dtmfCheck")->isChecked());
        QVERIFY(child<QTimer>(*form, "autoStartTimer")->isActive());
        // Restoring the checked box registers the program again.
        QVERIFY(QFile::exists(autostartEntry()));
        child<QTimer>(*form, "autoStartTimer")->stop();

        child<QCheckBox>(*form, "autoStartCheck")->click();
        QVERIFY(!QFile::exists(autostartEntry()));
        QCOMPARE(PrivateProfile(settingsFile()).readInt(QStringLiteral("SYSTEM"), QStringLiteral("AUTOSTART"), -1), 0);
    }

    // "sysset.ini" that cannot be written (a folder in its place): the first lost choice is
    // reported once, the next ones in a row are not; after a write that works, a new failure
    // is reported again.
    void unsavedSettingsAreReportedOnce()
    {
        auto form = createForm();
        child<QTimer>(*form, "autoStartTimer")->stop();
        QFile::remove(settingsFile());
        QVERIFY(QDir().mkdir(settingsFile()));
        child<QCheckBox>(*form, "dropFirstDigitCheck")->click();
        child<QCheckBox>(*form, "dtmfCheck")->click();
        child<QRadioButton>(*form, "modemRadio")->setChecked(true);
        form->storeDeviceChoice();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.contains(QStringLiteral("sysset.ini")), qPrintable(m_boxes.first().text));
        QCOMPARE(m_boxes.first().caption, QStringLiteral("系统提示"));

        QVERIFY(QDir().rmdir(settingsFile()));
        child<QCheckBox>(*form, "dtmfCheck")->click();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(PrivateProfile(settingsFile()).readInt(QStringLiteral("SYSTEM"), QStringLiteral("ISDTMF"), -1), 0);

        QVERIFY(QFile::remove(settingsFile()));
        QVERIFY(QDir().mkdir(settingsFile()));
        child<QCheckBox>(*form, "dropFirstDigitCheck")->click();
        QCOMPARE(m_boxes.size(), 2);
    }

    // An autostart entry that cannot be written (a file where its folder should be) is said;
    // the choice is still kept in "sysset.ini".
    void unwritableAutoStartEntryIsSaid()
    {
        auto form = createForm();
        child<QTimer>(*form, "autoStartTimer")->stop();
        const QString folder = m_config->filePath(QStringLiteral("autostart"));
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        child<QCheckBox>(*form, "autoStartCheck")->setChecked(false);
        m_boxes.clear();
        child<QCheckBox>(*form, "autoStartCheck")->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QStringLiteral("无法写入自动启动项")), qPrintable(m_boxes.first().text));
        QCOMPARE(PrivateProfile(settingsFile()).readInt(QStringLiteral("SYSTEM"), QStringLiteral("AUTOSTART"), -1), 1);
        QVERIFY(QFile::remove(folder));
    }

    void noDeviceChosenWritesNothing()
    {
        auto form = std::make_unique<MainWindow>();
        // Before the settings are applied neither button is checked.
        QVERIFY(!child<QRadioButton>(*form, "lineRadio")->isChecked() && !child<QRadioButton>(*form, "modemRadio")->isChecked());
        form->storeDeviceChoice();
        QVERIFY(!QFile::exists(settingsFile()));
    }
};

QTEST_MAIN(TestMainWindowShell)
#include "tst_mainwindowshell.moc"
