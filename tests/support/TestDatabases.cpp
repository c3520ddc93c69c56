#include "TestDatabases.h"

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

} // namespace TestDatabases
