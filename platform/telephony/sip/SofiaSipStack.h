#pragma once

#include "platform/telephony/LineCallData.h"
#include "platform/telephony/SipStack.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

#include <map>

class QTimer;

// The SIP agents over sofia-sip. An incoming INVITE is answered 180 Ringing and offered
// with the caller's number (P-Asserted-Identity, else Remote-Party-ID, else the From user);
// CANCEL or BYE ends it. Outgoing calls go to number@domain. No audio is carried: the calls
// are watched, never listened to.
//
// Calls are taken only from the account's registrar (or, listen-only, from the allowed
// peers); anyone else is refused with 403. The caller's identity headers are believed only
// from such a known peer; otherwise From is the number.
class SofiaSipStack final : public QObject, public SipStack
{
    Q_DISABLE_COPY_MOVE(SofiaSipStack)

public:
    explicit SofiaSipStack(SipStackListener& listener);
    ~SofiaSipStack() override;

    void start(DWORD device, const SipAccount& account, int retryMs) override;
    void stop(DWORD device) override;
    LONG makeCall(DWORD device, DWORD requestId, const QByteArray& number) override;
    LONG drop(DWORD device, DWORD callId, DWORD requestId) override;
    LONG decline(DWORD device, DWORD callId, DWORD requestId) override;
    bool callData(DWORD device, DWORD callId, LineCallData* data) const override;

    // sofia-sip's event callback; public for the C callback trampoline only.
    struct Event;
    void handle(const Event& event);

private:
    struct Agent
    {
        SipAccount account;
        int retryMs = 0;
        struct nua_s* nua = nullptr;
        struct nua_handle_s* registration_handle = nullptr;
        int authAttempts = 0;
        QTimer* retry = nullptr;
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
        // Bumped by stop(), so that a name lookup finishing late starts nothing.
        int generation = 0;
    };

    void lookUpRegistrar(DWORD device);
    struct su_root_s* root();
    void createAgent(DWORD device, const QString& bindAddress);
    bool fromKnownPeer(const Agent& a, const QHostAddress& source) const;
    void registerAccount(DWORD device);
    void endCall(DWORD device, bool notify);
    LONG endCallWith(DWORD device, DWORD callId, DWORD requestId, int inboundStatus);
    bool authenticate(Agent& a, struct nua_handle_s* nh, const void* sip);
    int deviceOf(const struct nua_s* nua) const;
    Agent* agent(DWORD device);
    const Agent* agent(DWORD device) const;

    SipStackListener& m_listener;
    std::map<DWORD, Agent> m_agents;
    struct su_root_s* m_root = nullptr;
    QTimer* m_pump;
    DWORD m_nextCallId = 1;
};
