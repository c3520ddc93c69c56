#pragma once

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class AccessMirror;

// A connection to the user's database, described by a connection string (see
// ConnectionString). Every failure throws DbError with the provider's message.
class DbConnection
{
    Q_DECLARE_TR_FUNCTIONS(DbConnection)
    Q_DISABLE_COPY_MOVE(DbConnection)

public:
    DbConnection();
    ~DbConnection();

    // Takes effect at the next open().
    void setConnectionString(const QString& text);
    const QString& connectionString() const { return m_connectionString; }

    // Access files are read through a SQLite copy kept by this mirror (tests give their own);
    // without one the user's cache folder is used.
    void setAccessMirror(AccessMirror* mirror);

    void open();
    // Does nothing when closed.
    void close();
    bool connected() const;

    // Tables and views of the database without system tables, sorted by name.
    QStringList tableNames();
    // The fields of one table in the database's order.
    QStringList fieldNames(const QString& table);

    // The open database; throws DbError when the connection is closed.
    QSqlDatabase database() const;

private:
    QString m_connectionString;
    QString m_name;
    AccessMirror* m_mirror = nullptr;
    bool m_open = false;
};
