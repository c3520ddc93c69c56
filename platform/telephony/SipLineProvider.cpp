#include "platform/telephony/SipLineProvider.h"

#include <sofia-sip/msg_addr.h>
#include "platform/telephony/TelephoneNumber.h"

#include <sofia-sip/msg_header.h>
#include <sofia-sip/nua.h>
#include <sofia-sip/sip_extra.h>
#include <sofia-sip/sip_header.h>
#include <sofia-sip/sip_status.h>
#include <sofia-sip/su.h>
#include <sofia-sip/su_log.h>
#include <sofia-sip/su_tag_io.h>
#include <sofia-sip/su_wait.h>

#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

struct SipLineProvider::Event
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
    static_cast<SipLineProvider*>(magic)->handle({event, status, phrase, nua, nh, sip, tags});
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

QString registrarOf(const SipAccount& a)
{
    return a.registrar.isEmpty() ? QStringLiteral("sip:") + a.domain : a.registrar;
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

QString SipAccount::address() const
{
    return QStringLiteral("sip:%1@%2").arg(user.isEmpty() ? QStringLiteral("vornx") : user,
                                           domain.isEmpty() ? QStringLiteral("localhost") : domain);
}

SipLineProvider::SipLineProvider(QString configFile, QObject* parent)
    : LineProvider(parent), m_configFile(std::move(configFile)), m_pump(new QTimer(this))
{
    m_pump->setInterval(kPumpIntervalMs);
    connect(m_pump, &QTimer::timeout, this, [this] { su_root_step(m_root, 0); });
}

SipLineProvider::~SipLineProvider()
{
    for (DWORD i = 0; i < m_devices.size(); ++i)
        stop(i);
    if (m_root) {
        su_root_destroy(m_root);
        su_deinit();
    }
}

su_root_s* SipLineProvider::root()
{
    // The SIP stack starts with the first account that goes on line: the line is always
    // installed, and most desks never have an account.
    if (!m_root) {
        su_init();
        su_log_redirect(nullptr, sofiaLog, nullptr);
        // P-Asserted-Identity and Remote-Party-ID are parsed only once the parser knows them.
        sip_update_default_mclass(sip_extend_mclass(nullptr));
        m_root = su_root_create(nullptr);
    }
    return m_root;
}

bool SipLineProvider::load(QString* error)
{
    for (DWORD i = 0; i < m_devices.size(); ++i)
        stop(i);
    m_devices.clear();
    QFile file(m_configFile);
    QString problem;
    QJsonArray accounts;
    const QFileInfo info(m_configFile);
    if (info.exists() && !info.isFile()) {
        problem = tr("不是普通文件");
    } else if (info.exists() && info.size() > kMaxFileSize) {
        problem = tr("文件过大（%1 字节，最多 %2 字节）").arg(info.size()).arg(kMaxFileSize);
    } else if (file.exists()) {
        QJsonParseError parseError;
        // The size is checked again on the open file: it may have grown since.
        const QJsonDocument document = file.open(QIODevice::ReadOnly)
                                           ? QJsonDocument::fromJson(file.read(kMaxFileSize + 1), &parseError)
                                           : QJsonDocument();
        if (!file.isOpen())
            problem = file.errorString();
        else if (file.size() > kMaxFileSize)
            problem = tr("文件过大（%1 字节，最多 %2 字节）").arg(file.size()).arg(kMaxFileSize);
        else if (parseError.error != QJsonParseError::NoError)
            problem = parseError.errorString();
        else if (!document.object().value(QLatin1String("accounts")).isArray())
            problem = QStringLiteral("no \"accounts\" list");
        else
            accounts = document.object().value(QLatin1String("accounts")).toArray();
    }
    if (accounts.size() > kMaxAccounts)
        problem = tr("accounts: %1 个账号，最多 %2 个").arg(accounts.size()).arg(kMaxAccounts);
    for (const QJsonValue& v : problem.isEmpty() ? accounts : QJsonArray()) {
        const QJsonObject o = v.toObject();
        Device d;
        d.account.user = o.value(QLatin1String("user")).toString();
        d.account.domain = o.value(QLatin1String("domain")).toString();
        d.account.password = o.value(QLatin1String("password")).toString();
        d.account.registrar = o.value(QLatin1String("registrar")).toString();
        d.account.transport = o.value(QLatin1String("transport")).toString(QStringLiteral("udp")).toLower();
        d.account.localPort = o.value(QLatin1String("localPort")).toInt(5060);
        d.account.listenOnly = o.value(QLatin1String("listenOnly")).toBool(false);
        d.account.localAddress = o.value(QLatin1String("localAddress")).toString().trimmed();
        for (const QJsonValue& peer : o.value(QLatin1String("allowedPeers")).toArray())
            d.account.allowedPeers.append(peer.toString().trimmed());
        if (!d.account.localAddress.isEmpty() && QHostAddress(d.account.localAddress).isNull()) {
            problem = QStringLiteral("localAddress \"%1\" is not an IP address").arg(d.account.localAddress);
            break;
        }
        if (d.account.transport != QLatin1String("udp") && d.account.transport != QLatin1String("tcp")) {
            problem = QStringLiteral("transport \"%1\" is neither udp nor tcp").arg(d.account.transport);
            break;
        }
        m_devices.push_back(d);
    }
    if (!problem.isEmpty()) {
        m_devices.clear();
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_configFile, problem);
    }
    if (m_devices.empty())
        m_devices.push_back(Device{});
    for (DWORD i = 0; i < m_devices.size(); ++i)
        start(i);
    return problem.isEmpty();
}

bool SipLineProvider::save(QString* error) const
{
    QJsonArray accounts;
    for (const Device& d : m_devices) {
        QJsonObject o;
        o.insert(QLatin1String("user"), d.account.user);
        o.insert(QLatin1String("domain"), d.account.domain);
        o.insert(QLatin1String("password"), d.account.password);
        o.insert(QLatin1String("registrar"), d.account.registrar);
        o.insert(QLatin1String("transport"), d.account.transport);
        o.insert(QLatin1String("localPort"), d.account.localPort);
        o.insert(QLatin1String("listenOnly"), d.account.listenOnly);
        if (!d.account.localAddress.isEmpty())
            o.insert(QLatin1String("localAddress"), d.account.localAddress);
        if (!d.account.allowedPeers.isEmpty())
            o.insert(QLatin1String("allowedPeers"), QJsonArray::fromStringList(d.account.allowedPeers));
        accounts.append(o);
    }
    QJsonObject root;
    root.insert(QLatin1String("accounts"), accounts);
    QSaveFile file(m_configFile);
    // The passwords must not be readable by other users, not even for a moment.
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                    file.write(QJsonDocument(root).toJson()) >= 0 && file.commit();
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(m_configFile, file.errorString());
    return ok;
}

void SipLineProvider::setAccount(DWORD device, const SipAccount& account)
{
    stop(device);
    m_devices.at(device).account = account;
    start(device);
}

int SipLineProvider::deviceOf(const nua_t* nua) const
{
    for (DWORD i = 0; i < m_devices.size(); ++i)
        if (m_devices[i].nua == nua)
            return int(i);
    return -1;
}

void SipLineProvider::start(DWORD device)
{
    Device& d = m_devices.at(device);
    if (!d.account.configured()) {
        setRegistration(device, tr("未配置"));
        return;
    }
    d.peers.clear();
    d.peersKnown = false;
    if (d.account.listenOnly) {
        for (const QString& peer : d.account.allowedPeers)
            if (const QHostAddress address(peer); !address.isNull())
                d.peers.append(address);
        d.peersKnown = !d.peers.isEmpty();
        createAgent(device, d.account.localAddress.isEmpty() ? QStringLiteral("127.0.0.1") : d.account.localAddress);
        return;
    }
    // Calls are taken from the registrar only; its name is looked up in the background so
    // that a slow name server does not stop the window.
    setRegistration(device, tr("未注册"));
    const auto [host, port] = hostPortOf(registrarOf(d.account));
    const int generation = d.generation;
    QHostInfo::lookupHost(host, this, [this, device, generation, port = port](const QHostInfo& info) {
        if (device >= m_devices.size() || m_devices[device].generation != generation)
            return;
        Device& d = m_devices[device];
        d.peers = info.addresses();
        d.peersKnown = !d.peers.isEmpty();
        if (d.peers.isEmpty()) {
            setRegistration(device, tr("注册失败: 无法解析 %1").arg(hostPortOf(registrarOf(d.account)).first));
            // Tried again later: the name server or the network may be back by then.
            QTimer::singleShot(m_retryMs, this, [this, device, generation] {
                if (device < m_devices.size() && m_devices[device].generation == generation && !m_devices[device].nua) {
                    ++m_devices[device].generation;
                    start(device);
                }
            });
            return;
        }
        QString bind = d.account.localAddress;
        if (bind.isEmpty())
            bind = routeTo(d.peers.first(), port).toString();
        if (bind.isEmpty())
            bind = QStringLiteral("0.0.0.0");
        createAgent(device, bind);
    });
}

void SipLineProvider::createAgent(DWORD device, const QString& bindAddress)
{
    Device& d = m_devices.at(device);
    d.boundAddress = bindAddress;
    const QByteArray url = QStringLiteral("sip:%1:%2;transport=%3")
                               .arg(uriHost(bindAddress))
                               .arg(d.account.localPort)
                               .arg(d.account.transport)
                               .toUtf8();
    const QByteArray from = d.account.address().toUtf8();
    const QByteArray proxy = registrarOf(d.account).toUtf8();
    d.nua = nua_create(root(), nuaCallback, this, NUTAG_URL(url.constData()), SIPTAG_FROM_STR(from.constData()),
                       NUTAG_MEDIA_ENABLE(0), NUTAG_AUTOALERT(0), NUTAG_AUTOANSWER(0),
                       TAG_IF(!d.account.listenOnly, NUTAG_PROXY(proxy.constData())), TAG_END());
    if (!d.nua) {
        setRegistration(device, tr("端口 %1:%2 无法使用").arg(bindAddress).arg(d.account.localPort));
        return;
    }
    // The timer runs only while some account is active.
    m_pump->start();
    if (d.account.listenOnly) {
        setRegistration(device, tr("仅监听"));
        return;
    }
    d.retry = new QTimer(this);
    d.retry->setSingleShot(true);
    d.retry->setInterval(m_retryMs);
    connect(d.retry, &QTimer::timeout, this, [this, device] { registerAccount(device); });
    registerAccount(device);
}

bool SipLineProvider::fromKnownPeer(const Device& d, const QHostAddress& source) const
{
    return std::any_of(d.peers.begin(), d.peers.end(), [&source](const QHostAddress& peer) {
        return peer.isEqual(source, QHostAddress::TolerantConversion);
    });
}

void SipLineProvider::registerAccount(DWORD device)
{
    Device& d = m_devices.at(device);
    if (!d.nua)
        return;
    if (d.registration_handle)
        nua_handle_destroy(d.registration_handle);
    const QByteArray to = d.account.address().toUtf8();
    const QByteArray registrar = registrarOf(d.account).toUtf8();
    const QByteArray user = d.account.user.toUtf8();
    d.authAttempts = 0;
    d.registration_handle = nua_handle(d.nua, nullptr, SIPTAG_TO_STR(to.constData()), TAG_END());
    nua_register(d.registration_handle, NUTAG_M_USERNAME(user.constData()), NUTAG_REGISTRAR(registrar.constData()),
                 TAG_END());
}

void SipLineProvider::stop(DWORD device)
{
    Device& d = m_devices.at(device);
    ++d.generation;
    endCall(device, true);
    delete d.retry;
    d.retry = nullptr;
    if (!d.nua)
        return;
    if (d.registration_handle) {
        nua_unregister(d.registration_handle, TAG_END());
    }
    nua_shutdown(d.nua);
    // Give the unregistration and the shutdown a moment; sofia-sip answers nua_r_shutdown.
    for (int i = 0; i < 100 && d.nua; ++i)
        su_root_step(m_root, 10);
    if (d.nua) {
        nua_destroy(d.nua);
        d.nua = nullptr;
    }
    d.registration_handle = nullptr;
    if (std::none_of(m_devices.begin(), m_devices.end(), [](const Device& other) { return other.nua; }))
        m_pump->stop();
}

void SipLineProvider::setRegistration(DWORD device, const QString& state)
{
    Device& d = m_devices.at(device);
    if (d.registration == state)
        return;
    d.registration = state;
    emit registrationChanged(device, state);
}

bool SipLineProvider::authenticate(Device& d, nua_handle_t* nh, const void* message)
{
    const auto* sip = static_cast<const sip_t*>(message);
    const msg_auth_t* challenge =
        sip->sip_www_authenticate ? sip->sip_www_authenticate : sip->sip_proxy_authenticate;
    if (!challenge || d.account.user.isEmpty())
        return false;
    const char* realm = msg_params_find(challenge->au_params, "realm=");
    const QByteArray credentials = QStringLiteral("%1:%2:%3:%4")
                                       .arg(QString::fromLatin1(challenge->au_scheme),
                                            QString::fromUtf8(realm ? realm : "\"\""), d.account.user,
                                            d.account.password)
                                       .toUtf8();
    nua_authenticate(nh, NUTAG_AUTH(credentials.constData()), TAG_END());
    return true;
}

void SipLineProvider::endCall(DWORD device, bool notify)
{
    Device& d = m_devices.at(device);
    if (!d.callId)
        return;
    if (d.call)
        nua_handle_destroy(d.call);
    d.call = nullptr;
    const bool wasActive = d.data.state != LINECALLSTATE_IDLE;
    d.data.state = LINECALLSTATE_IDLE;
    d.connected = false;
    if (d.pendingRequest) {
        emit requestCompleted(d.pendingRequest, LINEERR_OPERATIONFAILED, device, 0);
        d.pendingRequest = 0;
    }
    if (notify && wasActive)
        emit callStateChanged(device, d.callId, LINECALLSTATE_IDLE, 0);
}

void SipLineProvider::handle(const Event& e)
{
    const int index = deviceOf(e.nua);
    if (e.event == nua_r_shutdown) {
        if (index >= 0 && e.status >= 200) {
            nua_destroy(e.nua);
            m_devices[index].nua = nullptr;
        }
        return;
    }
    if (index < 0)
        return;
    const DWORD device = DWORD(index);
    Device& d = m_devices[device];

    switch (e.event) {
    case nua_r_register:
        if (e.status < 200)
            break;
        if (e.status == 200) {
            setRegistration(device, tr("已注册"));
        } else if ((e.status == 401 || e.status == 407) && d.authAttempts++ < 2 && authenticate(d, e.nh, e.sip)) {
            break;
        } else {
            setRegistration(device, tr("注册失败: %1 %2").arg(e.status).arg(QString::fromUtf8(e.phrase)));
            if (d.retry)
                d.retry->start();
        }
        break;

    case nua_i_invite: {
        QHostAddress source;
        if (msg_t* request = nua_current_request(e.nua))
            if (const su_addrinfo_t* ai = msg_addrinfo(request); ai && ai->ai_addr)
                source = QHostAddress(reinterpret_cast<const sockaddr*>(ai->ai_addr));
        const bool known = d.peersKnown && fromKnownPeer(d, source);
        // With a registrar, or with named peers, nobody else may ring the line: on a shared
        // network anyone could otherwise put any "caller" on the screen.
        if (!known && (!d.account.listenOnly || d.peersKnown)) {
            nua_respond(e.nh, SIP_403_FORBIDDEN, TAG_END());
            qCWarning(lcSip).noquote() << "call from" << source.toString() << "refused";
            // Reported once; the count in the line's report grows with each one.
            if (d.refused++ == 0)
                emit registrationChanged(device, d.registration);
            break;
        }
        // Nobody watches the line: a call held as offering would never be taken, and would
        // turn every later call away as busy until its caller gave up.
        if (d.openCount == 0) {
            nua_respond(e.nh, SIP_480_TEMPORARILY_UNAVAILABLE, TAG_END());
            break;
        }
        // One call at a time; the handle goes when its transaction is over (below).
        if (d.callId && d.data.state != LINECALLSTATE_IDLE) {
            nua_respond(e.nh, SIP_486_BUSY_HERE, TAG_END());
            break;
        }
        d.callId = m_nextCallId++;
        d.call = e.nh;
        d.connected = false;
        d.data = LineCallData{};
        d.data.origin = LINECALLORIGIN_INBOUND;
        d.data.state = LINECALLSTATE_OFFERING;
        takeCaller(e.sip, known, &d.data);
        nua_respond(e.nh, SIP_180_RINGING, TAG_END());
        emit newCall(device, d.callId);
        emit callStateChanged(device, d.callId, LINECALLSTATE_OFFERING, 0);
        if (!d.data.callerId.isEmpty() || !d.data.callerName.isEmpty())
            emit callInfoChanged(device, d.callId, LINECALLINFOSTATE_CALLERID);
        break;
    }

    case nua_r_invite:
        if (e.nh != d.call)
            break;
        if ((e.status == 401 || e.status == 407) && d.callAuthAttempts++ < 2 && authenticate(d, e.nh, e.sip))
            break;
        if (e.status > 100 && e.status < 300 && d.pendingRequest) {
            emit requestCompleted(d.pendingRequest, 0, device, d.callId);
            d.pendingRequest = 0;
            emit callStateChanged(device, d.callId, LINECALLSTATE_PROCEEDING, 0);
        }
        if (e.status == 180 || e.status == 183) {
            d.data.state = LINECALLSTATE_RINGBACK;
            emit callStateChanged(device, d.callId, LINECALLSTATE_RINGBACK, 0);
        } else if (e.status >= 300 && d.pendingRequest) {
            emit requestCompleted(d.pendingRequest, errorOf(e.status), device, 0);
            d.pendingRequest = 0;
            d.data.state = LINECALLSTATE_IDLE;
        }
        break;

    case nua_i_state: {
        int state = nua_callstate_init;
        tl_gets(e.tags, NUTAG_CALLSTATE_REF(state), TAG_END());
        if (e.nh != d.call) {
            // A call turned away or dropped earlier has finished its last transaction.
            if (state == nua_callstate_terminated && e.nh != d.registration_handle)
                nua_handle_destroy(e.nh);
            break;
        }
        if (state == nua_callstate_ready && !d.connected) {
            d.connected = true;
            d.data.state = LINECALLSTATE_CONNECTED;
            emit callStateChanged(device, d.callId, LINECALLSTATE_CONNECTED, 0);
        } else if (state == nua_callstate_terminated) {
            // CANCEL, BYE or a final refusal: the far end is gone, then the call is over.
            if (d.data.state != LINECALLSTATE_IDLE) {
                d.data.state = LINECALLSTATE_DISCONNECTED;
                emit callStateChanged(device, d.callId, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
            }
            endCall(device, true);
        }
        break;
    }

    default:
        break;
    }
}

LineDeviceCaps SipLineProvider::caps(DWORD device) const
{
    const Device& d = m_devices.at(device);
    LineDeviceCaps c;
    c.lineName = d.account.configured() ? d.account.address().toUtf8() : QByteArray("SIP线路 (未配置账号)");
    c.providerInfo = "SIP线路服务 (sofia-sip)";
    const QString where = d.account.listenOnly ? tr("本机端口 %1").arg(d.account.localPort) : registrarOf(d.account);
    QString report = QStringLiteral("%1 (%2)").arg(where, d.registration);
    if (d.refused)
        report += tr("; 已拒绝 %1 个来自未知地址的呼叫").arg(d.refused);
    c.switchInfo = report.toUtf8();
    c.permanentLineId = 0x5100 + device;
    c.stringFormat = STRINGFORMAT_ASCII;
    c.numAddresses = 1;
    c.maxRate = 0;
    c.bearerModes = LINEBEARERMODE_VOICE;
    c.addressModes = LINEADDRESSMODE_DIALABLEADDR;
    // Calls are signalled but carry no sound here: no interactive voice, so the report says
    // the line cannot be used for voice calls; the monitoring command's media mode is accepted.
    c.mediaModes = LINEMEDIAMODE_UNKNOWN | LINEMEDIAMODE_DATAMODEM;
    c.numTerminals = 0;
    return c;
}

LONG SipLineProvider::open(DWORD device)
{
    ++m_devices.at(device).openCount;
    return 0;
}

void SipLineProvider::close(DWORD device)
{
    Device& d = m_devices.at(device);
    if (d.openCount > 0)
        --d.openCount;
}

LONG SipLineProvider::makeCall(DWORD device, DWORD requestId, const QByteArray& number)
{
    Device& d = m_devices.at(device);
    if (!d.nua)
        return LINEERR_RESOURCEUNAVAIL;
    if (d.callId && d.data.state != LINECALLSTATE_IDLE)
        return LINEERR_CALLUNAVAIL;
    if (number.isEmpty() || number.contains('@') || number.contains(' '))
        return LINEERR_INVALADDRESS;
    const QByteArray to = QStringLiteral("sip:%1@%2")
                              .arg(QString::fromUtf8(number), d.account.domain.isEmpty()
                                                                  ? QStringLiteral("localhost")
                                                                  : d.account.domain)
                              .toUtf8();
    d.callId = m_nextCallId++;
    d.data = LineCallData{};
    d.data.origin = LINECALLORIGIN_OUTBOUND;
    d.data.calledId = number;
    d.data.state = LINECALLSTATE_DIALING;
    d.connected = false;
    d.pendingRequest = requestId;
    d.callAuthAttempts = 0;
    d.call = nua_handle(d.nua, nullptr, SIPTAG_TO_STR(to.constData()), TAG_END());
    nua_invite(d.call, SIPTAG_CONTENT_TYPE_STR("application/sdp"), SIPTAG_PAYLOAD_STR(kInactiveSdp), TAG_END());
    return 0;
}

LONG SipLineProvider::drop(DWORD device, DWORD callId, DWORD requestId)
{
    return endCallWith(device, callId, requestId, 486);
}

LONG SipLineProvider::decline(DWORD device, DWORD callId, DWORD requestId)
{
    return endCallWith(device, callId, requestId, 603);
}

// A ringing incoming call is answered with inboundStatus (486 or 603), a connected one ends
// with BYE and an outgoing one not yet answered with CANCEL.
LONG SipLineProvider::endCallWith(DWORD device, DWORD callId, DWORD requestId, int inboundStatus)
{
    Device& d = m_devices.at(device);
    if (d.callId != callId || d.data.state == LINECALLSTATE_IDLE || !d.call)
        return LINEERR_INVALCALLSTATE;
    if (d.connected)
        nua_bye(d.call, TAG_END());
    else if (d.data.origin == LINECALLORIGIN_INBOUND && inboundStatus == 603)
        nua_respond(d.call, SIP_603_DECLINE, TAG_END());
    else if (d.data.origin == LINECALLORIGIN_INBOUND)
        nua_respond(d.call, SIP_486_BUSY_HERE, TAG_END());
    else
        nua_cancel(d.call, TAG_END());
    // The handle stays with sofia-sip until the transaction ends; the call is over for us.
    d.call = nullptr;
    emit requestCompleted(requestId, 0, device, 0);
    endCall(device, true);
    return 0;
}

bool SipLineProvider::callData(DWORD device, DWORD callId, LineCallData* data) const
{
    const Device& d = m_devices.at(device);
    if (d.callId != callId)
        return false;
    *data = d.data;
    return true;
}

LONG SipLineProvider::configDialog(DWORD device, QWidget* owner)
{
    if (!m_configDialog)
        return LINEERR_OPERATIONUNAVAIL;
    m_configDialog(*this, device, owner);
    return 0;
}
