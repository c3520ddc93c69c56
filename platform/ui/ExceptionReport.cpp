#include "platform/ui/ExceptionReport.h"

#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/ui/MessageBoxes.h"

void ShowExceptionReport(const QString& text)
{
    MessageBoxes::show({QMessageBox::Critical, Application::title(), ExceptionReportText(text), QMessageBox::Ok,
                        QMessageBox::Ok});
}

void ShowExceptionReport(const std::exception& e)
{
    if (const auto* error = dynamic_cast<const Error*>(&e))
        ShowExceptionReport(error->message());
    else
        ShowExceptionReport(QString::fromLocal8Bit(e.what()));
}
