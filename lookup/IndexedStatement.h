#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// A customer statement of the shape the data-source wizard writes, understood well enough to
// look its telephone fields up by exact value:
//   select <columns> from <table> b where  b.<field> like '%#NO#' or b.<field> like '%#NO#' ...
// Any other shape (joins, further conditions, ordering, parameters) is not understood, and the
// statement is then only ever run as written.
class IndexedStatement
{
public:
    static std::optional<IndexedStatement> parse(const QString& sql);

    // The telephone fields as the statement names them (quoted names keep their quotes).
    const QStringList& fields() const { return m_fields; }
    // How a row is named directly: SQLite's rowid (SQLite files, Access copies) or
    // PostgreSQL's ctid (over ODBC); reading a row so named takes no scan of the table.
    enum class RowKey { None, RowId, Ctid };

    // Reads every stored value of the telephone fields, one column per field, after the
    // row's key unless RowKey::None.
    QString valuesStatement(RowKey key) const;
    // The statement with each field's condition replaced by an exact match on one of `count`
    // bound values ('?'); the values are bound once per field, in field order. With rowKeys,
    // the rows are first named by that many keys, bound before the values, so that the
    // database reads only those rows; the values still decide which of them match. The rows
    // after the last key read, where new rows go, follow, matched by the same values: after
    // the keys and the values, that key is bound, then the values once per field again.
    QString exactStatement(int count, int rowKeys = 0, RowKey key = RowKey::None) const;
    // What exactStatement(values.size(), rowKeys.size(), key) binds, in its order; lastRowKey
    // is the last key read when the row keys were.
    QVariantList exactValues(const QStringList& values, const QList<qint64>& rowKeys, RowKey key,
                             qint64 lastRowKey) const;

    // A row key as read by valuesStatement() as a number (-1 when it is none), and back as
    // the value exactStatement() binds.
    static qint64 rowKeyNumber(RowKey key, const QVariant& value);
    static QVariant rowKeyValue(RowKey key, qint64 number);

private:
    QString m_head; // "select ... where "
    QString m_table;
    QStringList m_fields;
};
