#include "app/CallPublisher.h"
#include "platform/telephony/MqttClient.h"
#include "platform/telephony/MqttLineProvider.h"

#include "../support/MosquittoBroker.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTest>

namespace {

using Verdict = MqttCallMessage::Verdict;

QByteArray CallJson(const QByteArray& number, const QDateTime& time, const QString& name = {})
{
    QJsonObject o{{QStringLiteral("number"), QString::fromLatin1(number)},
                  {QStringLiteral("national"), QString::fromLatin1(number)},
                  {QStringLiteral("region"), QStringLiteral("福建省福州市")},
                  {QStringLiteral("time"), time.toOffsetFromUtc(8 * 3600).toString(Qt::ISODate)},
                  {QStringLiteral("line"), QStringLiteral("COM1")},
                  {QStringLiteral("host"), QStringLiteral("front-desk")}};
    if (!name.isEmpty())
        o.insert(QStringLiteral("name"), name);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

MqttSettings SettingsFor(const MosquittoBroker& broker, const QString& clientId = {})
{
    MqttSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = broker.port();
    s.prefix = QStringLiteral("shop/test");
    s.clientId = clientId;
    return s;
}

// A listening line on the broker, open as the main window opens it.
struct Listener
{
    QTemporaryDir dir;
    MqttLineProvider line;
    QSignalSpy calls;

    explicit Listener(const MqttSettings& settings)
        : line(dir.filePath(QStringLiteral("mqttline.json"))), calls(&line, &LineProvider::newCall)
    {
        // The caller ID as the line hands it over while the call rings.
        QObject::connect(&line, &LineProvider::callInfoChanged, &line, [this](DWORD, DWORD callId, DWORD) {
            LineCallData data;
            m_numbers << (line.callData(0, callId, &data) ? data.callerId : QByteArray());
        });
        line.setFirstRetryInterval(100);
        line.setCallLength(10);
        line.setSettings(settings);
        line.open(0);
    }
    ~Listener() { line.close(0); }

    QByteArray number(int call) const { return m_numbers.value(call); }
    QByteArrayList m_numbers;
};

} // namespace

class TestMqttLine : public QObject
{
    Q_OBJECT

private slots:
    void messagesFromTheNetworkAreChecked_data();
    void messagesFromTheNetworkAreChecked();
    void messageRoundTrip();
    void settingsFileIsTheOwnersOnly();
    void nationalForm_data();
    void nationalForm();
    void callsFromTheListeningLineAreNotSentBack();
    void publishedCallsRingEveryListener();
    void badMessagesAreDroppedAndCounted();
    void noCallLostWhileTheBrokerRestarts();
    void wrongPasswordIsRefused();
    void tlsWithTheRightAndTheWrongCa();
    void unreachableBrokerIsReported();
    void idleConnectionsOutliveTheirKeepAlive();
};

void TestMqttLine::messagesFromTheNetworkAreChecked_data()
{
    const QDateTime now = QDateTime::currentDateTime();
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("verdict");
    QTest::newRow("call") << CallJson("05912345678", now) << int(Verdict::Accepted);
    QTest::newRow("30 s old") << CallJson("05912345678", now.addSecs(-30)) << int(Verdict::Accepted);
    QTest::newRow("not JSON") << QByteArray("{\"number\": \"0591") << int(Verdict::Malformed);
    QTest::newRow("JSON array") << QByteArray("[\"05912345678\"]") << int(Verdict::Malformed);
    QTest::newRow("empty") << QByteArray() << int(Verdict::Malformed);
    QTest::newRow("no time") << QByteArray("{\"number\":\"05912345678\"}") << int(Verdict::Malformed);
    QTest::newRow("bad time") << QByteArray("{\"number\":\"05912345678\",\"time\":\"yesterday\"}")
                              << int(Verdict::Malformed);
    QByteArray noNumber = CallJson("0", now);
    noNumber.replace("\"number\":\"0\",", "");
    QTest::newRow("no number") << noNumber << int(Verdict::BadNumber);
    QTest::newRow("empty number") << CallJson("", now) << int(Verdict::BadNumber);
    QTest::newRow("letters in number") << CallJson("0591'--", now) << int(Verdict::BadNumber);
    QTest::newRow("plus sign") << CallJson("+8613905911234", now) << int(Verdict::BadNumber);
    QTest::newRow("40 digits") << CallJson(QByteArray(40, '1'), now) << int(Verdict::BadNumber);
    QByteArray numeric = CallJson("0", now);
    numeric.replace("\"number\":\"0\"", "\"number\":5912345678");
    QTest::newRow("number not a string") << numeric << int(Verdict::BadNumber);
    QTest::newRow("61 s old") << CallJson("05912345678", now.addSecs(-61)) << int(Verdict::TooOld);
    QTest::newRow("an hour ahead") << CallJson("05912345678", now.addSecs(3600)) << int(Verdict::TooOld);
    QTest::newRow("over 4 KiB") << CallJson("05912345678", now, QString(4096, QLatin1Char('x')))
                                << int(Verdict::TooLarge);
}

void TestMqttLine::messagesFromTheNetworkAreChecked()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, verdict);
    QCOMPARE(int(MqttCallMessage::fromJson(payload, QDateTime::currentDateTime()).verdict), verdict);
}

void TestMqttLine::messageRoundTrip()
{
    MqttCallMessage m;
    m.number = "05912345678";
    m.national = "05912345678";
    m.region = QStringLiteral("福建省福州市");
    m.time = QDateTime(QDate(2026, 12, 9), QTime(9, 15, 2), QTimeZone(8 * 3600));
    m.line = QStringLiteral("COM1");
    m.host = QStringLiteral("front-desk");
    m.name = QStringLiteral("张三\n\x1b[2J");
    const QByteArray json = m.toJson();
    QVERIFY(json.contains("\"time\":\"2026-12-09T09:15:02+08:00\""));
    const auto d = MqttCallMessage::fromJson(json, m.time.addSecs(5));
    QCOMPARE(int(d.verdict), int(Verdict::Accepted));
    QCOMPARE(d.message.number, m.number);
    QCOMPARE(d.message.region, m.region);
    QCOMPARE(d.message.time, m.time);
    // Control characters of a name from the network never reach a window.
    QCOMPARE(d.message.name, QStringLiteral("张三  [2J"));
    // No name: the field is left out.
    m.name.clear();
    QVERIFY(!m.toJson().contains("\"name\""));
}

void TestMqttLine::settingsFileIsTheOwnersOnly()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("mqttline.json"));
    MqttSettings s;
    s.host = QStringLiteral("broker.lan");
    s.user = QStringLiteral("desk");
    s.password = QStringLiteral("secret");
    s.tls = true;
    s.caFile = QStringLiteral("/etc/ssl/ca.crt");
    QVERIFY(s.write(file));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    QVERIFY(QFile(file).permissions().testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(!(QFile(file).permissions() & others));
    QString error;
    const MqttSettings back = MqttSettings::read(file, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(back.password, s.password);
    QCOMPARE(back.caFile, s.caFile);
    QVERIFY(back.tls);

    // A file made readable by everyone is closed again when read.
    QVERIFY(QFile(file).setPermissions(QFile(file).permissions() | QFileDevice::ReadOther | QFileDevice::ReadGroup));
    MqttSettings::read(file, &error);
    QVERIFY(!(QFile(file).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup)));

    // Wildcards in the prefix would listen to, or write into, other topics.
    s.prefix = QStringLiteral("shop/#");
    QVERIFY(s.write(file));
    QVERIFY(!MqttSettings::read(file, &error).configured());
    QVERIFY(error.contains(QStringLiteral("prefix")));
}

void TestMqttLine::nationalForm_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("national");
    QTest::newRow("long distance without trunk 0") << "5912345678" << "福建省福州市" << "05912345678";
    QTest::newRow("long distance with trunk 0") << "05912345678" << "福建省福州市" << "05912345678";
    QTest::newRow("mobile") << "13905911234" << "福建省福州市" << "13905911234";
    QTest::newRow("mobile with country code") << "8613905911234" << "" << "13905911234";
    QTest::newRow("local") << "87654321" << "" << "87654321";
}

void TestMqttLine::nationalForm()
{
    QFETCH(QString, number);
    QFETCH(QString, region);
    QFETCH(QString, national);
    QCOMPARE(CallPublisher::nationalForm(number, region), national);
}

void TestMqttLine::callsFromTheListeningLineAreNotSentBack()
{
    MqttSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = 1; // never reached: nothing is published here
    CallPublisher publisher(s);
    const MqttCallMessage fromModem = publisher.message("NMBR=05912345678\r\n", QStringLiteral("5912345678"),
                                                        QStringLiteral("福建省福州市"), QStringLiteral("张三"),
                                                        QStringLiteral("COM1"));
    QCOMPARE(fromModem.number, QByteArray("05912345678"));
    QCOMPARE(fromModem.national, QByteArray("05912345678"));
    QCOMPARE(fromModem.name, QStringLiteral("张三"));
    QVERIFY(fromModem.time.isValid());
    const MqttCallMessage fromMqtt = publisher.message("5912345678", QStringLiteral("5912345678"), QString(), QString(),
                                                       QString::fromUtf8(MqttLineProvider::deviceName()));
    QVERIFY(fromMqtt.number.isEmpty());
}

void TestMqttLine::publishedCallsRingEveryListener()
{
    MosquittoBroker broker;
    QVERIFY2(broker.ready(), broker.log().constData());
    Listener a(SettingsFor(broker)), b(SettingsFor(broker));
    QTRY_COMPARE(a.line.state(), QStringLiteral("已连接"));
    QTRY_COMPARE(b.line.state(), QStringLiteral("已连接"));
    QVERIFY(a.line.caps(0).switchInfo.contains("shop/test/call"));

    // What the publisher sends, as a consumer of the topic sees it.
    QProcess sub;
    sub.start(QStringLiteral("mosquitto_sub"), broker.clientArgs() << QStringLiteral("-t") << QStringLiteral("shop/test/call")
                                                                   << QStringLiteral("-C") << QStringLiteral("1"));
    QVERIFY(sub.waitForStarted());
    // The two lines and the tool have subscribed.
    QVERIFY(broker.waitForLog("Received SUBSCRIBE", 3));
    CallPublisher publisher(SettingsFor(broker));
    QTRY_COMPARE(publisher.client().state(), MqttClient::State::Connected);
    publisher.publish(publisher.message("05912345678", QStringLiteral("5912345678"), QStringLiteral("福建省福州市"),
                                        QStringLiteral("张三"), QStringLiteral("COM1")));
    QTRY_COMPARE(a.calls.count(), 1);
    QTRY_COMPARE(b.calls.count(), 1);
    QCOMPARE(a.number(0), QByteArray("05912345678"));
    QCOMPARE(b.number(0), QByteArray("05912345678"));
    if (!sub.waitForFinished(5000))
        qWarning("%s\n%s", sub.readAllStandardError().constData(), broker.log().constData());
    QCOMPARE(sub.state(), QProcess::NotRunning);
    const QJsonObject o = QJsonDocument::fromJson(sub.readAllStandardOutput()).object();
    QCOMPARE(o.value(QLatin1String("number")).toString(), QStringLiteral("05912345678"));
    QCOMPARE(o.value(QLatin1String("region")).toString(), QStringLiteral("福建省福州市"));
    QCOMPARE(o.value(QLatin1String("name")).toString(), QStringLiteral("张三"));
    QCOMPARE(o.value(QLatin1String("line")).toString(), QStringLiteral("COM1"));
    QVERIFY(QDateTime::fromString(o.value(QLatin1String("time")).toString(), Qt::ISODate).isValid());
    QVERIFY(!o.value(QLatin1String("host")).toString().isEmpty());

    // A burst: every call reaches every listener, each once.
    for (int i = 0; i < 200; ++i)
        publisher.publish(publisher.message(QByteArray::number(13900000000LL + i), QString::number(13900000000LL + i),
                                            QString(), QString(), QStringLiteral("COM1")));
    QTRY_COMPARE_WITH_TIMEOUT(a.line.accepted(), 201, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(b.line.accepted(), 201, 20000);
    QCOMPARE(a.calls.count(), 201);
    QCOMPARE(a.number(200), QByteArray("13900000199"));
}

void TestMqttLine::badMessagesAreDroppedAndCounted()
{
    MosquittoBroker broker;
    QVERIFY2(broker.ready(), broker.log().constData());
    Listener desk(SettingsFor(broker));
    QTRY_COMPARE(desk.line.state(), QStringLiteral("已连接"));
    const QString topic = QStringLiteral("shop/test/call");
    const QDateTime now = QDateTime::currentDateTime();
    struct Case
    {
        QByteArray payload;
        Verdict verdict;
    };
    const Case cases[] = {
        {"not json at all", Verdict::Malformed},
        {"{\"number\":\"05912345678\"}", Verdict::Malformed},
        {CallJson("", now), Verdict::BadNumber},
        {CallJson("0591;DROP", now), Verdict::BadNumber},
        {CallJson("05912345678", now, QString(5000, QLatin1Char('x'))), Verdict::TooLarge},
        {CallJson("05912345678", now.addSecs(-120)), Verdict::TooOld},
    };
    for (const Case& c : cases) {
        const int before = desk.line.refused(c.verdict);
        QVERIFY(broker.publish(topic, c.payload));
        QTRY_COMPARE(desk.line.refused(c.verdict), before + 1);
        QCOMPARE(desk.calls.count(), 0);
    }
    // A good call after them still rings, and the same message delivered twice rings once.
    const QByteArray good = CallJson("05912345678", QDateTime::currentDateTime());
    QVERIFY(broker.publish(topic, good));
    QVERIFY(broker.publish(topic, good));
    QTRY_COMPARE(desk.line.accepted(), 1);
    QTest::qWait(300);
    QCOMPARE(desk.calls.count(), 1);
    QCOMPARE(desk.number(0), QByteArray("05912345678"));
}

void TestMqttLine::noCallLostWhileTheBrokerRestarts()
{
    MosquittoBroker broker;
    QVERIFY2(broker.ready(), broker.log().constData());
    Listener desk(SettingsFor(broker, QStringLiteral("desk-1")));
    CallPublisher publisher(SettingsFor(broker, QStringLiteral("front")));
    publisher.client().setFirstRetryInterval(100);
    QTRY_COMPARE(desk.line.state(), QStringLiteral("已连接"));
    QTRY_COMPARE(publisher.client().state(), MqttClient::State::Connected);

    broker.stop();
    QTRY_VERIFY(desk.line.state().startsWith(QStringLiteral("无法连接")));
    QTRY_COMPARE(publisher.client().state(), MqttClient::State::Unreachable);
    for (int i = 0; i < 3; ++i)
        publisher.publish(publisher.message(QByteArray::number(87654320 + i), QString::number(87654320 + i), QString(),
                                            QString(), QStringLiteral("COM1")));
    QCOMPARE(desk.calls.count(), 0);

    QVERIFY(broker.start());
    QTRY_COMPARE_WITH_TIMEOUT(desk.line.state(), QStringLiteral("已连接"), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(desk.calls.count(), 3, 15000);
    QCOMPARE(desk.number(0), QByteArray("87654320"));
    QCOMPARE(desk.number(2), QByteArray("87654322"));
}

void TestMqttLine::wrongPasswordIsRefused()
{
    MosquittoBroker broker({QStringLiteral("desk"), QStringLiteral("right"), false});
    QVERIFY2(broker.ready(), broker.log().constData());
    MqttSettings s = SettingsFor(broker);
    s.user = QStringLiteral("desk");
    s.password = QStringLiteral("wrong");
    Listener wrong(s);
    QTRY_VERIFY(wrong.line.state().startsWith(QStringLiteral("连接被拒绝")));
    QVERIFY(wrong.line.caps(0).switchInfo.contains("连接被拒绝"));
    s.password = QStringLiteral("right");
    Listener right(s);
    QTRY_COMPARE(right.line.state(), QStringLiteral("已连接"));
    QVERIFY(broker.publish(QStringLiteral("shop/test/call"), CallJson("13905911234", QDateTime::currentDateTime())));
    QTRY_COMPARE(right.calls.count(), 1);
    QTest::qWait(300);
    QCOMPARE(wrong.calls.count(), 0);
    QVERIFY(wrong.line.state().startsWith(QStringLiteral("连接被拒绝")));
}

void TestMqttLine::tlsWithTheRightAndTheWrongCa()
{
    MosquittoBroker broker({{}, {}, true});
    QVERIFY2(broker.ready(), broker.log().constData());
    MqttSettings s = SettingsFor(broker);
    s.tls = true;
    s.caFile = broker.caFile();
    Listener right(s);
    s.caFile = broker.otherCaFile();
    Listener wrong(s);
    QTRY_COMPARE(right.line.state(), QStringLiteral("已连接"));
    QTRY_VERIFY(wrong.line.state().startsWith(QStringLiteral("连接被拒绝")));
    QVERIFY(broker.publish(QStringLiteral("shop/test/call"), CallJson("13905911234", QDateTime::currentDateTime())));
    QTRY_COMPARE(right.calls.count(), 1);
    QTest::qWait(300);
    QCOMPARE(wrong.calls.count(), 0);
}

void TestMqttLine::unreachableBrokerIsReported()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    MqttSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = probe.serverPort();
    probe.close();
    Listener desk(s);
    QSignalSpy changes(&desk.line, &NetworkCallLine::stateChanged);
    QTRY_VERIFY(desk.line.state().startsWith(QStringLiteral("无法连接")));
    QVERIFY(desk.line.caps(0).switchInfo.contains("无法连接"));
}

// A desk where nothing rings for a while keeps its connections: the pings of the keep-alive
// are answered and their answers read.
void TestMqttLine::idleConnectionsOutliveTheirKeepAlive()
{
    MosquittoBroker broker;
    QVERIFY2(broker.ready(), broker.log().constData());
    MqttSettings s = SettingsFor(broker, QStringLiteral("idle"));
    s.keepAlive = 5;
    CallPublisher publisher(s);
    Listener desk(s);
    QSignalSpy publisherStates(&publisher.client(), &MqttClient::stateChanged);
    QTRY_COMPARE(publisher.client().state(), MqttClient::State::Connected);
    QTRY_COMPARE(desk.line.state(), QStringLiteral("已连接"));
    publisherStates.clear();
    QTest::qWait(12000);
    QCOMPARE(publisherStates.count(), 0);
    QCOMPARE(desk.line.state(), QStringLiteral("已连接"));
    QVERIFY(broker.log().count("Received PINGREQ from idle-publish") >= 1);
    QVERIFY(!broker.log().contains("idle-publish closed"));
}

QTEST_MAIN(TestMqttLine)
#include "tst_mqttline.moc"
