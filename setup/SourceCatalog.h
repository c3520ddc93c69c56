#pragma once

#include "lookup/DbConnection.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The database the user chose in the mapping wizard, open while the wizard maps it: its
// tables and the fields of a table. A source that cannot be opened or listed lists nothing
// and says why.
class SourceCatalog
{
    Q_DISABLE_COPY_MOVE(SourceCatalog)

public:
    SourceCatalog() = default;

    // Closes the source open before, if any.
    bool open(const QString& connectString, QString* error = nullptr);
    void close();
    bool isOpen() const;

    // False, listing nothing, when the source cannot list its tables.
    bool listTables(QStringList* tables, QString* error = nullptr);
    // Empty for a name that is no table of the source, e.g. one still being typed.
    QStringList fields(const QString& table, QString* error = nullptr);

    enum class TestResult
    {
        Connected,
        NotConnected, // the provider opened nothing and gave no reason
        Failed,       // with the provider's reason
    };
    // Opens the string once and closes it again, for "测试连接" and to find out whether a
    // server answers. Safe on any thread: the connection is its own.
    static TestResult test(const QString& connectString, QString* error = nullptr);

private:
    DbConnection m_connection;
};
