#include "app/CallPublisher.h"

#include "lookup/CallerLookup.h"
#include "lookup/CallerRecord.h"
#include "platform/telephony/MqttClient.h"
#include "platform/telephony/MqttLineProvider.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace {

bool isMobile(const QString& number)
{
    return number.size() == 11 && number.startsWith(QLatin1Char('1'));
}

} // namespace

CallPublisher::CallPublisher(const MqttSettings& settings, std::function<QDateTime()> now, QObject* parent)
    : QObject(parent), m_settings(settings), m_now(std::move(now))
{
    // The listening line of the same desk may use the configured client id; the two must
    // differ or the broker would throw one of them out whenever the other connects.
    const QString id = settings.clientId.isEmpty()
                           ? QStringLiteral("vornx-publish-%1-%2")
                                 .arg(QSysInfo::machineHostName())
                                 .arg(QCoreApplication::applicationPid())
                           : settings.clientId + QStringLiteral("-publish");
    m_client = new MqttClient(settings, id, false, this);
    m_client->start();
}

CallPublisher::~CallPublisher()
{
    m_client->stop();
}

void CallPublisher::announce(const QByteArray& received, const QString& number, const QString& region,
                             const CallerRecord& record, const QString& sourceLine)
{
    const MqttCallMessage m = message(received, number, region, customerName(record), sourceLine);
    if (!m.number.isEmpty())
        publish(m);
}

MqttCallMessage CallPublisher::message(const QByteArray& received, const QString& number, const QString& region,
                                       const QString& customerName, const QString& sourceLine) const
{
    MqttCallMessage m;
    if (sourceLine == QString::fromUtf8(MqttLineProvider::deviceName()))
        return m;
    // The number as the line gave it, up to the text around it ("NMBR=" and the like);
    // the taken number when the line gave nothing else of use.
    QByteArray digits;
    for (char c : received.left(64)) {
        if (c >= '0' && c <= '9')
            digits.append(c);
        else if (!digits.isEmpty())
            break;
    }
    m.number = digits.isEmpty() ? number.toLatin1() : digits;
    if (m.number.isEmpty())
        return m;
    m.national = nationalForm(number, region).toLatin1();
    m.region = region;
    m.time = m_now();
    m.time = m.time.toOffsetFromUtc(m.time.offsetFromUtc());
    m.line = sourceLine;
    m.host = QSysInfo::machineHostName();
    m.name = customerName;
    return m;
}

void CallPublisher::publish(const MqttCallMessage& message)
{
    m_client->publish(m_settings.callTopic(), message.toJson());
    ++m_published;
}

QString CallPublisher::nationalForm(const QString& number, const QString& region)
{
    QString n = number;
    if (n.startsWith(QLatin1String("0086")))
        n = n.mid(4);
    else if (n.startsWith(QLatin1String("86")) && n.size() >= 12)
        n = n.mid(2);
    while (n.startsWith(QLatin1Char('0')))
        n.remove(0, 1);
    if (n.isEmpty())
        return number;
    // A region is only found for long-distance and mobile numbers; local ones have none.
    if (!region.isEmpty() && !isMobile(n))
        return QLatin1Char('0') + n;
    if (isMobile(n))
        return n;
    return number;
}

QString CallPublisher::customerName(const CallerRecord& record)
{
    if (record.source() == CallerRecord::Source::None || record.failed())
        return {};
    const QString name = record.rowText(3).trimmed();
    for (const QString& notFound : {CallerLookup::databaseNotFoundText(), CallerLookup::addressBookNotFoundText(),
                                    CallerLookup::connectFailedText(), CallerLookup::statementFailedText()}) {
        if (name == notFound)
            return {};
    }
    return name;
}
