#include "platform/telephony/NetworkCallLine.h"

#include <QTimer>

NetworkCallLine::NetworkCallLine(QObject* parent) : LineProvider(parent), m_hangUp(new QTimer(this))
{
    m_hangUp->setSingleShot(true);
    connect(m_hangUp, &QTimer::timeout, this, &NetworkCallLine::endCall);
}

LineDeviceCaps NetworkCallLine::caps(DWORD) const
{
    LineDeviceCaps c;
    c.lineName = lineName();
    c.providerInfo = providerName();
    c.switchInfo = QStringLiteral("%1 (%2)").arg(peer(), m_state).toUtf8();
    c.permanentLineId = permanentLineId();
    c.addressModes = LINEADDRESSMODE_DIALABLEADDR;
    // Only the caller ID travels: no voice, no data.
    c.mediaModes = LINEMEDIAMODE_UNKNOWN | LINEMEDIAMODE_DATAMODEM;
    c.numTerminals = 0;
    return c;
}

LONG NetworkCallLine::open(DWORD)
{
    if (++m_opens == 1)
        start();
    return 0;
}

void NetworkCallLine::close(DWORD)
{
    if (m_opens == 0)
        return;
    if (--m_opens == 0) {
        m_hangUp->stop();
        m_callId = 0;
        m_endedCalls.clear();
        stop();
    }
}

LONG NetworkCallLine::makeCall(DWORD, DWORD, const QByteArray&)
{
    return LINEERR_OPERATIONUNAVAIL;
}

// The line drops a call that was disconnected; the call is over here already or now.
LONG NetworkCallLine::drop(DWORD, DWORD callId, DWORD requestId)
{
    if (callId != 0 && callId == m_callId)
        endCall();
    QTimer::singleShot(0, this, [this, requestId] { emit requestCompleted(requestId, 0, 0, 0); });
    return 0;
}

bool NetworkCallLine::callData(DWORD, DWORD callId, LineCallData* data) const
{
    if (callId == 0)
        return false;
    if (callId == m_callId) {
        *data = m_call;
        return true;
    }
    for (const auto& [id, call] : m_endedCalls) {
        if (id == callId) {
            *data = call;
            return true;
        }
    }
    return false;
}

LONG NetworkCallLine::configDialog(DWORD, QWidget* owner)
{
    return showConfigDialog(owner);
}

void NetworkCallLine::setState(const QString& state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(m_state);
}

bool NetworkCallLine::offerCall(const QByteArray& number, const QByteArray& name)
{
    if (m_opens == 0)
        return false;
    if (m_callId != 0)
        endCall();
    m_callId = m_nextCallId++;
    m_call = LineCallData{};
    m_call.state = LINECALLSTATE_OFFERING;
    emit newCall(0, m_callId);
    emit callStateChanged(0, m_callId, LINECALLSTATE_OFFERING, 0);
    m_call.callerId = number;
    m_call.callerName = name;
    emit callInfoChanged(0, m_callId, LINECALLINFOSTATE_CALLERID);
    emit lineDevStateChanged(0, LINEDEVSTATE_RINGING, 0, 1);
    m_hangUp->start(m_callLengthMs);
    return true;
}

void NetworkCallLine::endCall()
{
    m_hangUp->stop();
    if (m_callId == 0)
        return;
    // Forgotten as the current call first: the line drops the call while it hears of the
    // disconnection.
    const DWORD callId = m_callId;
    m_callId = 0;
    m_call.state = LINECALLSTATE_IDLE;
    m_endedCalls.append({callId, m_call});
    if (m_endedCalls.size() > 256)
        m_endedCalls.removeFirst();
    emit callStateChanged(0, callId, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
    emit callStateChanged(0, callId, LINECALLSTATE_IDLE, 0);
}
