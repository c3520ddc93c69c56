// The TAPI line object over the real telephony layer and the simulated line provider: error
// texts, negotiation and the device list, the capability report, the signals calls give,
// outgoing calls and the fixed 1000-byte buffers.
#include "capture/LineMessage.h"
#include "capture/TelephonyLine.h"
#include "capture/TapiDevices.h"
#include "platform/telephony/SimulatedLineProvider.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>

namespace {

// Stands in for the main window: records what the line says, in order, under the message
// each signal becomes.
class Receiver final : public QObject
{
public:
    struct Entry
    {
        int id;
        QByteArray text;
        bool operator==(const Entry&) const = default;
    };
    QList<Entry> received;

    void watch(TelephonyLine& line)
    {
        connect(&line, &TelephonyLine::ringing, this, [this] { received.append({WM_LINE_RING, QByteArray()}); });
        connect(&line, &TelephonyLine::ringDone, this, [this] { received.append({WM_RING_DONE, QByteArray()}); });
        connect(&line, &TelephonyLine::callerNumber, this,
                [this](const QByteArray& number) { received.append({WM_CALLER_NUMBER, number}); });
    }
};

SimulatedLineDevice device(const char* name)
{
    SimulatedLineDevice d;
    d.caps.lineName = name;
    d.caps.providerInfo = "模拟服务";
    d.caps.switchInfo = "交换机";
    return d;
}

QByteArray operator""_b(const char* s, std::size_t n)
{
    return QByteArray(s, qsizetype(n));
}

char* toString(const Receiver::Entry& e)
{
    return QTest::toString(QStringLiteral("(%1, \"%2\")").arg(e.id).arg(QString::fromUtf8(e.text)));
}

} // namespace

class TestTapiLine : public QObject
{
    Q_OBJECT

private:
    // Installs a simulated provider with the given devices and returns it (owned by the layer).
    SimulatedLineProvider* install(const QList<SimulatedLineDevice>& devices)
    {
        auto provider = std::make_unique<SimulatedLineProvider>(QString());
        for (const auto& d : devices)
            provider->addDevice(d);
        SimulatedLineProvider* p = provider.get();
        LineProviders::install(std::move(provider));
        return p;
    }

    void drain() { QCoreApplication::processEvents(); QCoreApplication::processEvents(); }

private slots:
    void cleanup() { LineProviders::clear(); }

    void errorTexts_data()
    {
        QTest::addColumn<qint64>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("allocated") << qint64(0x80000001) << "所要求得资源（如串行口）已经分配给另一个进程了";
        QTest::newRow("dial billing ends in $") << qint64(0x80000008) << "服务提供者不支持等待付费得音频$";
        QTest::newRow("dial prompt ends in ？") << qint64(0x8000000A) << "服务提供者不支持等待提示符？";
        QTest::newRow("incompatible version") << qint64(0x8000000C) << "指定的版本号不兼容";
        QTest::newRow("completion overrun") << qint64(0x80000006) << "Completion Overrun";
        QTest::newRow("invalid line handle") << qint64(0x8000002B) << "指定的线路句柄无效";
        QTest::newRow("invalid message id") << qint64(0x80000030) << "Invalid Message ID";
        QTest::newRow("invalid param") << qint64(0x80000032) << "有一个参数已被确定为无效的";
        QTest::newRow("operation unavailable") << qint64(0x80000049) << "服务提供者不支持此请求";
        QTest::newRow("target not found") << qint64(0x8000004E) << "Target Not found";
        QTest::newRow("last code") << qint64(0x80000056) << "No Multiple Instance";
        QTest::newRow("unassigned 04") << qint64(0x80000004) << "未知错误";
        QTest::newRow("unlisted 25") << qint64(0x80000025) << "未知错误";
        QTest::newRow("unassigned 31") << qint64(0x80000031) << "未知错误";
        QTest::newRow("none") << qint64(0) << "未知错误";
        QTest::newRow("past the last") << qint64(0x80000057) << "未知错误";
        QTest::newRow("before the first") << qint64(0x80000000) << "未知错误";
        QTest::newRow("positive") << qint64(1) << "未知错误";
    }

    void errorTexts()
    {
        QFETCH(qint64, code);
        QFETCH(QString, text);
        QCOMPARE(TelephonyLine::errorText(LONG(DWORD(code))), text);
    }

    void everyAssignedCodeHasItsOwnText()
    {
        QSet<QString> texts;
        for (DWORD code = 0x80000001; code <= 0x80000056; ++code)
            texts.insert(TelephonyLine::errorText(LONG(code)));
        texts.remove(QStringLiteral("未知错误"));
        QCOMPARE(texts.size(), 83);
    }

    void noDeviceFailsWithoutErrorCode()
    {
        install({});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(!line.initLines());
        const LONG code = line.takeLastError();
        QCOMPARE(code, 0);
        QCOMPARE(TelephonyLine::errorText(code), QStringLiteral("未知错误"));
    }

    void initialisationBelowVersionTwoIsRefused()
    {
        install({device("A")});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        line.setHighApiVersion(0x00010004);
        QVERIFY(!line.initLines());
        QCOMPARE(line.takeLastError(), LINEERR_INCOMPATIBLEAPIVERSION);
        QCOMPARE(line.takeLastError(), 0);
    }

    void failedNegotiationInTheMiddleIsLeftOut()
    {
        auto refusing = device("第二线路");
        refusing.negotiateError = LINEERR_INCOMPATIBLEAPIVERSION;
        auto old = device("旧线路");
        old.caps.lowVersion = 0x00010003;
        old.caps.highVersion = 0x00010004;
        install({device("第一线路"), refusing, old});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QCOMPARE(line.deviceCount(), 3u);
        QCOMPARE(line.lineName(), QStringLiteral("第一线路"));

        const auto items = TapiDevices::usableLines(line);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0].name, QStringLiteral("第一线路"));
        QCOMPARE(items[0].device, 0u);
        QCOMPARE(items[1].name, QStringLiteral("旧线路"));
        QCOMPARE(items[1].device, 2u);

        // Choosing the second item reports device 2 with the version it negotiated.
        QVERIFY(line.selectLine(items[1].device));
        QCOMPARE(line.currentDevice(), 2u);
        QCOMPARE(line.apiVersion(), 0x00010004u);
        QCOMPARE(TapiDevices::lines(line).mid(0, 2),
                 QStringList({QStringLiteral("TAPI线路: #2"), QStringLiteral("TAPI线路名称: 旧线路")}));

        // The refused device cannot be read; the last values stay.
        QVERIFY(!line.selectLine(1));
        QCOMPARE(line.currentDevice(), 1u);
        QCOMPARE(line.apiVersion(), 0u);
        QCOMPARE(line.lineName(), QStringLiteral("旧线路"));
        QCOMPARE(line.takeLastError(), LINEERR_INCOMPATIBLEAPIVERSION);
    }

    void indexBeyondTheDevicesKeepsTheCurrentOne()
    {
        install({device("A"), device("B")});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.selectLine(1));
        QVERIFY(line.selectLine(2));
        QCOMPARE(line.currentDevice(), 1u);
        QVERIFY(line.selectLine(DWORD(-1)));
        QCOMPARE(line.currentDevice(), 1u);
        QCOMPARE(line.lineName(), QStringLiteral("B"));
    }

    void devicesBeyondTenAreNeverUsed()
    {
        QList<SimulatedLineDevice> devices;
        for (int i = 0; i < 12; ++i)
            devices << device(QByteArray::number(i).constData());
        install(devices);
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QCOMPARE(line.deviceCount(), 12u);
        const auto items = TapiDevices::usableLines(line);
        QCOMPARE(items.size(), 10);
        QCOMPARE(items.last().device, 9u);
        QVERIFY(!line.selectLine(11));
        QCOMPARE(line.currentDevice(), 11u);
        QCOMPARE(line.apiVersion(), 0u);
        QVERIFY(!line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
    }

    void report_data()
    {
        QTest::addColumn<DWORD>("bearer");
        QTest::addColumn<DWORD>("media");
        QTest::addColumn<DWORD>("format");
        QTest::addColumn<DWORD>("toneFreq");
        QTest::addColumn<QStringList>("expected");
        const auto head = [](const QStringList& formatLine) {
            return QStringList{"TAPI线路: #0", "TAPI线路名称: 线路", "TAPI服务提供商名称: 模拟服务",
                               "TAPI转换信息: 交换机", "固定的线路标识: -2"} +
                   formatLine + QStringList{"与本线路相关联的地址数目: 1", "最大数据传输率: 9600"};
        };
        QTest::newRow("voice and data, modem before interactive voice")
            << DWORD(0x9) << DWORD(0x14) << DWORD(1) << DWORD(0)
            << head({"字符串格式: STRINGFORMAT_ASCII"}) +
                   QStringList{"支持的载荷模式:",
                               "\tLINEBEARERMODE_VOICE",
                               "\tLINEBEARERMODE_DATA",
                               "支持的地址模式",
                               "\tLINEADDRESSMODE_ADDRESSID",
                               "\tLINEADDRESSMODE_DIALABLEADDR",
                               "支持的媒体形式",
                               "\tLINEMEDIAMODE_DATAMODEM",
                               "\tLINEMEDIAMODE_INTERACTIVEVOICE",
                               "是否支持Line Tone Generation: 否",
                               "是否支持语音呼叫: 是",
                               "线路终端数目: 1"};
        QTest::newRow("every bit, unicode, tones")
            << DWORD(0x3f) << DWORD(0x37fe) << DWORD(3) << DWORD(2)
            << head({"字符串格式: STRINGFORMAT_UNICODe"}) +
                   QStringList{"支持的载荷模式:",
                               "\tLINEBEARERMODE_VOICE",
                               "\tLINEBEARERMODE_SPEECH",
                               "\tLINEBEARERMODE_DATA",
                               "\tLINEBEARERMODE_ALTSPEECHDATA",
                               "\tLINEBEARERMODE_MULTIUSE",
                               "\tLINEBEARERMODE_NONCALLSIGNALING",
                               "支持的地址模式",
                               "\tLINEADDRESSMODE_ADDRESSID",
                               "\tLINEADDRESSMODE_DIALABLEADDR",
                               "支持的媒体形式",
                               "\tLINEMEDIAMODE_ADSI",
                               "\tLINEMEDIAMODE_AUTOMATEDVOICE",
                               "\tLINEMEDIAMODE_DATAMODEM",
                               "\tLINEMEDIAMODE_DITAIGALDATA",
                               "\tLINEMEDIAMODE_G3FAX",
                               "\tLINEMEDIAMODE_G4FAX",
                               "\tLINEMEDIAMODE_INTERACTIVEVOICE",
                               "\tLINEMEDIAMODE_MIXED",
                               "\tLINEMEDIAMODE_TDD",
                               "\tLINEMEDIAMODE_TELETEX",
                               "\tLINEMEDIAMODE_UNKNOWN",
                               "\tLINEMEDIAMODE_VIDEOTEX",
                               "是否支持Line Tone Generation: 是",
                               "\tLINETONEMODE_BEEP",
                               "\tLINETONEMODE_BILLING",
                               "\tLINETONEMODE_BUSY",
                               "\tLINETONEMODE_CUSTOM",
                               "\tLINETONEMODE_RINGBACK",
                               "是否支持语音呼叫: 是",
                               "线路终端数目: 1"};
        QTest::newRow("unknown string format, data only")
            << DWORD(0x8) << DWORD(0x10) << DWORD(5) << DWORD(0)
            << head({}) + QStringList{"支持的载荷模式:",
                                      "\tLINEBEARERMODE_DATA",
                                      "支持的地址模式",
                                      "\tLINEADDRESSMODE_ADDRESSID",
                                      "\tLINEADDRESSMODE_DIALABLEADDR",
                                      "支持的媒体形式",
                                      "\tLINEMEDIAMODE_DATAMODEM",
                                      "是否支持Line Tone Generation: 否",
                                      "是否支持语音呼叫: 否",
                                      "线路终端数目: 1"};
    }

    void report()
    {
        QFETCH(DWORD, bearer);
        QFETCH(DWORD, media);
        QFETCH(DWORD, format);
        QFETCH(DWORD, toneFreq);
        QFETCH(QStringList, expected);
        auto d = device("线路");
        d.caps.permanentLineId = 0xfffffffe;
        d.caps.maxRate = 9600;
        d.caps.bearerModes = bearer;
        d.caps.mediaModes = media;
        d.caps.stringFormat = format;
        d.caps.addressModes = 0x3;
        d.caps.generateToneMaxNumFreq = toneFreq;
        d.caps.generateToneModes = 0x1f;
        install({d});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QCOMPARE(TapiDevices::lines(line), expected);
    }

    void stringsThatDoNotFitTheBufferAreLeftOut()
    {
        auto d = device("");
        d.caps.providerInfo = QByteArray(50, 'p');
        d.caps.switchInfo = QByteArray(200, 's');
        d.caps.lineName = QByteArray(900, 'n');
        install({d});

        // The layer: what fits is there, what does not is absent but counted.
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        HLINEAPP app = 0;
        DWORD numDevs = 0, version = 0x00030000;
        LINEINITIALIZEEXPARAMS params{sizeof(LINEINITIALIZEEXPARAMS), 0, 0, LINEINITIALIZEEXOPTION_USEHIDDENWINDOW,
                                      {0}, 0};
        QCOMPARE(lineInitializeExA(&app, nullptr, &TelephonyLine::lineCallback, "test", &numDevs, &version, &params), 0);
        alignas(LINEDEVCAPS) char buffer[1000] = {};
        auto* caps = reinterpret_cast<LINEDEVCAPS*>(buffer);
        caps->dwTotalSize = 100;
        QCOMPARE(lineGetDevCapsA(app, 0, 0x00020000, 0, caps), LINEERR_STRUCTURETOOSMALL);
        caps->dwTotalSize = sizeof(buffer);
        QCOMPARE(lineGetDevCapsA(app, 0, 0x00020000, 0, caps), 0);
        QCOMPARE(caps->dwNeededSize, DWORD(sizeof(LINEDEVCAPS) + 51 + 201 + 901));
        QCOMPARE(caps->dwUsedSize, DWORD(sizeof(LINEDEVCAPS) + 51 + 201));
        QCOMPARE(caps->dwLineNameSize, 0u);
        QCOMPARE(caps->dwSwitchInfoSize, 201u);
        QCOMPARE(QByteArray(buffer + caps->dwSwitchInfoOffset), QByteArray(200, 's'));
        QCOMPARE(lineShutdown(app), 0);

        // The line object takes what is there.
        QCOMPARE(line.lineName(), QString());
        QCOMPARE(line.providerInfo(), QString(50, QLatin1Char('p')));
        QCOMPARE(line.switchInfo(), QString(200, QLatin1Char('s')));
    }

    void wholeIncomingCallPostsRingNumberAndRingDone()
    {
        SimulatedLineProvider* sim = install({device("A")});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));

        QCOMPARE(sim->offer(0, "01087654321", "张三"), QString());
        // Nothing is delivered from inside the provider's or the layer's functions.
        QVERIFY(window.received.isEmpty());
        QCOMPARE(sim->ring(0), QString());
        QCOMPARE(sim->ring(0), QString());
        QCOMPARE(sim->setCallState(0, LINECALLSTATE_CONNECTED), QString());
        QCOMPARE(sim->setCallState(0, LINECALLSTATE_DISCONNECTED), QString());
        drain();
        // The drop that DISCONNECTED requested has already ended the call.
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QCOMPARE(window.received,
                 (QList<Receiver::Entry>{{WM_LINE_RING, {}},
                                         {WM_LINE_RING, {}},
                                         {WM_CALLER_NUMBER, "01087654321"_b},
                                         {WM_RING_DONE, {}},
                                         {WM_RING_DONE, {}}}));
        QVERIFY(!line.dropCall());

        // A second call, ended from the line's side by going idle.
        window.received.clear();
        QCOMPARE(sim->offer(0, {}, {}), QString());
        QCOMPARE(sim->sendCallerId(0, "000", {}), QString());
        // The number is read when the notification is handled, so let this one arrive first.
        drain();
        QCOMPARE(sim->sendCallerId(0, "0591123456", {}), QString());
        QCOMPARE(sim->setCallState(0, LINECALLSTATE_IDLE), QString());
        drain();
        QCOMPARE(window.received, (QList<Receiver::Entry>{{WM_LINE_RING, {}},
                                                          {WM_LINE_RING, {}},
                                                          {WM_CALLER_NUMBER, "000"_b},
                                                          {WM_CALLER_NUMBER, "0591123456"_b},
                                                          {WM_RING_DONE, {}}}));
        QVERIFY(!line.dropCall());
    }

    // A provider may name the caller ID among other changed fields; every notice that names
    // it gives the number, one that does not gives nothing.
    void callerIdTogetherWithOtherBitsIsTaken()
    {
        SimulatedLineProvider* sim = install({device("A")});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QCOMPARE(sim->offer(0, "0591123456", {}), QString());
        drain();
        LineCallData call;
        QVERIFY(sim->callData(0, 1, &call)); // the provider's first call
        QCOMPARE(call.callerId, "0591123456"_b);
        window.received.clear();

        emit sim->callInfoChanged(0, 1, LINECALLINFOSTATE_CALLERID | LINECALLINFOSTATE_CALLEDID);
        drain();
        QCOMPARE(window.received, (QList<Receiver::Entry>{{WM_CALLER_NUMBER, "0591123456"_b}}));
        emit sim->callInfoChanged(0, 1, LINECALLINFOSTATE_CALLEDID | LINECALLINFOSTATE_ORIGIN);
        drain();
        QCOMPARE(window.received.size(), 1);

        // Other messages of the line post nothing.
        const auto instance = DWORD_PTR(&line);
        TelephonyLine::lineCallback(0, LINE_LINEDEVSTATE, instance, LINEDEVSTATE_RINGING, 0, 1);
        TelephonyLine::lineCallback(0, LINE_CALLSTATE, instance, LINECALLSTATE_BUSY, 0, 0);
        drain();
        QCOMPARE(window.received.size(), 1);
        // The same instance does reach the line: a new call rings.
        TelephonyLine::lineCallback(0, LINE_APPNEWCALL, instance, 0, 0, 0);
        QCOMPARE(window.received.last(), (Receiver::Entry{WM_LINE_RING, {}}));
    }

    // Two line objects at once each hear only the calls of the device they opened, and a
    // line object gone hears nothing, even when a message still names it.
    void eachLineObjectHearsItsOwnDevice()
    {
        SimulatedLineProvider* sim = install({device("A"), device("B")});
        Receiver firstWindow;
        Receiver secondWindow;
        TelephonyLine first;
        firstWindow.watch(first);
        auto second = std::make_unique<TelephonyLine>();
        secondWindow.watch(*second);
        QVERIFY(first.initLines());
        QVERIFY(second->initLines());
        QVERIFY(first.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QVERIFY(second->selectLine(1));
        QVERIFY(second->openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));

        QCOMPARE(sim->offer(1, "0591123456", {}), QString());
        drain();
        QVERIFY(firstWindow.received.isEmpty());
        QCOMPARE(secondWindow.received.value(0), (Receiver::Entry{WM_LINE_RING, {}}));
        QVERIFY(secondWindow.received.contains(Receiver::Entry{WM_CALLER_NUMBER, "0591123456"_b}));

        QCOMPARE(sim->offer(0, "022", {}), QString());
        drain();
        QVERIFY(firstWindow.received.contains(Receiver::Entry{WM_CALLER_NUMBER, "022"_b}));

        const auto gone = DWORD_PTR(second.get());
        second.reset();
        secondWindow.received.clear();
        TelephonyLine::lineCallback(0, LINE_APPNEWCALL, gone, 0, 0, 0);
        QVERIFY(secondWindow.received.isEmpty());
    }

    void closedLineHearsNoCalls()
    {
        SimulatedLineProvider* sim = install({device("A")});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(!line.closeLine());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        // Open twice: refused without asking TAPI, the last error untouched.
        QVERIFY(!line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QCOMPARE(line.takeLastError(), 0);
        QVERIFY(line.closeLine());
        QCOMPARE(sim->offer(0, "123", {}), QString());
        drain();
        QVERIFY(window.received.isEmpty());
    }

    void ownerMustNameMediaModesTheDeviceHas()
    {
        auto voiceOnly = device("A");
        voiceOnly.caps.mediaModes = LINEMEDIAMODE_INTERACTIVEVOICE;
        install({voiceOnly});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(!line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QCOMPARE(line.takeLastError(), LINEERR_INVALMEDIAMODE);
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_INTERACTIVEVOICE));
    }

    void outgoingCallPlacedAndDropped()
    {
        SimulatedLineProvider* sim = install({device("A")});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());
        QVERIFY(!line.makeCall(QStringLiteral("123")));
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QVERIFY(line.makeCall(QStringLiteral("87654321")));
        drain();
        QCOMPARE(sim->status(), QStringList{"0 open ringback"});
        // The ring-back rings; the successful reply leaves the line open.
        QCOMPARE(window.received, (QList<Receiver::Entry>{{WM_LINE_RING, {}}}));
        QVERIFY(!line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        // A second call while one is up is refused at once.
        QVERIFY(!line.makeCall(QStringLiteral("1")));
        QCOMPARE(line.takeLastError(), LINEERR_CALLUNAVAIL);

        QCOMPARE(sim->setCallState(0, LINECALLSTATE_CONNECTED), QString());
        QVERIFY(line.dropCall());
        drain();
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QCOMPARE(window.received.last(), (Receiver::Entry{WM_RING_DONE, {}}));
        QVERIFY(!line.dropCall());
        QVERIFY(line.closeLine());
    }

    // A busy or wrong number fails that call only: the failure is said with its code and
    // the line goes on hearing incoming calls.
    void failedOutgoingCallKeepsTheLineOpen()
    {
        SimulatedLineProvider* sim = install({device("A")});
        QCOMPARE(sim->setMakeCallResult(0, LINEERR_OPERATIONFAILED), QString());
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QSignalSpy failed(&line, &TelephonyLine::makeCallFailed);
        QSignalSpy closed(&line, &TelephonyLine::lineClosed);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QVERIFY(line.makeCall(QStringLiteral("0591123456")));
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QVERIFY(failed.isEmpty()); // said when the reply arrives, not from inside the call
        drain();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.at(0).at(0).value<LONG>(), LINEERR_OPERATIONFAILED);
        QVERIFY(closed.isEmpty());
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        QVERIFY(line.isOpen());

        QCOMPARE(sim->offer(0, "013905911234", {}), QString());
        drain();
        QVERIFY(window.received.contains(Receiver::Entry{WM_CALLER_NUMBER, "013905911234"_b}));
        QCOMPARE(failed.size(), 1);

        // A line that is not open refuses the call at once, with a code that says so.
        QVERIFY(line.closeLine());
        QVERIFY(!line.makeCall(QStringLiteral("1")));
        QCOMPARE(line.takeLastError(), LINEERR_INVALLINEHANDLE);
    }

    // A line its provider closed is said to be closed, once, and counts as closed: the next
    // opening opens it again and calls come through.
    void lineClosedByTheDeviceIsSaidOnceAndOpensAgain()
    {
        SimulatedLineProvider* sim = install({device("A")});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QSignalSpy closed(&line, &TelephonyLine::lineClosed);
        QVERIFY(line.initLines());
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QCOMPARE(sim->offer(0, "5", {}), QString());
        QCOMPARE(sim->closeLine(0), QString());
        drain();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!line.isOpen());
        QVERIFY(!line.dropCall());
        QVERIFY(!line.closeLine());

        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QCOMPARE(sim->status(), QStringList{"0 open idle"});
        window.received.clear();
        QCOMPARE(sim->offer(0, "0591123456", {}), QString());
        drain();
        QVERIFY(window.received.contains(Receiver::Entry{WM_CALLER_NUMBER, "0591123456"_b}));
        // Closed by the program itself: nothing to report.
        QVERIFY(line.closeLine());
        drain();
        QCOMPARE(closed.size(), 1);
    }

    void configDialog()
    {
        auto refusing = device("B");
        refusing.configDialogError = LINEERR_INVALDEVICECLASS;
        SimulatedLineProvider* sim = install({device("A"), refusing});
        Receiver window;
        TelephonyLine line;
        window.watch(line);
        QVERIFY(line.initLines());

        QVERIFY(!line.showConfigDialog(nullptr, QString()));
        QCOMPARE(line.takeLastError(), LINEERR_OPERATIONUNAVAIL);

        // While the dialog runs its own event loop, a call arriving is held back: the
        // callback never runs inside the line function that shows the dialog.
        QList<DWORD> shown;
        bool ringDuringDialog = false;
        sim->setConfigDialog([&](SimulatedLineProvider& p, DWORD dev, QWidget*) {
            shown << dev;
            p.offer(0, "42", {});
            QEventLoop loop;
            loop.processEvents();
            loop.processEvents();
            ringDuringDialog = !window.received.isEmpty();
        });
        QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
        QVERIFY(line.showConfigDialog(nullptr, QString()));
        QCOMPARE(shown, QList<DWORD>{0});
        QVERIFY(!ringDuringDialog);
        drain();
        QCOMPARE(window.received.size(), 3);

        QVERIFY(!line.showConfigDialog(nullptr, QStringLiteral("comm/datamodem")));
        QCOMPARE(line.takeLastError(), LINEERR_INVALDEVICECLASS);
        QVERIFY(line.selectLine(1));
        QVERIFY(!line.showConfigDialog(nullptr, QString()));
        QCOMPARE(line.takeLastError(), LINEERR_INVALDEVICECLASS);
        QCOMPARE(shown.size(), 1);
    }

    void destructionShutsDown()
    {
        SimulatedLineProvider* sim = install({device("A")});
        Receiver window;
        {
            TelephonyLine line;
            window.watch(line);
            QVERIFY(line.initLines());
            QVERIFY(line.openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM));
            QCOMPARE(sim->offer(0, "7", {}), QString());
        }
        QCOMPARE(sim->status(), QStringList{"0 closed offering"});
        // Events still queued for the shut-down program are dropped.
        drain();
        QVERIFY(window.received.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTapiLine)
#include "tst_telephonyline.moc"
