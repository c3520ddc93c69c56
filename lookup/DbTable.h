#pragma once

#include "lookup/DbDataSet.h"

// One table of a connection, opened as a result with all its rows and columns.
class DbTable : public DbDataSet
{
    Q_OBJECT

public:
    explicit DbTable(DbConnection* connection = nullptr, QObject* parent = nullptr);

    void setTableName(const QString& name);
    const QString& tableName() const { return m_tableName; }

    // Throws DbError with the provider's message.
    void activate();
    void deactivate();
    bool isActive() const { return isOpen(); }

private:
    QString m_tableName;
};
