#pragma once

#include "platform/telephony/SipAccount.h"
#include "platform/telephony/Tapi.h"

#include <QString>
#include <QtPlugin>

#include <memory>

struct LineCallData;

// Where an account stands with the network, as the SIP stack reports it, with what the
// report names besides.
enum class SipRegistration
{
    Unregistered, // started, not yet answered
    Registered,
    Failed,     // the registrar's answer: code 403, detail "Forbidden"
    Unresolved, // detail: the registrar's host name that could not be looked up
    ListenOnly,
    PortUnusable, // detail: the address, code: the port
};

// What the SIP stack tells the line provider it works for, always on the provider's thread.
// Devices are the provider's device numbers.
class SipStackListener
{
public:
    virtual ~SipStackListener() = default;

    virtual void reportRegistration(DWORD device, SipRegistration state, const QString& detail, int code) = 0;
    // A call came from an address the account does not take calls from, and was refused.
    virtual void reportRefusedCall(DWORD device) = 0;
    // Whether anyone watches the device; calls to an unwatched device are turned away.
    virtual bool isWatched(DWORD device) const = 0;
    virtual void reportNewCall(DWORD device, DWORD callId) = 0;
    virtual void reportCallState(DWORD device, DWORD callId, DWORD state, DWORD mode) = 0;
    virtual void reportCallInfo(DWORD device, DWORD callId, DWORD infoStates) = 0;
    virtual void reportRequestCompleted(DWORD requestId, LONG result, DWORD device, DWORD callId) = 0;
};

// The SIP agents of the line devices: one per account on line, with its registration and
// its one call at a time. The requests answer as LineProvider's do.
class SipStack
{
public:
    virtual ~SipStack() = default;

    // Puts the account on line as the device; retryMs is how long after a failed
    // registration or name lookup it is tried again.
    virtual void start(DWORD device, const SipAccount& account, int retryMs) = 0;
    // Ends the device's call and takes it off line (unregistering).
    virtual void stop(DWORD device) = 0;

    virtual LONG makeCall(DWORD device, DWORD requestId, const QByteArray& number) = 0;
    // A ringing incoming call is turned away with 486 Busy Here.
    virtual LONG drop(DWORD device, DWORD callId, DWORD requestId) = 0;
    // A ringing incoming call is turned away with 603 Decline.
    virtual LONG decline(DWORD device, DWORD callId, DWORD requestId) = 0;
    virtual bool callData(DWORD device, DWORD callId, LineCallData* data) const = 0;
};

// The root object of the SIP plugin.
class SipStackFactory
{
public:
    virtual ~SipStackFactory() = default;

    // The listener outlives the stack.
    virtual std::unique_ptr<SipStack> createStack(SipStackListener& listener) = 0;
};

#define VORNX_SIP_STACK_FACTORY_IID "io.github.vornx.SipStackFactory/1.0"
Q_DECLARE_INTERFACE(SipStackFactory, VORNX_SIP_STACK_FACTORY_IID)
