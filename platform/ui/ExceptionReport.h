#pragma once

#include <QString>

#include <exception>

// The application's standard exception report: the text (with the full-stop rule), the
// application title as caption, the error icon. Used wherever an error escapes a handler.
void ShowExceptionReport(const QString& text);
void ShowExceptionReport(const std::exception& e);
