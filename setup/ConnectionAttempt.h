#pragma once

#include "setup/SourceCatalog.h"

#include <QObject>
#include <QString>

// Tries to open connection strings on a thread of the global pool, each with a connection of
// its own, so that a server that does not answer holds no window for the driver's login
// timeout. Only the newest attempt answers, as finished() on the owner's thread: starting
// another, cancel(), or the end of this object silences those before it.
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

    void start(const QString& connectString);
    void cancel();

signals:
    void finished(SourceCatalog::TestResult result, const QString& error);

private:
    int m_current = 0;
};
