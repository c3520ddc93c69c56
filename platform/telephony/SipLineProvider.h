#pragma once

#include "platform/telephony/LineProvider.h"
#include "platform/telephony/SipAccount.h"
#include "platform/telephony/SipStack.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// Line devices on SIP accounts. An incoming INVITE is answered 180 Ringing and offered with
// the caller's number (P-Asserted-Identity, else Remote-Party-ID, else the From user);
// CANCEL or BYE ends it. lineDrop turns a ringing call away with 486 Busy Here and ends a
// connected one with BYE; lineDecline turns a ringing call away with 603 Decline. Outgoing
// calls go to number@domain. No audio is carried: the calls are watched, never listened to.
//
// Calls are taken only from the account's registrar (or, listen-only, from the allowed
// peers); anyone else is refused with 403 and counted in the line's report. The caller's
// identity headers are believed only from such a known peer; otherwise From is the number.
//
// The SIP stack itself (sofia-sip, and OpenSSL with it) is a plugin, loaded when the first
// account goes on line: the line is always installed, and most desks never have an account.
// Without the plugin an account's device says why in its state and cannot be opened.
//
// The accounts live in a JSON file readable by its owner only (it holds passwords). Without
// a file there is one device waiting for its account, so that the configuration dialog
// can be reached from the device list.
class SipLineProvider final : public LineProvider, private SipStackListener
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SipLineProvider)

public:
    using ConfigDialog = std::function<void(SipLineProvider& provider, DWORD device, QWidget* owner)>;

    // The SIP stack is made by the plugin named stackPlugin.
    explicit SipLineProvider(QString configFile, QString stackPlugin = QStringLiteral("vornx_sip"),
                             QObject* parent = nullptr);
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
    // "未配置", "未注册", "已注册", "注册失败: <status>", "仅监听", or why the port or the SIP
    // stack could not be used.
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

signals:
    void registrationChanged(DWORD device, const QString& state);

private:
    struct Device
    {
        SipAccount account;
        QString registration;
        int openCount = 0;
        int refused = 0;
    };

    void start(DWORD device);
    void stop(DWORD device);
    void setRegistration(DWORD device, const QString& state);
    SipStack* stack(QString* error);

    void reportRegistration(DWORD device, SipRegistration state, const QString& detail, int code) override;
    void reportRefusedCall(DWORD device) override;
    bool isWatched(DWORD device) const override;
    void reportNewCall(DWORD device, DWORD callId) override;
    void reportCallState(DWORD device, DWORD callId, DWORD state, DWORD mode) override;
    void reportCallInfo(DWORD device, DWORD callId, DWORD infoStates) override;
    void reportRequestCompleted(DWORD requestId, LONG result, DWORD device, DWORD callId) override;

    QString m_configFile;
    std::vector<Device> m_devices;
    ConfigDialog m_configDialog;
    QString m_stackPlugin;
    std::unique_ptr<SipStack> m_stack;
    int m_retryMs = 30000;
};
