#include "capture/TelephonyLine.h"

#include <QLoggingCategory>

#include <cstring>
#include <memory>
#include <set>

// TAPI events are traced for the developer only; QT_LOGGING_RULES="vornx.tapi.debug=true"
// shows them.
Q_LOGGING_CATEGORY(lcTapi, "vornx.tapi", QtWarningMsg)

namespace {

// The line objects alive. Each opens its line with itself as the callback instance; the
// callback only follows an instance that is still in here.
std::set<const TelephonyLine*>& liveLines()
{
    static std::set<const TelephonyLine*> lines;
    return lines;
}

// Both variable-size structures are read through fixed buffers of this size, never enlarged:
// what does not fit is simply not there.
constexpr DWORD kBufferSize = 1000;

// The text of a size/offset pair, taken only from inside the buffer: a provider's offset
// past the end, or a text without its NUL, must not make us read beyond it.
QString textAt(const char* buffer, DWORD size, DWORD offset)
{
    if (size == 0 || offset >= kBufferSize)
        return {};
    const DWORD room = std::min(size, kBufferSize - offset);
    return QString::fromUtf8(buffer + offset, qsizetype(qstrnlen(buffer + offset, room)));
}

template <typename T> std::unique_ptr<char[]> newBuffer()
{
    static_assert(sizeof(T) <= kBufferSize);
    auto buffer = std::make_unique<char[]>(kBufferSize);
    reinterpret_cast<T*>(buffer.get())->dwTotalSize = kBufferSize;
    return buffer;
}

} // namespace

TelephonyLine::TelephonyLine(QObject* parent) : QObject(parent)
{
    liveLines().insert(this);
}

TelephonyLine::~TelephonyLine()
{
    if (m_hCall) {
        lineDeallocateCall(m_hCall);
        m_hCall = 0;
    }
    if (m_hLine)
        closeLine();
    if (m_hLineApp) {
        lineShutdown(m_hLineApp);
        m_hLineApp = 0;
    }
    liveLines().erase(this);
}

bool TelephonyLine::initLines()
{
    LINEINITIALIZEEXPARAMS params{};
    params.dwTotalSize = sizeof(LINEINITIALIZEEXPARAMS);
    params.dwOptions = LINEINITIALIZEEXOPTION_USEHIDDENWINDOW;
    const LONG result = lineInitializeExA(&m_hLineApp, nullptr, &TelephonyLine::lineCallback, "电话API程序", &m_numDevs,
                                          &m_highAPIVersion, &params);
    if (result != 0) {
        m_lastError = result;
        return false;
    }
    if (m_numDevs == 0)
        return false;
    for (DWORD i = 0; i < m_numDevs; ++i) {
        if (i >= kMaxDevices)
            break;
        LINEEXTENSIONID extensionId;
        if (lineNegotiateAPIVersion(m_hLineApp, i, m_lowAPIVersion, m_highAPIVersion, &m_apiVersions[i], &extensionId) != 0)
            m_apiVersions[i] = 0;
    }
    refreshCaps();
    return true;
}

DWORD TelephonyLine::apiVersion() const
{
    return m_curLine < kMaxDevices ? m_apiVersions[m_curLine] : 0;
}

bool TelephonyLine::selectLine(DWORD index)
{
    if (index < m_numDevs)
        m_curLine = index;
    return refreshCaps();
}

bool TelephonyLine::refreshCaps()
{
    const auto buffer = newBuffer<LINEDEVCAPS>();
    const auto* caps = reinterpret_cast<const LINEDEVCAPS*>(buffer.get());
    const LONG result =
        lineGetDevCapsA(m_hLineApp, m_curLine, apiVersion(), 0, reinterpret_cast<LINEDEVCAPS*>(buffer.get()));
    if (result != 0) {
        m_lastError = result;
        return false;
    }
    m_lineName = textAt(buffer.get(), caps->dwLineNameSize, caps->dwLineNameOffset);
    m_providerInfo = textAt(buffer.get(), caps->dwProviderInfoSize, caps->dwProviderInfoOffset);
    m_switchInfo = textAt(buffer.get(), caps->dwSwitchInfoSize, caps->dwSwitchInfoOffset);
    m_permanentLineID = caps->dwPermanentLineID;
    m_stringFormat = caps->dwStringFormat;
    m_numAddresses = caps->dwNumAddresses;
    m_mediaModes = caps->dwMediaModes;
    m_maxRate = caps->dwMaxRate;
    m_bearerModes = caps->dwBearerModes;
    m_addressModes = caps->dwAddressModes;
    m_generateToneMaxNumFreq = caps->dwGenerateToneMaxNumFreq;
    m_generateToneModes = caps->dwGenerateToneModes;
    m_numTerminals = caps->dwNumTerminals;
    return true;
}

bool TelephonyLine::canVoiceCall() const
{
    return (m_bearerModes & LINEBEARERMODE_VOICE) && (m_mediaModes & LINEMEDIAMODE_INTERACTIVEVOICE);
}

bool TelephonyLine::openLine(DWORD privileges, DWORD media)
{
    if (m_hLine)
        return false;
    const LONG result =
        lineOpenA(m_hLineApp, m_curLine, &m_hLine, apiVersion(), 0, DWORD_PTR(this), privileges, media, nullptr);
    if (result != 0) {
        m_hLine = 0;
        m_lastError = result;
        return false;
    }
    return true;
}

bool TelephonyLine::closeLine()
{
    if (!m_hLine)
        return false;
    const LONG result = lineClose(m_hLine);
    m_hLine = 0;
    if (result != 0) {
        m_lastError = result;
        return false;
    }
    return true;
}

bool TelephonyLine::makeCall(const QString& number)
{
    if (!m_hLine) {
        m_lastError = LINEERR_INVALLINEHANDLE;
        return false;
    }
    const QByteArray address = number.toUtf8();
    const LONG result = lineMakeCallA(m_hLine, &m_hCall, address.constData(), 0, nullptr);
    if (result < 0) {
        m_lastError = result;
        return false;
    }
    m_makeCallRequest = result;
    return true;
}

bool TelephonyLine::dropCall()
{
    if (!m_hCall)
        return false;
    const LONG result = lineDrop(m_hCall, "", 0);
    if (result < 0) {
        m_lastError = result;
        return false;
    }
    m_dropRequest = result;
    return true;
}

bool TelephonyLine::declineCall()
{
    if (!m_hCall)
        return false;
    const LONG result = lineDecline(m_hCall);
    if (result < 0) {
        m_lastError = result;
        return false;
    }
    m_dropRequest = result;
    return true;
}

bool TelephonyLine::showConfigDialog(HWND owner, const QString& deviceClass)
{
    const QByteArray cls = deviceClass.toUtf8();
    const LONG result = lineConfigDialogA(m_curLine, owner, cls.constData());
    if (result != 0) {
        m_lastError = result;
        return false;
    }
    return true;
}

LONG TelephonyLine::takeLastError()
{
    const LONG code = m_lastError;
    m_lastError = 0;
    return code;
}

void TelephonyLine::lineCallback(DWORD hDevice, DWORD dwMessage, DWORD_PTR dwInstance, DWORD_PTR dwParam1,
                                 DWORD_PTR dwParam2, DWORD_PTR)
{
    auto* line = reinterpret_cast<TelephonyLine*>(dwInstance);
    if (liveLines().count(line))
        line->handleLineMessage(hDevice, dwMessage, dwParam1, dwParam2);
}

void TelephonyLine::handleLineMessage(DWORD hDevice, DWORD message, DWORD_PTR param1, DWORD_PTR param2)
{
    switch (message) {
    case LINE_CALLINFO:
        handleCallerId(DWORD(param1));
        break;
    case LINE_CALLSTATE:
        handleCallState(hDevice, DWORD(param1));
        break;
    case LINE_CLOSE:
        // The handle is dead already: nothing to close, but it must not pass for an open
        // line, or the next monitoring start would refuse to open the line again.
        if (m_hCall) {
            lineDeallocateCall(m_hCall);
            m_hCall = 0;
        }
        if (m_hLine && hDevice == m_hLine) {
            m_hLine = 0;
            m_makeCallRequest = 0;
            m_dropRequest = 0;
            emit lineClosed();
        }
        break;
    case LINE_REPLY:
        if (m_makeCallRequest != 0 && LONG(param1) == m_makeCallRequest) {
            m_makeCallRequest = 0;
            // A busy or wrong number fails only that call; the line keeps watching for
            // incoming ones.
            if (param2 != 0)
                emit makeCallFailed(LONG(DWORD(param2)));
            qCDebug(lcTapi, "TAPI_MAKECALLRESULT");
        } else if (m_dropRequest != 0 && LONG(param1) == m_dropRequest) {
            m_dropRequest = 0;
            qCDebug(lcTapi, "TAPI_DROPCALLRESULT");
        }
        break;
    case LINE_APPNEWCALL:
        emit ringing();
        break;
    default:
        break;
    }
}

void TelephonyLine::handleCallState(HCALL call, DWORD state)
{
    switch (state) {
    case LINECALLSTATE_IDLE:
        if (m_hCall) {
            lineDeallocateCall(m_hCall);
            m_hCall = 0;
        }
        emit ringDone();
        qCDebug(lcTapi, "TAPI_IDLE ");
        break;
    case LINECALLSTATE_OFFERING:
        m_hCall = call;
        emit ringing();
        break;
    case LINECALLSTATE_RINGBACK:
        emit ringing();
        break;
    case LINECALLSTATE_CONNECTED:
        qCDebug(lcTapi, "TAPI_CONNECTED ");
        break;
    case LINECALLSTATE_DISCONNECTED:
        dropCall();
        qCDebug(lcTapi, "TAPI_DISCONNECTED ");
        emit ringDone();
        break;
    default:
        break;
    }
}

void TelephonyLine::handleCallerId(DWORD infoStates)
{
    // Providers may report the caller ID together with other changed fields.
    if (!(infoStates & LINECALLINFOSTATE_CALLERID))
        return;
    const auto buffer = newBuffer<LINECALLINFO>();
    const auto* info = reinterpret_cast<const LINECALLINFO*>(buffer.get());
    QByteArray number;
    // A failed request leaves no caller ID; the empty number is still reported, and shows nothing.
    if (lineGetCallInfoA(m_hCall, reinterpret_cast<LINECALLINFO*>(buffer.get())) == 0)
        number = textAt(buffer.get(), info->dwCallerIDSize, info->dwCallerIDOffset).toUtf8();
    // As delivered, long-distance zeros included: the window shows the number without them
    // but calls back on the whole number.
    emit callerNumber(number);
}
