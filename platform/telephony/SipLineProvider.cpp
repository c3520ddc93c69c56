#include "platform/telephony/SipLineProvider.h"

#include "platform/PluginLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

SipLineProvider::SipLineProvider(QString configFile, QString stackPlugin, QObject* parent)
    : LineProvider(parent), m_configFile(std::move(configFile)), m_stackPlugin(std::move(stackPlugin))
{
}

SipLineProvider::~SipLineProvider()
{
    // The stack reports the calls it ends while this object is still whole.
    for (DWORD i = 0; i < m_devices.size(); ++i)
        stop(i);
    m_stack.reset();
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

SipStack* SipLineProvider::stack(QString* error)
{
    if (!m_stack) {
        if (SipStackFactory* factory = loadPlugin<SipStackFactory>(m_stackPlugin, error))
            m_stack = factory->createStack(*this);
    }
    return m_stack.get();
}

void SipLineProvider::start(DWORD device)
{
    const Device& d = m_devices.at(device);
    if (!d.account.configured()) {
        setRegistration(device, tr("未配置"));
        return;
    }
    QString error;
    if (SipStack* sip = stack(&error))
        sip->start(device, d.account, m_retryMs);
    else
        setRegistration(device, tr("SIP组件缺失，线路不可用: %1").arg(error));
}

void SipLineProvider::stop(DWORD device)
{
    if (m_stack)
        m_stack->stop(device);
}

void SipLineProvider::setRegistration(DWORD device, const QString& state)
{
    Device& d = m_devices.at(device);
    if (d.registration == state)
        return;
    d.registration = state;
    emit registrationChanged(device, state);
}

void SipLineProvider::reportRegistration(DWORD device, SipRegistration state, const QString& detail, int code)
{
    switch (state) {
    case SipRegistration::Unregistered: setRegistration(device, tr("未注册")); break;
    case SipRegistration::Registered: setRegistration(device, tr("已注册")); break;
    case SipRegistration::Failed: setRegistration(device, tr("注册失败: %1 %2").arg(code).arg(detail)); break;
    case SipRegistration::Unresolved: setRegistration(device, tr("注册失败: 无法解析 %1").arg(detail)); break;
    case SipRegistration::ListenOnly: setRegistration(device, tr("仅监听")); break;
    case SipRegistration::PortUnusable: setRegistration(device, tr("端口 %1:%2 无法使用").arg(detail).arg(code)); break;
    }
}

void SipLineProvider::reportRefusedCall(DWORD device)
{
    // Reported once; the count in the line's report grows with each one.
    if (m_devices.at(device).refused++ == 0)
        emit registrationChanged(device, m_devices[device].registration);
}

bool SipLineProvider::isWatched(DWORD device) const
{
    return m_devices.at(device).openCount > 0;
}

void SipLineProvider::reportNewCall(DWORD device, DWORD callId)
{
    emit newCall(device, callId);
}

void SipLineProvider::reportCallState(DWORD device, DWORD callId, DWORD state, DWORD mode)
{
    emit callStateChanged(device, callId, state, mode);
}

void SipLineProvider::reportCallInfo(DWORD device, DWORD callId, DWORD infoStates)
{
    emit callInfoChanged(device, callId, infoStates);
}

void SipLineProvider::reportRequestCompleted(DWORD requestId, LONG result, DWORD device, DWORD callId)
{
    emit requestCompleted(requestId, result, device, callId);
}

LineDeviceCaps SipLineProvider::caps(DWORD device) const
{
    const Device& d = m_devices.at(device);
    LineDeviceCaps c;
    c.lineName = d.account.configured() ? d.account.address().toUtf8() : QByteArray("SIP线路 (未配置账号)");
    c.providerInfo = "SIP线路服务 (sofia-sip)";
    const QString where = d.account.listenOnly ? tr("本机端口 %1").arg(d.account.localPort) : d.account.registrarAddress();
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
    Device& d = m_devices.at(device);
    // An account whose stack could not be loaded would never ring.
    if (d.account.configured() && !m_stack)
        return LINEERR_NODRIVER;
    ++d.openCount;
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
    return m_stack ? m_stack->makeCall(device, requestId, number) : LINEERR_RESOURCEUNAVAIL;
}

LONG SipLineProvider::drop(DWORD device, DWORD callId, DWORD requestId)
{
    return m_stack ? m_stack->drop(device, callId, requestId) : LINEERR_INVALCALLSTATE;
}

LONG SipLineProvider::decline(DWORD device, DWORD callId, DWORD requestId)
{
    return m_stack ? m_stack->decline(device, callId, requestId) : LINEERR_INVALCALLSTATE;
}

bool SipLineProvider::callData(DWORD device, DWORD callId, LineCallData* data) const
{
    return m_stack && m_stack->callData(device, callId, data);
}

LONG SipLineProvider::configDialog(DWORD device, QWidget* owner)
{
    if (!m_configDialog)
        return LINEERR_OPERATIONUNAVAIL;
    m_configDialog(*this, device, owner);
    return 0;
}
