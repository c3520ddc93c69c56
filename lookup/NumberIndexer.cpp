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
        m_wanted = true;
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
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (!m_wanted) {
            if (m_file.isEmpty()) {
                // An ODBC source's changes cannot be seen, so its index is renewed now and then.
                if (!m_wake.wait_for(lock, OdbcRefresh, [this] { return m_stop || m_wanted; }))
                    m_wanted = true;
            } else {
                m_wake.wait(lock, [this] { return m_stop || m_wanted; });
            }
            continue;
        }
        m_wanted = false;
        // Taken before reading, so that a change made while reading shows as a change later.
        const QString stamp = fileStamp();
        m_buildingStamp = stamp;
        lock.unlock();

        NumberIndex::Builder builder;
        QString error;
        const bool read = m_loader(m_connectString, m_statement, [&builder](const QString& value) { builder.add(value); },
                                   m_stop, &error);
        std::shared_ptr<const NumberIndex> index;
        if (read)
            index = std::make_shared<const NumberIndex>(builder.finish());

        lock.lock();
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

bool NumberIndexer::loadFromDatabase(const QString& connectString, const IndexedStatement& statement,
                                     const std::function<void(const QString&)>& add, const std::atomic<bool>& stop,
                                     QString* error)
{
    DbConnection connection;
    connection.setConnectionString(connectString);
    try {
        connection.open();
        QSqlQuery query(connection.database());
        query.setForwardOnly(true);
        if (!query.exec(statement.valuesStatement())) {
            *error = query.lastError().text();
            return false;
        }
        const int columns = int(statement.fields().size());
        int rows = 0;
        while (query.next()) {
            for (int column = 0; column < columns; ++column) {
                const QVariant value = query.value(column);
                if (!value.isNull())
                    add(value.toString());
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
