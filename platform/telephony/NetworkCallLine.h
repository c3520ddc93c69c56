#pragma once

#include "platform/telephony/LineProvider.h"

#include <QList>
#include <QPair>
#include <QString>

// One line device whose calls come over the network already finished: each arrives with
// its caller ID, rings once and is over a moment later, as a ringing line that the caller
// hung up on would. There is nothing to answer or dial; lineMakeCall and lineDrop are
// refused. The device's state ("TAPI转换信息") is a text that the provider keeps current.
class NetworkCallLine : public LineProvider
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NetworkCallLine)

public:
    explicit NetworkCallLine(QObject* parent = nullptr);

    QString state() const { return m_state; }
    bool isOpen() const { return m_opens > 0; }
    // How long an offered call stays in the offering state before it is over.
    void setCallLength(int ms) { m_callLengthMs = ms; }

    DWORD deviceCount() const override { return 1; }
    LineDeviceCaps caps(DWORD device) const override;
    QImage icon(DWORD) const override { return {}; }
    LONG open(DWORD device) override;
    void close(DWORD device) override;
    LONG makeCall(DWORD device, DWORD requestId, const QByteArray& number) override;
    LONG drop(DWORD device, DWORD callId, DWORD requestId) override;
    bool callData(DWORD device, DWORD callId, LineCallData* data) const override;
    LONG configDialog(DWORD device, QWidget* owner) override;

signals:
    // The device's state changed; the line report is to be shown again.
    void stateChanged(const QString& state);

protected:
    // The device's name, the provider's name and where it connects to, for its caps.
    virtual QByteArray lineName() const = 0;
    virtual QByteArray providerName() const = 0;
    virtual QString peer() const = 0;
    virtual DWORD permanentLineId() const = 0;
    // The first open and the last close of the device.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual LONG showConfigDialog(QWidget* owner) = 0;

    void setState(const QString& state);
    // Offers one call with its caller ID while the device is open; a call still on the line
    // is ended first, so that no call is swallowed by the one before it.
    bool offerCall(const QByteArray& number, const QByteArray& name);

private:
    void endCall();

    QString m_state;
    int m_opens = 0;
    int m_callLengthMs = 1500;
    DWORD m_nextCallId = 1;
    DWORD m_callId = 0;
    LineCallData m_call;
    // Calls already over, newest last: the line reads a call's caller ID from its queued
    // messages, which may come after the next call of a burst has ended this one.
    QList<QPair<DWORD, LineCallData>> m_endedCalls;
    class QTimer* m_hangUp;
};
