#include "lookup/ConnectionString.h"
#include "lookup/DbError.h"

#include <QtTest>

class TestConnectionString : public QObject
{
    Q_OBJECT

private slots:
    void wizardStringsAreTranslated_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");

        QTest::newRow("odbc") << "Provider=MSDASQL.1;Persist Security Info=False;User ID=sa;Password=pw;Data Source=Customers"
                              << int(ConnectionString::Kind::Odbc) << "Customers" << "sa" << "pw";
        QTest::newRow("access") << "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/data/客户.mdb;Persist Security "
                                   "Info=False;Jet OLEDB:Database Password=Marlo306158"
                                << int(ConnectionString::Kind::Access) << "/data/客户.mdb" << "Admin" << "";
        QTest::newRow("inventory order") << "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=/s/a "
                                            "b.mdb;User ID=Admin;Jet OLEDB:Database Password=Marlo306158"
                                         << int(ConnectionString::Kind::Access) << "/s/a b.mdb" << "Admin" << "";
        QTest::newRow("sqlite, keys in any case, blanks") << " provider = sqlite ; DATA SOURCE = /tmp/x.db ;"
                                                           << int(ConnectionString::Kind::Sqlite) << "/tmp/x.db" << ""
                                                           << "";
        QTest::newRow("quoted value with separators") << "Provider=MSDASQL;Data Source=dsn;Password=\"a;b=\"\"c\"\"\""
                                                      << int(ConnectionString::Kind::Odbc) << "dsn" << "" << "a;b=\"c\"";
        QTest::newRow("single quotes") << "Provider=MSDASQL.1;Data Source='my dsn'"
                                       << int(ConnectionString::Kind::Odbc) << "my dsn" << "" << "";
        QTest::newRow("empty user and password") << "Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source=d"
                                                 << int(ConnectionString::Kind::Odbc) << "d" << "" << "";
    }

    void wizardStringsAreTranslated()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, dataSource);
        QFETCH(QString, user);
        QFETCH(QString, password);
        const ConnectionString s = ConnectionString::parse(text);
        QCOMPARE(int(s.kind()), kind);
        QCOMPARE(s.dataSource(), dataSource);
        QCOMPARE(s.userId(), user);
        if (s.kind() == ConnectionString::Kind::Odbc)
            QCOMPARE(s.password(), password);
    }

    void badStringsNameTheFault_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << "Provider";
        QTest::newRow("no provider") << "Data Source=x" << "Provider";
        QTest::newRow("unknown provider") << "Provider=SQLOLEDB.1;Data Source=x" << "SQLOLEDB.1";
        QTest::newRow("part without equals") << "Provider=SQLite;Data Source=x;garbage" << "第 3 段";
        QTest::newRow("part without name") << "Provider=SQLite;=x" << "第 2 段";
        QTest::newRow("unclosed quote") << "Provider=SQLite;Data Source=\"x" << "引号";
        QTest::newRow("text after quote") << "Provider=SQLite;Data Source=\"x\"y" << "引号后";
        QTest::newRow("no data source") << "Provider=MSDASQL.1;User ID=a" << "Data Source";
        QTest::newRow("empty data source") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=;User ID=Admin" << "为空";
    }

    void badStringsNameTheFault()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        try {
            ConnectionString::parse(text);
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
        }
    }

    void messagesDoNotRepeatThePassword()
    {
        try {
            ConnectionString::parse(QStringLiteral("Provider=MSDASQL.1;Password=se;cret;Data Source=x"));
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY(!e.message().contains(QLatin1String("cret")));
        }
    }
};

QTEST_APPLESS_MAIN(TestConnectionString)
#include "tst_connectionstring.moc"
