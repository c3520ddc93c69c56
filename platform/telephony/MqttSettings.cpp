#include "platform/telephony/MqttSettings.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
constexpr qint64 LargestFile = 64 * 1024;
}

MqttSettings MqttSettings::read(const QString& path, QString* error)
{
    MqttSettings s;
    QFile file(path);
    if (!file.exists())
        return s;
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return MqttSettings{};
    };
    if (file.size() > LargestFile)
        return fail(QStringLiteral("file too large"));
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // A copied or hand-made file may be readable by everyone; it holds a password.
    constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (file.permissions() & others)
        file.setPermissions(file.permissions() & ~others);
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(LargestFile), &parseError);
    if (!doc.isObject())
        return fail(parseError.errorString());
    const QJsonObject o = doc.object();
    s.host = o.value(QLatin1String("host")).toString().trimmed();
    s.port = o.value(QLatin1String("port")).toInt(s.port);
    s.prefix = o.value(QLatin1String("prefix")).toString(s.prefix);
    s.clientId = o.value(QLatin1String("clientId")).toString();
    s.user = o.value(QLatin1String("user")).toString();
    s.password = o.value(QLatin1String("password")).toString();
    s.tls = o.value(QLatin1String("tls")).toBool(false);
    s.caFile = o.value(QLatin1String("caFile")).toString();
    s.keepAlive = o.value(QLatin1String("keepAlive")).toInt(s.keepAlive);
    if (s.port < 1 || s.port > 65535)
        return fail(QStringLiteral("invalid port %1").arg(s.port));
    if (s.keepAlive < 5 || s.keepAlive > 65535)
        return fail(QStringLiteral("invalid keepAlive %1").arg(s.keepAlive));
    // Wildcards or an empty level would subscribe to, or publish into, other topics.
    if (s.prefix.isEmpty() || s.prefix.contains(QLatin1Char('#')) || s.prefix.contains(QLatin1Char('+')))
        return fail(QStringLiteral("invalid prefix \"%1\"").arg(s.prefix));
    if (s.tls && s.caFile.isEmpty())
        return fail(QStringLiteral("TLS needs caFile"));
    return s;
}

bool MqttSettings::write(const QString& path, QString* error) const
{
    const QJsonObject o{{QStringLiteral("host"), host},         {QStringLiteral("port"), port},
                        {QStringLiteral("prefix"), prefix},     {QStringLiteral("clientId"), clientId},
                        {QStringLiteral("user"), user},         {QStringLiteral("password"), password},
                        {QStringLiteral("tls"), tls},           {QStringLiteral("caFile"), caFile},
                        {QStringLiteral("keepAlive"), keepAlive}};
    QSaveFile file(path);
    // The password must never be readable by others, not even for a moment.
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                    file.write(QJsonDocument(o).toJson()) >= 0 && file.commit();
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return ok;
}
