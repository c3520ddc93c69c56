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
    // Reads every stored value of the telephone fields, one column per field.
    QString valuesStatement() const;
    // The statement with each field's condition replaced by an exact match on one of `count`
    // bound values ('?'); the values are bound once per field, in field order.
    QString exactStatement(int count) const;

private:
    QString m_head; // "select ... where "
    QString m_table;
    QStringList m_fields;
};
