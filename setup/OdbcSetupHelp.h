#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What "新建(&E)..." tells where no ODBC administrator program is installed: the files that
// hold the user's and the system's data sources, and entries to copy into them.
class OdbcSetupHelp
{
    Q_DECLARE_TR_FUNCTIONS(OdbcSetupHelp)

public:
    // drivers are the installed drivers' names; the examples use those of the SQLite and
    // PostgreSQL drivers Debian installs, which the list tells apart from what is there.
    static QString text(const QString& userFile, const QString& systemFile, const QStringList& drivers);
};
