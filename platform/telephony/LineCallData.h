#pragma once

#include "platform/telephony/Tapi.h"

#include <QByteArray>

// What a provider knows about one call; the telephony layer lays it out as LINECALLINFO.
struct LineCallData
{
    DWORD origin = LINECALLORIGIN_INBOUND;
    DWORD state = LINECALLSTATE_IDLE;
    QByteArray callerId;
    QByteArray callerName;
    QByteArray calledId;
};
