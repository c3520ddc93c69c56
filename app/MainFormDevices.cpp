#include "app/MainForm.h"

void TMainForm::ApplyDeviceSettings()
{
}
