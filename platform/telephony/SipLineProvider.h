#pragma once

#include "platform/telephony/LineProvider.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QTimer;

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
};

// Line devices on SIP accounts (sofia-sip). An incoming INVITE is answered 180 Ringing and
// offered with the caller's number (P-Asserted-Identity, else Remote-Party-ID, else the
// From user); CANCEL or BYE ends it. lineDrop turns a ringing call away with 486 Busy Here
// and ends a connected one with BYE; lineDecline turns a ringing call away with 603 Decline. Outgoing calls go to number@domain. No audio is
// carried: the calls are watched, never listened to.
//
// Calls are taken only from the account's registrar (or, listen-only, from the allowed
// peers); anyone else is refused with 403 and counted in the line's report. The caller's
// identity headers are believed only from such a known peer; otherwise From is the number.
//
// The accounts live in a JSON file readable by its owner only (it holds passwords). Without
// a file there is one device waiting for its account, so that the configuration dialog
// can be reached from the device list.
class SipLineProvider final : public LineProvider
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SipLineProvider)

public:
    using ConfigDialog = std::function<void(SipLineProvider& provider, DWORD device, QWidget* owner)>;

    explicit SipLineProvider(QString configFile, QObject* parent = nullptr);
    ~SipLineProvider() override;

    bool load(QString* error = nullptr);
    bool save(QString* error = nullptr) const;
    QString configFile() const { return m_configFile; }

    const SipAccount& account(DWORD device) const { return m_devices.at(device).account; }
    // Replaces the account and restarts the device on it.
    void setAccount(DWORD device, const SipAccount& account);
    void setConfigDialog(ConfigDialog dialog) { m_configDialog = std::move(dialog); }
    // How long after a failed registration it is tried again (the registrar or the network
    // may be back by then); takes effect for accounts started afterwards.
    void setRetryInterval(int ms) { m_retryMs = ms; }
    // "未配置", "未注册", "已注册", "注册失败: <status>", "仅监听", or why the port could not be used.
    QString registrationState(DWORD device) const { return m_devices.at(device).registration; }
    // Calls refused because they came from an unknown address.
    int refusedCalls(DWORD device) const { return m_devices.at(device).refused; }
    // One thread and a few sockets per account: more than this is a mistake in the file.
    static constexpr int kMaxAccounts = 16;
    // A file of accounts is a few hundred bytes; anything near this is not one.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    DWORD deviceCount() const override { return DWORD(m_devices.size()); }
    LineDeviceCaps caps(DWORD device) const override;
    QImage icon(DWORD) const override { return {}; }
    LONG open(DWORD device) override;
    void close(DWORD device) override;
    LONG makeCall(DWORD device, DWORD requestId, const QByteArray& number) override;
    LONG drop(DWORD device, DWORD callId, DWORD requestId) override;
    LONG decline(DWORD device, DWORD callId, DWORD requestId) override;
    bool callData(DWORD device, DWORD callId, LineCallData* data) const override;
    LONG configDialog(DWORD device, QWidget* owner) override;

    // sofia-sip's event callback; public for the C callback trampoline only.
    struct Event;
    void handle(const Event& event);

signals:
    void registrationChanged(DWORD device, const QString& state);

private:
    struct Device
    {
        SipAccount account;
        struct nua_s* nua = nullptr;
        struct nua_handle_s* registration_handle = nullptr;
        QString registration;
        int authAttempts = 0;
        QTimer* retry = nullptr;
        int openCount = 0;
        // The current call.
        DWORD callId = 0;
        struct nua_handle_s* call = nullptr;
        LineCallData data;
        bool connected = false;
        DWORD pendingRequest = 0; // makeCall waiting for the first answer
        int callAuthAttempts = 0;
        // Where calls may come from, and the address the port is bound to.
        QList<QHostAddress> peers;
        bool peersKnown = false;
        QString boundAddress;
        int refused = 0;
        // Bumped by stop(), so that a name lookup finishing late starts nothing.
        int generation = 0;
    };

    void start(DWORD device);
    struct su_root_s* root();
    void createAgent(DWORD device, const QString& bindAddress);
    bool fromKnownPeer(const Device& d, const QHostAddress& source) const;
    void stop(DWORD device);
    void registerAccount(DWORD device);
    void setRegistration(DWORD device, const QString& state);
    void endCall(DWORD device, bool notify);
    LONG endCallWith(DWORD device, DWORD callId, DWORD requestId, int inboundStatus);
    bool authenticate(Device& d, struct nua_handle_s* nh, const void* sip);
    int deviceOf(const struct nua_s* nua) const;

    QString m_configFile;
    std::vector<Device> m_devices;
    ConfigDialog m_configDialog;
    struct su_root_s* m_root = nullptr;
    QTimer* m_pump;
    DWORD m_nextCallId = 1;
    int m_retryMs = 30000;
};
