#pragma once

#include "lookup/DbDataSet.h"

// A statement on a connection. The statement is the text of its lines, joined by line
// ends. open() runs a statement that returns rows and keeps them with the first record
// current; execSql() runs one that returns none. Both open a closed connection first and
// throw DbError with the provider's message on failure.
class DbQuery : public DbDataSet
{
    Q_OBJECT

public:
    explicit DbQuery(DbConnection* connection = nullptr, QObject* parent = nullptr);

    // Clears the lines and the bound values.
    void clearSql();
    void addSql(const QString& line);
    QString sql() const;
    // Values for the '?' of a statement that returns rows, bound in order: they reach the
    // database as data, whatever characters they hold.
    void setBoundValues(const QVariantList& values);

    void open();
    void execSql();

private:
    QStringList m_lines;
    QVariantList m_values;
};
