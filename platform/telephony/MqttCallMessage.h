#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One call as the desks share it: a JSON object published to "<prefix>/call".
//   number    the number as the line or modem gave it
//   national  the number as dialled inside the country
//   region    the region of a long-distance or mobile number ("" when none)
//   time      when the call came, ISO 8601 with the offset ("2026-12-09T09:15:02+08:00")
//   line      the line or modem that took it
//   host      the publishing computer
//   name      the customer's name when the lookup found one (absent otherwise)
struct MqttCallMessage
{
    QByteArray number;
    QByteArray national;
    QString region;
    QDateTime time;
    QString line;
    QString host;
    QString name;

    QByteArray toJson() const;

    enum class Verdict { Accepted, TooLarge, Malformed, BadNumber, TooOld };
    struct Decoded;
    // Everything from the network is checked before anything else sees it: a payload over
    // 4 KiB, anything but a JSON object, a missing or non-digit number, a missing time or a
    // time more than 60 s from `now` is refused.
    static Decoded fromJson(const QByteArray& payload, const QDateTime& now);

    static constexpr qsizetype MaxPayload = 4096;
    static constexpr qint64 MaxAgeSeconds = 60;
};

struct MqttCallMessage::Decoded
{
    Verdict verdict = Verdict::Malformed;
    MqttCallMessage message;
};
