#include "lookup/CallerStatement.h"
#include "lookup/StatementRunner.h"
#include "lookup/DbConnection.h"
#include "lookup/DbQuery.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "lookup/DataSourceSettings.h"

#include "../support/AccessFiles.h"
#include "../support/TestDatabases.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDatabases;

// A hand-written "Vornx.ini" of type 2 on each kind of database: the customer statement and
// the completed business statement for a known number, run through run.
class TestLookupSources : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    PostgresServer m_pg;
    QStringList m_boxes;

    void writeIni(const QString& connectString, const QString& custSql, const QString& bizSql)
    {
        const QString text = QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=%1\r\nstrSQL=%2\r\n"
                                            "strSQL1=%3\r\n[TABLESET]\r\nFIELD0=公司名称\r\nFIELD1=联系人\r\nFIELD2=电话\r\nFIELDNUM=3\r\n")
                                 .arg(connectString, custSql, bizSql);
        QFile f(ProgramFolder::file(QStringLiteral("Vornx.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QStringEncoder gbk("GB18030");
        f.write(gbk.encode(text));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Access copies go to the user's cache folder, here a temporary one.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("cache"))));
        ProgramFolder::setPath(m_dir.path());
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.text;
            return QMessageBox::Ok;
        });

        const QString sqliteFile = ProgramFolder::file(QStringLiteral("customers.db"));
        QFile created(sqliteFile);
        QVERIFY(created.open(QIODevice::WriteOnly));
        created.close();
        m_pg = postgresServer();
        OdbcConfig odbc(m_dir.path());
        odbc.addSqlite(QStringLiteral("vornx_sqlite"), sqliteFile);
        if (m_pg.available)
            odbc.addPostgres(QStringLiteral("vornx_pg"), m_pg);
        else if (underCi())
            QFAIL(qPrintable(QStringLiteral("PostgreSQL test server missing under CI: ") + m_pg.reason));
        QVERIFY(odbc.write());

        DbConnection sqlite;
        sqlite.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=customers.db"));
        createCustomerTables(sqlite, false);
        if (m_pg.available) {
            DbConnection pg;
            pg.setConnectionString(QStringLiteral("Provider=MSDASQL.1;User ID=%1;Password=%2;Data Source=vornx_pg")
                                       .arg(m_pg.user, m_pg.password));
            createCustomerTables(pg, false);
        }
    }

    void customerAndBusinessStatements_data()
    {
        QTest::addColumn<QString>("connectString");
        QTest::addColumn<QString>("custSql");
        QTest::addColumn<QString>("bizSql");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("firstRecord");
        QTest::addColumn<int>("customers");
        QTest::addColumn<int>("businessRecords");

        const QString custSql = QStringLiteral("select companyname, contactname, phone from customers b where  b.phone like '%#NO#' or b.fax like '%#no#' ");
        const QString bizSql = QStringLiteral("select a.* from orders a,customers b where  a.customerid=b.customerid and ");
        const QStringList chn01 = {"北京贸易公司", "张三", "010-8861049"};
        // Data Source without a folder: the file beside Vornx.ini.
        QTest::newRow("sqlite") << QStringLiteral("Provider=SQLite;Data Source=customers.db") << custSql << bizSql
                                << QStringLiteral("8861049") << chn01 << 2 << 3;
        QTest::newRow("sqlite by dsn") << QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source=vornx_sqlite")
                                       << custSql << bizSql << QStringLiteral("8861049") << chn01 << 2 << 3;
        QTest::newRow("postgresql by dsn") << QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=%1;Password=%2;Data Source=vornx_pg")
                                                  .arg(m_pg.user, m_pg.password)
                                           << custSql << bizSql << QStringLiteral("8861049") << chn01 << 2 << 3;
        QTest::newRow("nwind.mdb by jet string")
            << QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=%1;Persist Security "
                              "Info=False;Jet OLEDB:Database Password=")
                   .arg(AccessFiles::path("nwind.mdb"))
            << QStringLiteral("select CompanyName, ContactName, Phone from Customers b where  b.Phone like '%#NO#' or b.Fax like '%#NO#' ")
            << QStringLiteral("select a.* from Orders a,Customers b where  a.CustomerID=b.CustomerID and ")
            << QStringLiteral("0074321") << QStringList({"Alfreds Futterkiste", "Maria Anders", "030-0074321"}) << 1 << 6;
    }

    void customerAndBusinessStatements()
    {
        QFETCH(QString, connectString);
        QFETCH(QString, custSql);
        QFETCH(QString, bizSql);
        QFETCH(QString, number);
        QFETCH(QStringList, firstRecord);
        QFETCH(int, customers);
        QFETCH(int, businessRecords);
        if (connectString.contains(QLatin1String("vornx_pg")) && !m_pg.available)
            QSKIP(qPrintable(m_pg.reason));
        if (QByteArray(QTest::currentDataTag()).startsWith("nwind.mdb"))
            VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        m_boxes.clear();

        writeIni(connectString, custSql, bizSql);
        const DataSourceSettings settings = DataSourceSettings::read(ProgramFolder::file(QStringLiteral("Vornx.ini")));
        QCOMPARE(settings.queryType, 2);
        QCOMPARE(settings.labels, QStringList({"公司名称", "联系人", "电话"}));

        DbConnection connection;
        connection.setConnectionString(settings.connectString);
        connection.open();
        StatementRunner module(ProgramFolder::path());
        DbQuery customer(&connection);
        DbQuery business(&connection);

        QVERIFY(module.run(*CallerStatement::withNumber(settings.customerSql, number), true, customer));
        customer.first();
        QVERIFY(!customer.eof());
        QStringList record;
        for (int i = 0; i < customer.fieldNames().size(); ++i)
            record << customer.fieldText(i);
        QCOMPARE(record, firstRecord);
        QCOMPARE(customer.recordCount(), customers);

        QVERIFY(module.run(*CallerStatement::withNumber(settings.businessSql, number), true, business));
        QCOMPARE(business.recordCount(), businessRecords);
        QVERIFY(m_boxes.isEmpty());

        // An unknown number finds nothing, without a failure.
        QVERIFY(module.run(*CallerStatement::withNumber(settings.customerSql, QStringLiteral("99999999")), true, customer));
        QVERIFY(customer.eof() && customer.bof());
    }
};

QTEST_MAIN(TestLookupSources)
#include "tst_lookupsources.moc"
