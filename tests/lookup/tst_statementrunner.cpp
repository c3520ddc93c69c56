#include "lookup/StatementRunner.h"
#include "lookup/DbConnection.h"
#include "lookup/DbQuery.h"
#include "platform/Error.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

class TestStatementRunner : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QDateTime m_now;
    DbConnection m_connection;

    QString folder() const { return m_dir.path(); }
    QString logFile(const char* month) const { return m_dir.filePath(QStringLiteral("PhoneLog%1.log").arg(QLatin1String(month))); }
    void createLog(const char* month, const QByteArray& content = QByteArray())
    {
        QFile f(logFile(month));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QString readLog(const char* month) const
    {
        QFile f(logFile(month));
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("<missing>");
        QStringDecoder gbk("GB18030");
        return gbk.decode(f.readAll());
    }
    StatementRunner module()
    {
        return StatementRunner(folder(), [this] { return m_now; });
    }

private slots:
    void initTestCase()
    {
        const QString db = m_dir.filePath(QStringLiteral("c.db"));
        QFile f(db);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        m_connection.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + db);
        m_connection.open();
        DbQuery q(&m_connection);
        q.addSql(QStringLiteral("create table Unit (Name text, Phone text)"));
        q.execSql();
        q.clearSql();
        q.addSql(QStringLiteral("insert into Unit values ('林建华', '059187654321')"));
        q.execSql();
    }

    void init()
    {
        m_now = QDateTime(QDate(2004, 5, 14), QTime(9, 5, 7));
        for (const char* m : {"200405", "200406"})
            QFile::remove(logFile(m));
    }

    void logFileNamePerMonth()
    {
        const StatementRunner m = module();
        QCOMPARE(m.logFileName(m_now), folder() + QStringLiteral("/PhoneLog200405.log"));
    }

    void writeLogAppendsOnlyToAnExistingFile()
    {
        StatementRunner m = module();
        m.writeLog(QStringLiteral("lost"));
        QVERIFY(!QFile::exists(logFile("200405")));

        createLog("200405", "earlier line\r\n");
        m.writeLog(QStringLiteral("表 Unit 不存在"));
        m_now = m_now.addSecs(3600 * 14); // 23:05:07, 24-hour clock
        m.writeLog(QString());
        QCOMPARE(readLog("200405"), QStringLiteral("earlier line\r\n05/14/2004 09:05:07 表 Unit 不存在\r\n05/14/2004 23:05:07 \r\n"));
    }

    void monthEndGoesToTwoFiles()
    {
        createLog("200405");
        createLog("200406");
        StatementRunner m = module();
        m_now = QDateTime(QDate(2004, 5, 31), QTime(23, 59, 59));
        m.writeLog(QStringLiteral("a"));
        m_now = QDateTime(QDate(2004, 6, 1), QTime(0, 0, 1));
        m.writeLog(QStringLiteral("b"));
        QCOMPARE(readLog("200405"), QStringLiteral("05/31/2004 23:59:59 a\r\n"));
        QCOMPARE(readLog("200406"), QStringLiteral("06/01/2004 00:00:01 b\r\n"));
    }

    void runSqlSucceeds()
    {
        StatementRunner m = module();
        DbQuery q(&m_connection);
        QVERIFY(m.run(QStringLiteral("select Name, Phone from Unit b where  b.Phone like '%87654321' "), true, q));
        QVERIFY(q.isOpen());
        QCOMPARE(q.sql(), QStringLiteral("select Name, Phone from Unit b where  b.Phone like '%87654321' "));
        QCOMPARE(q.fieldText(0), QStringLiteral("林建华"));
        // The statement replaces the previous one and the query is reopened.
        QVERIFY(m.run(QStringLiteral("select Name from Unit b where  b.Phone like '%0000' "), true, q));
        QVERIFY(q.isOpen());
        QVERIFY(q.eof() && q.bof());
        QString error = QStringLiteral("untouched");
        QVERIFY(m.run(QStringLiteral("update Unit set Name = Name where Phone = 'none'"), false, q, &error));
        QVERIFY(!q.isOpen());
        QCOMPARE(error, QStringLiteral("untouched"));
    }

    void runSqlFailureNotifiesAndLogs()
    {
        createLog("200405");
        StatementRunner m = module();
        DbQuery q(&m_connection);
        QVERIFY(m.run(QStringLiteral("select * from Unit"), true, q));
        QString error;
        QVERIFY(!m.run(QStringLiteral("select * from BillIndex"), true, q, &error));
        QVERIFY(!q.isOpen());
        // The user is told in plain words; the provider's message is only in the log.
        QCOMPARE(error, QStringLiteral("数据库操作失败!"));
        QCOMPARE(StatementRunner::failureNotice(), error);
        const QString log = readLog("200405");
        QVERIFY2(log.startsWith(QLatin1String("05/14/2004 09:05:07 ")) && log.contains(QLatin1String("BillIndex"))
                     && log.endsWith(QLatin1String("\r\n")),
                 qPrintable(log));
        QCOMPARE(log.count(QLatin1String("\r\n")), 1);
        // A failed statement does not leave the query usable: stepping it raises the error.
        QVERIFY_THROWS_EXCEPTION(Error, q.first());
    }

    void runSqlFailureWithoutLogFile()
    {
        StatementRunner m = module();
        DbQuery q(&m_connection);
        QString error;
        QVERIFY(!m.run(QStringLiteral("delete from NoSuchTable"), false, q, &error));
        QCOMPARE(error, StatementRunner::failureNotice());
        QVERIFY(!QFile::exists(logFile("200405")));

        // A connection that cannot be opened is a failed statement as well.
        DbConnection broken;
        broken.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + m_dir.filePath(QStringLiteral("gone.db")));
        DbQuery q2(&broken);
        createLog("200405");
        QVERIFY(!m.run(QStringLiteral("select 1"), true, q2));
        QVERIFY(readLog("200405").contains(QLatin1String("gone.db")));
    }
};

QTEST_GUILESS_MAIN(TestStatementRunner)
#include "tst_statementrunner.moc"
