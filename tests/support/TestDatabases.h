#pragma once

#include <QString>

class DbConnection;

// The real databases the data-layer tests run on: ODBC data sources defined in a temporary
// configuration folder, and the PostgreSQL server that the CTest fixture starts.
namespace TestDatabases {

struct PostgresServer
{
    bool available = false;
    QString reason; // why not available
    QString socketDir;
    QString port;
    QString user;
    QString password;
    QString database;
};

// The server described by the state file named in VORNX_PG_STATE (tests/support/pgserver.sh).
PostgresServer postgresServer();

// True when the run must not skip what it cannot reach (CI=true).
bool underCi();

// Points unixODBC at odbc.ini and odbcinst.ini in `folder` (ODBCSYSINI, ODBCINI) and
// writes them with the given data sources. Call before the first ODBC connection.
class OdbcConfig
{
public:
    explicit OdbcConfig(QString folder);
    void addSqlite(const QString& dsn, const QString& databaseFile);
    void addPostgres(const QString& dsn, const PostgresServer& server);
    bool write() const;

private:
    QString m_folder;
    QString m_sources;
};

// The customer data every kind of database is tested with (lower-case names, which all of
// them accept unquoted): customers ALFKI (030-0074321), CHN01 张三 (010-8861049) and CHN02
// 李四 (021-8861049); orders 1 and 2 of CHN01, 3 of ALFKI, 4 of CHN02; an empty table
// "customer notes". With `sqlite`, also a table that makes SQLite keep sqlite_sequence.
void createCustomerTables(DbConnection& connection, bool sqlite);

} // namespace TestDatabases
