#include "lookup/DbConnection.h"
#include "lookup/DbError.h"
#include "lookup/DbQuery.h"
#include "lookup/DataSetModel.h"
#include "lookup/DbTable.h"
#include "platform/db/AccessMirror.h"

#include "../support/AccessFiles.h"
#include "../support/TestDatabases.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDatabases;

// The same customer data on every kind of database the caller window can be pointed at.
class TestDbAccess : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    PostgresServer m_pg;
    QString m_sqliteFile;
    std::unique_ptr<AccessMirror> m_mirror;

    QString connectionString(const QString& backend) const
    {
        if (backend == QLatin1String("sqlite"))
            return QStringLiteral("Provider=SQLite;Data Source=") + m_sqliteFile;
        if (backend == QLatin1String("sqlite-odbc"))
            return QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source=vornx_sqlite");
        return QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=%1;Password=%2;Data Source=vornx_pg")
            .arg(m_pg.user, m_pg.password);
    }

    // Skips (or, under CI, fails) rows whose server is not there.
    bool reachable(const QString& backend)
    {
        if (backend != QLatin1String("postgresql-odbc") || m_pg.available)
            return true;
        if (underCi())
            qFatal("PostgreSQL test server missing under CI: %s", qPrintable(m_pg.reason));
        return false;
    }

    static void openQuery(DbQuery& q, const QString& sql)
    {
        q.close();
        q.clearSql();
        q.addSql(sql);
        q.open();
    }

    void backends()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("sqlite-odbc") << QStringLiteral("sqlite-odbc");
        QTest::newRow("postgresql-odbc") << QStringLiteral("postgresql-odbc");
    }

    QString nwind() const { return AccessFiles::path("nwind.mdb"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_sqliteFile = m_dir.filePath(QStringLiteral("customers.db"));
        QFile created(m_sqliteFile);
        QVERIFY(created.open(QIODevice::WriteOnly));
        created.close();
        m_mirror = std::make_unique<AccessMirror>(m_dir.filePath(QStringLiteral("mirror")));

        m_pg = postgresServer();
        OdbcConfig odbc(m_dir.path());
        odbc.addSqlite(QStringLiteral("vornx_sqlite"), m_sqliteFile);
        if (m_pg.available)
            odbc.addPostgres(QStringLiteral("vornx_pg"), m_pg);
        QVERIFY(odbc.write());

        DbConnection sqlite;
        sqlite.setConnectionString(connectionString(QStringLiteral("sqlite")));
        sqlite.open();
        createCustomerTables(sqlite, true);
        if (m_pg.available) {
            DbConnection pg;
            pg.setConnectionString(connectionString(QStringLiteral("postgresql-odbc")));
            pg.open();
            createCustomerTables(pg, false);
        } else if (underCi()) {
            QFAIL(qPrintable(QStringLiteral("PostgreSQL test server missing under CI: ") + m_pg.reason));
        }
    }

    void listsTablesAndFields_data() { backends(); }
    void listsTablesAndFields()
    {
        QFETCH(QString, backend);
        if (!reachable(backend))
            QSKIP(qPrintable(m_pg.reason));
        DbConnection c;
        c.setConnectionString(connectionString(backend));
        QVERIFY(!c.connected());
        c.open();
        QVERIFY(c.connected());
        QStringList tables = c.tableNames();
        for (QString& t : tables)
            t = t.toLower();
        QVERIFY2(tables.contains(QLatin1String("customers")) && tables.contains(QLatin1String("orders"))
                     && tables.contains(QLatin1String("customer notes")),
                 qPrintable(tables.join(QLatin1Char('|'))));
        for (const QString& t : tables)
            QVERIFY2(!t.startsWith(QLatin1String("sqlite_")) && !t.startsWith(QLatin1String("pg_")), qPrintable(t));
        QStringList fields = c.fieldNames(QStringLiteral("customers"));
        for (QString& f : fields)
            f = f.toLower();
        QCOMPARE(fields, QStringList({"customerid", "companyname", "contactname", "phone", "fax"}));
        QCOMPARE(c.fieldNames(QStringLiteral("customer notes")).last().toLower(), QStringLiteral("note text"));
        c.close();
        QVERIFY(!c.connected());
        c.close();
        QVERIFY_THROWS_EXCEPTION(DbError, c.tableNames());
    }

    // The customer statement with two matches, stepped through as the caller window does.
    void customerStatementSteps_data() { backends(); }
    void customerStatementSteps()
    {
        QFETCH(QString, backend);
        if (!reachable(backend))
            QSKIP(qPrintable(m_pg.reason));
        DbConnection c;
        c.setConnectionString(connectionString(backend));
        // The query opens its closed connection itself.
        DbQuery q(&c);
        openQuery(q, QStringLiteral("select contactname, phone, fax from customers b where  b.phone like '%8861049' "
                                    "order by customerid"));
        QVERIFY(c.connected());
        QCOMPARE(q.fieldNames().size(), 3);
        QCOMPARE(q.fieldNames().first().toLower(), QStringLiteral("contactname"));
        QVERIFY(q.bof());
        QVERIFY(!q.eof());
        QCOMPARE(q.fieldText(QStringLiteral("ContactName")), QStringLiteral("张三"));
        QCOMPARE(q.fieldText(1), QStringLiteral("010-8861049"));
        QCOMPARE(q.fieldText(QStringLiteral("fax")), QString()); // null
        QVERIFY_THROWS_EXCEPTION(DbError, q.fieldText(QStringLiteral("nosuchfield")));

        q.next();
        QVERIFY(!q.bof());
        QVERIFY(!q.eof());
        QCOMPARE(q.fieldText(0), QStringLiteral("李四"));
        q.next(); // past the last: at end, the last record stays current
        QVERIFY(q.eof());
        QCOMPARE(q.fieldText(0), QStringLiteral("李四"));
        q.next();
        QVERIFY(q.eof());
        QCOMPARE(q.fieldText(0), QStringLiteral("李四"));
        q.prior();
        QVERIFY(!q.eof());
        QVERIFY(!q.bof());
        QCOMPARE(q.fieldText(0), QStringLiteral("张三"));
        q.prior(); // before the first: at beginning, the first record stays current
        QVERIFY(q.bof());
        QCOMPARE(q.fieldText(0), QStringLiteral("张三"));
        q.next();
        QCOMPARE(q.fieldText(0), QStringLiteral("李四"));
        q.first();
        QVERIFY(q.bof());
        QVERIFY(!q.eof());
        QCOMPARE(q.fieldText(0), QStringLiteral("张三"));
    }

    void oneAndNoRecord_data() { backends(); }
    void oneAndNoRecord()
    {
        QFETCH(QString, backend);
        if (!reachable(backend))
            QSKIP(qPrintable(m_pg.reason));
        DbConnection c;
        c.setConnectionString(connectionString(backend));
        c.open();
        DbQuery q(&c);
        openQuery(q, QStringLiteral("select companyname, contactname from customers b where  b.phone like '%0074321' "));
        QVERIFY(q.bof() && !q.eof());
        q.next();
        QVERIFY(q.eof());
        QVERIFY(!q.bof());
        QCOMPARE(q.fieldText(1), QStringLiteral("Maria Anders"));
        q.prior(); // the record again, at its beginning
        QVERIFY(!q.eof());
        QVERIFY(q.bof());
        QCOMPARE(q.fieldText(0), QStringLiteral("Alfreds Futterkiste"));

        openQuery(q, QStringLiteral("select companyname from customers b where  b.phone like '%99999999' "));
        QVERIFY(q.isOpen());
        QVERIFY(q.eof() && q.bof());
        QCOMPARE(q.fieldNames().size(), 1);
        q.first();
        q.next();
        q.prior();
        QVERIFY(q.eof() && q.bof());
        QVERIFY_THROWS_EXCEPTION(DbError, q.fieldText(0));
    }

    void businessJoin_data() { backends(); }
    void businessJoin()
    {
        QFETCH(QString, backend);
        if (!reachable(backend))
            QSKIP(qPrintable(m_pg.reason));
        DbConnection c;
        c.setConnectionString(connectionString(backend));
        DbQuery q(&c);
        openQuery(q, QStringLiteral("select a.* from orders a,customers b where  a.customerid=b.customerid and (  "
                                    "b.phone like '%8861049' )"));
        QCOMPARE(q.recordCount(), 3);
        QCOMPARE(q.fieldNames().size(), 4);
        QStringList dates;
        for (q.first(); !q.eof(); q.next())
            dates << q.fieldText(QStringLiteral("orderdate"));
        dates.sort();
        QCOMPARE(dates, QStringList({"2004-05-01", "2004-05-03", "2004-06-01"}));
    }

    void failuresCarryTheProviderMessage_data() { backends(); }
    void failuresCarryTheProviderMessage()
    {
        QFETCH(QString, backend);
        if (!reachable(backend))
            QSKIP(qPrintable(m_pg.reason));
        DbConnection c;
        c.setConnectionString(connectionString(backend));
        c.open();
        DbQuery q(&c);
        openQuery(q, QStringLiteral("select * from customers"));
        try {
            openQuery(q, QStringLiteral("select * from no_such_table"));
            QFAIL("no error");
        } catch (const Error& e) {
            QVERIFY2(e.message().contains(QLatin1String("no_such_table"), Qt::CaseInsensitive), qPrintable(e.message()));
        }
        QVERIFY(!q.isOpen());
        QVERIFY(q.eof() && q.bof());
        QVERIFY_THROWS_EXCEPTION(DbError, q.first());
        QVERIFY_THROWS_EXCEPTION(DbError, q.next());
        QVERIFY_THROWS_EXCEPTION(DbError, q.fieldNames());

        q.clearSql();
        q.addSql(QStringLiteral("update customers set fax = fax where customerid = 'NOBODY'"));
        q.execSql(); // changes no row and succeeds
        QVERIFY_THROWS_EXCEPTION(DbError, q.fieldNames());

        openQuery(q, QStringLiteral("select count(*) from customers"));
        QCOMPARE(q.fieldText(0), QStringLiteral("3"));
    }

    void tableActivation_data() { backends(); }
    void tableActivation()
    {
        QFETCH(QString, backend);
        if (!reachable(backend))
            QSKIP(qPrintable(m_pg.reason));
        DbConnection c;
        c.setConnectionString(connectionString(backend));
        c.open();
        DbTable t(&c);
        t.setTableName(QStringLiteral("customer notes"));
        t.activate();
        QVERIFY(t.isActive());
        QVERIFY(t.eof() && t.bof());
        QCOMPARE(t.fieldNames().size(), 2);
        t.deactivate();
        QVERIFY(!t.isActive());
        t.setTableName(QStringLiteral("customers"));
        t.activate();
        QCOMPARE(t.recordCount(), 3);
        t.setTableName(QStringLiteral("missing"));
        QVERIFY_THROWS_EXCEPTION(DbError, t.activate());
    }

    void resultGrid()
    {
        DbConnection c;
        c.setConnectionString(connectionString(QStringLiteral("sqlite")));
        DbTable t(&c);
        DataSetModel model(&t);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 0);
        t.setTableName(QStringLiteral("customers"));
        t.activate();
        QCOMPARE(resets.size(), 1);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 5);
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("contactname"));
        QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("张三"));
        QCOMPARE(model.data(model.index(1, 4)).toString(), QString());

        // The grid's row chooses the current record.
        QSignalSpy moved(&t, &DbDataSet::currentChanged);
        t.moveTo(2);
        QCOMPARE(moved.size(), 1);
        QCOMPARE(t.fieldText(QStringLiteral("customerid")), QStringLiteral("CHN02"));
        QVERIFY(!t.bof() && !t.eof());
        t.moveTo(0);
        QVERIFY(t.bof());
        t.deactivate();
        QCOMPARE(resets.size(), 2);
        QCOMPARE(model.rowCount(), 0);
    }

    void badConnectionsFail()
    {
        DbConnection c;
        c.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + m_dir.filePath(QStringLiteral("none.db")));
        QVERIFY_THROWS_EXCEPTION(DbError, c.open());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none.db"))));
        QVERIFY(!c.connected());

        c.setConnectionString(QStringLiteral("Provider=MSDASQL.1;User ID=;Password=;Data Source=no_such_dsn"));
        try {
            c.open();
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(!e.message().isEmpty(), "empty provider message");
        }
        QVERIFY(!c.connected());

        if (m_pg.available) {
            c.setConnectionString(QStringLiteral("Provider=MSDASQL.1;User ID=%1;Password=wrong;Data Source=vornx_pg").arg(m_pg.user));
            try {
                c.open();
                QFAIL("wrong password accepted");
            } catch (const DbError& e) {
                QVERIFY2(e.message().contains(QLatin1String("password"), Qt::CaseInsensitive), qPrintable(e.message()));
            }
        }

        c.setConnectionString(QStringLiteral("Provider=SQLOLEDB.1;Data Source=x"));
        QVERIFY_THROWS_EXCEPTION(DbError, c.open());
    }

    // nwind.mdb through the Jet string: the tables of the business-record form and their values.
    void accessFileThroughJetString()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        DbConnection c;
        c.setAccessMirror(m_mirror.get());
        c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=%1;Persist "
                                             "Security Info=False;Jet OLEDB:Database Password=")
                                  .arg(nwind()));
        c.open();
        const QStringList tables = c.tableNames();
        for (const char* t : {"Customers", "Orders", "Order Details", "Umsätze", "Categories"})
            QVERIFY2(tables.contains(QString::fromUtf8(t)), t);
        for (const QString& t : tables)
            QVERIFY2(!t.startsWith(QLatin1String("MSys")), qPrintable(t));
        QCOMPARE(c.fieldNames(QStringLiteral("Customers")),
                 QStringList({"CustomerID", "CompanyName", "ContactName", "ContactTitle", "Address", "City", "Region",
                              "PostalCode", "Country", "Phone", "Fax"}));

        DbQuery cust(&c);
        openQuery(cust, QStringLiteral("select CompanyName, ContactName, Phone, Region from Customers b where  b.Phone "
                                       "like '%0074321' or b.Fax like '%0074321' "));
        QCOMPARE(cust.recordCount(), 1);
        QCOMPARE(cust.fieldText(0), QStringLiteral("Alfreds Futterkiste"));
        QCOMPARE(cust.fieldText(QStringLiteral("Phone")), QStringLiteral("030-0074321"));
        QCOMPARE(cust.fieldText(QStringLiteral("Region")), QString());

        DbQuery biz(&c);
        openQuery(biz, QStringLiteral("select a.* from Orders a,Customers b where  a.CustomerID=b.CustomerID and (  "
                                      "b.Phone like '%0074321' or b.Fax like '%0074321' )"));
        QCOMPARE(biz.recordCount(), 6);
        QCOMPARE(biz.fieldNames().first(), QStringLiteral("OrderID"));
        QCOMPARE(biz.fieldNames().size(), 14);
        // The same stepping rules on the Access copy.
        QVERIFY(biz.bof() && !biz.eof());
        QStringList orders;
        for (; !biz.eof(); biz.next())
            orders << biz.fieldText(QStringLiteral("OrderID"));
        QCOMPARE(orders.size(), 6);
        QCOMPARE(biz.fieldText(QStringLiteral("OrderID")), orders.last());
        biz.prior();
        QCOMPARE(biz.fieldText(QStringLiteral("OrderID")), orders.at(4));
        for (int i = 0; i < 6; ++i)
            biz.prior();
        QVERIFY(biz.bof());
        QCOMPARE(biz.fieldText(QStringLiteral("OrderID")), orders.first());

        // Dates, currency, yes/no, memo and accented text as the file holds them.
        openQuery(biz, QStringLiteral("select OrderDate, Freight, ShipAddress from Orders where OrderID = 10330"));
        QCOMPARE(biz.fieldText(0), QStringLiteral("1994-11-16 00:00:00"));
        QCOMPARE(biz.fieldText(1), QStringLiteral("12.75"));
        QCOMPARE(biz.fieldText(2), QStringLiteral("Carrera 52 con Ave. Bolívar #65-98 Llano Largo"));
        openQuery(biz, QStringLiteral("select count(*) from Products where Discontinued = 1"));
        QVERIFY(biz.fieldText(0).toInt() > 0);
        openQuery(biz, QStringLiteral("select Description from Categories where CategoryID = 1"));
        QCOMPARE(biz.fieldText(0), QStringLiteral("Soft drinks, coffees, teas, beers, and ales"));
        openQuery(biz, QStringLiteral("select count(*) from \"Order Details\""));
        QCOMPARE(biz.fieldText(0), QStringLiteral("2155"));

        // The copy is read-only: a change would be lost at the next copy.
        biz.clearSql();
        biz.addSql(QStringLiteral("delete from Customers"));
        QVERIFY_THROWS_EXCEPTION(DbError, biz.execSql());
    }

    void missingAccessFileNamesIt()
    {
        DbConnection c;
        c.setAccessMirror(m_mirror.get());
        c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/LoginDB.mdb"));
        try {
            c.open();
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains(QLatin1String("/nonexistent/LoginDB.mdb")), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestDbAccess)
#include "tst_dbaccess.moc"
