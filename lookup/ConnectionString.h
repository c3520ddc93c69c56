#pragma once

#include <QCoreApplication>
#include <QString>

// The data-source description stored in "Vornx.ini": an ADO-style connection string of
// "key=value" parts separated by ';' (keys without regard to case, values optionally in
// double or single quotes, a quote doubled inside). Three providers are understood:
//
//   Provider=MSDASQL.1;User ID=u;Password=p;Data Source=dsn    an ODBC data source (unixODBC)
//   Provider=Microsoft.Jet.OLEDB.4.0;Data Source=file.mdb;...  an Access file (.mdb or .accdb)
//   Provider=SQLite;Data Source=file.db                        a SQLite file
//
// Other keys (Persist Security Info, the Jet password, ...) are accepted and ignored.
// A file named without a folder is looked for in the program folder.
class ConnectionString
{
    Q_DECLARE_TR_FUNCTIONS(ConnectionString)

public:
    enum class Kind
    {
        Odbc,
        Access,
        Sqlite
    };

    // Throws DbError naming what is wrong: a part without '=', an unclosed quote, no or an
    // unknown provider, no or an empty data source. The texts never repeat a value, so a
    // password cannot leak into the statement log.
    static ConnectionString parse(const QString& text);

    Kind kind() const { return m_kind; }
    const QString& dataSource() const { return m_dataSource; }
    const QString& userId() const { return m_userId; }
    const QString& password() const { return m_password; }
    // The Access file's own password ("Jet OLEDB:Database Password").
    const QString& databasePassword() const { return m_databasePassword; }

private:
    Kind m_kind = Kind::Sqlite;
    QString m_dataSource;
    QString m_userId;
    QString m_password;
    QString m_databasePassword;
};
