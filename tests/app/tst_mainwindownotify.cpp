#include "app/AnimatedTrayIcon.h"
#include "app/MainWindow.h"
#include "capture/LineMessage.h"
#include "lookup/CallerWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"

#include <QCheckBox>
#include <QFile>
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
};

QTEST_MAIN(TestMainWindowNotify)
#include "tst_mainwindownotify.moc"
