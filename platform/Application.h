#pragma once

#include <QString>

// The application's title (the caption of the exception report) and its help file.
namespace Application {
QString title();
void setTitle(const QString& title);
QString helpFile();
void setHelpFile(const QString& file);
} // namespace Application

// The text of the standard exception report: a full stop is appended when the last
// character sorts after the full stop, so "…！" gets one and "…." or "…!" do not.
QString ExceptionReportText(const QString& text);
