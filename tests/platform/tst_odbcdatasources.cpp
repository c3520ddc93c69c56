#include "lookup/DbConnection.h"
#include "lookup/DbError.h"
#include "platform/db/OdbcDataSources.h"

#include "../support/TestDatabases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDatabases;

// The data sources of a user whose home folder is not the one of the account's passwd entry
// (a test's temporary home here, a changed HOME on a desktop): unixODBC alone would look for
// "~/.odbc.ini" in the other folder and find neither the name nor the source.
class TestOdbcDataSources : public QObject
{
    Q_OBJECT

private slots:
    void userAndSystemSourcesWithoutOdbcIni()
    {
        QTemporaryDir home;
        QTemporaryDir system;
        QVERIFY(home.isValid() && system.isValid());
        const QString customers = home.filePath(QStringLiteral("customers.db"));
        {
            QFile created(customers);
            QVERIFY(created.open(QIODevice::WriteOnly));
        }
        DbConnection sqlite;
        sqlite.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + customers);
        createCustomerTables(sqlite, true);
        sqlite.close();

        OdbcConfig user(home.path());
        user.addSqlite(QStringLiteral("vornx_user"), customers);
        QVERIFY(user.write());
        QVERIFY(QFile::rename(home.filePath(QStringLiteral("odbc.ini")), home.filePath(QStringLiteral(".odbc.ini"))));
        OdbcConfig machine(system.path());
        machine.addSqlite(QStringLiteral("vornx_system"), customers);
        QVERIFY(machine.write()); // ODBCSYSINI names the system folder from here on
        qunsetenv("ODBCINI");
        qputenv("HOME", QFile::encodeName(home.path()));

        QCOMPARE(OdbcUserSourcesFile(), home.filePath(QStringLiteral(".odbc.ini")));
        QCOMPARE(OdbcSystemSourcesFile(), system.filePath(QStringLiteral("odbc.ini")));
        const QStringList names = OdbcDataSourceNames();
        QVERIFY2(names.contains(QStringLiteral("vornx_user")), qPrintable(names.join(u',')));
        QVERIFY2(names.contains(QStringLiteral("vornx_system")), qPrintable(names.join(u',')));

        // The listed user source also opens.
        DbConnection odbc;
        odbc.setConnectionString(QStringLiteral("Provider=MSDASQL.1;User ID=;Password=;Data Source=vornx_user"));
        try {
            odbc.open();
        } catch (const DbError& e) {
            QFAIL(qPrintable(e.message()));
        }
        QVERIFY(odbc.tableNames().contains(QStringLiteral("customers")));
    }
};

QTEST_GUILESS_MAIN(TestOdbcDataSources)
#include "tst_odbcdatasources.moc"
