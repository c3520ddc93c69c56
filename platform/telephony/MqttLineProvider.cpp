#include "platform/telephony/MqttLineProvider.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSysInfo>

Q_DECLARE_LOGGING_CATEGORY(lcMqtt)

namespace {

constexpr qsizetype RememberedCalls = 256;

const char* verdictText(MqttCallMessage::Verdict verdict)
{
    switch (verdict) {
    case MqttCallMessage::Verdict::TooLarge: return "larger than 4 KiB";
    case MqttCallMessage::Verdict::Malformed: return "not a call object";
    case MqttCallMessage::Verdict::BadNumber: return "no plain-digit number";
    case MqttCallMessage::Verdict::TooOld: return "older than 60 s";
    case MqttCallMessage::Verdict::Accepted: break;
    }
    return "";
}

} // namespace

MqttLineProvider::MqttLineProvider(QString settingsFile, std::function<QDateTime()> now, QObject* parent)
    : NetworkCallLine(parent), m_settingsFile(std::move(settingsFile)), m_now(std::move(now))
{
    setState(tr("未配置"));
}

MqttLineProvider::~MqttLineProvider() = default;

bool MqttLineProvider::load(QString* error)
{
    QString why;
    m_settings = MqttSettings::read(m_settingsFile, &why);
    if (error)
        *error = why;
    if (!m_client)
        setState(m_settings.configured() ? QString() : tr("未配置"));
    return why.isEmpty();
}

void MqttLineProvider::setSettings(const MqttSettings& settings)
{
    m_settings = settings;
    emit settingsChanged(m_settings);
    if (!m_client)
        return;
    stop();
    start();
}

QString MqttLineProvider::peer() const
{
    if (!m_settings.configured())
        return tr("MQTT 服务器");
    return QStringLiteral("%1:%2 %3").arg(m_settings.host).arg(m_settings.port).arg(m_settings.callTopic());
}

void MqttLineProvider::start()
{
    if (!m_settings.configured()) {
        setState(tr("未配置"));
        return;
    }
    // The broker keeps the session of this desk, so that calls published while the desk or
    // the broker was away for a moment still arrive. Without a configured id the desk's id
    // is made from the host and the program folder: stable across starts, distinct for two
    // program folders on one computer.
    const QString id = !m_settings.clientId.isEmpty()
                           ? m_settings.clientId
                           : QStringLiteral("vornx-listen-%1-%2")
                                 .arg(QSysInfo::machineHostName(),
                                      QString::fromLatin1(QCryptographicHash::hash(
                                                              QFileInfo(m_settingsFile).absoluteFilePath().toUtf8(),
                                                              QCryptographicHash::Sha1)
                                                              .toHex()
                                                              .left(10)));
    m_client = new MqttClient(m_settings, id, true, this);
    m_client->setFirstRetryInterval(m_firstRetryMs);
    connect(m_client, &MqttClient::stateChanged, this, &MqttLineProvider::showClientState);
    connect(m_client, &MqttClient::messageReceived, this,
            [this](const QByteArray&, const QByteArray& payload) { take(payload); });
    m_client->subscribe(m_settings.callTopic());
    m_client->start();
}

void MqttLineProvider::stop()
{
    if (!m_client)
        return;
    m_client->disconnect(this);
    m_client->stop();
    delete m_client;
    m_client = nullptr;
    setState(m_settings.configured() ? QString() : tr("未配置"));
}

LONG MqttLineProvider::showConfigDialog(QWidget* owner)
{
    if (!m_configDialog)
        return LINEERR_OPERATIONUNAVAIL;
    m_configDialog(*this, owner);
    return 0;
}

void MqttLineProvider::showClientState(MqttClient::State state, const QString& reason)
{
    switch (state) {
    case MqttClient::State::Stopped: setState(QString()); break;
    case MqttClient::State::Connecting: setState(tr("正在连接")); break;
    case MqttClient::State::Connected: setState(tr("已连接")); break;
    case MqttClient::State::Refused: setState(tr("连接被拒绝: %1").arg(reason)); break;
    case MqttClient::State::Unreachable: setState(tr("无法连接: %1").arg(reason)); break;
    case MqttClient::State::Unavailable: setState(reason); break;
    }
}

void MqttLineProvider::take(const QByteArray& payload)
{
    const MqttCallMessage::Decoded decoded = MqttCallMessage::fromJson(payload, m_now());
    if (decoded.verdict != MqttCallMessage::Verdict::Accepted) {
        // One line in the log per kind of bad message: a flood must not fill the disk.
        if (m_refused[size_t(decoded.verdict)]++ == 0)
            qCWarning(lcMqtt, "call message dropped: %s (further ones are only counted)",
                      verdictText(decoded.verdict));
        return;
    }
    if (m_recent.contains(payload))
        return;
    m_recent.append(payload);
    if (m_recent.size() > RememberedCalls)
        m_recent.removeFirst();
    ++m_accepted;
    offerCall(decoded.message.number, decoded.message.name.toUtf8());
}
