#pragma once

#include <QString>
#include <QStringList>

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
    // Reads every stored value of the telephone fields, one column per field, after the
    // row's SQLite rowid when withRowId.
    QString valuesStatement(bool withRowId) const;
    // The statement with each field's condition replaced by an exact match on one of `count`
    // bound values ('?'); the values are bound once per field, in field order. With rowIds,
    // the rows are first named by `rowIds` SQLite rowids, bound before the values, so that
    // SQLite reads only those rows instead of the whole table.
    QString exactStatement(int count, int rowIds = 0) const;

private:
    QString m_head; // "select ... where "
    QString m_table;
    QStringList m_fields;
};
