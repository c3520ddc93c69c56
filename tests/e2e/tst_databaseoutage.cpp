// The customer database's server stops while the program monitors the line: calls are still
// shown with number, region and time and logged, and once the server is back the customers
// are found again without a restart. The server is a PostgreSQL cluster of this test alone,
// reached through ODBC as a shop's server would be.
#include "tests/support/TestDatabases.h"
#include "tests/e2e/ProgramRun.h"

namespace {

const QString PgServer = QStringLiteral(VORNX_TEST_SUPPORT "/pgserver.sh");

bool pgserver(const QString& action, const QString& state)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(QStringLiteral("bash"), {PgServer, action, state});
    return script.waitForFinished(120000) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

} // namespace

class TestDatabaseOutage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_state;

    static bool call(const ProgramRun& run, const QString& number)
    {
        return run.simline({"offer", "0"}).second == QLatin1String("OK") &&
               run.simline({"callerid", "0", number}).second == QLatin1String("OK") &&
               run.simline({"disconnect", "0"}).second == QLatin1String("OK");
    }

private slots:
    void initTestCase()
    {
        m_state = m_dir.filePath(QStringLiteral("pg.state"));
        QVERIFY(pgserver(QStringLiteral("start"), m_state));
        qputenv("VORNX_PG_STATE", QFile::encodeName(m_state));
        const TestDatabases::PostgresServer server = TestDatabases::postgresServer();
        if (!server.available) {
            if (TestDatabases::underCi())
                QFAIL(qPrintable(server.reason));
            QSKIP(qPrintable(server.reason));
        }
        QProcess psql;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PGPASSWORD"), server.password);
        psql.setProcessEnvironment(env);
        psql.setProcessChannelMode(QProcess::ForwardedChannels);
        psql.start(QStringLiteral("psql"),
                   {"-q", "-v", "ON_ERROR_STOP=1", "-h", server.socketDir, "-p", server.port, "-U", server.user, "-d",
                    server.database, "-c",
                    "create table unit (id int, name text, linkman text, phone text, phonemove text, address text, "
                    "business text, remark text);"
                    "create table billindex (unitid int, \"单号\" text);"
                    "insert into unit values (1, '福州万达贸易', '张三', '0591123456', '', '', '', '')"});
        QVERIFY(psql.waitForFinished(30000) && psql.exitCode() == 0);

        TestDatabases::OdbcConfig odbc(m_dir.path());
        odbc.addPostgres(QStringLiteral("vornx_pg"), server);
        QVERIFY(odbc.write());
    }

    void cleanupTestCase() { pgserver(QStringLiteral("stop"), m_state); }

    void callsOutliveTheServer()
    {
        const TestDatabases::PostgresServer server = TestDatabases::postgresServer();
        ProgramRun run;
        run.copyAreaTable();
        run.copyShipped(QStringLiteral("Vornx.ini"));
        QFile shipped(run.file(QStringLiteral("Vornx.ini")));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QByteArray ini = shipped.readAll();
        shipped.close();
        ini.replace("Provider=SQLite;Data Source=demo.db",
                    "Provider=MSDASQL.1;User ID=" + server.user.toUtf8() + ";Password=" + server.password.toUtf8() +
                        ";Data Source=vornx_pg");
        run.write(QStringLiteral("Vornx.ini"), ini);
        run.write(QStringLiteral("simline.json"), R"({"devices": [{"lineName": "线路一"}]})");
        run.write(QStringLiteral("sysset.ini"), "[DEVICESET]\r\nDEVTYPE=3\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n");
        QVERIFY(run.start());
        QTRY_COMPARE_WITH_TIMEOUT(run.simline({"status"}).second, QStringLiteral("OK 0 open idle"), 15000);

        QVERIFY(call(run, QStringLiteral("0591123456")));
        QVERIFY2(run.waitForShown(1), qPrintable(run.messages().join(QLatin1Char('\n'))));
        QCOMPARE(run.shown().at(0).row(3), QStringLiteral("福州万达贸易"));

        QVERIFY(pgserver(QStringLiteral("halt"), m_state));
        QVERIFY(call(run, QStringLiteral("013912345678")));
        QVERIFY2(run.waitForShown(2), qPrintable(run.messages().join(QLatin1Char('\n'))));
        const ProgramRun::Shown during = run.shown().at(1);
        const QString rows = during.rows.join(QLatin1Char('\n'));
        QVERIFY2(during.row(1).startsWith(QStringLiteral("13912345678(")), qPrintable(rows)); // with its region
        QVERIFY2(during.row(2).startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))), qPrintable(rows));
        QTRY_COMPARE(run.callLog().size(), 2);
        QVERIFY(run.running());
        const QStringList told = run.messages();

        QVERIFY(pgserver(QStringLiteral("resume"), m_state));
        QVERIFY(call(run, QStringLiteral("0591123456")));
        QVERIFY2(run.waitForShown(3), qPrintable(run.messages().join(QLatin1Char('\n'))));
        QCOMPARE(run.shown().at(2).row(3), QStringLiteral("福州万达贸易"));
        QTRY_COMPARE(run.callLog().size(), 3);
        qInfo("told during the outage: %s", qPrintable(told.join(QLatin1String(" | "))));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseOutage)
#include "tst_databaseoutage.moc"
