#pragma once

#include <QString>

// The connection strings the data-source wizards build.
namespace LinkStrings {

// A piece as it goes into a string: blanks and control characters at both ends removed, and
// put in double quotes (inner ones doubled) when it holds ';' or '=' or starts with a quote,
// so that a password or a path cannot end its value early or add a key of its own.
QString piece(const QString& text);

// "Provider=MSDASQL.1;Persist Security Info=False;User ID=u;Password=p;Data Source=dsn"
QString odbc(const QString& user, const QString& password, const QString& dataSource);

// "Provider=Microsoft.Jet.OLEDB.4.0;User ID=u;Data Source=file;Persist Security Info=False;
//  Jet OLEDB:Database Password=p"
QString access(const QString& user, const QString& file, const QString& password);

// "Provider=SQLite;Data Source=file"
QString sqlite(const QString& file);

} // namespace LinkStrings

// The maker's inventory product: its installation folder holds "LoginDB.mdb", whose table
// "Login" lists the account sets (Name, CoName, Path), all under one database password.
namespace InventoryLink {

QString loginDbFile(const QString& folder); // folder ends with a separator
QString loginDbString(const QString& folder);
QString accountSetString(const QString& accountFile);

} // namespace InventoryLink
