#include "platform/db/OdbcDataSources.h"

#include <QDir>
#include <QFileInfo>

#include <sql.h>
#include <sqlext.h>

namespace {

// Walks SQLDataSources or SQLDrivers: both list a name and a description per entry.
template <typename Fetch> QStringList listNames(Fetch fetch)
{
    QStringList names;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return names;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR name[SQL_MAX_DSN_LENGTH * 4 + 1];
    SQLCHAR description[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(fetch(env, direction, name, SQLSMALLINT(sizeof name), &nameLength, description,
                               SQLSMALLINT(sizeof description), &descriptionLength))) {
        const QString entry = QString::fromUtf8(reinterpret_cast<const char*>(name));
        if (!names.contains(entry))
            names << entry;
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return names;
}

} // namespace

QStringList OdbcDataSourceNames()
{
    UseHomeOdbcUserSources();
    return listNames(&SQLDataSources);
}

QStringList OdbcDriverNames()
{
    return listNames(&SQLDrivers);
}

void UseHomeOdbcUserSources()
{
    if (qEnvironmentVariableIsSet("ODBCINI"))
        return;
    const QString file = QDir::homePath() + QStringLiteral("/.odbc.ini");
    if (QFileInfo(file).isFile())
        qputenv("ODBCINI", QFile::encodeName(file));
}

QString OdbcUserSourcesFile()
{
    const QString named = qEnvironmentVariable("ODBCINI");
    return named.isEmpty() ? QDir::homePath() + QStringLiteral("/.odbc.ini") : named;
}

QString OdbcSystemSourcesFile()
{
    const QString folder = qEnvironmentVariable("ODBCSYSINI");
    return (folder.isEmpty() ? QStringLiteral("/etc") : folder) + QStringLiteral("/odbc.ini");
}
