#include "platform/telephony/MqttClient.h"
#include "platform/telephony/MqttLineProvider.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

MqttSettings SomeBroker()
{
    MqttSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = 1883;
    s.prefix = QStringLiteral("shop/test");
    return s;
}

} // namespace

// Run with a libmosquitto.so.1 that has none of libmosquitto's functions first on the
// library path, as on a computer with a wrong or damaged copy of it.
class TestMqttWithoutLibrary : public QObject
{
    Q_OBJECT

private slots:
    void theClientSaysWhyAndKeepsItsMessages()
    {
        MqttClient client(SomeBroker(), QStringLiteral("desk"), false);
        QSignalSpy states(&client, &MqttClient::stateChanged);
        client.subscribe(QStringLiteral("shop/test/call"));
        client.start();
        QCOMPARE(client.state(), MqttClient::State::Unavailable);
        QVERIFY2(client.reason().startsWith(QStringLiteral("MQTT 客户端库 libmosquitto.so.1 缺少函数 mosquitto_")),
                 qPrintable(client.reason()));
        QCOMPARE(states.count(), 1);

        client.publish(QStringLiteral("shop/test/call"), "{}");
        QCOMPARE(client.waitingMessages(), 1);
        // Neither a second start nor a stop touches the library or hides the reason.
        client.start();
        client.stop();
        QCOMPARE(client.state(), MqttClient::State::Unavailable);
        QCOMPARE(states.count(), 1);
    }

    void theListeningLineShowsTheReason()
    {
        QTemporaryDir dir;
        MqttLineProvider line(dir.filePath(QStringLiteral("mqttline.json")));
        line.setSettings(SomeBroker());
        line.open(0);
        QVERIFY2(line.state().startsWith(QStringLiteral("MQTT 客户端库 libmosquitto.so.1")), qPrintable(line.state()));
        line.close(0);
        QCOMPARE(line.state(), QString());
    }
};

QTEST_GUILESS_MAIN(TestMqttWithoutLibrary)
#include "tst_mqttwithoutlibrary.moc"
