#include "lookup/DbQuery.h"

#include "lookup/DbConnection.h"
#include "lookup/DbError.h"

#include <QSqlError>
#include <QSqlQuery>

DbQuery::DbQuery(DbConnection* connection, QObject* parent)
    : DbDataSet(connection, parent)
{
}

void DbQuery::clearSql()
{
    m_lines.clear();
    m_values.clear();
}

void DbQuery::setBoundValues(const QVariantList& values)
{
    m_values = values;
}

void DbQuery::addSql(const QString& line)
{
    m_lines << line;
}

QString DbQuery::sql() const
{
    return m_lines.join(QLatin1Char('\n'));
}

void DbQuery::open()
{
    load(sql(), m_values);
}

void DbQuery::execSql()
{
    close();
    if (!connection())
        throw DbError(tr("没有指定数据库连接。"));
    if (!connection()->connected())
        connection()->open();
    QSqlQuery query(connection()->database());
    if (!query.exec(sql()))
        throw DbError(query.lastError().text());
}
