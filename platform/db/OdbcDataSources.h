#pragma once

#include <QStringList>

// The names of the ODBC data sources the user can reach, user and system ones, as unixODBC
// lists them (odbc.ini files; ODBCINI and ODBCSYSINI name other ones). Each name once, in
// the driver manager's order.
QStringList OdbcDataSourceNames();
