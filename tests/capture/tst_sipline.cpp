// The SIP line provider against a real SIP peer (sipp): calls offered by a caller whose
// number travels in P-Asserted-Identity or From, turned away with 486, cancelled by the
// caller; registration answering a digest challenge. The line object sees the calls
// through the same line functions as any line device.
#include "capture/LineMessage.h"
#include "capture/TelephonyLine.h"
#include "capture/TapiDevices.h"
#include "platform/telephony/SipLineProvider.h"

#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <sys/stat.h>

namespace {

// Records what the line says, under the message each signal becomes.
class Receiver final : public QObject
{
public:
    QList<QPair<int, QByteArray>> received;

    void watch(TelephonyLine& line)
    {
        connect(&line, &TelephonyLine::ringing, this, [this] { received.append({WM_LINE_RING, QByteArray()}); });
        connect(&line, &TelephonyLine::ringDone, this, [this] { received.append({WM_RING_DONE, QByteArray()}); });
        connect(&line, &TelephonyLine::callerNumber, this,
                [this](const QByteArray& number) { received.append({WM_CALLER_NUMBER, number}); });
    }
};

quint16 freeUdpPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    return socket.localPort();
}

const QString kScenarios = QStringLiteral(VORNX_TEST_DATA "/sip/");

} // namespace

class TestSipLine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    SipLineProvider* install(const QByteArray& accountJson, int retryMs = 30000)
    {
        const QString path = m_dir.filePath(QStringLiteral("sipline.json"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write("{\"accounts\": [" + accountJson + "]}");
        file.close();
        auto provider = std::make_unique<SipLineProvider>(path);
        provider->setRetryInterval(retryMs);
        QString error;
        if (!provider->load(&error))
            qWarning("%s", qPrintable(error));
        SipLineProvider* p = provider.get();
        LineProviders::install(std::move(provider));
        return p;
    }

    // Starts sipp; the caller keeps the event loop running while it works.
    static void startSipp(QProcess& sipp, const QStringList& args, const QString& from = QStringLiteral("127.0.0.1"))
    {
        sipp.setProcessChannelMode(QProcess::MergedChannels);
        // A port of its own, so that tests running side by side do not meet on sipp's 5060.
        const QStringList port =
            args.contains(QLatin1String("-p")) ? QStringList{} : QStringList{"-p", QString::number(freeUdpPort())};
        sipp.start(QStringLiteral("sipp"), QStringList{"-nostdin", "-i", from, "-m", "1", "-timeout", "15s",
                                                      "-timeout_error"} +
                                               port + args);
        QVERIFY2(sipp.waitForStarted(), qPrintable(sipp.errorString()));
    }

    static bool finishedWell(QProcess& sipp)
    {
        for (int i = 0; i < 2000 && sipp.state() != QProcess::NotRunning; ++i)
            QTest::qWait(10);
        if (sipp.state() != QProcess::NotRunning || sipp.exitCode() != 0)
            qWarning("sipp: %s", sipp.readAll().right(2000).constData());
        return sipp.state() == QProcess::NotRunning && sipp.exitCode() == 0;
    }

private slots:
    void cleanup() { LineProviders::clear(); }

    void cancelledCallRingsWithTheAssertedNumber_data()
    {
        QTest::addColumn<QString>("transport");
        QTest::newRow("udp") << "udp";
        QTest::newRow("tcp") << "tcp";
    }

    void cancelledCallRingsWithTheAssertedNumber()
    {
        QFETCH(QString, transport);
        const quint16 port = freeUdpPort();
        SipLineProvider* sip = install(QStringLiteral(R"({"listenOnly": true, "localPort": %1, "user": "8001", "transport": "%2",
                                                   "allowedPeers": ["127.0.0.1"]})")
                    .arg(port)
                    .arg(transport)
                    .toUtf8());
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QCOMPARE(line.lineName(), QStringLiteral("sip:8001@localhost"));
        QCOMPARE(line.switchInfo(), QStringLiteral("本机端口 %1 (仅监听)").arg(port));
        QVERIFY(!line.canVoiceCall());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));

        QProcess sipp;
        startSipp(sipp, {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_cancel.xml", "-s",
                         "8001", "-t", transport == QLatin1String("tcp") ? "t1" : "u1", "-key", "caller",
                         "013905911234", "-key", "display", "林建华"});
        QSignalSpy info(sip, &LineProvider::callInfoChanged);
        QTRY_COMPARE_WITH_TIMEOUT(window.received.size(), 5, 15000);
        // The caller's display name stays with the call information.
        QCOMPARE(info.size(), 1);
        LineCallData data;
        QVERIFY(sip->callData(0, info[0][1].value<DWORD>(), &data));
        QCOMPARE(QString::fromUtf8(data.callerName), QStringLiteral("林建华"));
        QCOMPARE(data.calledId, QByteArray("8001"));
        QVERIFY(finishedWell(sipp));
        QCOMPARE(window.received, (QList<QPair<int, QByteArray>>{{WM_LINE_RING, {}},
                                                                  {WM_LINE_RING, {}},
                                                                  {WM_CALLER_NUMBER, "013905911234"},
                                                                  {WM_RING_DONE, {}},
                                                                  {WM_RING_DONE, {}}}));
    }

    void callTurnedAwayByDrop()
    {
        const quint16 port = freeUdpPort();
        SipLineProvider* sip = install(QStringLiteral(R"({"listenOnly": true, "localPort": %1})").arg(port).toUtf8());
        QSignalSpy info(sip, &LineProvider::callInfoChanged);
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));

        QProcess sipp;
        startSipp(sipp, {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_rejected.xml", "-s",
                         "8001", "-key", "caller", "0591123456", "-key", "display", "Lin"});
        QTRY_COMPARE_WITH_TIMEOUT(window.received.size(), 3, 15000);
        QCOMPARE(window.received.last(), (QPair<int, QByteArray>{WM_CALLER_NUMBER, "0591123456"}));
        // Without an asserted identity the number and name come from the From header.
        LineCallData data;
        QVERIFY(sip->callData(0, info[0][1].value<DWORD>(), &data));
        QCOMPARE(data.callerName, QByteArray("Lin"));
        QVERIFY(line.dropCall());
        QVERIFY(finishedWell(sipp));
        QTRY_COMPARE(window.received.size(), 4);
        QCOMPARE(window.received.last(), (QPair<int, QByteArray>{WM_RING_DONE, {}}));
        QVERIFY(!line.dropCall());
    }

    void outgoingCallRingsBackConnectsAndEnds()
    {
        const quint16 callee = freeUdpPort();
        QProcess sipp;
        startSipp(sipp, {"-sf", kScenarios + "callee_answers.xml", "-p", QString::number(callee)});
        QTest::qWait(300);
        install(QStringLiteral(R"({"listenOnly": true, "user": "8001", "domain": "127.0.0.1:%1", "localPort": %2})")
                    .arg(callee)
                    .arg(freeUdpPort())
                    .toUtf8());
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QVERIFY(line.makeCall(QStringLiteral("13905911234")));
        // Ring-back rings; the far end's hang-up ends it (disconnected, then idle).
        QTRY_COMPARE_WITH_TIMEOUT(window.received.size(), 3, 15000);
        QVERIFY(finishedWell(sipp));
        QCOMPARE(window.received, (QList<QPair<int, QByteArray>>{
                                      {WM_LINE_RING, {}}, {WM_RING_DONE, {}}, {WM_RING_DONE, {}}}));
        // The call was placed, so the line stays open.
        QVERIFY(!line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
    }

    void unknownNumberIsRepliedWithAnError()
    {
        const quint16 callee = freeUdpPort();
        QProcess sipp;
        startSipp(sipp, {"-sf", kScenarios + "callee_unknown.xml", "-p", QString::number(callee)});
        QTest::qWait(300);
        install(QStringLiteral(R"({"listenOnly": true, "user": "8001", "domain": "127.0.0.1:%1", "localPort": %2})")
                    .arg(callee)
                    .arg(freeUdpPort())
                    .toUtf8());
        // The line functions themselves, to see the reply's code.
        static QList<QPair<DWORD_PTR, DWORD_PTR>> replies;
        replies.clear();
        const LINECALLBACK callback = [](DWORD, DWORD message, DWORD_PTR, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR) {
            if (message == LINE_REPLY)
                replies.append({p1, p2});
        };
        HLINEAPP app = 0;
        DWORD devices = 0, version = 0x00020000;
        LINEINITIALIZEEXPARAMS params{sizeof(LINEINITIALIZEEXPARAMS), 0, 0, LINEINITIALIZEEXOPTION_USEHIDDENWINDOW,
                                      {0}, 0};
        QCOMPARE(lineInitializeExA(&app, nullptr, callback, "test", &devices, &version, &params), 0);
        HLINE hLine = 0;
        QCOMPARE(lineOpenA(app, 0, &hLine, 0x00020000, 0, 0, LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM,
                           nullptr),
                 0);
        HCALL hCall = 0;
        QCOMPARE(lineMakeCallA(hLine, &hCall, "123 456", 0, nullptr), LINEERR_INVALADDRESS);
        const LONG request = lineMakeCallA(hLine, &hCall, "10000", 0, nullptr);
        QVERIFY(request > 0);
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 1, 15000);
        QCOMPARE(replies[0], (QPair<DWORD_PTR, DWORD_PTR>{DWORD(request), DWORD(LINEERR_INVALADDRESS)}));
        QCOMPARE(hCall, 0u);
        QVERIFY(finishedWell(sipp));
        QCOMPARE(lineShutdown(app), 0);
    }

    void registrationAnswersTheChallenge_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("state");
        QTest::newRow("right password") << "secret" << "已注册";
        QTest::newRow("wrong password") << "guess" << "注册失败: 403 Forbidden";
    }

    void registrationAnswersTheChallenge()
    {
        QFETCH(QString, password);
        QFETCH(QString, state);
        const quint16 registrarPort = freeUdpPort();
        QProcess sipp;
        startSipp(sipp, {"-sf", kScenarios + "registrar.xml", "-p", QString::number(registrarPort), "-key", "user",
                         "8001"});
        QTest::qWait(300);
        const quint16 port = freeUdpPort();
        SipLineProvider* sip = install(QStringLiteral(R"({"user": "8001", "domain": "vornx.test", "password": "%1",
                                                          "registrar": "sip:127.0.0.1:%2", "localPort": %3})")
                                           .arg(password)
                                           .arg(registrarPort)
                                           .arg(port)
                                           .toUtf8());
        QTRY_COMPARE_WITH_TIMEOUT(sip->registrationState(0), state, 15000);
        QVERIFY(finishedWell(sipp));

        // The report names the account and shows the registration.
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        const QStringList report = TapiDevices::lines(line);
        QCOMPARE(report.at(1), QStringLiteral("TAPI线路名称: sip:8001@vornx.test"));
        QCOMPARE(report.at(3), QStringLiteral("TAPI转换信息: sip:127.0.0.1:%1 (%2)").arg(registrarPort).arg(state));
    }

    void registrationIsRetriedWhenTheRegistrarComesBack()
    {
        const quint16 registrarPort = freeUdpPort();
        SipLineProvider* sip = install(QStringLiteral(R"({"user": "8001", "domain": "vornx.test", "password": "secret",
                                                          "registrar": "sip:127.0.0.1:%1", "localPort": %2})")
                                           .arg(registrarPort)
                                           .arg(freeUdpPort())
                                           .toUtf8(),
                                       1500);
        QTRY_VERIFY_WITH_TIMEOUT(sip->registrationState(0).startsWith(QStringLiteral("注册失败")), 15000);
        QProcess sipp;
        startSipp(sipp, {"-sf", kScenarios + "registrar.xml", "-p", QString::number(registrarPort), "-key", "user",
                         "8001"});
        QTRY_COMPARE_WITH_TIMEOUT(sip->registrationState(0), QStringLiteral("已注册"), 15000);
        QVERIFY(finishedWell(sipp));
    }

    // The PBX named in listen-only mode rings the line with the number it asserts; another
    // host (a second loopback address) is refused with 403, counted, and never rings.
    void onlyTheAllowedPeerRingsTheLine()
    {
        const quint16 port = freeUdpPort();
        SipLineProvider* sip = install(
            QStringLiteral(R"({"listenOnly": true, "localPort": %1, "user": "8001", "allowedPeers": ["127.0.0.1"]})")
                .arg(port)
                .toUtf8());
        QSignalSpy report(sip, &SipLineProvider::registrationChanged);
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));

        for (int i = 0; i < 2; ++i) {
            QProcess stranger;
            startSipp(stranger,
                      {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_forbidden.xml", "-s",
                       "8001", "-key", "caller", "013905911234", "-key", "display", "Spoof"},
                      QStringLiteral("127.0.0.2"));
            QVERIFY(finishedWell(stranger));
        }
        QCOMPARE(sip->refusedCalls(0), 2);
        QVERIFY(window.received.isEmpty());
        // Reported once, however many come.
        QCOMPARE(report.size(), 1);
        // The window reads the line again when the line says its state changed.
        QVERIFY(line.selectLine(0));
        const QString lineReport = TapiDevices::lines(line).join(QLatin1Char('\n'));
        QVERIFY2(lineReport.contains(QStringLiteral("(仅监听); 已拒绝 2 个来自未知地址的呼叫")), qPrintable(lineReport));

        QProcess pbx;
        startSipp(pbx, {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_cancel.xml", "-s", "8001",
                        "-key", "caller", "013905911234", "-key", "display", "PBX"});
        QTRY_COMPARE_WITH_TIMEOUT(window.received.size(), 5, 15000);
        QVERIFY(finishedWell(pbx));
        QVERIFY(window.received.contains(QPair<int, QByteArray>{WM_CALLER_NUMBER, "013905911234"}));
        QCOMPARE(sip->refusedCalls(0), 2);
    }

    // A call while the line is not watched is turned away at once, so that it cannot hold
    // the line busy for the calls that come once monitoring starts.
    void callWhileTheLineIsClosedIsTurnedAway()
    {
        const quint16 port = freeUdpPort();
        install(QStringLiteral(R"({"listenOnly": true, "localPort": %1, "user": "8001", "allowedPeers": ["127.0.0.1"]})")
                    .arg(port)
                    .toUtf8());
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());

        QProcess early;
        startSipp(early, {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_unwatched.xml", "-s",
                          "8001", "-key", "caller", "013905911234", "-key", "display", "Early"});
        QVERIFY(finishedWell(early));
        QVERIFY(window.received.isEmpty());

        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QProcess next;
        startSipp(next, {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_cancel.xml", "-s", "8001",
                         "-key", "caller", "013905911234", "-key", "display", "Next"});
        QTRY_COMPARE_WITH_TIMEOUT(window.received.size(), 5, 15000);
        QVERIFY(finishedWell(next));
        QVERIFY(window.received.contains(QPair<int, QByteArray>{WM_CALLER_NUMBER, "013905911234"}));
    }

    // Without a named peer anyone reaching the local port may ring, but an identity it
    // asserts about itself is not believed: the number is the one in From.
    void claimedIdentityOfAnUnknownPeerIsIgnored()
    {
        const quint16 port = freeUdpPort();
        SipLineProvider* sip =
            install(QStringLiteral(R"({"listenOnly": true, "localPort": %1, "user": "8001"})").arg(port).toUtf8());
        QSignalSpy info(sip, &LineProvider::callInfoChanged);
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QProcess sipp;
        startSipp(sipp, {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_claimed_cancel.xml",
                         "-s", "8001", "-key", "from", "0591123456", "-key", "caller", "013905911234", "-key",
                         "display", "Spoof"});
        QTRY_COMPARE_WITH_TIMEOUT(window.received.size(), 5, 15000);
        QVERIFY(finishedWell(sipp));
        QVERIFY(window.received.contains(QPair<int, QByteArray>{WM_CALLER_NUMBER, "0591123456"}));
        QVERIFY(!window.received.contains(QPair<int, QByteArray>{WM_CALLER_NUMBER, "013905911234"}));
        QCOMPARE(info.size(), 1);
        LineCallData data;
        QVERIFY(sip->callData(0, info[0][1].value<DWORD>(), &data));
        QCOMPARE(data.callerName, QByteArray("Caller"));
    }

    // With a registrar, calls come from the registrar only; a direct INVITE from any other
    // address is refused, while the registrar's own call rings with its asserted number.
    void withARegistrarOnlyItsCallsAreTaken()
    {
        const quint16 registrarPort = freeUdpPort();
        const quint16 port = freeUdpPort();
        SipLineProvider* sip = install(QStringLiteral(R"({"user": "8001", "domain": "vornx.test", "password": "secret",
                                                          "registrar": "sip:127.0.0.1:%1", "localPort": %2})")
                                           .arg(registrarPort)
                                           .arg(port)
                                           .toUtf8());
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        // The port is bound once the registrar's address is known.
        QTRY_VERIFY_WITH_TIMEOUT(sip->registrationState(0) != QStringLiteral("未注册"), 15000);

        QProcess stranger;
        startSipp(stranger,
                  {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_forbidden.xml", "-s", "8001",
                   "-key", "caller", "013905911234", "-key", "display", "Spoof"},
                  QStringLiteral("127.0.0.2"));
        QVERIFY(finishedWell(stranger));
        QCOMPARE(sip->refusedCalls(0), 1);
        QVERIFY(window.received.isEmpty());

        QProcess registrar;
        startSipp(registrar, {QStringLiteral("127.0.0.1:%1").arg(port), "-sf", kScenarios + "offer_cancel.xml", "-s",
                              "8001", "-key", "caller", "013905911234", "-key", "display", "PBX"});
        QTRY_COMPARE_WITH_TIMEOUT(window.received.size(), 5, 15000);
        QVERIFY(finishedWell(registrar));
        QVERIFY(window.received.contains(QPair<int, QByteArray>{WM_CALLER_NUMBER, "013905911234"}));
    }

    // Listen-only without a named address binds the loopback address only: the same port
    // on the machine's network addresses stays free, so no one on the network reaches it.
    void listenOnlyBindsLoopbackByDefault()
    {
        QHostAddress external;
        for (const QHostAddress& a : QNetworkInterface::allAddresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
                external = a;
        if (external.isNull())
            QSKIP("this machine has no network address besides loopback");
        const quint16 port = freeUdpPort();
        install(QStringLiteral(R"({"listenOnly": true, "localPort": %1})").arg(port).toUtf8());
        QUdpSocket probe;
        QVERIFY2(probe.bind(external, port), qPrintable(probe.errorString()));
    }

    void accountFilesThatAreNoAccountFilesAreRefused()
    {
        const QString path = m_dir.filePath(QStringLiteral("hostile.json"));
        QFile::remove(path);
        // Too many accounts: each would take a thread and sockets.
        QByteArray many = "{\"accounts\": [";
        for (int i = 0; i <= SipLineProvider::kMaxAccounts; ++i)
            many += (i ? "," : "") + QStringLiteral(R"({"listenOnly": true, "localPort": %1})").arg(40000 + i).toUtf8();
        many += "]}";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(many);
        }
        QString error;
        SipLineProvider tooMany(path);
        QVERIFY(!tooMany.load(&error));
        QVERIFY2(error.contains(path) && error.contains(QStringLiteral("最多 16 个")), qPrintable(error));
        QCOMPARE(tooMany.deviceCount(), 1u);
        QCOMPARE(tooMany.registrationState(0), QStringLiteral("未配置"));

        // A huge file is not read into memory.
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(file.resize(SipLineProvider::kMaxFileSize + 1));
        }
        SipLineProvider huge(path);
        QVERIFY(!huge.load(&error));
        QVERIFY2(error.contains(path) && error.contains(QStringLiteral("文件过大")), qPrintable(error));

        // A FIFO in its place would block the start for good.
        QVERIFY(QFile::remove(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        SipLineProvider fifo(path);
        QVERIFY(!fifo.load(&error));
        QVERIFY2(error.contains(QStringLiteral("不是普通文件")), qPrintable(error));
        QFile::remove(path);
    }

    void accountsFileIsReadableByItsOwnerOnly()
    {
        SipLineProvider* sip = install(R"({"user": "8001", "domain": "example.com", "password": "pw",
                                           "listenOnly": true, "localPort": 0})");
        QVERIFY(sip->save());
        const QFileDevice::Permissions permissions = QFile::permissions(sip->configFile());
        QCOMPARE(permissions & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        SipLineProvider again(sip->configFile());
        QVERIFY(again.load());
        QCOMPARE(again.account(0).password, QStringLiteral("pw"));
    }

    // Without its SIP stack an account's device says why and cannot be opened, rather than
    // being watched and never ringing; the device still waiting for its account opens.
    void withoutItsStackAnAccountCannotBeOpened()
    {
        const QString path = m_dir.filePath(QStringLiteral("stackless.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral(R"({"accounts": [{"listenOnly": true, "localPort": %1}, {}]})")
                       .arg(freeUdpPort())
                       .toUtf8());
        file.close();
        auto provider = std::make_unique<SipLineProvider>(path, QStringLiteral("vornx_absent"));
        QVERIFY(provider->load());
        SipLineProvider* sip = provider.get();
        LineProviders::install(std::move(provider));
        const QString state = sip->registrationState(0);
        QVERIFY2(state.startsWith(QStringLiteral("SIP组件缺失，线路不可用: ")) && state.contains("vornx_absent"),
                 qPrintable(state));
        QCOMPARE(sip->registrationState(1), QStringLiteral("未配置"));

        TelephonyLine line;
        QVERIFY(line.initLines());
        QVERIFY(!line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QCOMPARE(line.takeLastError(), LINEERR_NODRIVER);
        QVERIFY(line.selectLine(1));
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
    }

    void withoutAccountsOneDeviceWaitsForItsAccount()
    {
        SipLineProvider sip(m_dir.filePath(QStringLiteral("absent.json")));
        QVERIFY(sip.load());
        QCOMPARE(sip.deviceCount(), 1u);
        QCOMPARE(sip.caps(0).lineName, QByteArray("SIP线路 (未配置账号)"));
        QCOMPARE(sip.registrationState(0), QStringLiteral("未配置"));
    }
};

QTEST_GUILESS_MAIN(TestSipLine)
#include "tst_sipline.moc"
