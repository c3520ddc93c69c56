#include "lookup/DbTable.h"

#include "lookup/DbConnection.h"
#include "lookup/DbError.h"

#include <QSqlDriver>

DbTable::DbTable(DbConnection* connection, QObject* parent)
    : DbDataSet(connection, parent)
{
}

void DbTable::setTableName(const QString& name)
{
    close();
    m_tableName = name;
}

void DbTable::activate()
{
    if (isOpen())
        return;
    if (!connection())
        throw DbError(tr("没有指定数据库连接。"));
    if (!connection()->connected())
        connection()->open();
    const QString name = connection()->database().driver()->escapeIdentifier(m_tableName, QSqlDriver::TableName);
    load(QStringLiteral("SELECT * FROM ") + name);
}

void DbTable::deactivate()
{
    close();
}
