#include "setup/ConnectionAttempt.h"

#include "lookup/ConnectionString.h"
#include "platform/Error.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <memory>

namespace {
struct Outcome
{
    SourceCatalog::TestResult result = SourceCatalog::TestResult::NotConnected;
    QString error;
};
} // namespace

ConnectionAttempt::ConnectionAttempt(QObject* parent) : QObject(parent) {}

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
    const int attempt = ++m_current;
    auto* watcher = new QFutureWatcher<Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, attempt] {
        watcher->deleteLater();
        if (attempt != m_current)
            return;
        const Outcome outcome = watcher->result();
        emit finished(outcome.result, outcome.error);
    });
    // The pool's thread keeps the promise alive until it has answered, even when this object
    // is gone by then; the global pool is waited for when the application ends.
    auto promise = std::make_shared<QPromise<Outcome>>();
    promise->start();
    watcher->setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, connectString] {
        Outcome outcome;
        outcome.result = SourceCatalog::test(connectString, &outcome.error);
        promise->addResult(outcome);
        promise->finish();
    });
}

void ConnectionAttempt::cancel()
{
    ++m_current;
}
