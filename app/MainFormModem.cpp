#include "app/MainForm.h"

void TMainForm::SetModemDefaults()
{
}

void TMainForm::btnMonitorClick()
{
}

void TMainForm::btnTestModemClick()
{
}
