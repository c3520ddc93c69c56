#include "setup/SourceCatalog.h"

#include "platform/Error.h"

namespace {
void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}
} // namespace

bool SourceCatalog::open(const QString& connectString, QString* error)
{
    try {
        m_connection.close();
        m_connection.setConnectionString(connectString);
        m_connection.open();
        return true;
    } catch (const Error& e) {
        setError(error, e.message());
        return false;
    }
}

void SourceCatalog::close()
{
    m_connection.close();
}

bool SourceCatalog::isOpen() const
{
    return m_connection.connected();
}

bool SourceCatalog::listTables(QStringList* tables, QString* error)
{
    tables->clear();
    try {
        *tables = m_connection.tableNames();
        return true;
    } catch (const Error& e) {
        setError(error, e.message());
        return false;
    }
}

QStringList SourceCatalog::fields(const QString& table, QString* error)
{
    if (table.isEmpty())
        return {};
    try {
        return m_connection.fieldNames(table);
    } catch (const Error& e) {
        setError(error, e.message());
        return {};
    }
}

SourceCatalog::TestResult SourceCatalog::test(const QString& connectString, QString* error)
{
    DbConnection connection;
    TestResult result = TestResult::NotConnected;
    try {
        connection.setConnectionString(connectString);
        connection.open();
        if (connection.connected())
            result = TestResult::Connected;
    } catch (const Error& e) {
        setError(error, e.message());
        result = TestResult::Failed;
    }
    connection.close();
    return result;
}
