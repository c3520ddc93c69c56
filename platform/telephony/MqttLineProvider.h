#pragma once

#include "platform/telephony/MqttCallMessage.h"
#include "platform/telephony/MqttClient.h"
#include "platform/telephony/MqttSettings.h"
#include "platform/telephony/NetworkCallLine.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <array>
#include <functional>

// The line device "MQTT 网络线路": subscribes to the calls other desks publish and offers
// each as a ringing call with caller ID while the device is open, so a desk without any
// telephone hardware shows and logs the callers of the shared line. What arrives is checked
// first (MqttCallMessage); refused messages are counted and each kind is logged once.
// A message the broker delivers twice (QoS 1 after a reconnection) rings once.
class MqttLineProvider final : public NetworkCallLine
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MqttLineProvider)

public:
    using ConfigDialog = std::function<void(MqttLineProvider& provider, QWidget* owner)>;

    explicit MqttLineProvider(QString settingsFile, std::function<QDateTime()> now = &QDateTime::currentDateTime,
                              QObject* parent = nullptr);
    ~MqttLineProvider() override;

    bool load(QString* error = nullptr);
    QString settingsFile() const { return m_settingsFile; }
    const MqttSettings& settings() const { return m_settings; }
    // Replaces the settings and connects afresh when the device is open.
    void setSettings(const MqttSettings& settings);
    void setConfigDialog(ConfigDialog dialog) { m_configDialog = std::move(dialog); }
    void setFirstRetryInterval(int ms) { m_firstRetryMs = ms; }

    // How many messages were refused for each reason (TooLarge, Malformed, BadNumber, TooOld).
    int refused(MqttCallMessage::Verdict verdict) const { return m_refused[size_t(verdict)]; }
    int accepted() const { return m_accepted; }

    static QByteArray deviceName() { return "MQTT 网络线路"; }

signals:
    void settingsChanged(const MqttSettings& settings);

protected:
    QByteArray lineName() const override { return deviceName(); }
    QByteArray providerName() const override { return "MQTT 客户端 (mosquitto)"; }
    QString peer() const override;
    DWORD permanentLineId() const override { return 0x4D00; }
    void start() override;
    void stop() override;
    LONG showConfigDialog(QWidget* owner) override;

private:
    void take(const QByteArray& payload);
    void showClientState(MqttClient::State state, const QString& reason);

    QString m_settingsFile;
    std::function<QDateTime()> m_now;
    MqttSettings m_settings;
    ConfigDialog m_configDialog;
    MqttClient* m_client = nullptr;
    int m_firstRetryMs = 1000;
    std::array<int, 5> m_refused{};
    int m_accepted = 0;
    QList<QByteArray> m_recent; // payloads of the last calls, to ring each only once
};
