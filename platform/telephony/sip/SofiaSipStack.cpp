#include "platform/telephony/sip/SofiaSipStack.h"

#include "platform/telephony/TelephoneNumber.h"

#include <sofia-sip/msg_addr.h>
#include <sofia-sip/msg_header.h>
#include <sofia-sip/nua.h>
#include <sofia-sip/sip_extra.h>
#include <sofia-sip/sip_header.h>
#include <sofia-sip/sip_status.h>
#include <sofia-sip/su.h>
#include <sofia-sip/su_log.h>
#include <sofia-sip/su_tag_io.h>
#include <sofia-sip/su_wait.h>

#include <QHostInfo>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

struct SofiaSipStack::Event
{
    nua_event_t event;
    int status;
    const char* phrase;
    nua_t* nua;
    nua_handle_t* nh;
    const sip_t* sip;
    tagi_t* tags;
};

// sofia-sip's own messages (transport errors, retransmissions) are for the developer:
// QT_LOGGING_RULES="vornx.sip.debug=true" shows them.
Q_LOGGING_CATEGORY(lcSip, "vornx.sip", QtWarningMsg)

namespace {

void sofiaLog(void*, char const* format, va_list arguments)
{
    qCDebug(lcSip).noquote() << QString::vasprintf(format, arguments).trimmed();
}

// sofia-sip runs inside our event loop: a short timer steps its root, which works whatever
// event dispatcher Qt uses. SIP's own timers are hundreds of milliseconds, so 10 ms of
// delay is not noticed.
constexpr int kPumpIntervalMs = 10;

// No audio is offered; the session description only keeps peers that insist on one happy.
constexpr char kInactiveSdp[] = "v=0\r\n"
                                "o=vornx 1 1 IN IP4 0.0.0.0\r\n"
                                "s=-\r\n"
                                "c=IN IP4 0.0.0.0\r\n"
                                "t=0 0\r\n"
                                "m=audio 9 RTP/AVP 0\r\n"
                                "a=inactive\r\n";

void nuaCallback(nua_event_t event, int status, char const* phrase, nua_t* nua, nua_magic_t* magic,
                 nua_handle_t* nh, nua_hmagic_t*, sip_t const* sip, tagi_t tags[])
{
    static_cast<SofiaSipStack*>(magic)->handle({event, status, phrase, nua, nh, sip, tags});
}

QByteArray userOf(const url_t* url)
{
    return url && url->url_user ? QByteArray(url->url_user) : QByteArray();
}

// The caller as the network asserts it, else as the caller's own device claims it. The
// asserted identity is only worth something when it comes from the network we trust: any
// other sender could write any number into it.
void takeCaller(const sip_t* sip, bool trusted, LineCallData* data)
{
    const sip_p_asserted_identity_t* paid = trusted ? sip_p_asserted_identity(sip) : nullptr;
    const sip_remote_party_id_t* rpid = trusted ? sip_remote_party_id(sip) : nullptr;
    if (paid && userOf(paid->paid_url).size()) {
        data->callerId = userOf(paid->paid_url);
        data->callerName = paid->paid_display ? QByteArray(paid->paid_display) : QByteArray();
    } else if (rpid && userOf(rpid->rpid_url).size()) {
        data->callerId = userOf(rpid->rpid_url);
        data->callerName = rpid->rpid_display ? QByteArray(rpid->rpid_display) : QByteArray();
    } else if (sip->sip_from) {
        data->callerId = userOf(sip->sip_from->a_url);
        data->callerName = sip->sip_from->a_display ? QByteArray(sip->sip_from->a_display) : QByteArray();
    }
    // A SIP user part is often a user name ("alice2"): only a telephone number is a number.
    data->callerId = TelephoneNumber::callerNumber(data->callerId);
    // Display names may come quoted.
    if (data->callerName.size() >= 2 && data->callerName.startsWith('"') && data->callerName.endsWith('"'))
        data->callerName = data->callerName.mid(1, data->callerName.size() - 2);
    if (sip->sip_to)
        data->calledId = userOf(sip->sip_to->a_url);
}

LONG errorOf(int status)
{
    switch (status) {
    case 404: case 410: case 484: case 604: return LINEERR_INVALADDRESS;
    case 486: case 600: case 603: return LINEERR_CALLUNAVAIL;
    default: return LINEERR_OPERATIONFAILED;
    }
}

// Host and port of "sip:user@host:port;params", "host", "[v6]:port".
QPair<QString, quint16> hostPortOf(const QString& uri)
{
    QString rest = uri.trimmed();
    for (const QLatin1String scheme : {QLatin1String("sips:"), QLatin1String("sip:")})
        if (rest.startsWith(scheme, Qt::CaseInsensitive))
            rest = rest.mid(scheme.size());
    rest = rest.section(QLatin1Char(';'), 0, 0).section(QLatin1Char('?'), 0, 0);
    if (const int at = rest.lastIndexOf(QLatin1Char('@')); at >= 0)
        rest = rest.mid(at + 1);
    QString host = rest;
    QString port;
    if (rest.startsWith(QLatin1Char('['))) {
        const int end = rest.indexOf(QLatin1Char(']'));
        host = rest.mid(1, end - 1);
        if (end >= 0 && rest.mid(end + 1).startsWith(QLatin1Char(':')))
            port = rest.mid(end + 2);
    } else if (rest.count(QLatin1Char(':')) == 1) {
        host = rest.section(QLatin1Char(':'), 0, 0);
        port = rest.section(QLatin1Char(':'), 1);
    }
    const quint16 number = port.toUShort();
    return {host, quint16(number ? number : 5060)};
}

// The local address the system would send from to reach the peer; a connected datagram
// socket asks the routing table without sending anything.
QHostAddress routeTo(const QHostAddress& peer, quint16 port)
{
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (peer.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&storage);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr.s_addr = htonl(peer.toIPv4Address());
        length = sizeof(sockaddr_in);
    } else {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = peer.toIPv6Address();
        std::copy(std::begin(bytes.c), std::end(bytes.c), in6->sin6_addr.s6_addr);
        length = sizeof(sockaddr_in6);
    }
    const int fd = ::socket(storage.ss_family, SOCK_DGRAM, 0);
    if (fd < 0)
        return {};
    QHostAddress local;
    sockaddr_storage own{};
    socklen_t ownLength = sizeof own;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &ownLength) == 0)
        local = QHostAddress(reinterpret_cast<sockaddr*>(&own));
    ::close(fd);
    return local;
}

QString uriHost(const QString& address)
{
    return address.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(address) : address;
}

} // namespace

SofiaSipStack::SofiaSipStack(SipStackListener& listener) : m_listener(listener), m_pump(new QTimer(this))
{
    m_pump->setInterval(kPumpIntervalMs);
    connect(m_pump, &QTimer::timeout, this, [this] { su_root_step(m_root, 0); });
}

SofiaSipStack::~SofiaSipStack()
{
    for (auto& [device, agent] : m_agents)
        stop(device);
    if (m_root) {
        su_root_destroy(m_root);
        su_deinit();
    }
}

su_root_s* SofiaSipStack::root()
{
    if (!m_root) {
        su_init();
        su_log_redirect(nullptr, sofiaLog, nullptr);
        // P-Asserted-Identity and Remote-Party-ID are parsed only once the parser knows them.
        sip_update_default_mclass(sip_extend_mclass(nullptr));
        m_root = su_root_create(nullptr);
    }
    return m_root;
}

SofiaSipStack::Agent* SofiaSipStack::agent(DWORD device)
{
    const auto it = m_agents.find(device);
    return it == m_agents.end() ? nullptr : &it->second;
}

const SofiaSipStack::Agent* SofiaSipStack::agent(DWORD device) const
{
    const auto it = m_agents.find(device);
    return it == m_agents.end() ? nullptr : &it->second;
}

int SofiaSipStack::deviceOf(const nua_t* nua) const
{
    for (const auto& [device, a] : m_agents)
        if (a.nua == nua)
            return int(device);
    return -1;
}

void SofiaSipStack::start(DWORD device, const SipAccount& account, int retryMs)
{
    stop(device);
    Agent& a = m_agents[device];
    a.account = account;
    a.retryMs = retryMs;
    a.peers.clear();
    a.peersKnown = false;
    if (account.listenOnly) {
        for (const QString& peer : account.allowedPeers)
            if (const QHostAddress address(peer); !address.isNull())
                a.peers.append(address);
        a.peersKnown = !a.peers.isEmpty();
        createAgent(device, account.localAddress.isEmpty() ? QStringLiteral("127.0.0.1") : account.localAddress);
        return;
    }
    m_listener.reportRegistration(device, SipRegistration::Unregistered, {}, 0);
    lookUpRegistrar(device);
}

// Calls are taken from the registrar only; its name is looked up in the background so
// that a slow name server does not stop the window.
void SofiaSipStack::lookUpRegistrar(DWORD device)
{
    Agent& a = m_agents.at(device);
    const auto [host, port] = hostPortOf(a.account.registrarAddress());
    const int generation = a.generation;
    QHostInfo::lookupHost(host, this, [this, device, generation, host = host, port = port](const QHostInfo& info) {
        Agent* a = agent(device);
        if (!a || a->generation != generation)
            return;
        a->peers = info.addresses();
        a->peersKnown = !a->peers.isEmpty();
        if (a->peers.isEmpty()) {
            m_listener.reportRegistration(device, SipRegistration::Unresolved, host, 0);
            // Tried again later: the name server or the network may be back by then.
            QTimer::singleShot(a->retryMs, this, [this, device, generation] {
                Agent* a = agent(device);
                if (!a || a->generation != generation || a->nua)
                    return;
                ++a->generation;
                m_listener.reportRegistration(device, SipRegistration::Unregistered, {}, 0);
                lookUpRegistrar(device);
            });
            return;
        }
        QString bind = a->account.localAddress;
        if (bind.isEmpty())
            bind = routeTo(a->peers.first(), port).toString();
        if (bind.isEmpty())
            bind = QStringLiteral("0.0.0.0");
        createAgent(device, bind);
    });
}

void SofiaSipStack::createAgent(DWORD device, const QString& bindAddress)
{
    Agent& a = m_agents.at(device);
    const QByteArray url = QStringLiteral("sip:%1:%2;transport=%3")
                               .arg(uriHost(bindAddress))
                               .arg(a.account.localPort)
                               .arg(a.account.transport)
                               .toUtf8();
    const QByteArray from = a.account.address().toUtf8();
    const QByteArray proxy = a.account.registrarAddress().toUtf8();
    a.nua = nua_create(root(), nuaCallback, this, NUTAG_URL(url.constData()), SIPTAG_FROM_STR(from.constData()),
                       NUTAG_MEDIA_ENABLE(0), NUTAG_AUTOALERT(0), NUTAG_AUTOANSWER(0),
                       TAG_IF(!a.account.listenOnly, NUTAG_PROXY(proxy.constData())), TAG_END());
    if (!a.nua) {
        m_listener.reportRegistration(device, SipRegistration::PortUnusable, bindAddress, a.account.localPort);
        return;
    }
    // The timer runs only while some account is active.
    m_pump->start();
    if (a.account.listenOnly) {
        m_listener.reportRegistration(device, SipRegistration::ListenOnly, {}, 0);
        return;
    }
    a.retry = new QTimer(this);
    a.retry->setSingleShot(true);
    a.retry->setInterval(a.retryMs);
    connect(a.retry, &QTimer::timeout, this, [this, device] { registerAccount(device); });
    registerAccount(device);
}

bool SofiaSipStack::fromKnownPeer(const Agent& a, const QHostAddress& source) const
{
    return std::any_of(a.peers.begin(), a.peers.end(), [&source](const QHostAddress& peer) {
        return peer.isEqual(source, QHostAddress::TolerantConversion);
    });
}

void SofiaSipStack::registerAccount(DWORD device)
{
    Agent& a = m_agents.at(device);
    if (!a.nua)
        return;
    if (a.registration_handle)
        nua_handle_destroy(a.registration_handle);
    const QByteArray to = a.account.address().toUtf8();
    const QByteArray registrar = a.account.registrarAddress().toUtf8();
    const QByteArray user = a.account.user.toUtf8();
    a.authAttempts = 0;
    a.registration_handle = nua_handle(a.nua, nullptr, SIPTAG_TO_STR(to.constData()), TAG_END());
    nua_register(a.registration_handle, NUTAG_M_USERNAME(user.constData()), NUTAG_REGISTRAR(registrar.constData()),
                 TAG_END());
}

void SofiaSipStack::stop(DWORD device)
{
    Agent* a = agent(device);
    if (!a)
        return;
    ++a->generation;
    endCall(device, true);
    delete a->retry;
    a->retry = nullptr;
    if (!a->nua)
        return;
    if (a->registration_handle)
        nua_unregister(a->registration_handle, TAG_END());
    nua_shutdown(a->nua);
    // Give the unregistration and the shutdown a moment; sofia-sip answers nua_r_shutdown.
    for (int i = 0; i < 100 && a->nua; ++i)
        su_root_step(m_root, 10);
    if (a->nua) {
        nua_destroy(a->nua);
        a->nua = nullptr;
    }
    a->registration_handle = nullptr;
    if (std::none_of(m_agents.begin(), m_agents.end(), [](const auto& other) { return other.second.nua; }))
        m_pump->stop();
}

bool SofiaSipStack::authenticate(Agent& a, nua_handle_t* nh, const void* message)
{
    const auto* sip = static_cast<const sip_t*>(message);
    const msg_auth_t* challenge =
        sip->sip_www_authenticate ? sip->sip_www_authenticate : sip->sip_proxy_authenticate;
    if (!challenge || a.account.user.isEmpty())
        return false;
    const char* realm = msg_params_find(challenge->au_params, "realm=");
    const QByteArray credentials = QStringLiteral("%1:%2:%3:%4")
                                       .arg(QString::fromLatin1(challenge->au_scheme),
                                            QString::fromUtf8(realm ? realm : "\"\""), a.account.user,
                                            a.account.password)
                                       .toUtf8();
    nua_authenticate(nh, NUTAG_AUTH(credentials.constData()), TAG_END());
    return true;
}

void SofiaSipStack::endCall(DWORD device, bool notify)
{
    Agent& a = m_agents.at(device);
    if (!a.callId)
        return;
    if (a.call)
        nua_handle_destroy(a.call);
    a.call = nullptr;
    const bool wasActive = a.data.state != LINECALLSTATE_IDLE;
    a.data.state = LINECALLSTATE_IDLE;
    a.connected = false;
    if (a.pendingRequest) {
        m_listener.reportRequestCompleted(a.pendingRequest, LINEERR_OPERATIONFAILED, device, 0);
        a.pendingRequest = 0;
    }
    if (notify && wasActive)
        m_listener.reportCallState(device, a.callId, LINECALLSTATE_IDLE, 0);
}

void SofiaSipStack::handle(const Event& e)
{
    const int index = deviceOf(e.nua);
    if (e.event == nua_r_shutdown) {
        if (index >= 0 && e.status >= 200) {
            nua_destroy(e.nua);
            m_agents.at(DWORD(index)).nua = nullptr;
        }
        return;
    }
    if (index < 0)
        return;
    const DWORD device = DWORD(index);
    Agent& a = m_agents.at(device);

    switch (e.event) {
    case nua_r_register:
        if (e.status < 200)
            break;
        if (e.status == 200) {
            m_listener.reportRegistration(device, SipRegistration::Registered, {}, 0);
        } else if ((e.status == 401 || e.status == 407) && a.authAttempts++ < 2 && authenticate(a, e.nh, e.sip)) {
            break;
        } else {
            m_listener.reportRegistration(device, SipRegistration::Failed, QString::fromUtf8(e.phrase), e.status);
            if (a.retry)
                a.retry->start();
        }
        break;

    case nua_i_invite: {
        QHostAddress source;
        if (msg_t* request = nua_current_request(e.nua))
            if (const su_addrinfo_t* ai = msg_addrinfo(request); ai && ai->ai_addr)
                source = QHostAddress(reinterpret_cast<const sockaddr*>(ai->ai_addr));
        const bool known = a.peersKnown && fromKnownPeer(a, source);
        // With a registrar, or with named peers, nobody else may ring the line: on a shared
        // network anyone could otherwise put any "caller" on the screen.
        if (!known && (!a.account.listenOnly || a.peersKnown)) {
            nua_respond(e.nh, SIP_403_FORBIDDEN, TAG_END());
            qCWarning(lcSip).noquote() << "call from" << source.toString() << "refused";
            m_listener.reportRefusedCall(device);
            break;
        }
        // Nobody watches the line: a call held as offering would never be taken, and would
        // turn every later call away as busy until its caller gave up.
        if (!m_listener.isWatched(device)) {
            nua_respond(e.nh, SIP_480_TEMPORARILY_UNAVAILABLE, TAG_END());
            break;
        }
        // One call at a time; the handle goes when its transaction is over (below).
        if (a.callId && a.data.state != LINECALLSTATE_IDLE) {
            nua_respond(e.nh, SIP_486_BUSY_HERE, TAG_END());
            break;
        }
        a.callId = m_nextCallId++;
        a.call = e.nh;
        a.connected = false;
        a.data = LineCallData{};
        a.data.origin = LINECALLORIGIN_INBOUND;
        a.data.state = LINECALLSTATE_OFFERING;
        takeCaller(e.sip, known, &a.data);
        nua_respond(e.nh, SIP_180_RINGING, TAG_END());
        m_listener.reportNewCall(device, a.callId);
        m_listener.reportCallState(device, a.callId, LINECALLSTATE_OFFERING, 0);
        if (!a.data.callerId.isEmpty() || !a.data.callerName.isEmpty())
            m_listener.reportCallInfo(device, a.callId, LINECALLINFOSTATE_CALLERID);
        break;
    }

    case nua_r_invite:
        if (e.nh != a.call)
            break;
        if ((e.status == 401 || e.status == 407) && a.callAuthAttempts++ < 2 && authenticate(a, e.nh, e.sip))
            break;
        if (e.status > 100 && e.status < 300 && a.pendingRequest) {
            m_listener.reportRequestCompleted(a.pendingRequest, 0, device, a.callId);
            a.pendingRequest = 0;
            m_listener.reportCallState(device, a.callId, LINECALLSTATE_PROCEEDING, 0);
        }
        if (e.status == 180 || e.status == 183) {
            a.data.state = LINECALLSTATE_RINGBACK;
            m_listener.reportCallState(device, a.callId, LINECALLSTATE_RINGBACK, 0);
        } else if (e.status >= 300 && a.pendingRequest) {
            m_listener.reportRequestCompleted(a.pendingRequest, errorOf(e.status), device, 0);
            a.pendingRequest = 0;
            a.data.state = LINECALLSTATE_IDLE;
        }
        break;

    case nua_i_state: {
        int state = nua_callstate_init;
        tl_gets(e.tags, NUTAG_CALLSTATE_REF(state), TAG_END());
        if (e.nh != a.call) {
            // A call turned away or dropped earlier has finished its last transaction.
            if (state == nua_callstate_terminated && e.nh != a.registration_handle)
                nua_handle_destroy(e.nh);
            break;
        }
        if (state == nua_callstate_ready && !a.connected) {
            a.connected = true;
            a.data.state = LINECALLSTATE_CONNECTED;
            m_listener.reportCallState(device, a.callId, LINECALLSTATE_CONNECTED, 0);
        } else if (state == nua_callstate_terminated) {
            // CANCEL, BYE or a final refusal: the far end is gone, then the call is over.
            if (a.data.state != LINECALLSTATE_IDLE) {
                a.data.state = LINECALLSTATE_DISCONNECTED;
                m_listener.reportCallState(device, a.callId, LINECALLSTATE_DISCONNECTED,
                                            LINEDISCONNECTMODE_NORMAL);
            }
            endCall(device, true);
        }
        break;
    }

    default:
        break;
    }
}

LONG SofiaSipStack::makeCall(DWORD device, DWORD requestId, const QByteArray& number)
{
    Agent* a = agent(device);
    if (!a || !a->nua)
        return LINEERR_RESOURCEUNAVAIL;
    if (a->callId && a->data.state != LINECALLSTATE_IDLE)
        return LINEERR_CALLUNAVAIL;
    if (number.isEmpty() || number.contains('@') || number.contains(' '))
        return LINEERR_INVALADDRESS;
    const QByteArray to = QStringLiteral("sip:%1@%2")
                              .arg(QString::fromUtf8(number), a->account.domain.isEmpty()
                                                                  ? QStringLiteral("localhost")
                                                                  : a->account.domain)
                              .toUtf8();
    a->callId = m_nextCallId++;
    a->data = LineCallData{};
    a->data.origin = LINECALLORIGIN_OUTBOUND;
    a->data.calledId = number;
    a->data.state = LINECALLSTATE_DIALING;
    a->connected = false;
    a->pendingRequest = requestId;
    a->callAuthAttempts = 0;
    a->call = nua_handle(a->nua, nullptr, SIPTAG_TO_STR(to.constData()), TAG_END());
    nua_invite(a->call, SIPTAG_CONTENT_TYPE_STR("application/sdp"), SIPTAG_PAYLOAD_STR(kInactiveSdp), TAG_END());
    return 0;
}

LONG SofiaSipStack::drop(DWORD device, DWORD callId, DWORD requestId)
{
    return endCallWith(device, callId, requestId, 486);
}

LONG SofiaSipStack::decline(DWORD device, DWORD callId, DWORD requestId)
{
    return endCallWith(device, callId, requestId, 603);
}

// A ringing incoming call is answered with inboundStatus (486 or 603), a connected one ends
// with BYE and an outgoing one not yet answered with CANCEL.
LONG SofiaSipStack::endCallWith(DWORD device, DWORD callId, DWORD requestId, int inboundStatus)
{
    Agent* a = agent(device);
    if (!a || a->callId != callId || a->data.state == LINECALLSTATE_IDLE || !a->call)
        return LINEERR_INVALCALLSTATE;
    if (a->connected)
        nua_bye(a->call, TAG_END());
    else if (a->data.origin == LINECALLORIGIN_INBOUND && inboundStatus == 603)
        nua_respond(a->call, SIP_603_DECLINE, TAG_END());
    else if (a->data.origin == LINECALLORIGIN_INBOUND)
        nua_respond(a->call, SIP_486_BUSY_HERE, TAG_END());
    else
        nua_cancel(a->call, TAG_END());
    // The handle stays with sofia-sip until the transaction ends; the call is over for us.
    a->call = nullptr;
    m_listener.reportRequestCompleted(requestId, 0, device, 0);
    endCall(device, true);
    return 0;
}

bool SofiaSipStack::callData(DWORD device, DWORD callId, LineCallData* data) const
{
    const Agent* a = agent(device);
    if (!a || a->callId != callId)
        return false;
    *data = a->data;
    return true;
}
