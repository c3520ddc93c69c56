#include "lookup/DbDataSet.h"

#include "lookup/DbConnection.h"
#include "lookup/DbError.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

DbDataSet::DbDataSet(DbConnection* connection, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
{
}

void DbDataSet::setConnection(DbConnection* connection)
{
    close();
    m_connection = connection;
}

void DbDataSet::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_fields.clear();
    m_rows.clear();
    m_current = 0;
    m_eof = m_bof = true;
    emit resultChanged();
}

void DbDataSet::load(const QString& statement, const QVariantList& values)
{
    close();
    if (!m_connection)
        throw DbError(tr("没有指定数据库连接。"));
    if (!m_connection->connected())
        m_connection->open();
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    if (values.isEmpty()) {
        if (!query.exec(statement))
            throw DbError(query.lastError().text());
    } else {
        if (!query.prepare(statement))
            throw DbError(query.lastError().text());
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            throw DbError(query.lastError().text());
    }
    if (!query.isSelect())
        throw DbError(tr("语句没有返回记录集。"));
    const QSqlRecord record = query.record();
    QStringList fields;
    for (int i = 0; i < record.count(); ++i)
        fields << record.fieldName(i);
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        row.reserve(fields.size());
        for (int i = 0; i < fields.size(); ++i)
            row << query.value(i);
        rows << row;
    }
    if (query.lastError().isValid())
        throw DbError(query.lastError().text());
    m_fields = fields;
    m_rows = std::move(rows);
    m_open = true;
    m_current = 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    emit resultChanged();
}

void DbDataSet::checkOpen() const
{
    if (!m_open)
        throw DbError(tr("数据集未打开，无法执行此操作。"));
}

void DbDataSet::setCurrent(int row)
{
    m_current = row;
    emit currentChanged();
}

void DbDataSet::first()
{
    checkOpen();
    m_bof = true;
    m_eof = m_rows.isEmpty();
    setCurrent(0);
}

void DbDataSet::next()
{
    checkOpen();
    if (m_eof)
        return;
    m_bof = false;
    if (m_current + 1 >= m_rows.size()) {
        m_eof = true;
        return;
    }
    setCurrent(m_current + 1);
}

void DbDataSet::prior()
{
    checkOpen();
    if (m_bof)
        return;
    m_eof = false;
    if (m_current == 0) {
        m_bof = true;
        return;
    }
    setCurrent(m_current - 1);
}

bool DbDataSet::eof() const
{
    return m_eof;
}

bool DbDataSet::bof() const
{
    return m_bof;
}

QStringList DbDataSet::fieldNames() const
{
    checkOpen();
    return m_fields;
}

QString DbDataSet::fieldText(const QString& name) const
{
    checkOpen();
    const qsizetype column = m_fields.indexOf(name, 0);
    if (column >= 0)
        return fieldText(int(column));
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return fieldText(i);
    }
    throw DbError(tr("找不到字段“%1”。").arg(name));
}

QString DbDataSet::fieldText(int column) const
{
    checkOpen();
    if (column < 0 || column >= m_fields.size())
        throw DbError(tr("字段序号 %1 超出范围。").arg(column));
    if (m_rows.isEmpty())
        throw DbError(tr("数据集中没有记录。"));
    return valueText(m_rows.at(m_current).at(column));
}

int DbDataSet::recordCount() const
{
    return m_open ? int(m_rows.size()) : 0;
}

int DbDataSet::currentIndex() const
{
    return m_current;
}

QString DbDataSet::text(int row, int column) const
{
    if (!m_open || row < 0 || row >= m_rows.size() || column < 0 || column >= m_fields.size())
        return QString();
    return valueText(m_rows.at(row).at(column));
}

void DbDataSet::moveTo(int row)
{
    checkOpen();
    if (row < 0 || row >= m_rows.size())
        return;
    m_bof = row == 0;
    m_eof = false;
    setCurrent(row);
}

QString DbDataSet::valueText(const QVariant& value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}
