#include "app/AnimatedTrayIcon.h"
#include "app/DeviceSettings.h"
#include "app/MainWindow.h"
#include "capture/LineMessage.h"
#include "lookup/CallerWindow.h"
#include "lookup/HistoryWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <memory>

// The main window's side of a call: ringing, the end of ringing, and the caller's number
// turned into the caller window.
class TestMainWindowNotify : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QStringList m_sounds;
    QStringList m_boxes;
    std::unique_ptr<MainWindow> m_form;

    void post(LineMessageId id, const QByteArray& text, qintptr lParam)
    {
        QCoreApplication::postEvent(m_form.get(), new LineMessage(id, text, lParam));
    }
    QString ring() const { return m_folder.filePath(QStringLiteral("ring.wav")); }
    CallerWindow* callerWindow() const { return m_form->findChild<CallerWindow*>(); }
    int logLines() const
    {
        QFile f(m_folder.filePath(QStringLiteral("Phone.Log")));
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
    }

private slots:
    void initTestCase()
    {
        ProgramFolder::setPath(m_folder.path());
        // No data source: every call is announced and logged without a lookup.
        QFile ini(m_folder.filePath(QStringLiteral("Vornx.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[QUERYTYPE]\r\nTYPE=0\r\n");
        ini.close();
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.text;
            return QMessageBox::Ok;
        });
        Sound::setHandler([this](const QString& path) { m_sounds << path; });
        m_form = std::make_unique<MainWindow>();
    }

    void cleanupTestCase()
    {
        m_form.reset();
    }

    void init() { m_sounds.clear(); }

    void aModemRingSoundsOnce()
    {
        post(WM_LINE_RING, {}, 4);
        QTRY_COMPARE(m_sounds, QStringList{ring()});
        QVERIFY(!m_form->findChild<QTimer*>(QStringLiteral("ringTimer"))->isActive());
        QVERIFY(!m_form->findChild<AnimatedTrayIcon*>(QStringLiteral("trayIcon"))->animate());
        QTest::qWait(1300);
        QCOMPARE(m_sounds.size(), 1);
    }

    void aLineRingRepeatsUntilRingDone()
    {
        post(WM_LINE_RING, {}, 0);
        QTRY_VERIFY(m_form->findChild<QTimer*>(QStringLiteral("ringTimer"))->isActive());
        QVERIFY(m_form->findChild<AnimatedTrayIcon*>(QStringLiteral("trayIcon"))->animate());
        // A second ring of the same call keeps the one timer going.
        QTest::qWait(500);
        post(WM_LINE_RING, {}, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_sounds.size(), 2, 2500);
        QVERIFY(m_sounds.size() == 2 && m_sounds.at(0) == ring() && m_sounds.at(1) == ring());

        post(WM_RING_DONE, {}, 0);
        QTRY_VERIFY(!m_form->findChild<QTimer*>(QStringLiteral("ringTimer"))->isActive());
        QVERIFY(!m_form->findChild<AnimatedTrayIcon*>(QStringLiteral("trayIcon"))->animate());
        QTest::qWait(1300);
        QCOMPARE(m_sounds.size(), 2);
    }

    void aNumberPopsUpTheCallerWindowAndEndsTheRinging()
    {
        QVERIFY(!callerWindow());
        post(WM_LINE_RING, {}, 0);
        post(WM_CALLER_NUMBER, "0591123456", 121);
        QTRY_VERIFY(callerWindow() && callerWindow()->isVisible());
        CallerWindow* const first = callerWindow();
        QCOMPARE(first->record().number(), QStringLiteral("591123456"));
        QCOMPARE(first->record().dialNumber(), QStringLiteral("0591123456"));
        QCOMPARE(first->rowText(1), QString()); // no data source: no rows filled
        // Back to a normal window once shown.
        QVERIFY(!first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!first->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QTRY_VERIFY(!m_form->findChild<QTimer*>(QStringLiteral("ringTimer"))->isActive());
        QVERIFY(!m_form->findChild<AnimatedTrayIcon*>(QStringLiteral("trayIcon"))->animate());
        QCOMPARE(logLines(), 1);
        QVERIFY(m_sounds.contains(m_folder.filePath(QStringLiteral("coming.wav"))));

        // A second call while the window is open closes and reopens it with the new number.
        post(WM_CALLER_NUMBER, "TEL 021-123", 0);
        QTRY_COMPARE(first->record().number(), QStringLiteral("21"));
        QCOMPARE(m_form->findChildren<CallerWindow*>(), QList<CallerWindow*>{first});
        QVERIFY(first->isVisible());
        QCOMPARE(logLines(), 2);
    }

    void aTextWithoutANumberShowsNothing()
    {
        callerWindow()->close();
        post(WM_CALLER_NUMBER, "P", 121);
        post(WM_CALLER_NUMBER, "000", 0);
        QTest::qWait(100);
        QVERIFY(!callerWindow()->isVisible());
        QCOMPARE(logLines(), 2);
    }

    void theHeaderDigitIsDroppedWhenAsked()
    {
        m_form->findChild<QCheckBox*>(QStringLiteral("dropFirstDigitCheck"))->setChecked(true);
        post(WM_CALLER_NUMBER, "0591123456", 121);
        QTRY_COMPARE(callerWindow()->record().number(), QStringLiteral("91123456"));
        // A single digit leaves an empty number; the window is still shown and the call logged.
        callerWindow()->close();
        post(WM_CALLER_NUMBER, "7", 121);
        QTRY_VERIFY(callerWindow()->isVisible());
        QCOMPARE(callerWindow()->record().number(), QString());
        QCOMPARE(logLines(), 4);
        m_form->findChild<QCheckBox*>(QStringLiteral("dropFirstDigitCheck"))->setChecked(false);
    }

    // A call coming while the user types in another window shows on top of it without
    // taking the keyboard. The offscreen platform activates every window it shows, so what
    // is checked is the request the window system gets: show, do not activate.
    void aCallLeavesTheKeyboardWhereItIs()
    {
        callerWindow()->close();
        post(WM_CALLER_NUMBER, "13905911234", 0);
        QTRY_VERIFY(callerWindow()->isVisible());
        QVERIFY(callerWindow()->testAttribute(Qt::WA_ShowWithoutActivating));
        // Asked for by the user, the window comes up to be worked in.
        callerWindow()->close();
        m_form->showCallerInfo(QStringLiteral("13905911234"));
        QVERIFY(callerWindow()->isVisible());
        QVERIFY(!callerWindow()->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(logLines(), 5);
    }

    // While a box waits for an answer (a modal loop nobody ends), every further call is
    // logged and shown at once, in order; the ringing of the call ends; a box already open
    // is not asked for again.
    void boxesWaitBehindTheCalls()
    {
        QTemporaryDir folder;
        ProgramFolder::setPath(folder.path());
        QFile ini(folder.filePath(QStringLiteral("Vornx.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=Provider=SQLite;Data Source=gone.db\r\n"
                  "strSQL=select Name from Unit b where b.Phone like '%#NO#'\r\n[TABLESET]\r\nFIELD0=a\r\n"
                  "FIELDNUM=1\r\n");
        ini.close();
        MainWindow form;
        auto* ringTimer = form.findChild<QTimer*>(QStringLiteral("ringTimer"));
        auto log = [&folder] {
            QFile f(folder.filePath(QStringLiteral("Phone.Log")));
            return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
        };
        QStringList boxes;
        QStringList logAtBox;
        bool ringingDuringBox = true;
        MessageBoxes::setHandler([&](const MessageBoxes::Box& box) {
            boxes << box.text;
            logAtBox << log();
            if (boxes.size() == 1) {
                QCoreApplication::postEvent(&form, new LineMessage(WM_CALLER_NUMBER, "13905911234", 121));
                QCoreApplication::postEvent(&form, new LineMessage(WM_CALLER_NUMBER, "0591123456", 121));
                // The box's own loop runs while nobody answers.
                QTest::qWait(300);
                ringingDuringBox = ringTimer->isActive();
            }
            return QMessageBox::Ok;
        });
        QCoreApplication::postEvent(&form, new LineMessage(WM_LINE_RING, {}, 0));
        QCoreApplication::postEvent(&form, new LineMessage(WM_CALLER_NUMBER, "02188610490", 121));
        QTRY_COMPARE(boxes.size(), 1);
        QTest::qWait(200);
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.text;
            return QMessageBox::Ok;
        });
        ProgramFolder::setPath(m_folder.path());

        const QStringList lines = log().split(QStringLiteral("\r\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(0).contains(QStringLiteral("-#-2188610490-#-")));
        QVERIFY(lines.at(1).contains(QStringLiteral("-#-13905911234-#-")));
        QVERIFY(lines.at(2).contains(QStringLiteral("-#-591123456-#-")));
        // The first box came after its call was logged; the same failure is told once.
        QCOMPARE(logAtBox.at(0).count(QStringLiteral("\r\r\n")), 1);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.at(0).contains(QStringLiteral("gone.db")), qPrintable(boxes.join('|')));
        QVERIFY(!ringingDuringBox);
        auto* window = form.findChild<CallerWindow*>();
        QCOMPARE(window->record().number(), QStringLiteral("591123456"));
        QCOMPARE(window->rowText(1), QStringLiteral("591123456"));
    }
    // The block list as the history window uses it: a number blocked in any form is caught
    // in every form, saved at once, and its call is logged without a caller window or sound.
    void aBlockedNumberIsLoggedAndNotShown()
    {
        const QString list = m_folder.filePath(QStringLiteral("黑名单.txt"));
        const auto listBytes = [&list] {
            QFile f(list);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
        };
        m_boxes.clear();
        m_form->blockNumber(QStringLiteral("电话"));
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(listBytes(), QByteArray("(missing)"));

        m_form->blockNumber(QStringLiteral("+8613905911234"));
        QCOMPARE(listBytes(), QByteArray("+8613905911234\r\n"));
        QVERIFY(m_form->isBlocked(QStringLiteral("13905911234")));
        QVERIFY(m_form->isBlocked(QStringLiteral("008613905911234")));
        QVERIFY(!m_form->isBlocked(QStringLiteral("13905911235")));

        if (callerWindow())
            callerWindow()->close();
        const int before = logLines();
        post(WM_CALLER_NUMBER, "8613905911234", 0);
        QTRY_COMPARE(logLines(), before + 1);
        QFile log(m_folder.filePath(QStringLiteral("Phone.Log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().trimmed().endsWith("-#-13905911234-#-\xba\xda\xc3\xfb\xb5\xa5")); // 黑名单 in GBK
        QVERIFY(!callerWindow() || !callerWindow()->isVisible());
        QVERIFY(m_sounds.filter(QStringLiteral("coming.wav")).isEmpty());

        // The editor shows the list and follows a change made from elsewhere.
        m_form->showBlockList();
        auto* table = m_form->findChild<QTableWidget*>(QStringLiteral("blockTable"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("+8613905911234"));
        // Its mnemonics lead to the fields instead of showing an ampersand.
        for (const QLabel* label : table->window()->findChildren<QLabel*>())
            QVERIFY2(!label->text().contains(QLatin1Char('&')) || label->buddy(), qPrintable(label->text()));
        m_form->unblockNumber(QStringLiteral("13905911234"));
        QVERIFY(!m_form->isBlocked(QStringLiteral("+8613905911234")));
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(listBytes(), QByteArray());
        QCOMPARE(m_boxes.size(), 1);
        // Answering blocked calls is off until the editor's box is ticked, then stored.
        auto* answer = m_form->findChild<QCheckBox*>(QStringLiteral("answerCheck"));
        QVERIFY(answer);
        QVERIFY(!answer->isChecked());
        answer->click();
        QVERIFY(DeviceSettings(m_folder.filePath(QStringLiteral("sysset.ini"))).readSystem().blockAnswer);
    }
    // The history window's block entries reach the main window's list.
    void theHistoryWindowBlocksThroughTheMainWindow()
    {
        m_form->showHistory();
        auto* history = m_form->findChild<HistoryWindow*>();
        QVERIFY(history);
        emit history->blockRequested(QStringLiteral("13800138000"));
        QVERIFY(m_form->isBlocked(QStringLiteral("+8613800138000")));
        emit history->unblockRequested(QStringLiteral("13800138000"));
        QVERIFY(!m_form->isBlocked(QStringLiteral("13800138000")));
        emit history->blockListRequested();
        auto* editor = m_form->findChild<QWidget*>(QStringLiteral("blockListWindow"));
        QVERIFY(editor && editor->isVisible());
        history->hide();
        editor->hide();
    }
};

QTEST_MAIN(TestMainWindowNotify)
#include "tst_mainwindownotify.moc"
