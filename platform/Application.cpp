#include "platform/Application.h"

namespace {
QString g_title;
QString g_helpFile;
} // namespace

QString Application::title()
{
    return g_title;
}

void Application::setTitle(const QString& title)
{
    g_title = title;
}

QString Application::helpFile()
{
    return g_helpFile;
}

void Application::setHelpFile(const QString& file)
{
    g_helpFile = file;
}

QString ExceptionReportText(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}
