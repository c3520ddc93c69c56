#include "platform/telephony/NcidLineProvider.h"

#include "capture/TelephonyLine.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// What an NCID server sends: its banner, the call log it replays to a new client, the end
// of the log, then live lines.
const QByteArray Greeting = "200 NCID Server: ncidd (NCID) 1.13\r\n"
                            "CIDLOG: *DATE*12082026*TIME*0915*LINE*-*NMBR*05913300001*MESG*NONE*NAME*OLD CALL*\r\n"
                            "CIDINFO: *LINE*-*RING*0*TIME*09:15:30*\r\n"
                            "300 End of connection startup\r\n";

QByteArray CidLine(const QByteArray& number, const QByteArray& name = "NO NAME")
{
    return "CID: *DATE*12092026*TIME*0123*LINE*POTS*NMBR*" + number + "*MESG*NONE*NAME*" + name + "*\r\n";
}

QByteArray CallerIdOf(NcidLineProvider& line, DWORD callId)
{
    LineCallData data;
    return line.callData(0, callId, &data) ? data.callerId : QByteArray("<no call>");
}

} // namespace

class TestNcidLine : public QObject
{
    Q_OBJECT

private slots:
    void parserTakesLiveCallsOnly_data();
    void parserTakesLiveCallsOnly();
    void parserSurvivesChunksAndLongLines();
    void callsOfTheServerRingTheLine();
    void reconnectsAfterTheServerGoesAway();
    void aBurstOfCallsReachesTheLineWhole();
    void reportsRefusedAndUnconfigured();
    void settingsFileRoundTrip();
};

void TestNcidLine::parserTakesLiveCallsOnly_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArrayList>("numbers");
    QTest::addColumn<QByteArrayList>("names");
    QTest::newRow("live call") << CidLine("05912345678", "ZHANG SAN") << QByteArrayList{"05912345678"}
                               << QByteArrayList{"ZHANG SAN"};
    QTest::newRow("no name") << CidLine("13905911234") << QByteArrayList{"13905911234"} << QByteArrayList{""};
    QTest::newRow("greeting and replayed log") << Greeting << QByteArrayList{} << QByteArrayList{};
    QTest::newRow("other line types") << QByteArray("MSG: hello*\nHUP: *NMBR*123*\nOUT: *NMBR*5551234*\n"
                                                    "NOT: x\nBLK: *NMBR*13900000000*\n")
                                      << QByteArrayList{} << QByteArrayList{};
    QTest::newRow("withheld numbers") << CidLine("PRIVATE") + CidLine("OUT-OF-AREA") + CidLine("-") + CidLine("")
                                      << QByteArrayList{} << QByteArrayList{};
    QTest::newRow("digits with letters") << CidLine("0591'; DROP TABLE x;--") << QByteArrayList{}
                                         << QByteArrayList{};
    QTest::newRow("bare newline") << QByteArray("CID: *NMBR*87654321*NAME*LI*\n") << QByteArrayList{"87654321"}
                                  << QByteArrayList{"LI"};
    QTest::newRow("two calls") << CidLine("111") + CidLine("222") << QByteArrayList{"111", "222"}
                               << QByteArrayList{"", ""};
}

void TestNcidLine::parserTakesLiveCallsOnly()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArrayList, numbers);
    QFETCH(QByteArrayList, names);
    NcidLineParser parser;
    QByteArrayList gotNumbers, gotNames;
    for (const NcidLineParser::Call& call : parser.feed(input)) {
        gotNumbers << call.number;
        gotNames << call.name;
    }
    QCOMPARE(gotNumbers, numbers);
    QCOMPARE(gotNames, names);
}

void TestNcidLine::parserSurvivesChunksAndLongLines()
{
    NcidLineParser parser;
    const QByteArray stream = Greeting + CidLine("05912345678") + CidLine("13800138000");
    QByteArrayList got;
    for (char c : stream)
        for (const NcidLineParser::Call& call : parser.feed(QByteArrayView(&c, 1)))
            got << call.number;
    QCOMPARE(got, (QByteArrayList{"05912345678", "13800138000"}));

    // A line longer than any the server writes is dropped whole, even when it looks like a
    // call at its end, and the next line is read as usual.
    const QByteArray huge = "CID: *NAME*" + QByteArray(5000, 'x') + "*NMBR*13911112222*\n";
    got.clear();
    for (const NcidLineParser::Call& call : parser.feed(huge + CidLine("87654321")))
        got << call.number;
    QCOMPARE(got, (QByteArrayList{"87654321"}));
    QCOMPARE(parser.dropped(), 1);
}

void TestNcidLine::callsOfTheServerRingTheLine()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    NcidLineProvider line(dir.filePath(QStringLiteral("ncidline.json")));
    line.setServer({QStringLiteral("127.0.0.1"), server.serverPort()});
    line.setCallLength(50);
    QSignalSpy calls(&line, &LineProvider::newCall);
    QSignalSpy info(&line, &LineProvider::callInfoChanged);
    QSignalSpy states(&line, &LineProvider::callStateChanged);

    // Nothing is taken while the device is closed.
    QVERIFY(!server.waitForNewConnection(300));
    QCOMPARE(line.open(0), 0);
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket* client = server.nextPendingConnection();
    QTRY_COMPARE(line.state(), NcidLineProvider::connectedText());
    client->write(Greeting);
    client->flush();
    QTest::qWait(200);
    QCOMPARE(calls.count(), 0); // the replayed call log does not ring

    client->write(CidLine("05912345678", "ZHANG SAN"));
    QTRY_COMPARE(calls.count(), 1);
    const DWORD first = calls.at(0).at(1).value<DWORD>();
    QCOMPARE(info.count(), 1);
    QCOMPARE(CallerIdOf(line, first), QByteArray("05912345678"));
    QCOMPARE(states.at(0).at(2).value<DWORD>(), LINECALLSTATE_OFFERING);
    // The call ends by itself: disconnected, then idle.
    QTRY_COMPARE(states.count(), 3);
    QCOMPARE(states.at(2).at(2).value<DWORD>(), LINECALLSTATE_IDLE);

    // Two calls at once: the second ends the first, neither is lost.
    client->write(CidLine("111") + CidLine("13800138000"));
    QTRY_COMPARE(calls.count(), 3);
    QCOMPARE(CallerIdOf(line, calls.at(2).at(1).value<DWORD>()), QByteArray("13800138000"));

    line.close(0);
    QTRY_COMPARE(client->state(), QAbstractSocket::UnconnectedState);
}

void TestNcidLine::reconnectsAfterTheServerGoesAway()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const quint16 port = server.serverPort();
    QTemporaryDir dir;
    NcidLineProvider line(dir.filePath(QStringLiteral("ncidline.json")));
    line.setRetryInterval(100);
    line.setServer({QStringLiteral("127.0.0.1"), port});
    line.setCallLength(20);
    QSignalSpy calls(&line, &LineProvider::newCall);
    line.open(0);
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket* client = server.nextPendingConnection();
    QTRY_COMPARE(line.state(), NcidLineProvider::connectedText());

    // The server goes away altogether, then comes back on the same port.
    client->close();
    server.close();
    QTRY_VERIFY(line.state() == NcidLineProvider::refusedText() || line.state() == NcidLineProvider::unreachableText());
    QTest::qWait(300);
    QVERIFY(server.listen(QHostAddress::LocalHost, port));
    QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 10000);
    client = server.nextPendingConnection();
    QTRY_COMPARE(line.state(), NcidLineProvider::connectedText());
    client->write(Greeting + CidLine("87654321"));
    QTRY_COMPARE(calls.count(), 1);
    QCOMPARE(CallerIdOf(line, calls.at(0).at(1).value<DWORD>()), QByteArray("87654321"));
    line.close(0);
}

// Calls arriving together end one another before the line has read their caller IDs from
// its queued messages; each number still reaches the line, in order.
void TestNcidLine::aBurstOfCallsReachesTheLineWhole()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    auto provider = std::make_unique<NcidLineProvider>(dir.filePath(QStringLiteral("ncidline.json")));
    provider->setServer({QStringLiteral("127.0.0.1"), server.serverPort()});
    NcidLineProvider* ncid = provider.get();
    LineProviders::install(std::move(provider));
    {
        TelephonyLine line;
        QByteArrayList numbers;
        connect(&line, &TelephonyLine::callerNumber, this, [&](const QByteArray& n) { numbers << n; });
        QVERIFY(line.initLines());
        QVERIFY(line.selectLine(0));
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket* client = server.nextPendingConnection();
        QTRY_COMPARE(ncid->state(), NcidLineProvider::connectedText());
        QByteArray burst;
        QByteArrayList sent;
        for (int i = 0; i < 50; ++i) {
            sent << QByteArray::number(13900000000LL + i);
            burst += CidLine(sent.last());
        }
        client->write(burst);
        QTRY_COMPARE(numbers.size(), 50);
        QCOMPARE(numbers, sent);
        line.closeLine();
    }
    LineProviders::clear();
}

void TestNcidLine::reportsRefusedAndUnconfigured()
{
    QTemporaryDir dir;
    NcidLineProvider line(dir.filePath(QStringLiteral("ncidline.json")));
    QVERIFY(line.load());
    line.open(0);
    QCOMPARE(line.state(), NcidLineProvider::notConfiguredText());
    QVERIFY(line.caps(0).switchInfo.contains(NcidLineProvider::notConfiguredText().toUtf8()));
    line.close(0);

    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QSignalSpy changes(&line, &NetworkCallLine::stateChanged);
    line.setServer({QStringLiteral("127.0.0.1"), closedPort});
    line.open(0);
    QTRY_COMPARE(line.state(), NcidLineProvider::refusedText());
    QVERIFY(changes.count() >= 1);
    QVERIFY(line.caps(0).switchInfo.contains(QStringLiteral("127.0.0.1:%1").arg(closedPort).toUtf8()));
    QVERIFY(line.caps(0).switchInfo.contains(NcidLineProvider::refusedText().toUtf8()));
    QCOMPARE(line.makeCall(0, 1, "123"), LINEERR_OPERATIONUNAVAIL);
    line.close(0);
}

void TestNcidLine::settingsFileRoundTrip()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ncidline.json"));
    NcidLineProvider line(file);
    line.setServer({QStringLiteral("ncid.example"), 3334});
    QVERIFY(line.save());
    NcidLineProvider again(file);
    QVERIFY(again.load());
    QCOMPARE(again.server().host, QStringLiteral("ncid.example"));
    QCOMPARE(again.server().port, quint16(3334));

    QFile broken(file);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{\"host\": \"x\", \"port\": 99999}");
    broken.close();
    QString error;
    QVERIFY(!again.load(&error));
    QVERIFY(error.contains(QStringLiteral("99999")));
    QVERIFY(again.server().host.isEmpty());
}

QTEST_MAIN(TestNcidLine)
#include "tst_ncidline.moc"
