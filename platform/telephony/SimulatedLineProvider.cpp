#include "platform/telephony/SimulatedLineProvider.h"

#include "platform/SmallFile.h"
#include "platform/telephony/TelephoneNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <memory>

namespace {

// Bit sets and versions read best in hexadecimal, so a number may also be written as a
// string such as "0x00010003".
bool readNumber(const QJsonObject& object, const char* key, DWORD* value, QString* error)
{
    const QJsonValue v = object.value(QLatin1String(key));
    if (v.isUndefined())
        return true;
    bool ok = false;
    qint64 number = 0;
    if (v.isDouble()) {
        const double d = v.toDouble();
        ok = d == double(qint64(d));
        number = qint64(d);
    } else if (v.isString()) {
        number = v.toString().trimmed().toLongLong(&ok, 0);
    }
    // Error codes are negative as LONG but usually written as their 0x8... form.
    if (!ok || number < -0x80000000LL || number > 0xffffffffLL) {
        *error = QStringLiteral("\"%1\" is not a 32-bit number").arg(QLatin1String(key));
        return false;
    }
    *value = DWORD(number);
    return true;
}

bool readDevice(const QJsonObject& o, SimulatedLineDevice* d, QString* error)
{
    LineDeviceCaps& c = d->caps;
    c.lineName = o.value(QLatin1String("lineName")).toString().toUtf8();
    c.providerInfo = o.value(QLatin1String("providerInfo")).toString().toUtf8();
    c.switchInfo = o.value(QLatin1String("switchInfo")).toString().toUtf8();
    d->iconFile = o.value(QLatin1String("icon")).toString();
    DWORD negotiateError = 0, makeCallResult = 0, configDialogError = 0;
    const bool ok = readNumber(o, "permanentLineId", &c.permanentLineId, error) &&
                    readNumber(o, "stringFormat", &c.stringFormat, error) &&
                    readNumber(o, "numAddresses", &c.numAddresses, error) &&
                    readNumber(o, "maxRate", &c.maxRate, error) &&
                    readNumber(o, "bearerModes", &c.bearerModes, error) &&
                    readNumber(o, "addressModes", &c.addressModes, error) &&
                    readNumber(o, "mediaModes", &c.mediaModes, error) &&
                    readNumber(o, "generateToneMaxNumFreq", &c.generateToneMaxNumFreq, error) &&
                    readNumber(o, "generateToneModes", &c.generateToneModes, error) &&
                    readNumber(o, "numTerminals", &c.numTerminals, error) &&
                    readNumber(o, "lowVersion", &c.lowVersion, error) &&
                    readNumber(o, "highVersion", &c.highVersion, error) &&
                    readNumber(o, "negotiateError", &negotiateError, error) &&
                    readNumber(o, "makeCallResult", &makeCallResult, error) &&
                    readNumber(o, "configDialogError", &configDialogError, error);
    d->negotiateError = LONG(negotiateError);
    d->makeCallResult = LONG(makeCallResult);
    d->configDialogError = LONG(configDialogError);
    const QJsonObject demo = o.value(QLatin1String("demoCall")).toObject();
    d->demoNumber = demo.value(QLatin1String("number")).toString().toUtf8();
    d->demoName = demo.value(QLatin1String("name")).toString().toUtf8();
    d->demoAfterMs = int(demo.value(QLatin1String("afterSeconds")).toDouble(3.0) * 1000);
    return ok;
}

QString hex(DWORD value)
{
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0'));
}

QJsonObject writeDevice(const SimulatedLineDevice& d)
{
    const LineDeviceCaps& c = d.caps;
    QJsonObject o;
    o.insert(QLatin1String("lineName"), QString::fromUtf8(c.lineName));
    o.insert(QLatin1String("providerInfo"), QString::fromUtf8(c.providerInfo));
    o.insert(QLatin1String("switchInfo"), QString::fromUtf8(c.switchInfo));
    o.insert(QLatin1String("permanentLineId"), qint64(c.permanentLineId));
    o.insert(QLatin1String("stringFormat"), qint64(c.stringFormat));
    o.insert(QLatin1String("numAddresses"), qint64(c.numAddresses));
    o.insert(QLatin1String("maxRate"), qint64(c.maxRate));
    o.insert(QLatin1String("bearerModes"), hex(c.bearerModes));
    o.insert(QLatin1String("addressModes"), hex(c.addressModes));
    o.insert(QLatin1String("mediaModes"), hex(c.mediaModes));
    o.insert(QLatin1String("generateToneMaxNumFreq"), qint64(c.generateToneMaxNumFreq));
    o.insert(QLatin1String("generateToneModes"), hex(c.generateToneModes));
    o.insert(QLatin1String("numTerminals"), qint64(c.numTerminals));
    o.insert(QLatin1String("lowVersion"), hex(c.lowVersion));
    o.insert(QLatin1String("highVersion"), hex(c.highVersion));
    o.insert(QLatin1String("negotiateError"), hex(DWORD(d.negotiateError)));
    o.insert(QLatin1String("makeCallResult"), hex(DWORD(d.makeCallResult)));
    o.insert(QLatin1String("configDialogError"), hex(DWORD(d.configDialogError)));
    if (!d.iconFile.isEmpty())
        o.insert(QLatin1String("icon"), d.iconFile);
    if (!d.demoNumber.isEmpty()) {
        QJsonObject demo;
        demo.insert(QLatin1String("number"), QString::fromUtf8(d.demoNumber));
        if (!d.demoName.isEmpty())
            demo.insert(QLatin1String("name"), QString::fromUtf8(d.demoName));
        demo.insert(QLatin1String("afterSeconds"), d.demoAfterMs / 1000.0);
        o.insert(QLatin1String("demoCall"), demo);
    }
    return o;
}

const char* stateName(DWORD state)
{
    switch (state) {
    case LINECALLSTATE_IDLE: return "idle";
    case LINECALLSTATE_OFFERING: return "offering";
    case LINECALLSTATE_DIALTONE: return "dialtone";
    case LINECALLSTATE_DIALING: return "dialing";
    case LINECALLSTATE_RINGBACK: return "ringback";
    case LINECALLSTATE_CONNECTED: return "connected";
    case LINECALLSTATE_PROCEEDING: return "proceeding";
    case LINECALLSTATE_DISCONNECTED: return "disconnected";
    default: return "other";
    }
}

} // namespace

SimulatedLineProvider::SimulatedLineProvider(QString configFile, QObject* parent)
    : LineProvider(parent), m_configFile(std::move(configFile))
{
}

bool SimulatedLineProvider::load(QString* error)
{
    m_devices.clear();
    QByteArray bytes;
    QString problem;
    const SmallFile::Status status = SmallFile::read(m_configFile, kMaxFileSize, &bytes, &problem);
    if (status == SmallFile::Status::Missing)
        return true;
    if (status == SmallFile::Status::Refused) {
        // The reason names the file already.
        if (error)
            *error = problem;
        return false;
    }
    {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            problem = parseError.errorString() + QStringLiteral(" at offset %1").arg(parseError.offset);
        } else if (!document.object().value(QLatin1String("devices")).isArray()) {
            problem = QStringLiteral("no \"devices\" list");
        } else {
            const QJsonArray devices = document.object().value(QLatin1String("devices")).toArray();
            for (qsizetype i = 0; i < devices.size() && problem.isEmpty(); ++i) {
                SimulatedLineDevice device;
                if (!devices.at(i).isObject())
                    problem = QStringLiteral("device %1 is not an object").arg(i);
                else if (readDevice(devices.at(i).toObject(), &device, &problem))
                    addDevice(device);
                else
                    problem = QStringLiteral("device %1: %2").arg(i).arg(problem);
            }
        }
    }
    if (problem.isEmpty())
        return true;
    m_devices.clear();
    if (error)
        *error = QStringLiteral("%1: %2").arg(m_configFile, problem);
    return false;
}

bool SimulatedLineProvider::save(QString* error) const
{
    QJsonArray devices;
    for (const State& state : m_devices)
        devices.append(writeDevice(state.config));
    QJsonObject root;
    root.insert(QLatin1String("devices"), devices);
    QSaveFile file(m_configFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_configFile, file.errorString());
        return false;
    }
    return true;
}

void SimulatedLineProvider::addDevice(const SimulatedLineDevice& config)
{
    State state;
    state.config = config;
    m_devices.push_back(state);
}

QString SimulatedLineProvider::checkDevice(DWORD device) const
{
    if (device >= m_devices.size())
        return QStringLiteral("no line device %1 (there are %2)").arg(device).arg(m_devices.size());
    return {};
}

bool SimulatedLineProvider::callActive(const State& state) const
{
    return state.callId != 0 && state.call.state != LINECALLSTATE_IDLE;
}

QString SimulatedLineProvider::checkCall(DWORD device) const
{
    QString error = checkDevice(device);
    if (error.isEmpty() && !callActive(m_devices[device]))
        error = QStringLiteral("line device %1 has no call").arg(device);
    return error;
}

void SimulatedLineProvider::changeState(DWORD device, DWORD state, DWORD mode)
{
    State& s = m_devices[device];
    s.call.state = state;
    emit callStateChanged(device, s.callId, state, mode);
}

QString SimulatedLineProvider::offer(DWORD device, const QByteArray& callerId, const QByteArray& callerName)
{
    if (QString error = checkDevice(device); !error.isEmpty())
        return error;
    State& s = m_devices[device];
    if (callActive(s))
        return QStringLiteral("line device %1 is busy with a call").arg(device);
    s.callId = m_nextCallId++;
    s.ringCount = 0;
    s.call = LineCallData{};
    s.call.origin = LINECALLORIGIN_INBOUND;
    s.call.state = LINECALLSTATE_OFFERING;
    emit newCall(device, s.callId);
    emit callStateChanged(device, s.callId, LINECALLSTATE_OFFERING, 0);
    if (!callerId.isEmpty() || !callerName.isEmpty())
        return sendCallerId(device, callerId, callerName);
    return {};
}

QString SimulatedLineProvider::sendCallerId(DWORD device, const QByteArray& callerId, const QByteArray& callerName)
{
    if (QString error = checkCall(device); !error.isEmpty())
        return error;
    State& s = m_devices[device];
    // As a real line: a caller ID that is no telephone number goes as the name only.
    s.call.callerId = TelephoneNumber::callerNumber(callerId);
    s.call.callerName = callerName;
    emit callInfoChanged(device, s.callId, LINECALLINFOSTATE_CALLERID);
    return {};
}

QString SimulatedLineProvider::ring(DWORD device)
{
    if (QString error = checkCall(device); !error.isEmpty())
        return error;
    State& s = m_devices[device];
    emit lineDevStateChanged(device, LINEDEVSTATE_RINGING, 0, ++s.ringCount);
    return {};
}

QString SimulatedLineProvider::setCallState(DWORD device, DWORD state)
{
    if (QString error = checkCall(device); !error.isEmpty())
        return error;
    changeState(device, state, state == LINECALLSTATE_DISCONNECTED ? LINEDISCONNECTMODE_NORMAL : 0);
    return {};
}

QString SimulatedLineProvider::closeLine(DWORD device)
{
    if (QString error = checkDevice(device); !error.isEmpty())
        return error;
    State& s = m_devices[device];
    if (s.opens == 0)
        return QStringLiteral("line device %1 is not open").arg(device);
    s.opens = 0;
    if (callActive(s))
        s.call.state = LINECALLSTATE_IDLE;
    emit lineClosed(device);
    return {};
}

QString SimulatedLineProvider::setMakeCallResult(DWORD device, LONG result)
{
    if (QString error = checkDevice(device); !error.isEmpty())
        return error;
    m_devices[device].config.makeCallResult = result;
    return {};
}

QStringList SimulatedLineProvider::status() const
{
    QStringList lines;
    for (DWORD i = 0; i < m_devices.size(); ++i) {
        const State& s = m_devices[i];
        lines << QStringLiteral("%1 %2 %3")
                     .arg(i)
                     .arg(s.opens > 0 ? QLatin1String("open") : QLatin1String("closed"))
                     .arg(QLatin1String(s.callId ? stateName(s.call.state) : "idle"));
    }
    return lines;
}

QImage SimulatedLineProvider::icon(DWORD device) const
{
    const QString file = m_devices.at(device).config.iconFile;
    if (file.isEmpty())
        return {};
    // Read through the bounds of a small file: an icon that is a FIFO or a huge picture
    // must not stop the window that shows it.
    QByteArray bytes;
    if (SmallFile::read(QFileInfo(m_configFile).dir().filePath(file), kMaxIconSize, &bytes) != SmallFile::Status::Read)
        return {};
    return QImage::fromData(bytes);
}

LONG SimulatedLineProvider::open(DWORD device)
{
    if (++m_devices.at(device).opens == 1 && !m_devices.at(device).config.demoNumber.isEmpty())
        playDemoCall(device);
    return 0;
}

void SimulatedLineProvider::playDemoCall(DWORD device)
{
    const SimulatedLineDevice& config = m_devices.at(device).config;
    const QByteArray number = config.demoNumber;
    const QByteArray name = config.demoName;
    // The call comes, with its caller ID, while the line is still open and free, and the
    // caller hangs up a few seconds later; a call driven from outside meanwhile is left alone.
    auto demoCallId = std::make_shared<DWORD>(0);
    QTimer::singleShot(config.demoAfterMs, this, [this, device, number, name, demoCallId] {
        if (m_devices.at(device).opens == 0 || !offer(device, number, name).isEmpty())
            return;
        *demoCallId = m_devices.at(device).callId;
    });
    QTimer::singleShot(config.demoAfterMs + 6000, this, [this, device, demoCallId] {
        if (!*demoCallId || m_devices.at(device).callId != *demoCallId || !callActive(m_devices.at(device)))
            return;
        setCallState(device, LINECALLSTATE_DISCONNECTED);
        setCallState(device, LINECALLSTATE_IDLE);
    });
}

void SimulatedLineProvider::close(DWORD device)
{
    State& s = m_devices.at(device);
    if (s.opens > 0)
        --s.opens;
}

LONG SimulatedLineProvider::makeCall(DWORD device, DWORD requestId, const QByteArray& number)
{
    State& s = m_devices.at(device);
    if (callActive(s))
        return LINEERR_CALLUNAVAIL;
    if (const LONG result = s.config.makeCallResult) {
        emit requestCompleted(requestId, result, device, 0);
        return 0;
    }
    s.callId = m_nextCallId++;
    s.call = LineCallData{};
    s.call.origin = LINECALLORIGIN_OUTBOUND;
    s.call.calledId = number;
    s.call.state = LINECALLSTATE_DIALTONE;
    emit requestCompleted(requestId, 0, device, s.callId);
    // Without a number the call waits at the dial tone, as a line taken off hook does.
    changeState(device, LINECALLSTATE_DIALTONE);
    if (!number.isEmpty()) {
        changeState(device, LINECALLSTATE_DIALING);
        changeState(device, LINECALLSTATE_PROCEEDING);
        changeState(device, LINECALLSTATE_RINGBACK);
    }
    return 0;
}

LONG SimulatedLineProvider::drop(DWORD device, DWORD callId, DWORD requestId)
{
    State& s = m_devices.at(device);
    if (s.callId != callId || !callActive(s))
        return LINEERR_INVALCALLSTATE;
    emit requestCompleted(requestId, 0, device, 0);
    changeState(device, LINECALLSTATE_IDLE);
    return 0;
}

bool SimulatedLineProvider::callData(DWORD device, DWORD callId, LineCallData* data) const
{
    const State& s = m_devices.at(device);
    if (s.callId != callId)
        return false;
    *data = s.call;
    return true;
}

LONG SimulatedLineProvider::configDialog(DWORD device, QWidget* owner)
{
    if (const LONG refused = m_devices.at(device).config.configDialogError)
        return refused;
    if (!m_configDialog)
        return LINEERR_OPERATIONUNAVAIL;
    m_configDialog(*this, device, owner);
    return 0;
}
