#include "TestDatabases.h"

#include "lookup/DbConnection.h"
#include "lookup/DbQuery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TestDatabases {

namespace {
QString driverLibrary(const QString& name)
{
    for (const QFileInfo& dir : QDir(QStringLiteral("/usr/lib")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString candidate = dir.filePath() + QStringLiteral("/odbc/") + name;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return name;
}
} // namespace

bool underCi()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

PostgresServer postgresServer()
{
    PostgresServer server;
    const QString stateFile = qEnvironmentVariable("VORNX_PG_STATE");
    QFile file(stateFile);
    if (stateFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        server.reason = QStringLiteral("no PostgreSQL test server (run the test through ctest)");
        return server;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1));
        if (key == "unavailable")
            server.reason = value;
        else if (key == "dir")
            server.socketDir = value;
        else if (key == "port")
            server.port = value;
        else if (key == "user")
            server.user = value;
        else if (key == "password")
            server.password = value;
        else if (key == "database")
            server.database = value;
    }
    server.available = server.reason.isEmpty() && !server.socketDir.isEmpty();
    return server;
}

OdbcConfig::OdbcConfig(QString folder)
    : m_folder(std::move(folder))
{
}

void OdbcConfig::addSqlite(const QString& dsn, const QString& databaseFile)
{
    m_sources += QStringLiteral("[%1]\nDriver=%2\nDatabase=%3\n\n")
                     .arg(dsn, driverLibrary(QStringLiteral("libsqlite3odbc.so")), databaseFile);
}

void OdbcConfig::addPostgres(const QString& dsn, const PostgresServer& server)
{
    // No user or password here: they must come from the connection string.
    m_sources += QStringLiteral("[%1]\nDriver=%2\nServername=%3\nPort=%4\nDatabase=%5\n\n")
                     .arg(dsn, driverLibrary(QStringLiteral("psqlodbcw.so")), server.socketDir, server.port,
                          server.database);
}

bool OdbcConfig::write() const
{
    QFile sources(m_folder + QStringLiteral("/odbc.ini"));
    QFile drivers(m_folder + QStringLiteral("/odbcinst.ini"));
    if (!sources.open(QIODevice::WriteOnly) || !drivers.open(QIODevice::WriteOnly))
        return false;
    sources.write(m_sources.toUtf8());
    qputenv("ODBCSYSINI", QFile::encodeName(m_folder));
    qputenv("ODBCINI", QFile::encodeName(sources.fileName()));
    return true;
}

void createCustomerTables(DbConnection& connection, bool sqlite)
{
    DbQuery q(&connection);
    const QStringList statements = {
        QStringLiteral("drop table if exists orders"),
        QStringLiteral("drop table if exists customers"),
        QStringLiteral("drop table if exists \"customer notes\""),
        QStringLiteral("create table customers (customerid varchar(10), companyname varchar(40), "
                       "contactname varchar(30), phone varchar(24), fax varchar(24))"),
        QStringLiteral("insert into customers values ('ALFKI','Alfreds Futterkiste','Maria Anders','030-0074321','030-0076545')"),
        QStringLiteral("insert into customers values ('CHN01','北京贸易公司','张三','010-8861049',NULL)"),
        QStringLiteral("insert into customers values ('CHN02','上海商行','李四','021-8861049',NULL)"),
        QStringLiteral("create table orders (orderid integer, customerid varchar(10), orderdate date, amount numeric(10,2))"),
        QStringLiteral("insert into orders values (1,'CHN01','2004-05-01',12.5), (2,'CHN01','2004-05-03',7), "
                       "(3,'ALFKI','2004-05-04',1), (4,'CHN02','2004-06-01',3.25)"),
        QStringLiteral("create table \"customer notes\" (customerid varchar(10), \"note text\" varchar(40))"),
    };
    for (const QString& s : statements) {
        q.clearSql();
        q.addSql(s);
        q.execSql();
    }
    if (sqlite) {
        // Makes SQLite keep its own sqlite_sequence table, which must not be listed.
        q.clearSql();
        q.addSql(QStringLiteral("create table counters (id integer primary key autoincrement, v integer)"));
        q.execSql();
        q.clearSql();
        q.addSql(QStringLiteral("insert into counters (v) values (1)"));
        q.execSql();
    }
}

} // namespace TestDatabases
