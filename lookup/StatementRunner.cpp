#include "lookup/StatementRunner.h"

#include "lookup/DbQuery.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringEncoder>

StatementRunner::StatementRunner(QString folder, std::function<QDateTime()> now)
    : m_folder(std::move(folder))
    , m_now(std::move(now))
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

bool StatementRunner::run(const QString& sql, bool isQuery, DbQuery& query, QString* error)
{
    return run(sql, {}, isQuery, query, error);
}

bool StatementRunner::runWithValues(const QString& sql, const QVariantList& values, DbQuery& query, QString* error)
{
    return run(sql, values, true, query, error);
}

bool StatementRunner::run(const QString& sql, const QVariantList& values, bool isQuery, DbQuery& query,
                          QString* error)
{
    try {
        query.close();
        query.clearSql();
        query.addSql(sql);
        query.setBoundValues(values);
        if (isQuery)
            query.open();
        else
            query.execSql();
        return true;
    } catch (const Error& e) {
        query.close();
        writeLog(e.message());
        if (error)
            *error = failureNotice();
        return false;
    }
}

QString StatementRunner::failureNotice()
{
    return QCoreApplication::translate("StatementRunner", "数据库操作失败!");
}

QString StatementRunner::logFileName(const QDateTime& when) const
{
    return m_folder + QStringLiteral("PhoneLog") + when.toString(QStringLiteral("yyyyMM")) + QStringLiteral(".log");
}

void StatementRunner::writeLog(const QString& text)
{
    QFile file(logFileName(m_now()));
    // Opened for update only: a missing month's file is not created and the line is dropped.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return;
    if (!file.seek(file.size()))
        return;
    const QString line = m_now().toString(QStringLiteral("MM/dd/yyyy HH:mm:ss ")) + text + QStringLiteral("\r\n");
    QStringEncoder gbk("GB18030");
    file.write(gbk.encode(line));
    file.flush();
}
