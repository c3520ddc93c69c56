#include "lookup/NumberIndexer.h"

#include "lookup/ConnectionString.h"
#include "lookup/DbConnection.h"
#include "lookup/DbError.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// How many rows are read between looks at the stop flag.
constexpr int RowsBetweenStops = 4096;
// A build asked for by a lookup waits this many times the last build's duration.
constexpr int RefreshGapFactor = 10;
} // namespace

NumberIndexer::NumberIndexer(QString connectString, IndexedStatement statement, Loader loader)
    : m_connectString(std::move(connectString)), m_statement(std::move(statement)),
      m_loader(loader ? std::move(loader) : Loader(&NumberIndexer::loadFromDatabase))
{
    const ConnectionString target = ConnectionString::parse(m_connectString);
    if (target.kind() != ConnectionString::Kind::Odbc) {
        // Named without a folder, the file lies in the program folder (as the connection finds it).
        m_file = QFileInfo(target.dataSource()).isAbsolute() ? target.dataSource()
                                                             : ProgramFolder::file(target.dataSource());
    }
    m_thread = std::thread([this] { run(); });
}

NumberIndexer::~NumberIndexer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

std::shared_ptr<const NumberIndex> NumberIndexer::current()
{
    std::lock_guard lock(m_mutex);
    if (!m_index || m_file.isEmpty())
        return m_index;
    const QString stamp = fileStamp();
    if (stamp == m_indexStamp)
        return m_index;
    // Changed since: a new index is asked for unless one of this very file is being built.
    if (stamp != m_buildingStamp) {
        m_wanted = true;
        m_wake.notify_all();
    }
    return nullptr;
}

void NumberIndexer::refresh()
{
    {
        std::lock_guard lock(m_mutex);
        m_refreshWanted = true;
    }
    m_wake.notify_all();
}

int NumberIndexer::builds() const
{
    std::lock_guard lock(m_mutex);
    return m_builds;
}

QString NumberIndexer::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

QString NumberIndexer::fileStamp() const
{
    if (m_file.isEmpty())
        return {};
    QString stamp;
    for (const QString& file : {m_file, m_file + QStringLiteral("-wal")}) {
        const QFileInfo info(file);
        if (info.exists())
            stamp += QString::number(info.size()) + QLatin1Char('@')
                     + QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char(';');
    }
    return stamp;
}

void NumberIndexer::run()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (!m_wanted) {
            std::optional<Clock::time_point> due;
            if (m_refreshWanted)
                due = m_lastEnd + RefreshGapFactor * m_lastDuration;
            // An ODBC source's changes cannot be seen, so its index is renewed now and then.
            if (m_file.isEmpty())
                due = std::min(due.value_or(Clock::time_point::max()), m_lastEnd + OdbcRefresh);
            if (due && Clock::now() >= *due) {
                m_wanted = true;
            } else {
                const bool refreshWanted = m_refreshWanted;
                const auto woken = [&] { return m_stop || m_wanted || m_refreshWanted != refreshWanted; };
                if (due)
                    m_wake.wait_until(lock, *due, woken);
                else
                    m_wake.wait(lock, woken);
            }
            continue;
        }
        m_wanted = false;
        m_refreshWanted = false;
        // Taken before reading, so that a change made while reading shows as a change later.
        const QString stamp = fileStamp();
        m_buildingStamp = stamp;
        lock.unlock();

        const Clock::time_point start = Clock::now();
        NumberIndex::Builder builder;
        QString error;
        const bool read = m_loader(
            m_connectString, m_statement, [&builder](const QString& value, qint64 rowId) { builder.add(value, rowId); },
            m_stop, &error);
        std::shared_ptr<const NumberIndex> index;
        if (read)
            index = std::make_shared<const NumberIndex>(builder.finish());

        lock.lock();
        m_lastEnd = Clock::now();
        m_lastDuration = m_lastEnd - start;
        m_buildingStamp.clear();
        if (read) {
            m_index = std::move(index);
            m_indexStamp = stamp;
            ++m_builds;
            m_lastError.clear();
        } else {
            m_lastError = error;
        }
    }
}

IndexedStatement::RowKey NumberIndexer::rowKeyOf(const QString& connectString)
{
    return ConnectionString::parse(connectString).kind() == ConnectionString::Kind::Odbc
               ? IndexedStatement::RowKey::Ctid
               : IndexedStatement::RowKey::RowId;
}

bool NumberIndexer::loadFromDatabase(const QString& connectString, const IndexedStatement& statement,
                                     const AddValue& add, const std::atomic<bool>& stop, QString* error)
{
    DbConnection connection;
    connection.setConnectionString(connectString);
    try {
        connection.open();
        QSqlQuery query(connection.database());
        query.setForwardOnly(true);
        // Rows named by a key are read directly at lookup; a table whose rows have none (a
        // view, a table without rowids, a database other than SQLite or PostgreSQL) is read
        // by its values alone.
        IndexedStatement::RowKey key = rowKeyOf(connectString);
        if (!query.exec(statement.valuesStatement(key))) {
            key = IndexedStatement::RowKey::None;
            if (!query.exec(statement.valuesStatement(key))) {
                *error = query.lastError().text();
                return false;
            }
        }
        const int first = key == IndexedStatement::RowKey::None ? 0 : 1;
        const int columns = int(statement.fields().size()) + first;
        int rows = 0;
        while (query.next()) {
            const qint64 rowId = first ? IndexedStatement::rowKeyNumber(key, query.value(0)) : -1;
            for (int column = first; column < columns; ++column) {
                const QVariant value = query.value(column);
                if (!value.isNull())
                    add(value.toString(), rowId);
            }
            if (++rows % RowsBetweenStops == 0 && stop)
                return false;
        }
        if (query.lastError().isValid()) {
            *error = query.lastError().text();
            return false;
        }
    } catch (const DbError& e) {
        *error = e.message();
        return false;
    }
    return !stop;
}
