#pragma once

#include <QString>
#include <QStringList>

// The names of the ODBC data sources the user can reach, user and system ones, as unixODBC
// lists them (odbc.ini files; ODBCINI and ODBCSYSINI name other ones). Each name once, in
// the driver manager's order.
QStringList OdbcDataSourceNames();

// The names of the installed ODBC drivers, as a data source's "Driver=" line names them.
QStringList OdbcDriverNames();

// unixODBC looks for the user's data sources in the home folder of the account's passwd
// entry, not in $HOME; a user whose HOME differs would find "~/.odbc.ini" ignored, both in
// the list and when connecting. Points ODBCINI at $HOME/.odbc.ini when ODBCINI is unset and
// that file exists. Called before the driver manager reads its files.
void UseHomeOdbcUserSources();

// Where the user's and the system's data sources are written.
QString OdbcUserSourcesFile();
QString OdbcSystemSourcesFile();
