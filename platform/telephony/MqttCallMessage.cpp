#include "platform/telephony/MqttCallMessage.h"

#include "platform/telephony/TelephoneNumber.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Free texts from another desk are shown, never run or stored as they come: bounded and
// without control characters.
QString cleanText(const QJsonValue& value)
{
    QString text = value.toString().left(200);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

QByteArray MqttCallMessage::toJson() const
{
    QJsonObject o{{QStringLiteral("number"), QString::fromLatin1(number)},
                  {QStringLiteral("national"), QString::fromLatin1(national)},
                  {QStringLiteral("region"), region},
                  {QStringLiteral("time"), time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)},
                  {QStringLiteral("line"), line},
                  {QStringLiteral("host"), host}};
    if (!name.isEmpty())
        o.insert(QStringLiteral("name"), name);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

MqttCallMessage::Decoded MqttCallMessage::fromJson(const QByteArray& payload, const QDateTime& now)
{
    Decoded d;
    if (payload.size() > MaxPayload) {
        d.verdict = Verdict::TooLarge;
        return d;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return d;
    const QJsonObject o = doc.object();
    const QJsonValue number = o.value(QLatin1String("number"));
    const QJsonValue time = o.value(QLatin1String("time"));
    if (!time.isString())
        return d;
    MqttCallMessage& m = d.message;
    m.time = QDateTime::fromString(time.toString(), Qt::ISODate);
    if (!m.time.isValid())
        return d;
    m.number = number.toString().toLatin1();
    if (!number.isString() || !TelephoneNumber::isPlainDigits(m.number)) {
        d.verdict = Verdict::BadNumber;
        return d;
    }
    // Old calls (a broker that kept them, a desk whose clock is wrong) are not rung again;
    // a time far in the future is as wrong as one far in the past.
    if (qAbs(m.time.secsTo(now)) > MaxAgeSeconds) {
        d.verdict = Verdict::TooOld;
        return d;
    }
    const QByteArray national = o.value(QLatin1String("national")).toString().toLatin1();
    m.national = TelephoneNumber::isPlainDigits(national) ? national : QByteArray();
    m.region = cleanText(o.value(QLatin1String("region")));
    m.line = cleanText(o.value(QLatin1String("line")));
    m.host = cleanText(o.value(QLatin1String("host")));
    m.name = cleanText(o.value(QLatin1String("name")));
    d.verdict = Verdict::Accepted;
    return d;
}
