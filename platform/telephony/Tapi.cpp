#include "platform/telephony/Tapi.h"

#include "platform/telephony/LineProvider.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace {

struct App
{
    LINECALLBACK callback;
};

struct Line
{
    HLINEAPP app;
    LineProvider* provider;
    DWORD device; // within the provider
    DWORD deviceId;
    DWORD privileges;
    DWORD_PTR instance;
};

struct Call
{
    HLINE line;
    DWORD callId;
};

struct Request
{
    HLINE line;
    HCALL* callTarget; // lineMakeCallA's lphCall; null for drops
};

struct Message
{
    HLINEAPP app;
    DWORD hDevice;
    DWORD message;
    DWORD_PTR instance;
    DWORD_PTR param1;
    DWORD_PTR param2;
    DWORD_PTR param3;
    std::function<void()> beforeCallback;
};

// Texts behind the fixed part of a variable-size structure. A text that does not fit is left
// out (size and offset 0) but still counted in dwNeededSize, so a caller with a short buffer
// never reads past it and learns how much it would need.
class VariablePart
{
public:
    VariablePart(void* structure, DWORD totalSize, DWORD fixedSize)
        : m_base(static_cast<char*>(structure)), m_total(totalSize), m_used(fixedSize), m_needed(fixedSize)
    {
    }

    void add(const QByteArray& text, DWORD* size, DWORD* offset)
    {
        *size = 0;
        *offset = 0;
        if (text.isEmpty())
            return;
        const DWORD length = DWORD(text.size()) + 1; // with its terminating NUL
        m_needed += length;
        if (m_used + length > m_total)
            return;
        std::memcpy(m_base + m_used, text.constData(), text.size());
        m_base[m_used + length - 1] = '\0';
        *offset = m_used;
        *size = length;
        m_used += length;
    }

    DWORD used() const { return m_used; }
    DWORD needed() const { return m_needed; }

private:
    char* m_base;
    DWORD m_total;
    DWORD m_used;
    DWORD m_needed;
};

QImage defaultLineIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    painter.setBrush(QColor(0x2e, 0x7d, 0x32));
    QPainterPath handset;
    handset.moveTo(6, 10);
    handset.cubicTo(6, 4, 26, 4, 26, 10);
    handset.lineTo(21, 13);
    handset.lineTo(19, 9);
    handset.cubicTo(16, 8, 16, 8, 13, 9);
    handset.lineTo(11, 13);
    handset.closeSubpath();
    painter.drawPath(handset);
    painter.setBrush(QColor(0xec, 0xef, 0xf1));
    painter.drawRoundedRect(QRectF(7, 16, 18, 12), 3, 3);
    return image;
}

class Telephony
{
public:
    static Telephony& instance()
    {
        static Telephony telephony;
        return telephony;
    }

    std::vector<std::unique_ptr<LineProvider>> providers;
    std::map<HLINEAPP, App> apps;
    std::map<HLINE, Line> lines;
    std::map<HCALL, Call> calls;
    std::map<DWORD, Request> requests;
    // Icon handles stay valid for the whole process, as the system's icons do.
    std::map<DWORD, QImage> icons;
    // Nested modal loops (provider dialogs) during which no callback is delivered.
    int modalDepth = 0;

    DWORD newHandle() { return m_nextHandle++; }

    DWORD newRequestId()
    {
        const DWORD id = m_nextRequest;
        m_nextRequest = m_nextRequest >= 0x7fffffff ? 1 : m_nextRequest + 1;
        return id;
    }

    DWORD deviceCount() const
    {
        DWORD count = 0;
        for (const auto& provider : providers)
            count += provider->deviceCount();
        return count;
    }

    bool locate(DWORD deviceId, LineProvider** provider, DWORD* device) const
    {
        for (const auto& p : providers) {
            if (deviceId < p->deviceCount()) {
                *provider = p.get();
                *device = deviceId;
                return true;
            }
            deviceId -= p->deviceCount();
        }
        return false;
    }

    // The device of a request made through an application handle.
    LONG locateForApp(HLINEAPP app, DWORD deviceId, LineProvider** provider, DWORD* device) const
    {
        if (!apps.count(app))
            return LINEERR_INVALAPPHANDLE;
        return locate(deviceId, provider, device) ? 0 : LINEERR_BADDEVICEID;
    }

    void install(std::unique_ptr<LineProvider> provider)
    {
        LineProvider* p = provider.get();
        QObject::connect(p, &LineProvider::newCall, p, [this, p](DWORD device, DWORD callId) {
            onNewCall(p, device, callId);
        });
        QObject::connect(p, &LineProvider::callStateChanged, p,
                         [this, p](DWORD device, DWORD callId, DWORD state, DWORD mode) {
                             forCalls(p, device, callId, [&](HCALL hCall, const Line& line) {
                                 post({line.app, hCall, LINE_CALLSTATE, line.instance, state, mode, 0, {}});
                             });
                         });
        QObject::connect(p, &LineProvider::callInfoChanged, p, [this, p](DWORD device, DWORD callId, DWORD states) {
            forCalls(p, device, callId, [&](HCALL hCall, const Line& line) {
                post({line.app, hCall, LINE_CALLINFO, line.instance, states, 0, 0, {}});
            });
        });
        QObject::connect(p, &LineProvider::lineDevStateChanged, p,
                         [this, p](DWORD device, DWORD state, DWORD param2, DWORD param3) {
                             for (const auto& [hLine, line] : lines)
                                 if (line.provider == p && line.device == device)
                                     post({line.app, hLine, LINE_LINEDEVSTATE, line.instance, state, param2, param3,
                                           {}});
                         });
        QObject::connect(p, &LineProvider::requestCompleted, p,
                         [this, p](DWORD requestId, LONG result, DWORD device, DWORD callId) {
                             onRequestCompleted(p, requestId, result, device, callId);
                         });
        QObject::connect(p, &LineProvider::lineClosed, p, [this, p](DWORD device) { onLineClosed(p, device); });
        providers.push_back(std::move(provider));
        if (providers.size() == 1)
            qAddPostRoutine([] { Telephony::instance().clear(); });
    }

    void clear()
    {
        apps.clear();
        lines.clear();
        calls.clear();
        requests.clear();
        m_queue.clear();
        providers.clear();
    }

    void ensureDispatcher()
    {
        if (!m_dispatcher)
            m_dispatcher = new QObject;
    }

    void post(Message message)
    {
        m_queue.push_back(std::move(message));
        scheduleFlush();
    }

    void scheduleFlush()
    {
        if (m_flushScheduled || !m_dispatcher || m_queue.empty())
            return;
        m_flushScheduled = true;
        QMetaObject::invokeMethod(m_dispatcher, [this] { flush(); }, Qt::QueuedConnection);
    }

    void closeLine(HLINE hLine)
    {
        const auto it = lines.find(hLine);
        if (it == lines.end())
            return;
        std::erase_if(calls, [hLine](const auto& entry) { return entry.second.line == hLine; });
        std::erase_if(requests, [hLine](const auto& entry) { return entry.second.line == hLine; });
        LineProvider* provider = it->second.provider;
        const DWORD device = it->second.device;
        lines.erase(it);
        provider->close(device);
    }

private:
    Telephony() = default;

    // Delivers queued messages in order, one callback at a time: never while a callback is
    // running (a callback that opens a modal loop must not be re-entered) and never during a
    // provider's modal dialog, which is itself called from inside a line function.
    void flush()
    {
        m_flushScheduled = false;
        if (m_delivering || modalDepth > 0)
            return;
        m_delivering = true;
        while (!m_queue.empty() && modalDepth == 0) {
            Message message = std::move(m_queue.front());
            m_queue.pop_front();
            const auto app = apps.find(message.app);
            if (app == apps.end())
                continue;
            const LINECALLBACK callback = app->second.callback;
            if (message.beforeCallback)
                message.beforeCallback();
            callback(message.hDevice, message.message, message.instance, message.param1, message.param2,
                     message.param3);
        }
        m_delivering = false;
        scheduleFlush();
    }

    template <typename F> void forCalls(LineProvider* provider, DWORD device, DWORD callId, F f)
    {
        for (const auto& [hCall, call] : calls) {
            const auto line = lines.find(call.line);
            if (call.callId == callId && line != lines.end() && line->second.provider == provider &&
                line->second.device == device)
                f(hCall, line->second);
        }
    }

    void onNewCall(LineProvider* provider, DWORD device, DWORD callId)
    {
        for (const auto& [hLine, line] : lines) {
            if (line.provider != provider || line.device != device)
                continue;
            const DWORD privilege = (line.privileges & LINECALLPRIVILEGE_OWNER)     ? LINECALLPRIVILEGE_OWNER
                                    : (line.privileges & LINECALLPRIVILEGE_MONITOR) ? LINECALLPRIVILEGE_MONITOR
                                                                                    : 0;
            if (!privilege)
                continue;
            const HCALL hCall = newHandle();
            calls[hCall] = {hLine, callId};
            post({line.app, hLine, LINE_APPNEWCALL, line.instance, 0, hCall, privilege, {}});
        }
    }

    void onRequestCompleted(LineProvider* provider, DWORD requestId, LONG result, DWORD device, DWORD callId)
    {
        const auto it = requests.find(requestId);
        if (it == requests.end())
            return;
        const Request request = it->second;
        requests.erase(it);
        const auto line = lines.find(request.line);
        if (line == lines.end() || line->second.provider != provider || line->second.device != device)
            return;
        std::function<void()> before;
        if (result == 0 && callId != 0 && request.callTarget) {
            const HCALL hCall = newHandle();
            calls[hCall] = {request.line, callId};
            // The caller's handle variable is written when the reply reaches it, and only if
            // the line was not closed meanwhile (closing forgets the target).
            before = [this, hCall, target = request.callTarget] {
                if (calls.count(hCall))
                    *target = hCall;
            };
        }
        post({line->second.app, 0, LINE_REPLY, line->second.instance, requestId, DWORD_PTR(DWORD(result)), 0,
              std::move(before)});
    }

    void onLineClosed(LineProvider* provider, DWORD device)
    {
        for (auto it = lines.begin(); it != lines.end();) {
            if (it->second.provider == provider && it->second.device == device) {
                const HLINE hLine = it->first;
                post({it->second.app, hLine, LINE_CLOSE, it->second.instance, 0, 0, 0, {}});
                std::erase_if(requests, [hLine](const auto& entry) { return entry.second.line == hLine; });
                it = lines.erase(it);
            } else {
                ++it;
            }
        }
    }

    DWORD m_nextHandle = 0x00010001;
    DWORD m_nextRequest = 1;
    std::deque<Message> m_queue;
    QObject* m_dispatcher = nullptr;
    bool m_flushScheduled = false;
    bool m_delivering = false;
};

bool validDeviceClass(LPCSTR deviceClass)
{
    return !deviceClass || !*deviceClass || qstricmp(deviceClass, "tapi/line") == 0;
}

bool versionInRange(const LineDeviceCaps& caps, DWORD version)
{
    return version >= caps.lowVersion && version <= caps.highVersion;
}

} // namespace

void LineProviders::install(std::unique_ptr<LineProvider> provider)
{
    Telephony::instance().install(std::move(provider));
}

void LineProviders::clear()
{
    Telephony::instance().clear();
}

LONG lineInitializeExA(HLINEAPP* lphLineApp, HINSTANCE, LINECALLBACK lpfnCallback, LPCSTR, DWORD* lpdwNumDevs,
                       DWORD* lpdwAPIVersion, LINEINITIALIZEEXPARAMS* params)
{
    if (!lphLineApp || !lpdwNumDevs || !lpdwAPIVersion || !params || !lpfnCallback)
        return LINEERR_INVALPOINTER;
    if (params->dwTotalSize < sizeof(LINEINITIALIZEEXPARAMS))
        return LINEERR_STRUCTURETOOSMALL;
    // Events reach the program only through its event loop.
    if (params->dwOptions != LINEINITIALIZEEXOPTION_USEHIDDENWINDOW)
        return LINEERR_INVALPARAM;
    // lineInitializeEx belongs to version 2.0; an application that speaks less cannot use it.
    if (*lpdwAPIVersion < 0x00020000)
        return LINEERR_INCOMPATIBLEAPIVERSION;
    Telephony& t = Telephony::instance();
    t.ensureDispatcher();
    const HLINEAPP handle = t.newHandle();
    t.apps[handle] = {lpfnCallback};
    *lphLineApp = handle;
    *lpdwNumDevs = t.deviceCount();
    *lpdwAPIVersion = TAPI_CURRENT_VERSION;
    params->dwNeededSize = sizeof(LINEINITIALIZEEXPARAMS);
    params->dwUsedSize = sizeof(LINEINITIALIZEEXPARAMS);
    return 0;
}

LONG lineShutdown(HLINEAPP hLineApp)
{
    Telephony& t = Telephony::instance();
    if (!t.apps.count(hLineApp))
        return LINEERR_INVALAPPHANDLE;
    std::vector<HLINE> open;
    for (const auto& [hLine, line] : t.lines)
        if (line.app == hLineApp)
            open.push_back(hLine);
    for (HLINE hLine : open)
        t.closeLine(hLine);
    t.apps.erase(hLineApp);
    return 0;
}

LONG lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                             DWORD* lpdwAPIVersion, LINEEXTENSIONID* lpExtensionID)
{
    Telephony& t = Telephony::instance();
    LineProvider* provider = nullptr;
    DWORD device = 0;
    if (const LONG error = t.locateForApp(hLineApp, dwDeviceID, &provider, &device))
        return error;
    if (!lpdwAPIVersion || !lpExtensionID)
        return LINEERR_INVALPOINTER;
    const LineDeviceCaps caps = provider->caps(device);
    if (dwAPILowVersion > dwAPIHighVersion || dwAPIHighVersion < caps.lowVersion || dwAPILowVersion > caps.highVersion)
        return LINEERR_INCOMPATIBLEAPIVERSION;
    if (const LONG refused = provider->negotiate(device))
        return refused;
    *lpdwAPIVersion = std::min(dwAPIHighVersion, caps.highVersion);
    *lpExtensionID = {};
    return 0;
}

LONG lineGetDevCapsA(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion, DWORD dwExtVersion,
                     LINEDEVCAPS* lpLineDevCaps)
{
    Telephony& t = Telephony::instance();
    LineProvider* provider = nullptr;
    DWORD device = 0;
    if (const LONG error = t.locateForApp(hLineApp, dwDeviceID, &provider, &device))
        return error;
    const LineDeviceCaps caps = provider->caps(device);
    if (!versionInRange(caps, dwAPIVersion))
        return LINEERR_INCOMPATIBLEAPIVERSION;
    if (dwExtVersion != 0)
        return LINEERR_INCOMPATIBLEEXTVERSION;
    if (!lpLineDevCaps)
        return LINEERR_INVALPOINTER;
    const DWORD total = lpLineDevCaps->dwTotalSize;
    if (total < sizeof(LINEDEVCAPS))
        return LINEERR_STRUCTURETOOSMALL;

    std::memset(lpLineDevCaps, 0, sizeof(LINEDEVCAPS));
    LINEDEVCAPS& d = *lpLineDevCaps;
    d.dwTotalSize = total;
    d.dwPermanentLineID = caps.permanentLineId;
    d.dwStringFormat = caps.stringFormat;
    d.dwAddressModes = caps.addressModes;
    d.dwNumAddresses = caps.numAddresses;
    d.dwBearerModes = caps.bearerModes;
    d.dwMaxRate = caps.maxRate;
    d.dwMediaModes = caps.mediaModes;
    d.dwGenerateToneModes = caps.generateToneModes;
    d.dwGenerateToneMaxNumFreq = caps.generateToneMaxNumFreq;
    d.dwMaxNumActiveCalls = 1;
    d.dwRingModes = 1;
    d.dwLineStates = LINEDEVSTATE_RINGING;
    d.dwNumTerminals = caps.numTerminals;
    VariablePart texts(lpLineDevCaps, total, sizeof(LINEDEVCAPS));
    texts.add(caps.providerInfo, &d.dwProviderInfoSize, &d.dwProviderInfoOffset);
    texts.add(caps.switchInfo, &d.dwSwitchInfoSize, &d.dwSwitchInfoOffset);
    texts.add(caps.lineName, &d.dwLineNameSize, &d.dwLineNameOffset);
    d.dwUsedSize = texts.used();
    d.dwNeededSize = texts.needed();
    return 0;
}

LONG lineOpenA(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE* lphLine, DWORD dwAPIVersion, DWORD dwExtVersion,
               DWORD_PTR dwCallbackInstance, DWORD dwPrivileges, DWORD dwMediaModes,
               const LINECALLPARAMS* lpCallParams)
{
    Telephony& t = Telephony::instance();
    LineProvider* provider = nullptr;
    DWORD device = 0;
    if (const LONG error = t.locateForApp(hLineApp, dwDeviceID, &provider, &device))
        return error;
    if (!lphLine)
        return LINEERR_INVALPOINTER;
    const LineDeviceCaps caps = provider->caps(device);
    if (!versionInRange(caps, dwAPIVersion))
        return LINEERR_INCOMPATIBLEAPIVERSION;
    if (dwExtVersion != 0)
        return LINEERR_INCOMPATIBLEEXTVERSION;
    if (lpCallParams)
        return LINEERR_INVALCALLPARAMS;
    const DWORD monitorOrOwner = LINECALLPRIVILEGE_MONITOR | LINECALLPRIVILEGE_OWNER;
    if (dwPrivileges != LINECALLPRIVILEGE_NONE && (dwPrivileges == 0 || (dwPrivileges & ~monitorOrOwner)))
        return LINEERR_INVALCALLPRIVILEGE;
    // An owner takes the incoming calls of the media modes it names; the device must know them.
    if ((dwPrivileges & LINECALLPRIVILEGE_OWNER) && (dwMediaModes == 0 || (dwMediaModes & ~caps.mediaModes)))
        return LINEERR_INVALMEDIAMODE;
    if (const LONG refused = provider->open(device))
        return refused;
    const HLINE hLine = t.newHandle();
    t.lines[hLine] = {hLineApp, provider, device, dwDeviceID, dwPrivileges, dwCallbackInstance};
    *lphLine = hLine;
    return 0;
}

LONG lineClose(HLINE hLine)
{
    Telephony& t = Telephony::instance();
    if (!t.lines.count(hLine))
        return LINEERR_INVALLINEHANDLE;
    t.closeLine(hLine);
    return 0;
}

LONG lineMakeCallA(HLINE hLine, HCALL* lphCall, LPCSTR lpszDestAddress, DWORD, const LINECALLPARAMS* lpCallParams)
{
    Telephony& t = Telephony::instance();
    const auto line = t.lines.find(hLine);
    if (line == t.lines.end())
        return LINEERR_INVALLINEHANDLE;
    if (!lphCall)
        return LINEERR_INVALPOINTER;
    if (lpCallParams)
        return LINEERR_INVALCALLPARAMS;
    const DWORD requestId = t.newRequestId();
    t.requests[requestId] = {hLine, lphCall};
    const LONG refused =
        line->second.provider->makeCall(line->second.device, requestId, QByteArray(lpszDestAddress ? lpszDestAddress : ""));
    if (refused) {
        t.requests.erase(requestId);
        return refused;
    }
    return LONG(requestId);
}

namespace {
enum class Ending
{
    Drop,
    Decline
};

LONG endCall(HCALL hCall, Ending ending)
{
    Telephony& t = Telephony::instance();
    const auto call = t.calls.find(hCall);
    if (call == t.calls.end())
        return LINEERR_INVALCALLHANDLE;
    const auto owner = t.lines.find(call->second.line);
    // The device closed the line; the call is gone and only its handle waits to be deallocated.
    if (owner == t.lines.end())
        return LINEERR_INVALCALLSTATE;
    const Line& line = owner->second;
    if (!(line.privileges & LINECALLPRIVILEGE_OWNER))
        return LINEERR_NOTOWNER;
    const DWORD requestId = t.newRequestId();
    t.requests[requestId] = {call->second.line, nullptr};
    const LONG refused = ending == Ending::Decline ? line.provider->decline(line.device, call->second.callId, requestId)
                                                   : line.provider->drop(line.device, call->second.callId, requestId);
    if (refused) {
        t.requests.erase(requestId);
        return refused;
    }
    return LONG(requestId);
}
} // namespace

LONG lineDrop(HCALL hCall, LPCSTR, DWORD)
{
    return endCall(hCall, Ending::Drop);
}

LONG lineDecline(HCALL hCall)
{
    return endCall(hCall, Ending::Decline);
}

LONG lineDeallocateCall(HCALL hCall)
{
    Telephony& t = Telephony::instance();
    return t.calls.erase(hCall) ? 0 : LINEERR_INVALCALLHANDLE;
}

LONG lineGetCallInfoA(HCALL hCall, LINECALLINFO* lpCallInfo)
{
    Telephony& t = Telephony::instance();
    const auto call = t.calls.find(hCall);
    if (call == t.calls.end())
        return LINEERR_INVALCALLHANDLE;
    if (!lpCallInfo)
        return LINEERR_INVALPOINTER;
    const DWORD total = lpCallInfo->dwTotalSize;
    if (total < sizeof(LINECALLINFO))
        return LINEERR_STRUCTURETOOSMALL;
    const auto owner = t.lines.find(call->second.line);
    if (owner == t.lines.end())
        return LINEERR_OPERATIONFAILED;
    const Line& line = owner->second;
    LineCallData data;
    if (!line.provider->callData(line.device, call->second.callId, &data))
        return LINEERR_OPERATIONFAILED;

    std::memset(lpCallInfo, 0, sizeof(LINECALLINFO));
    LINECALLINFO& c = *lpCallInfo;
    c.dwTotalSize = total;
    c.hLine = call->second.line;
    c.dwLineDeviceID = line.deviceId;
    c.dwBearerMode = LINEBEARERMODE_VOICE;
    c.dwMediaMode = LINEMEDIAMODE_INTERACTIVEVOICE;
    c.dwCallID = call->second.callId;
    c.dwCallStates = data.state;
    c.dwOrigin = data.origin;
    c.dwNumOwners = (line.privileges & LINECALLPRIVILEGE_OWNER) ? 1 : 0;
    c.dwNumMonitors = (line.privileges & LINECALLPRIVILEGE_OWNER) ? 0 : 1;
    c.dwCallerIDFlags = data.callerId.isEmpty() ? LINECALLPARTYID_UNKNOWN : LINECALLPARTYID_ADDRESS;
    if (!data.callerName.isEmpty())
        c.dwCallerIDFlags |= LINECALLPARTYID_NAME;
    c.dwCalledIDFlags = data.calledId.isEmpty() ? LINECALLPARTYID_UNKNOWN : LINECALLPARTYID_ADDRESS;
    VariablePart texts(lpCallInfo, total, sizeof(LINECALLINFO));
    texts.add(data.callerId, &c.dwCallerIDSize, &c.dwCallerIDOffset);
    texts.add(data.callerName, &c.dwCallerIDNameSize, &c.dwCallerIDNameOffset);
    texts.add(data.calledId, &c.dwCalledIDSize, &c.dwCalledIDOffset);
    c.dwUsedSize = texts.used();
    c.dwNeededSize = texts.needed();
    return 0;
}

LONG lineConfigDialogA(DWORD dwDeviceID, HWND hwndOwner, LPCSTR lpszDeviceClass)
{
    Telephony& t = Telephony::instance();
    LineProvider* provider = nullptr;
    DWORD device = 0;
    if (!t.locate(dwDeviceID, &provider, &device))
        return LINEERR_BADDEVICEID;
    if (!validDeviceClass(lpszDeviceClass))
        return LINEERR_INVALDEVICECLASS;
    ++t.modalDepth;
    const LONG result = provider->configDialog(device, hwndOwner);
    --t.modalDepth;
    t.scheduleFlush();
    return result;
}

LONG lineGetIconA(DWORD dwDeviceID, LPCSTR lpszDeviceClass, HICON* lphIcon)
{
    Telephony& t = Telephony::instance();
    if (!lphIcon)
        return LINEERR_INVALPOINTER;
    LineProvider* provider = nullptr;
    DWORD device = 0;
    if (!t.locate(dwDeviceID, &provider, &device))
        return LINEERR_BADDEVICEID;
    if (!validDeviceClass(lpszDeviceClass))
        return LINEERR_INVALDEVICECLASS;
    QImage icon = provider->icon(device);
    if (icon.isNull())
        icon = defaultLineIcon();
    QImage& stored = t.icons[dwDeviceID];
    stored = icon;
    *lphIcon = &stored;
    return 0;
}
