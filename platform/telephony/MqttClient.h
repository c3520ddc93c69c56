#pragma once

#include "platform/telephony/MqttSettings.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class MosquittoLibrary;
class QSocketNotifier;
class QTimer;
struct mosquitto;

// A connection to the MQTT broker (libmosquitto) driven by the Qt event loop: the client's
// socket is watched with socket notifiers, so callbacks and signals come on the thread
// that owns the object and nothing blocks the window. After any failure it connects again,
// first after a second, the pause doubling up to 30 s. Messages published while the broker
// cannot be reached wait here and go out once it is back.
class MqttClient final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MqttClient)

public:
    // Unavailable: libmosquitto could not be loaded; the reason says why, in the user's words.
    enum class State { Stopped, Connecting, Connected, Refused, Unreachable, Unavailable };

    // `persistent`: the broker keeps this client's subscriptions and the messages that come
    // while it is away (a fixed client id is needed for that).
    MqttClient(const MqttSettings& settings, QString clientId, bool persistent, QObject* parent = nullptr);
    ~MqttClient() override;

    void start();
    void stop();
    // Subscribed now and after every reconnection, with QoS 1.
    void subscribe(const QString& topic);
    // QoS 1, not retained.
    void publish(const QString& topic, const QByteArray& payload);
    void setFirstRetryInterval(int ms) { m_firstRetryMs = ms; }

    State state() const { return m_state; }
    // Why the broker refused or could not be reached; empty otherwise.
    QString reason() const { return m_reason; }
    int waitingMessages() const { return int(m_waiting.size()); }

    // libmosquitto's callbacks; public for the C trampolines only.
    void onConnect(int rc);
    void onDisconnect(int rc);
    void onMessage(const QByteArray& topic, const QByteArray& payload);

signals:
    void stateChanged(MqttClient::State state, const QString& reason);
    void messageReceived(const QByteArray& topic, const QByteArray& payload);

private:
    void connectToBroker();
    void watchSocket();
    void unwatchSocket();
    void serviceSocket(bool readable, bool writable);
    void fail(State state, const QString& reason);
    void setState(State state, const QString& reason = {});
    void updateWriteWatch();

    MqttSettings m_settings;
    QString m_clientId;
    bool m_persistent;
    const MosquittoLibrary* m_lib = nullptr; // opened at the first start
    mosquitto* m_mosq = nullptr;
    QSocketNotifier* m_read = nullptr;
    QSocketNotifier* m_write = nullptr;
    QTimer* m_misc;
    QTimer* m_retry;
    int m_firstRetryMs = 1000;
    int m_retryMs = 1000;
    State m_state = State::Stopped;
    QString m_reason;
    QList<QString> m_topics;
    QList<QPair<QString, QByteArray>> m_waiting;
    bool m_running = false;
    bool m_attemptRefused = false;
};
