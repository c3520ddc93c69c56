#pragma once

#include "platform/telephony/MqttCallMessage.h"
#include "platform/telephony/MqttSettings.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class CallerRecord;
class MqttClient;

// Tells the other desks of every call this desk takes: one message per call to
// "<prefix>/call" of the configured broker (QoS 1, not retained). A call that came from
// the MQTT line itself is not sent back, or two desks would ring each other forever.
// Without a configured broker there is no publisher and nothing is sent.
class CallPublisher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CallPublisher)

public:
    explicit CallPublisher(const MqttSettings& settings, std::function<QDateTime()> now = &QDateTime::currentDateTime,
                           QObject* parent = nullptr);
    ~CallPublisher() override;

    // Publishes a call. `received` is the text the line or modem gave, `number` the caller's
    // number taken from it, `record` what the lookup showed, `sourceLine` the line or port
    // that took it.
    void announce(const QByteArray& received, const QString& number, const QString& region, const CallerRecord& record,
                  const QString& sourceLine);

    // The message for a call; empty number when it must not be published.
    MqttCallMessage message(const QByteArray& received, const QString& number, const QString& region,
                            const QString& customerName, const QString& sourceLine) const;
    void publish(const MqttCallMessage& message);
    MqttClient& client() { return *m_client; }
    int published() const { return m_published; }

    // The number as dialled inside the country: long-distance fixed numbers, which the line
    // hands over without their trunk 0, get it back; a leading country code 86 is dropped.
    static QString nationalForm(const QString& number, const QString& region);
    // The customer's name when the lookup found the caller; empty otherwise.
    static QString customerName(const CallerRecord& record);

private:
    MqttSettings m_settings;
    std::function<QDateTime()> m_now;
    MqttClient* m_client;
    int m_published = 0;
};
