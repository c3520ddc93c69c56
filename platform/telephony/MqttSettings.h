#pragma once

#include <QString>

// The broker the desks share calls through, kept in a JSON file of the program folder that
// only its owner may read (it holds the broker password). No host: no broker, nothing is
// published and the MQTT line stays idle.
struct MqttSettings
{
    QString host;
    int port = 1883;
    QString prefix = QStringLiteral("vornx");
    // Empty: one is made from the host name; a fixed one lets the broker keep the calls
    // that arrive while this desk is away.
    QString clientId;
    QString user;
    QString password;
    bool tls = false;
    QString caFile; // with TLS: the broker's certificate is checked against it
    int keepAlive = 30;

    bool configured() const { return !host.isEmpty(); }
    QString callTopic() const { return prefix + QStringLiteral("/call"); }

    // A missing file gives the defaults; a broken one the defaults and `error`.
    static MqttSettings read(const QString& file, QString* error = nullptr);
    // Written whole, readable and writable by the owner only.
    bool write(const QString& file, QString* error = nullptr) const;
};
