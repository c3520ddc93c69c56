#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;
class SimulatedLineProvider;

// Lets another process drive the simulated line of the running program over a local socket
// (the `simline` tool, end-to-end tests, a demo). One command per line, one reply line per
// command: "OK ..." or "ERROR <what went wrong>".
//
//   status                      one "<device> <open|closed> <call state>" entry per device
//   offer DEV [NUMBER [NAME]]   a new incoming call, with the caller ID when given
//   callerid DEV NUMBER [NAME]  the caller ID of the current call
//   ring DEV                    one more ring of the current call
//   connect DEV | disconnect DEV | idle DEV
//   close DEV                   the device closes the line by itself
//   result DEV CODE             reply of the next outgoing calls (0 or an error code)
class SimulatedLineControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SimulatedLineControl)

public:
    SimulatedLineControl(SimulatedLineProvider* provider, QObject* parent = nullptr);

    // Listens on the socket file `path`, replacing a stale one left by an earlier run.
    bool listen(const QString& path, QString* error = nullptr);

    QByteArray execute(const QByteArray& command);

private:
    void serve();

    SimulatedLineProvider* m_provider;
    QLocalServer* m_server;
};
