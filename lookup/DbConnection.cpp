#include "lookup/DbConnection.h"

#include "lookup/ConnectionString.h"
#include "lookup/DbError.h"
#include "platform/ProgramFolder.h"
#include "platform/db/AccessMirror.h"
#include "platform/db/OdbcDataSources.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include <atomic>

namespace {
std::atomic<int> g_counter{0};

// A file named without a folder lies in the program folder, beside "Vornx.ini".
QString resolvedFile(const QString& name)
{
    if (QFileInfo(name).isAbsolute())
        return name;
    return ProgramFolder::file(name);
}
} // namespace

DbConnection::DbConnection()
    : m_name(QStringLiteral("vornx-db-%1").arg(++g_counter))
{
}

DbConnection::~DbConnection()
{
    close();
}

void DbConnection::setConnectionString(const QString& text)
{
    m_connectionString = text;
}

void DbConnection::setAccessMirror(AccessMirror* mirror)
{
    m_mirror = mirror;
}

void DbConnection::open()
{
    close();
    const ConnectionString target = ConnectionString::parse(m_connectionString);
    QSqlDatabase db;
    switch (target.kind()) {
    case ConnectionString::Kind::Odbc:
        UseHomeOdbcUserSources();
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
        db.setDatabaseName(target.dataSource());
        db.setUserName(target.userId());
        db.setPassword(target.password());
        // A server that does not answer must not hold the window for long.
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=10"));
        break;
    case ConnectionString::Kind::Access: {
        AccessMirror fallback;
        AccessMirror* mirror = m_mirror ? m_mirror : &fallback;
        QString file;
        QString error;
        if (!mirror->refresh(resolvedFile(target.dataSource()), &file, &error))
            throw DbError(error);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        // Statements that change data would change only the copy and be lost.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        break;
    }
    case ConnectionString::Kind::Sqlite: {
        // SQLite would create a missing file and then report missing tables instead.
        const QString file = resolvedFile(target.dataSource());
        if (!QFileInfo(file).isFile())
            throw DbError(tr("找不到 SQLite 数据库文件：%1").arg(file));
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        break;
    }
    }
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(tr("数据库驱动不可用。"));
    }
    if (!db.open()) {
        const QString message = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(message);
    }
    m_open = true;
}

void DbConnection::close()
{
    if (!m_open)
        return;
    m_open = false;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool DbConnection::connected() const
{
    return m_open;
}

QSqlDatabase DbConnection::database() const
{
    if (!m_open)
        throw DbError(tr("数据库连接未打开。"));
    return QSqlDatabase::database(m_name, false);
}

QStringList DbConnection::tableNames()
{
    const QSqlDatabase db = database();
    QStringList names = db.tables(QSql::Tables) + db.tables(QSql::Views);
    if (db.lastError().isValid())
        throw DbError(db.lastError().text());
    // SQLite keeps its own bookkeeping in tables named "sqlite_...", which no user can create.
    names.removeIf([](const QString& name) { return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive); });
    names.removeDuplicates();
    names.sort(Qt::CaseInsensitive);
    return names;
}

QStringList DbConnection::fieldNames(const QString& table)
{
    const QSqlDatabase db = database();
    const QSqlRecord record = db.record(table);
    if (record.isEmpty())
        throw DbError(tr("找不到表“%1”或表中没有字段。").arg(table));
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}
