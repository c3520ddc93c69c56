#pragma once

#include <QHostAddress>
#include <QProcess>
#include <QUdpSocket>

// A SIP peer (sipp) calling the program's SIP line, which listens on the loopback.

// A UDP port free on the loopback right now, so that tests running side by side do not meet.
inline quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

// Starts sipp with one call of the scenario to user 8001 at the line's port, from caller with
// the display name; sipp gives up after 15 s.
inline void startSipCaller(QProcess& sipp, quint16 linePort, const QString& scenario, const QString& caller,
                           const QString& display)
{
    sipp.setProcessChannelMode(QProcess::MergedChannels);
    sipp.start(QStringLiteral("sipp"),
               {QStringLiteral("127.0.0.1:%1").arg(linePort), "-sf", scenario, "-nostdin", "-i", "127.0.0.1", "-p",
                QString::number(freeUdpPort()), "-m", "1", "-timeout", "15s", "-timeout_error", "-s", "8001", "-key",
                "caller", caller, "-key", "display", display});
}
