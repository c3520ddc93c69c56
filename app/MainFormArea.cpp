#include "app/MainForm.h"

void TMainForm::LoadAreaCodes()
{
}
