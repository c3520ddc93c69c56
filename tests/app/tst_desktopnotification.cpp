// A call announced in the desktop's notification beside the caller window: what it says, its
// action bringing the caller window back, the tray menu's switch kept in "sysset.ini", and a
// desktop without a notification service. The service is the test's own, on a bus of its own.
#include "app/DeviceSettings.h"
#include "app/MainWindow.h"
#include "capture/LineMessage.h"
#include "lookup/CallerWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"
#include "tests/support/NotificationServer.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestDesktopNotification : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;
    QTemporaryDir m_folder;
    QStringList m_boxes;
    std::unique_ptr<MainWindow> m_form;

    void call(const QByteArray& number)
    {
        QCoreApplication::postEvent(m_form.get(), new LineMessage(WM_CALLER_NUMBER, number, 121));
    }
    CallerWindow* callerWindow() const { return m_form->findChild<CallerWindow*>(); }
    QAction* notifyAction() const { return m_form->findChild<QAction*>(QStringLiteral("notifyAction")); }
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("sysset.ini")); }

private slots:
    void initTestCase()
    {
        QVERIFY2(!m_bus.address().isEmpty(), "dbus-daemon did not start");
        // The program talks to the session bus of the environment: this one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8());
        ProgramFolder::setPath(m_folder.path());
        QVERIFY(QFile::copy(QStringLiteral(VORNX_BIN_DIR "/area.dat"), m_folder.filePath(QStringLiteral("area.dat"))));
        // The demo customer database the build ships, and its settings.
        for (const char* name : {"demo.db", "Vornx.ini"})
            QVERIFY(QFile::copy(QStringLiteral(VORNX_BIN_DIR "/") + QLatin1String(name),
                                m_folder.filePath(QLatin1String(name))));
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.text;
            return QMessageBox::Ok;
        });
        Sound::setHandler([](const QString&) {});
        m_form = std::make_unique<MainWindow>();
        m_form->loadRegionTable();
    }

    void cleanupTestCase() { m_form.reset(); }

    void callIsNotifiedAndItsActionRaisesTheCallerWindow()
    {
        NotificationServer server(m_bus.address());
        QVERIFY(server.start());
        QVERIFY(notifyAction()->isChecked()); // on without a stored choice

        call("13905911234");
        QTRY_VERIFY(callerWindow() && callerWindow()->isVisible());
        QTRY_COMPARE(server.shown.size(), 1);
        const NotificationServer::Shown shown = server.shown.first();
        QVERIFY2(shown.summary.contains(QStringLiteral("13905911234")), qPrintable(shown.summary));
        QVERIFY2(shown.body.contains(QStringLiteral("福建省福州市")), qPrintable(shown.body));
        const QString row3 = callerWindow()->record().rowText(3);
        QVERIFY(!row3.isEmpty());
        QVERIFY2(shown.body.contains(row3), qPrintable(shown.body + QStringLiteral(" / ") + row3));
        QCOMPARE(shown.actions.value(shown.actions.indexOf(QStringLiteral("show")) + 1), QStringLiteral("显示资料"));

        // The user closed the caller window, then chooses the notification's action.
        callerWindow()->close();
        QVERIFY(!callerWindow()->isVisible());
        server.invoke(shown.id, QStringLiteral("show"));
        QTRY_VERIFY(callerWindow()->isVisible());
        QVERIFY(m_boxes.isEmpty());
    }

    void switchInTheTrayMenuIsKept()
    {
        NotificationServer server(m_bus.address());
        QVERIFY(server.start());
        notifyAction()->trigger();
        QVERIFY(!notifyAction()->isChecked());
        QCOMPARE(DeviceSettings(settingsFile()).readSystem().notify, false);

        call("0591123456");
        QTRY_COMPARE(callerWindow()->record().number(), QStringLiteral("591123456"));
        QTest::qWait(500);
        QVERIFY(server.shown.isEmpty());

        // The next start keeps the choice.
        MainWindow again;
        QVERIFY(!again.findChild<QAction*>(QStringLiteral("notifyAction"))->isChecked());

        notifyAction()->trigger();
        QCOMPARE(DeviceSettings(settingsFile()).readSystem().notify, true);
        call("13905911234");
        QTRY_COMPARE(server.shown.size(), 1);
    }

    void withoutNotificationServiceTheCallIsShownAsBefore()
    {
        QVERIFY(notifyAction()->isChecked());
        callerWindow()->close();
        call("02012345678");
        QTRY_VERIFY(callerWindow()->isVisible());
        QCOMPARE(callerWindow()->record().number(), QStringLiteral("2012345678"));
        // Nothing is said about the missing service, and the window goes on working.
        QTest::qWait(500);
        QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.join(QLatin1Char('\n'))));
        call("13905911234");
        QTRY_COMPARE(callerWindow()->record().number(), QStringLiteral("13905911234"));
    }
};

QTEST_MAIN(TestDesktopNotification)
#include "tst_desktopnotification.moc"
