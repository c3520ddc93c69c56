#pragma once

#include "setup/SourceCatalog.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

// One try at opening a connection string, made on a thread of the global pool with a
// connection of its own, so that a server that does not answer holds no window for the
// driver's login timeout. The result comes as finished() on the owner's thread; an attempt
// destroyed before it ends says nothing.
class ConnectionAttempt final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConnectionAttempt)

public:
    explicit ConnectionAttempt(QObject* parent = nullptr);
    ~ConnectionAttempt() override;

    // True for a data source reached through a driver, which may sit behind a server; a file
    // opens at once or not at all and is opened where it is needed.
    static bool reachesServer(const QString& connectString);

    // Once per attempt.
    void start(const QString& connectString);

signals:
    void finished(SourceCatalog::TestResult result, const QString& error);

private:
    struct Outcome
    {
        SourceCatalog::TestResult result = SourceCatalog::TestResult::NotConnected;
        QString error;
    };
    QFutureWatcher<Outcome> m_watcher;
};
