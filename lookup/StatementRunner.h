#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>

#include <functional>

class DbQuery;

// Runs every statement of the caller lookup with one way of reporting a failure, and keeps
// the monthly log of failed statements ("PhoneLog" + yyyymm + ".log" in the program folder).
// The log is never created here: a month is logged only when its file already exists.
class StatementRunner
{
public:
    explicit StatementRunner(QString folder, std::function<QDateTime()> now = &QDateTime::currentDateTime);

    // Closes the query, makes sql its only line, then opens it (isQuery) or executes it.
    // On a database failure: the provider's message to the log, the query closed, false, and
    // in *error the notice the user is shown, failureNotice(). Errors of other kinds reach
    // the caller.
    bool run(const QString& sql, bool isQuery, DbQuery& query, QString* error = nullptr);
    // The same for a statement that returns rows, with values bound to its '?' in order.
    bool runWithValues(const QString& sql, const QVariantList& values, DbQuery& query, QString* error = nullptr);

    // What the user is told of a failed statement (a box "系统提示"); the details are in the log.
    static QString failureNotice();

    // Appends "MM/dd/yyyy hh:mm:ss " + text + CR LF to this month's log if that file exists.
    void writeLog(const QString& text);

    // The log file of the month of `when`.
    QString logFileName(const QDateTime& when) const;

private:
    bool run(const QString& sql, const QVariantList& values, bool isQuery, DbQuery& query, QString* error);

    QString m_folder;
    std::function<QDateTime()> m_now;
};
