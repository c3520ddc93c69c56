#include "setup/ConnectionAttempt.h"

#include "lookup/ConnectionString.h"
#include "platform/Error.h"

#include <QPromise>
#include <QThreadPool>

#include <memory>

ConnectionAttempt::ConnectionAttempt(QObject* parent) : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<Outcome>::finished, this, [this] {
        const Outcome outcome = m_watcher.result();
        emit finished(outcome.result, outcome.error);
    });
}

ConnectionAttempt::~ConnectionAttempt() = default;

bool ConnectionAttempt::reachesServer(const QString& connectString)
{
    try {
        return ConnectionString::parse(connectString).kind() == ConnectionString::Kind::Odbc;
    } catch (const Error&) {
        return false;
    }
}

void ConnectionAttempt::start(const QString& connectString)
{
    // The pool's thread keeps the promise alive until it has answered, even when this object
    // is gone by then; the global pool is waited for when the application ends.
    auto promise = std::make_shared<QPromise<Outcome>>();
    promise->start();
    m_watcher.setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, connectString] {
        Outcome outcome;
        outcome.result = SourceCatalog::test(connectString, &outcome.error);
        promise->addResult(outcome);
        promise->finish();
    });
}
