#include "app/MainForm.h"

#include "capture/LineMessage.h"
#include "capture/ModemExchange.h"
#include "platform/serial/MSComm.h"

#include <QCoreApplication>

void TMainForm::SetModemDefaults()
{
}

void TMainForm::btnMonitorClick()
{
}

void TMainForm::btnTestModemClick()
{
}

void TMainForm::MSComm1Comm()
{
    switch (MSComm1->CommEvent()) {
    case CMSComm::comEvReceive:
        for (const QByteArray& number : m_callerIdParser.feed(MSComm1->Input())) {
            CallerNumber = number;
            QCoreApplication::postEvent(this, new LineMessage(WM_CALLER_NUMBER, CallerNumber, 121));
        }
        break;
    case CMSComm::comEvCD:
        // The carrier came up: nudge the port and throw away what the modem said about it.
        if (MSComm1->CDHolding()) {
            MSComm1->Output(QByteArray());
            ModemExchange::WaitSent(*MSComm1);
            MSComm1->Input();
        }
        break;
    case CMSComm::comEvRing:
        QCoreApplication::postEvent(this, new LineMessage(WM_LINE_RING, QByteArray(), 4));
        break;
    default:
        break;
    }
}
