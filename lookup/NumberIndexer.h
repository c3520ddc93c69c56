#pragma once

#include "lookup/IndexedStatement.h"
#include "lookup/NumberIndex.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Keeps the number index of one data source fresh on a thread of its own, with a connection
// of its own, so that the caller window never waits for it: the first index is built at once,
// a new one when the database file changed (SQLite and Access, seen at the next lookup),
// every few minutes for ODBC sources, whose changes cannot be seen, and when asked (a lookup
// found nothing) - then no sooner than ten times the last build's duration after it, so that
// callers nobody knows cannot keep a large table's index building all the time. Until an
// index is ready, and while a file's index is out of date, there is none, and lookups run the
// customer statement as written.
class NumberIndexer
{
    Q_DISABLE_COPY_MOVE(NumberIndexer)

public:
    // Hands every stored value of the statement's telephone fields to `add`, with its row's
    // key (IndexedStatement::rowKeyNumber) where the table has them (-1 otherwise); false with the reason in *error
    // when the values cannot be read. Reading stops early, with false, once `stop` is set.
    using AddValue = std::function<void(const QString& value, qint64 rowId)>;
    using Loader = std::function<bool(const QString& connectString, const IndexedStatement& statement,
                                      const AddValue& add, const std::atomic<bool>& stop, QString* error)>;

    static constexpr std::chrono::minutes OdbcRefresh{3};

    // Starts building. Without a loader, the values are read from the database.
    NumberIndexer(QString connectString, IndexedStatement statement, Loader loader = {});
    // Stops a build under way and waits for the thread.
    ~NumberIndexer();

    // The index to look up in now; null when there is none yet or the file it was built from
    // has changed since (a new one is then being built).
    std::shared_ptr<const NumberIndex> current();
    // Asks for a new index, built after the one under way if any.
    void refresh();
    // Indexes completed so far, and why the last attempt failed ("" when it did not).
    int builds() const;
    QString lastError() const;

    const IndexedStatement& statement() const { return m_statement; }
    // How the index's rows are named when it holds row keys: by the kind of source.
    IndexedStatement::RowKey rowKey() const { return rowKeyOf(m_connectString); }
    static IndexedStatement::RowKey rowKeyOf(const QString& connectString);

    // Reads the values through a connection of its own, opened and closed on the calling thread.
    static bool loadFromDatabase(const QString& connectString, const IndexedStatement& statement,
                                 const AddValue& add, const std::atomic<bool>& stop, QString* error);

private:
    void run();
    // The database file's size and times of last change (with SQLite's write-ahead log), or
    // "" for a source that is no file.
    QString fileStamp() const;

    const QString m_connectString;
    const IndexedStatement m_statement;
    const Loader m_loader;
    QString m_file; // the SQLite or Access file, "" for ODBC

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_wanted = true;
    bool m_refreshWanted = false;
    std::chrono::steady_clock::time_point m_lastEnd;
    std::chrono::steady_clock::duration m_lastDuration{};
    std::shared_ptr<const NumberIndex> m_index;
    QString m_indexStamp;
    QString m_buildingStamp;
    int m_builds = 0;
    QString m_lastError;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
