#include "app/MainForm.h"

void TMainForm::StartTapi()
{
}

void TMainForm::ReleaseTapi()
{
}
