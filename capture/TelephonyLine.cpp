#include "capture/TelephonyLine.h"

#include "capture/LineMessage.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstring>
#include <memory>

// TAPI events are traced for the developer only; QT_LOGGING_RULES="vornx.tapi.debug=true"
// shows them.
Q_LOGGING_CATEGORY(lcTapi, "vornx.tapi", QtWarningMsg)

TelephonyLine* myTAPILine = nullptr;

namespace {

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

TelephonyLine::TelephonyLine(QObject* mainWindow) : mainWindow(mainWindow)
{
    myTAPILine = this;
}

TelephonyLine::~TelephonyLine()
{
    if (hCall) {
        lineDeallocateCall(hCall);
        hCall = 0;
    }
    if (hLine)
        CloseLine();
    if (hLineApp) {
        lineShutdown(hLineApp);
        hLineApp = 0;
    }
    if (myTAPILine == this)
        myTAPILine = nullptr;
}

bool TelephonyLine::InitLines()
{
    LINEINITIALIZEEXPARAMS params{};
    params.dwTotalSize = sizeof(LINEINITIALIZEEXPARAMS);
    params.dwOptions = LINEINITIALIZEEXOPTION_USEHIDDENWINDOW;
    const LONG result = lineInitializeExA(&hLineApp, nullptr, &TelephonyLine::LineCallback, "电话API程序", &numDevs,
                                          &highAPIVersion, &params);
    if (result != 0) {
        lastError = result;
        return false;
    }
    if (numDevs == 0)
        return false;
    for (DWORD i = 0; i < numDevs; ++i) {
        if (i >= kMaxDevices)
            break;
        LINEEXTENSIONID extensionId;
        if (lineNegotiateAPIVersion(hLineApp, i, lowAPIVersion, highAPIVersion, &apiVersions[i], &extensionId) != 0)
            apiVersions[i] = 0;
    }
    RefreshCaps();
    return true;
}

DWORD TelephonyLine::GetLineAPIVersion() const
{
    return curLine < kMaxDevices ? apiVersions[curLine] : 0;
}

bool TelephonyLine::SelectLine(DWORD index)
{
    if (index < numDevs)
        curLine = index;
    return RefreshCaps();
}

bool TelephonyLine::RefreshCaps()
{
    const auto buffer = newBuffer<LINEDEVCAPS>();
    const auto* caps = reinterpret_cast<const LINEDEVCAPS*>(buffer.get());
    const LONG result =
        lineGetDevCapsA(hLineApp, curLine, GetLineAPIVersion(), 0, reinterpret_cast<LINEDEVCAPS*>(buffer.get()));
    if (result != 0) {
        lastError = result;
        return false;
    }
    lineName = textAt(buffer.get(), caps->dwLineNameSize, caps->dwLineNameOffset);
    providerInfo = textAt(buffer.get(), caps->dwProviderInfoSize, caps->dwProviderInfoOffset);
    switchInfo = textAt(buffer.get(), caps->dwSwitchInfoSize, caps->dwSwitchInfoOffset);
    permanentLineID = caps->dwPermanentLineID;
    stringFormat = caps->dwStringFormat;
    numAddresses = caps->dwNumAddresses;
    mediaModes = caps->dwMediaModes;
    maxRate = caps->dwMaxRate;
    bearerModes = caps->dwBearerModes;
    addressModes = caps->dwAddressModes;
    generateToneMaxNumFreq = caps->dwGenerateToneMaxNumFreq;
    generateToneModes = caps->dwGenerateToneModes;
    numTerminals = caps->dwNumTerminals;
    return true;
}

bool TelephonyLine::CanVoiceCall() const
{
    return (bearerModes & LINEBEARERMODE_VOICE) && (mediaModes & LINEMEDIAMODE_INTERACTIVEVOICE);
}

bool TelephonyLine::OpenLine(DWORD privileges, DWORD media)
{
    if (hLine)
        return false;
    const LONG result =
        lineOpenA(hLineApp, curLine, &hLine, GetLineAPIVersion(), 0, 0, privileges, media, nullptr);
    if (result != 0) {
        hLine = 0;
        lastError = result;
        return false;
    }
    return true;
}

bool TelephonyLine::CloseLine()
{
    if (!hLine)
        return false;
    const LONG result = lineClose(hLine);
    hLine = 0;
    if (result != 0) {
        lastError = result;
        return false;
    }
    return true;
}

bool TelephonyLine::MakeCall(const QString& number)
{
    if (!hLine)
        return false;
    const QByteArray address = number.toUtf8();
    const LONG result = lineMakeCallA(hLine, &hCall, address.constData(), 0, nullptr);
    if (result < 0) {
        lastError = result;
        return false;
    }
    makeCallRequest = result;
    return true;
}

bool TelephonyLine::DropCall()
{
    if (!hCall)
        return false;
    const LONG result = lineDrop(hCall, "", 0);
    if (result < 0) {
        lastError = result;
        return false;
    }
    dropRequest = result;
    return true;
}

bool TelephonyLine::ConfigDialog(HWND owner, const QString& deviceClass)
{
    const QByteArray cls = deviceClass.toUtf8();
    const LONG result = lineConfigDialogA(curLine, owner, cls.constData());
    if (result != 0) {
        lastError = result;
        return false;
    }
    return true;
}

LONG TelephonyLine::TakeLastError()
{
    const LONG code = lastError;
    lastError = 0;
    return code;
}

void TelephonyLine::LineCallback(DWORD hDevice, DWORD dwMessage, DWORD_PTR, DWORD_PTR dwParam1, DWORD_PTR dwParam2,
                             DWORD_PTR)
{
    TelephonyLine* line = myTAPILine;
    if (!line)
        return;
    switch (dwMessage) {
    case LINE_CALLINFO:
        line->OnCallerId(DWORD(dwParam1));
        break;
    case LINE_CALLSTATE:
        line->OnCallState(hDevice, DWORD(dwParam1));
        break;
    case LINE_CLOSE:
        lineDeallocateCall(line->hCall);
        line->hCall = 0;
        break;
    case LINE_REPLY:
        if (LONG(dwParam1) == line->makeCallRequest) {
            line->makeCallRequest = 0;
            if (dwParam2 != 0)
                line->CloseLine();
            qCDebug(lcTapi, "TAPI_MAKECALLRESULT");
        } else if (LONG(dwParam1) == line->dropRequest) {
            line->dropRequest = 0;
            qCDebug(lcTapi, "TAPI_DROPCALLRESULT");
        }
        break;
    case LINE_APPNEWCALL:
        line->Post(WM_LINE_RING);
        break;
    default:
        break;
    }
}

void TelephonyLine::OnCallState(HCALL call, DWORD state)
{
    switch (state) {
    case LINECALLSTATE_IDLE:
        if (hCall) {
            lineDeallocateCall(hCall);
            hCall = 0;
        }
        Post(WM_RING_DONE);
        qCDebug(lcTapi, "TAPI_IDLE ");
        break;
    case LINECALLSTATE_OFFERING:
        hCall = call;
        Post(WM_LINE_RING);
        break;
    case LINECALLSTATE_RINGBACK:
        Post(WM_LINE_RING);
        break;
    case LINECALLSTATE_CONNECTED:
        qCDebug(lcTapi, "TAPI_CONNECTED ");
        break;
    case LINECALLSTATE_DISCONNECTED:
        DropCall();
        qCDebug(lcTapi, "TAPI_DISCONNECTED ");
        Post(WM_RING_DONE);
        break;
    default:
        break;
    }
}

void TelephonyLine::OnCallerId(DWORD infoStates)
{
    if (infoStates != LINECALLINFOSTATE_CALLERID)
        return;
    const auto buffer = newBuffer<LINECALLINFO>();
    const auto* info = reinterpret_cast<const LINECALLINFO*>(buffer.get());
    QByteArray number;
    // A failed request leaves no caller ID; the empty text is posted, which shows nothing.
    if (lineGetCallInfoA(hCall, reinterpret_cast<LINECALLINFO*>(buffer.get())) == 0)
        number = textAt(buffer.get(), info->dwCallerIDSize, info->dwCallerIDOffset).toUtf8();
    qsizetype start = 0;
    while (start < number.size() && number[start] == '0')
        ++start;
    Post(WM_CALLER_NUMBER, number.mid(start));
}

void TelephonyLine::Post(int message, const QByteArray& text)
{
    if (mainWindow)
        QCoreApplication::postEvent(mainWindow, new LineMessage(LineMessageId(message), text, 0));
}
