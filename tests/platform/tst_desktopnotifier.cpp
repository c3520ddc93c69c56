// The desktop notification of a caller, against a notification service of the test on a
// session bus of its own.
#include "platform/desktop/DesktopNotifier.h"
#include "tests/support/NotificationServer.h"

#include <QSignalSpy>
#include <QTest>

class TestDesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!m_bus.address().isEmpty(), "dbus-daemon did not start");
        m_client = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("client"));
        QVERIFY(m_client.isConnected());
    }

    void withoutServiceOrBusNothingFails()
    {
        DesktopNotifier notifier(m_client);
        QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
        notifier.notify(QStringLiteral("来电"), QStringLiteral("13905911234"), QStringLiteral("显示资料"));
        QVERIFY(delivered.wait(10000));
        QCOMPARE(delivered.first().first().toBool(), false);
        QCOMPARE(notifier.currentId(), 0u);

        DesktopNotifier offline(QDBusConnection(QStringLiteral("no such connection")));
        QSignalSpy offlineDelivered(&offline, &DesktopNotifier::delivered);
        offline.notify(QStringLiteral("来电"), QString(), QStringLiteral("显示资料"));
        QCOMPARE(offlineDelivered.size(), 1);
        QCOMPARE(offlineDelivered.first().first().toBool(), false);
    }

    void notificationCarriesTheCallerAndReplacesTheLastOne()
    {
        NotificationServer server(m_bus.address());
        QVERIFY(server.start());
        DesktopNotifier notifier(m_client);
        QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);

        notifier.notify(QStringLiteral("来电：13905911234"), QStringLiteral("福建省福州市\n林建华"),
                        QStringLiteral("显示资料"));
        QVERIFY(delivered.wait(10000));
        QCOMPARE(delivered.takeFirst().first().toBool(), true);
        QCOMPARE(server.shown.size(), 1);
        const NotificationServer::Shown first = server.shown.first();
        QCOMPARE(first.summary, QStringLiteral("来电：13905911234"));
        QCOMPARE(first.body, QStringLiteral("福建省福州市\n林建华"));
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(first.appIcon, QStringLiteral("io.github.vornx"));
        QCOMPARE(first.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("io.github.vornx"));
        // Actions come as key, label pairs.
        const qsizetype show = first.actions.indexOf(QStringLiteral("show"));
        QVERIFY2(show >= 0 && show % 2 == 0, qPrintable(first.actions.join(QLatin1Char(','))));
        QCOMPARE(first.actions.value(show + 1), QStringLiteral("显示资料"));
        QCOMPARE(notifier.currentId(), first.id);

        // The next caller takes the place of the first.
        notifier.notify(QStringLiteral("来电：0591123456"), QStringLiteral("福建省福州市"), QStringLiteral("显示资料"));
        QVERIFY(delivered.wait(10000));
        QCOMPARE(server.shown.size(), 2);
        QCOMPARE(server.shown.at(1).replacesId, first.id);

        // A customer's name is text, not markup of the notification.
        notifier.notify(QStringLiteral("来电：0591123456"), QStringLiteral("<b>A&B</b>"), QStringLiteral("显示资料"));
        QVERIFY(delivered.wait(10000));
        QCOMPARE(server.shown.at(2).body, QStringLiteral("&lt;b&gt;A&amp;B&lt;/b&gt;"));
    }

    void onlyOurOwnNotificationsActionCounts()
    {
        NotificationServer server(m_bus.address());
        QVERIFY(server.start());
        DesktopNotifier notifier(m_client);
        QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
        QSignalSpy invoked(&notifier, &DesktopNotifier::actionInvoked);
        notifier.notify(QStringLiteral("来电：13905911234"), QString(), QStringLiteral("显示资料"));
        QVERIFY(delivered.wait(10000));
        const uint id = notifier.currentId();
        QVERIFY(id != 0);

        server.invoke(id + 1, QStringLiteral("show")); // another program's notification
        server.invoke(id, QStringLiteral("show"));
        QVERIFY(invoked.wait(10000));
        QCOMPARE(invoked.size(), 1);
        server.invoke(id, QStringLiteral("default")); // a click on the notification itself
        QTRY_COMPARE(invoked.size(), 2);

        // Once closed, the old id is no longer ours.
        server.close(id);
        QTRY_COMPARE(notifier.currentId(), 0u);
        server.invoke(id, QStringLiteral("show"));
        server.invoke(0, QStringLiteral("show"));
        QTest::qWait(300);
        QCOMPARE(invoked.size(), 2);
    }

private:
    PrivateBus m_bus;
    QDBusConnection m_client{QStringLiteral("unset")};
};

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
