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
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
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

// Receives what the program hands to the desktop's browser or mail program.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl& url) { urls.append(url); }
};

class TestMainFormShell : public QObject
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
        MainForm = form.get();
        form->FormCreate();
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
        MainForm = nullptr;
    }

    void trayMenuHoldsEveryItemInOrder()
    {
        auto form = createForm();
        struct Item
        {
            const char* name;
            const char* caption; // null for a separator
            int image;
        };
        const Item expected[] = {
            {"A2", "关于(&A)", -1},       {"H1", "帮助(&H)", 0},         {"U1", "在线升级(&U)", -1},
            {"N4", nullptr, -1},          {"L1", "历史记录(&L)", 5},     {"A1", "通讯薄(&A)", 1},
            {"N5", "号码归属查询(&P)", -1}, {"N3", nullptr, -1},         {"S1", "选择设备(&S)", 2},
            {"N2", "设置数据源(&D)", 3},  {"N1", nullptr, -1},          {"X1", "关闭(&X)", 4},
        };
        const QList<QAction*> actions = form->PopupMenu1->actions();
        QCOMPARE(actions.size(), qsizetype(std::size(expected)));
        QCOMPARE(form->ImageList1.size(), 6);
        QCOMPARE(form->ImageList2.size(), 2);
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const Item& e = expected[i];
            QAction* a = actions.at(i);
            QCOMPARE(a->objectName(), QLatin1String(e.name));
            QCOMPARE(a->isSeparator(), e.caption == nullptr);
            QVERIFY(a->isVisible());
            if (!e.caption)
                continue;
            QCOMPARE(a->text(), QString::fromUtf8(e.caption));
            if (e.image < 0)
                QVERIFY2(a->icon().isNull(), e.name);
            else
                QCOMPARE(a->icon().cacheKey(), form->ImageList1.at(e.image).cacheKey());
            QCOMPARE(a->icon().isNull() || !a->icon().pixmap(16, 16).isNull(), true);
        }
        for (const QIcon& icon : form->ImageList1 + form->ImageList2)
            QCOMPARE(icon.availableSizes().value(0), QSize(16, 16));
    }

    void trayIconGoesAndComesBack()
    {
        auto form = createForm();
        QVERIFY(!form->TrayIcon1->isVisible());
        QCOMPARE(form->TrayIcon1->iconIndex(), 0);

        form->SendToTray();
        QVERIFY(form->TrayIcon1->isVisible());
        if (AnimatedTrayIcon::available()) {
            QTRY_VERIFY(!form->isVisible()); // the tray icon alone stands for the program
        } else {
            // Without a tray the window must stay reachable, and the tray's menu opens on it.
            QVERIFY(form->isVisible());
            emit form->customContextMenuRequested(QPoint(40, 500));
            QVERIFY(form->PopupMenu1->isVisible());
            form->PopupMenu1->hide();
        }

        form->S1->trigger();
        QVERIFY(!form->TrayIcon1->isVisible());
        QVERIFY(form->isVisible());
        QVERIFY(!form->isMinimized());
        // A second "选择设备" with the window shown only keeps the icon hidden.
        form->S1->trigger();
        QVERIFY(!form->TrayIcon1->isVisible());
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
        form->TrayIcon1->setVisible(true);
        form->showMinimized();
        QTRY_VERIFY(!form->isVisible());
        form->S1->trigger();
        QVERIFY(form->isVisible());
        QVERIFY(!form->isMinimized());
    }

    void trayIconAnimatesEvery200ms()
    {
        auto form = createForm();
        AnimatedTrayIcon* tray = form->TrayIcon1;
        QCOMPARE(tray->icon().cacheKey(), form->ImageList2.at(0).cacheKey());
        tray->setAnimate(true);
        QVERIFY(tray->animate());
        QTRY_COMPARE_WITH_TIMEOUT(tray->iconIndex(), 1, 1000);
        QCOMPARE(tray->icon().cacheKey(), form->ImageList2.at(1).cacheKey());
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
        form->H1->trigger();
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
        form->H1->trigger();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).caption, QStringLiteral("错误提示"));
        QCOMPARE(m_boxes.at(0).text, QStringLiteral("对不起，打开帮助文件出错！"));
    }

    void updaterMissingKeepsTheProgramRunning()
    {
        QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/Update.exe"));
        auto form = createForm();
        QSignalSpy closed(form.get(), &MainWindow::closed);
        form->U1->trigger();
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
        form->U1->trigger();
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(QFile::exists(marker));
    }

    void addressBookCommand()
    {
        auto form = createForm();
        form->A1->trigger();
        QVERIFY(m_boxes.isEmpty());
        QWidget* book = form->AddrBookForm;
        QVERIFY(book && book->isVisible());
        QCOMPARE(book->windowTitle(), QStringLiteral("通讯薄"));
        book->hide();
        form->A1->trigger();
        QCOMPARE(form->AddrBookForm, book); // one window, reused
        QVERIFY(book->isVisible());

        // The settings name a contacts file in a folder that does not exist.
        QVERIFY(PrivateProfile(settingsFile())
                    .writeString(QStringLiteral("ADDRBOOK"), QStringLiteral("VCARD"), m_folder->filePath(QStringLiteral("gone/c.vcf"))));
        auto second = std::make_unique<MainWindow>();
        second->A1->trigger();
        QVERIFY(!second->AddrBookForm);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).caption, QStringLiteral("系统提示"));
        QCOMPARE(m_boxes.at(0).text, QStringLiteral("通讯薄安装错误，请重新安装！"));
    }

    void aboutBoxAndLinks()
    {
        auto form = createForm();
        bool inspected = false;
        QTimer::singleShot(0, this, [&] {
            QVERIFY(AboutxDlg && AboutxDlg->isVisible() && AboutxDlg->isModal());
            QCOMPARE(AboutxDlg->windowTitle(), QStringLiteral("关于"));
            QCOMPARE(AboutxDlg->size(), QSize(401, 303));
            QStringList texts;
            for (const QLabel* l : AboutxDlg->findChildren<QLabel*>())
                texts << l->text();
            const QString all = texts.join(QLatin1Char('\n'));
            QVERIFY(all.contains(QStringLiteral("维诺星系列之来电显示 V 3.0")));
            QVERIFY(all.contains(Maker::kName));
            QVERIFY(all.contains(QStringLiteral("维诺星系列软件主页")));
            QVERIFY(all.contains(QStringLiteral("技术支持")));
            QCOMPARE(AboutxDlg->lblHomePage->cursor().shape(), Qt::PointingHandCursor);
            emit AboutxDlg->lblHomePage->linkActivated(Maker::kHomePage);
            emit AboutxDlg->lblSupport->linkActivated(QStringLiteral("mailto:") + Maker::kSupportMail);
            auto* ok = AboutxDlg->findChild<QPushButton*>();
            QCOMPARE(ok->text(), QStringLiteral("确定"));
            QVERIFY(ok->isDefault());
            ok->click();
            inspected = true;
        });
        form->A2->trigger();
        QVERIFY(inspected);
        QVERIFY(!AboutxDlg->isVisible());
        QCOMPARE(m_sink.urls, (QList<QUrl>{QUrl(Maker::kHomePage), QUrl(QStringLiteral("mailto:") + Maker::kSupportMail)}));

        // The banner leads to the same home page.
        emit form->Image2->clicked();
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
        form->N2->trigger();
        QVERIFY(first);
        QTimer::singleShot(0, this, [&] {
            QCOMPARE(qobject_cast<QDialog*>(QApplication::activeModalWidget()), first.data());
            first->reject();
        });
        form->N2->trigger();
    }

    void historyOpensWithoutBlocking()
    {
        auto form = createForm();
        form->L1->trigger();
        QPointer<HistoryWindow> first = form->findChild<HistoryWindow*>();
        QVERIFY(first && first->isVisible());
        QVERIFY(!first->isModal());
        first->hide();
        form->L1->trigger();
        QCOMPARE(form->findChildren<HistoryWindow*>().size(), 1);
        QVERIFY(first->isVisible());
        form.reset();
        QVERIFY(!first); // gone with the main window
    }

    void numberQueryOpensItsWindow()
    {
        auto form = createForm();
        QVERIFY(!form->findChild<RegionQueryWindow*>());
        form->N5->trigger();
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
        form->SendToTray();
        form->X1->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!form->isVisible());
    }

    void loadingNotice()
    {
        FShowMsg = new LoadingNotice;
        FShowMsg->showNow();
        QVERIFY(FShowMsg->isVisible());
        QCOMPARE(FShowMsg->size(), QSize(268, 47));
        QVERIFY(FShowMsg->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(FShowMsg->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(FShowMsg->findChild<QLabel*>()->text() == QStringLiteral("正在加载参数..."));
        // Closing frees it and clears the global; so does destroying it directly.
        QPointer<LoadingNotice> notice = FShowMsg;
        FShowMsg->close();
        QTRY_VERIFY(notice.isNull());
        QVERIFY(!FShowMsg);
        FShowMsg = new LoadingNotice;
        delete FShowMsg;
        QVERIFY(!FShowMsg);
    }

    void deviceControlsAndStatusLine()
    {
        auto form = createForm();
        const QString tail(17, QLatin1Char(' '));
        // No settings file: the TAPI group is chosen.
        QVERIFY(form->RadioButton3->isChecked());
        QVERIFY(!form->RadioButton4->isChecked());
        QVERIFY(!form->ComboBox4->isEnabled() && !form->ComboBox5->isEnabled() && !form->ComboBox6->isEnabled());
        QVERIFY(!form->btnTestModem->isEnabled());
        QCOMPARE(form->Label4->text(), QStringLiteral("TAPI来电设备: ") + form->ComboBox1->currentText() + tail);

        emit form->GroupBox3->clicked();
        QVERIFY(form->RadioButton4->isChecked());
        QVERIFY(!form->RadioButton3->isChecked());
        QVERIFY(form->ComboBox4->isEnabled() && form->ComboBox5->isEnabled() && form->ComboBox6->isEnabled());
        QVERIFY(form->btnTestModem->isEnabled());
        QVERIFY(!form->ComboBox1->isEnabled() && !form->btnLineCfg->isEnabled() && !form->ListBox1->isEnabled());
        QCOMPARE(form->Label4->text(), QStringLiteral("Modem: ") + form->ComboBox4->currentText() + tail);

        // A port set from code leaves the status line; the user's choice updates it.
        const QString before = form->Label4->text();
        form->ComboBox4->setCurrentIndex(5);
        QCOMPARE(form->Label4->text(), before);
        form->ComboBox4->setCurrentIndex(2);
        emit form->ComboBox4->activated(2);
        QCOMPARE(form->Label4->text(), QStringLiteral("Modem: COM3") + tail);

        // A click on the checked button keeps it checked.
        form->RadioButton4->click();
        QVERIFY(form->RadioButton4->isChecked());

        emit form->GroupBox2->clicked();
        QVERIFY(form->RadioButton3->isChecked());
        QVERIFY(!form->RadioButton4->isChecked());
        QVERIFY(form->ComboBox1->isEnabled() && !form->ComboBox4->isEnabled());
        QVERIFY(form->Label4->text().startsWith(QStringLiteral("TAPI来电设备: ")));
        // The port's change reaction does nothing while TAPI is chosen.
        emit form->ComboBox4->activated(0);
        QVERIFY(form->Label4->text().startsWith(QStringLiteral("TAPI来电设备: ")));
    }

    void settingsSurviveARestart()
    {
        {
            auto form = createForm();
            QVERIFY(!form->Timer2->isActive());
            form->RadioButton4->setChecked(true);
            form->ComboBox4->setCurrentIndex(2);
            form->ComboBox5->setCurrentIndex(3);
            form->ComboBox6->setCurrentIndex(1);
            form->chkBoot->click();
            form->chkDelHeader->click();
            form->chkFskDTMF->setChecked(true);
            form->WriteDeviceChoice();
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
        QVERIFY(form->RadioButton4->isChecked());
        QVERIFY(!form->RadioButton3->isChecked());
        QCOMPARE(form->ComboBox4->currentIndex(), 2);
        QCOMPARE(form->ComboBox5->currentIndex(), 3);
        QCOMPARE(form->ComboBox6->currentIndex(), 1);
        QVERIFY(form->chkBoot->isChecked());
        QVERIFY(form->chkDelHeader->isChecked());
        QVERIFY(form->chkFskDTMF->isChecked());
        QVERIFY(form->Timer2->isActive());
        // Restoring the checked box registers the program again.
        QVERIFY(QFile::exists(autostartEntry()));
        form->Timer2->stop();

        form->chkBoot->click();
        QVERIFY(!QFile::exists(autostartEntry()));
        QCOMPARE(PrivateProfile(settingsFile()).readInt(QStringLiteral("SYSTEM"), QStringLiteral("AUTOSTART"), -1), 0);
    }

    void noDeviceChosenWritesNothing()
    {
        auto form = std::make_unique<MainWindow>();
        MainForm = form.get();
        // Before the settings are applied neither button is checked.
        QVERIFY(!form->RadioButton3->isChecked() && !form->RadioButton4->isChecked());
        form->WriteDeviceChoice();
        QVERIFY(!QFile::exists(settingsFile()));
    }
};

QTEST_MAIN(TestMainFormShell)
#include "tst_mainwindowshell.moc"
