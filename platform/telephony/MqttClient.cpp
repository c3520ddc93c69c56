#include "platform/telephony/MqttClient.h"

#include "platform/telephony/MosquittoLibrary.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

Q_LOGGING_CATEGORY(lcMqtt, "vornx.mqtt")

namespace {

constexpr int LongestRetryMs = 30000;

MqttClient* clientOf(void* userdata)
{
    return static_cast<MqttClient*>(userdata);
}

} // namespace

MqttClient::MqttClient(const MqttSettings& settings, QString clientId, bool persistent, QObject* parent)
    : QObject(parent), m_settings(settings), m_clientId(std::move(clientId)), m_persistent(persistent),
      m_misc(new QTimer(this)), m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &MqttClient::connectToBroker);
    // Keep-alive pings and resends of unacknowledged messages are due whether or not the
    // socket has something to say.
    m_misc->setInterval(500);
    connect(m_misc, &QTimer::timeout, this, [this] {
        if (!m_mosq || !m_read)
            return;
        const int rc = m_lib->mosquitto_loop_misc(m_mosq);
        if (rc != MOSQ_ERR_SUCCESS)
            fail(State::Unreachable, QString::fromUtf8(m_lib->mosquitto_strerror(rc)));
        else
            updateWriteWatch();
    });
}

MqttClient::~MqttClient()
{
    stop();
    if (m_mosq)
        m_lib->mosquitto_destroy(m_mosq);
}

void MqttClient::start()
{
    if (m_running)
        return;
    if (!m_lib) {
        QString error;
        m_lib = MosquittoLibrary::instance(&error);
        if (!m_lib) {
            setState(State::Unavailable, error);
            return;
        }
    }
    m_running = true;
    m_retryMs = m_firstRetryMs;
    if (!m_mosq) {
        m_mosq = m_lib->mosquitto_new(m_clientId.toUtf8().constData(), !m_persistent, this);
        if (!m_mosq) {
            setState(State::Refused, QStringLiteral("mosquitto_new failed"));
            m_running = false;
            return;
        }
        m_lib->mosquitto_connect_callback_set(m_mosq,
                                              [](mosquitto*, void* obj, int rc) { clientOf(obj)->onConnect(rc); });
        m_lib->mosquitto_disconnect_callback_set(
            m_mosq, [](mosquitto*, void* obj, int rc) { clientOf(obj)->onDisconnect(rc); });
        m_lib->mosquitto_message_callback_set(m_mosq, [](mosquitto*, void* obj, const mosquitto_message* m) {
            clientOf(obj)->onMessage(QByteArray(m->topic),
                                     QByteArray(static_cast<const char*>(m->payload), m->payloadlen));
        });
        if (!m_settings.user.isEmpty())
            m_lib->mosquitto_username_pw_set(m_mosq, m_settings.user.toUtf8().constData(),
                                             m_settings.password.isEmpty() ? nullptr
                                                                           : m_settings.password.toUtf8().constData());
        if (m_settings.tls) {
            // The broker's certificate is always verified, host name included.
            int rc = m_lib->mosquitto_tls_set(m_mosq, QFile::encodeName(m_settings.caFile).constData(), nullptr,
                                              nullptr, nullptr, nullptr);
            if (rc == MOSQ_ERR_SUCCESS)
                rc = m_lib->mosquitto_tls_opts_set(m_mosq, 1, nullptr, nullptr);
            if (rc == MOSQ_ERR_SUCCESS)
                rc = m_lib->mosquitto_tls_insecure_set(m_mosq, false);
            if (rc != MOSQ_ERR_SUCCESS) {
                setState(State::Refused,
                         QStringLiteral("TLS: %1").arg(QString::fromUtf8(m_lib->mosquitto_strerror(rc))));
                m_running = false;
                return;
            }
        }
    }
    connectToBroker();
}

void MqttClient::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_retry->stop();
    if (m_mosq && m_read) {
        m_lib->mosquitto_disconnect(m_mosq);
        m_lib->mosquitto_loop_write(m_mosq, 1);
    }
    unwatchSocket();
    setState(State::Stopped);
}

void MqttClient::subscribe(const QString& topic)
{
    if (!m_topics.contains(topic))
        m_topics.append(topic);
    if (m_state == State::Connected) {
        m_lib->mosquitto_subscribe(m_mosq, nullptr, topic.toUtf8().constData(), 1);
        updateWriteWatch();
    }
}

void MqttClient::publish(const QString& topic, const QByteArray& payload)
{
    if (m_state == State::Connected) {
        const int rc = m_lib->mosquitto_publish(m_mosq, nullptr, topic.toUtf8().constData(), int(payload.size()),
                                                payload.constData(), 1, false);
        if (rc == MOSQ_ERR_SUCCESS) {
            updateWriteWatch();
            return;
        }
        qCWarning(lcMqtt, "publish deferred: %s", m_lib->mosquitto_strerror(rc));
    }
    m_waiting.append({topic, payload});
}

void MqttClient::connectToBroker()
{
    if (!m_running)
        return;
    unwatchSocket();
    m_attemptRefused = false;
    setState(State::Connecting);
    const int rc = m_lib->mosquitto_connect_async(m_mosq, m_settings.host.toUtf8().constData(), m_settings.port,
                                                  m_settings.keepAlive);
    if (rc != MOSQ_ERR_SUCCESS) {
        fail(State::Unreachable, rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(errno))
                                                      : QString::fromUtf8(m_lib->mosquitto_strerror(rc)));
        return;
    }
    watchSocket();
}

void MqttClient::watchSocket()
{
    const int fd = m_lib->mosquitto_socket(m_mosq);
    if (fd < 0) {
        fail(State::Unreachable, QString::fromUtf8(m_lib->mosquitto_strerror(MOSQ_ERR_NO_CONN)));
        return;
    }
    m_read = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    m_write = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(m_read, &QSocketNotifier::activated, this, [this] { serviceSocket(true, false); });
    connect(m_write, &QSocketNotifier::activated, this, [this] { serviceSocket(false, true); });
    updateWriteWatch();
    m_misc->start();
}

void MqttClient::unwatchSocket()
{
    m_misc->stop();
    // The notifiers may be the ones whose signal is being handled.
    for (QSocketNotifier* notifier : {m_read, m_write}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_read = nullptr;
    m_write = nullptr;
}

void MqttClient::updateWriteWatch()
{
    if (m_write)
        m_write->setEnabled(m_lib->mosquitto_want_write(m_mosq));
}

void MqttClient::serviceSocket(bool readable, bool writable)
{
    int rc = MOSQ_ERR_SUCCESS;
    if (readable)
        rc = m_lib->mosquitto_loop_read(m_mosq, 16);
    if (rc == MOSQ_ERR_SUCCESS && writable)
        rc = m_lib->mosquitto_loop_write(m_mosq, 16);
    if (rc == MOSQ_ERR_SUCCESS) {
        updateWriteWatch();
        return;
    }
    if (!m_running || !m_read)
        return;
    switch (rc) {
    case MOSQ_ERR_TLS:
        fail(State::Refused, QStringLiteral("TLS: %1").arg(QString::fromUtf8(m_lib->mosquitto_strerror(rc))));
        break;
    case MOSQ_ERR_CONN_REFUSED:
    case MOSQ_ERR_AUTH:
        fail(State::Refused, m_reason.isEmpty() ? QString::fromUtf8(m_lib->mosquitto_strerror(rc)) : m_reason);
        break;
    case MOSQ_ERR_ERRNO:
        fail(State::Unreachable, QString::fromLocal8Bit(std::strerror(errno)));
        break;
    default:
        fail(State::Unreachable, QString::fromUtf8(m_lib->mosquitto_strerror(rc)));
        break;
    }
}

void MqttClient::fail(State state, const QString& reason)
{
    unwatchSocket();
    // A refusal is what the user must hear of, not the closed socket that follows it.
    if (!(m_attemptRefused && state == State::Unreachable))
        setState(state, reason);
    if (!m_running)
        return;
    qCInfo(lcMqtt, "broker %s:%d: %s, again in %d ms", qPrintable(m_settings.host), m_settings.port,
           qPrintable(m_reason), m_retryMs);
    m_retry->start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, LongestRetryMs);
}

void MqttClient::setState(State state, const QString& reason)
{
    // Connecting again after a failure keeps showing the failure until there is news.
    if (state == State::Connecting && (m_state == State::Refused || m_state == State::Unreachable))
        return;
    if (state == m_state && reason == m_reason)
        return;
    m_state = state;
    m_reason = reason;
    emit stateChanged(m_state, m_reason);
}

void MqttClient::onConnect(int rc)
{
    if (rc != 0) {
        m_attemptRefused = true;
        setState(State::Refused, QString::fromUtf8(m_lib->mosquitto_connack_string(rc)));
        return;
    }
    m_retryMs = m_firstRetryMs;
    setState(State::Connected);
    for (const QString& topic : std::as_const(m_topics))
        m_lib->mosquitto_subscribe(m_mosq, nullptr, topic.toUtf8().constData(), 1);
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto& [topic, payload] : waiting)
        publish(topic, payload);
    updateWriteWatch();
}

void MqttClient::onDisconnect(int rc)
{
    if (rc != 0 && m_state == State::Connected)
        setState(State::Unreachable, QString::fromUtf8(m_lib->mosquitto_strerror(rc)));
}

void MqttClient::onMessage(const QByteArray& topic, const QByteArray& payload)
{
    emit messageReceived(topic, payload);
}
