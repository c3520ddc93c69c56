#pragma once

#include <QString>
#include <QStringList>

// One SIP account, one line device.
struct SipAccount
{
    QString user;
    QString domain;
    QString password;
    // Where REGISTER and outgoing calls go, e.g. "sip:pbx.example.com:5060"; empty for the domain.
    QString registrar;
    QString transport = QStringLiteral("udp"); // "udp" or "tcp"
    int localPort = 5060;
    // No registration: a PBX or ATA sends its calls straight to the local port.
    bool listenOnly = false;
    // The address the port is bound to; empty: the interface that routes to the registrar,
    // or the loopback address in listen-only mode, so that nothing on the network reaches
    // the port before the user names an address.
    QString localAddress;
    // Listen-only mode: the PBX or ATA whose calls are taken. Empty: any caller that reaches
    // the bound address, but its own claims of identity (P-Asserted-Identity) are not trusted.
    QStringList allowedPeers;

    bool configured() const { return listenOnly || (!user.isEmpty() && !domain.isEmpty()); }
    QString address() const;
    // The registrar's URI, the domain's when none is named.
    QString registrarAddress() const;
};
