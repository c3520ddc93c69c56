#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The one base of the errors the program raises with a text meant for the user. A command
// catches it once at its top and shows the text; the statement runner catches it to
// report a failed statement. Errors of other kinds (out of memory, logic faults) are not
// derived from it and are not caught there.
class Error : public std::exception
{
public:
    explicit Error(QString message);

    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
