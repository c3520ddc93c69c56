#include "app/MainForm.h"

#include "capture/LineMessage.h"

#include <QLabel>

void TMainForm::OnCallerNumber(const LineMessage& message)
{
    Label4->setText(QString::fromLocal8Bit(message.text()));
}

void TMainForm::OnLineRing(const LineMessage&)
{
}

void TMainForm::OnRingDone()
{
}
