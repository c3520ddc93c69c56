#include "lookup/ConnectionString.h"
#include "lookup/DataSourceSettings.h"
#include "lookup/DbConnection.h"
#include "setup/FieldMapping.h"
#include "setup/InventoryAccounts.h"
#include "setup/LinkStrings.h"
#include "setup/SourceCatalog.h"
#include "setup/StoredMapping.h"

#include "../support/TestDatabases.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// The data-source wizard's logic without a window: the field mapping, the chosen source's
// tables and fields, and the inventory product's account sets, on real database files.
class TestSetupLogic : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_customers; // a SQLite file with the test customers

    static QStringList names(const QList<CustomerField>& fields)
    {
        QStringList list;
        for (const CustomerField& field : fields)
            list << field.name;
        return list;
    }

    // The first column of every row the statement gives, with the number put in.
    QStringList firstColumn(const QString& sql, const QString& number)
    {
        DbConnection connection;
        connection.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + m_customers);
        connection.open();
        QSqlQuery query(connection.database());
        QStringList values;
        if (!query.exec(QString(sql).replace(QLatin1String("#NO#"), number)))
            return {QStringLiteral("<failed: %1>").arg(query.lastError().text())};
        while (query.next())
            values << query.value(0).toString();
        return values;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("cache"))));
        m_customers = m_root.filePath(QStringLiteral("customers.db"));
        QFile created(m_customers);
        QVERIFY(created.open(QIODevice::WriteOnly));
        created.close();
        DbConnection connection;
        connection.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + m_customers);
        TestDatabases::createCustomerTables(connection, true);
    }

    void linkStringTemplates()
    {
        QCOMPARE(LinkStrings::odbc(QString(), QString(), QString()),
                 QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source="));
        QCOMPARE(LinkStrings::odbc(QStringLiteral(" sa\t"), QStringLiteral("\x01pw \r\n"), QStringLiteral(" 客户 库 ")),
                 QStringLiteral(
                     "Provider=MSDASQL.1;Persist Security Info=False;User ID=sa;Password=pw;Data Source=客户 库"));
        QCOMPARE(
            LinkStrings::access(QStringLiteral("Admin"), QStringLiteral(" /d/a b.mdb "), QString()),
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/d/a b.mdb;Persist Security "
                           "Info=False;Jet OLEDB:Database Password="));
        QCOMPARE(
            InventoryLink::loginDbString(QStringLiteral("/opt/Store/")),
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/opt/Store/LoginDB.mdb;Persist "
                           "Security Info=False;Jet OLEDB:Database Password=Marlo306158"));
        QCOMPARE(
            InventoryLink::accountSetString(QStringLiteral("/opt/Store/a.mdb")),
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=/opt/Store/a.mdb;"
                           "User ID=Admin;Jet OLEDB:Database Password=Marlo306158"));
    }

    // Pieces holding ';' or '=' (or starting with a quote) go in quotes: the reader of the
    // string gets them back whole, and a password cannot slip in a provider of its own.
    void linkStringPiecesAreQuoted()
    {
        const QString password = QStringLiteral("a;Provider=SQLite;Data Source=/tmp/evil.db");
        const QString dsn = QStringLiteral("客户=\"总部\";2");
        const ConnectionString odbc = ConnectionString::parse(LinkStrings::odbc(QStringLiteral("u=1"), password, dsn));
        QCOMPARE(odbc.kind(), ConnectionString::Kind::Odbc);
        QCOMPARE(odbc.password(), password);
        QCOMPARE(odbc.dataSource(), dsn);
        QCOMPARE(odbc.userId(), QStringLiteral("u=1"));

        const QString file = QStringLiteral("/data/a;b=c/客户.mdb");
        const QString access = LinkStrings::access(QStringLiteral("Admin"), file, QStringLiteral("'pw"));
        QCOMPARE(access, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=\"/data/a;b=c/客户.mdb\";"
                                        "Persist Security Info=False;Jet OLEDB:Database Password=\"'pw\""));
        const ConnectionString jet = ConnectionString::parse(access);
        QCOMPARE(jet.kind(), ConnectionString::Kind::Access);
        QCOMPARE(jet.dataSource(), file);
        QCOMPARE(ConnectionString::parse(InventoryLink::accountSetString(file)).dataSource(), file);
        QCOMPARE(ConnectionString::parse(InventoryLink::loginDbString(QStringLiteral("/a;b/"))).dataSource(),
                 QStringLiteral("/a;b/LoginDB.mdb"));
        // Plain pieces stay as they were.
        QCOMPARE(LinkStrings::piece(QStringLiteral(" pass\"word ")), QStringLiteral("pass\"word"));
    }

    void mappingMarksMovesAndRefusesRowsItDoesNotHave()
    {
        FieldMapping mapping;
        mapping.setCustomerTable(QStringLiteral("customers"), {"id", "name", "phone"});
        QVERIFY(mapping.toggleShown(1));
        QVERIFY(mapping.togglePhone(2));
        QVERIFY(mapping.setCaption(1, QStringLiteral("  客户名称 ")));
        QCOMPARE(mapping.customerFields().at(1).caption, QStringLiteral("客户名称"));
        for (int row : {-1, 3}) {
            QVERIFY(!mapping.toggleShown(row));
            QVERIFY(!mapping.togglePhone(row));
            QVERIFY(!mapping.setCaption(row, QStringLiteral("x")));
            QVERIFY(!mapping.setJoin(row, QStringLiteral("id")));
        }

        // A field takes its marks and caption along; a field at the edge stays.
        QCOMPARE(mapping.moveUp(1), 0);
        QCOMPARE(names(mapping.customerFields()), QStringList({"name", "id", "phone"}));
        QVERIFY(mapping.customerFields().at(0).shown);
        QCOMPARE(mapping.customerFields().at(0).caption, QStringLiteral("客户名称"));
        QCOMPARE(mapping.moveUp(0), 0);
        QCOMPARE(mapping.moveDown(2), 2);
        QCOMPARE(mapping.moveDown(1), 2);
        QCOMPARE(names(mapping.customerFields()), QStringList({"name", "phone", "id"}));
        QCOMPARE(mapping.indexOfCustomerField(QStringLiteral("id")), 2);
        QCOMPARE(mapping.indexOfCustomerField(QStringLiteral("gone")), -1);

        // Toggling twice takes the mark off; a new table starts unmarked.
        QVERIFY(mapping.toggleShown(1));
        QVERIFY(mapping.toggleShown(1));
        QVERIFY(!mapping.customerFields().at(1).shown);
        mapping.setCustomerTable(QStringLiteral("other"), {"name"});
        QVERIFY(!mapping.customerFields().at(0).shown);
        QVERIFY(!mapping.build(QString()).complete);
    }

    // The statements the mapping builds run on the database the catalog listed and find the caller.
    void mappedStatementsFindTheCaller()
    {
        SourceCatalog catalog;
        QVERIFY(catalog.open(QStringLiteral("Provider=SQLite;Data Source=") + m_customers));
        QStringList tables;
        QVERIFY(catalog.listTables(&tables));
        QCOMPARE(tables, QStringList({"counters", "customer notes", "customers", "orders"}));
        const QStringList fields = catalog.fields(QStringLiteral("customers"));
        QCOMPARE(fields, QStringList({"customerid", "companyname", "contactname", "phone", "fax"}));

        FieldMapping mapping;
        mapping.setCustomerTable(QStringLiteral("customers"), fields);
        mapping.toggleShown(mapping.indexOfCustomerField(QStringLiteral("contactname")));
        QVERIFY(!mapping.build(QStringLiteral("orders")).complete); // no phone field yet
        mapping.toggleShown(mapping.indexOfCustomerField(QStringLiteral("companyname")));
        mapping.setCaption(mapping.indexOfCustomerField(QStringLiteral("companyname")), QStringLiteral("公司"));
        mapping.togglePhone(mapping.indexOfCustomerField(QStringLiteral("fax")));
        mapping.togglePhone(mapping.indexOfCustomerField(QStringLiteral("phone")));
        mapping.setBusinessTable(QStringLiteral("orders"), catalog.fields(QStringLiteral("orders")));
        QVERIFY(mapping.setJoin(1, QStringLiteral(" customerid ")));

        const ExternalSource source = mapping.build(QStringLiteral("orders"));
        QVERIFY(source.complete);
        QCOMPARE(source.labels, QStringList({"公司", "contactname"}));
        QCOMPARE(firstColumn(source.customerSql, QStringLiteral("8861049")), QStringList({"北京贸易公司", "上海商行"}));
        QCOMPARE(firstColumn(source.customerSql, QStringLiteral("0076545")), QStringList({"Alfreds Futterkiste"}));
        const QString orders = DataSourceSql::completedBusinessStatement(source.businessSql, source.customerSql);
        QCOMPARE(firstColumn(orders + QStringLiteral(" order by a.orderid"), QStringLiteral("010-8861049")),
                 QStringList({"1", "2"}));
    }

    // What the wizard wrote is read back onto the table's fields as the database lists them
    // (in its own case): the same statements come out again, quoted names included.
    void storedMappingGivesBackWhatWasWritten()
    {
        const QStringList customerFields = {"ID", "Remark", "Name", "note text", "Phone", "PhoneMove"};
        const QStringList businessFields = {"BillNo", "UnitID", "Unit ID"};
        FieldMapping written;
        written.setCustomerTable(QStringLiteral("customer notes"), customerFields);
        written.setBusinessTable(QStringLiteral("BillIndex"), businessFields);
        for (const char* shown : {"note text", "Name", "ID"})
            written.toggleShown(written.indexOfCustomerField(QString::fromLatin1(shown)));
        written.togglePhone(written.indexOfCustomerField(QStringLiteral("Phone")));
        written.togglePhone(written.indexOfCustomerField(QStringLiteral("PhoneMove")));
        written.setCaption(written.indexOfCustomerField(QStringLiteral("Name")), QStringLiteral("客户名称"));
        written.setCaption(written.indexOfCustomerField(QStringLiteral("note text")), QStringLiteral("备注"));
        // The select list leaves the table's order: note text first; Remark, not shown, between ID and Name.
        for (int i = 0; i < 3; ++i)
            written.moveUp(written.indexOfCustomerField(QStringLiteral("note text")));
        written.setJoin(1, QStringLiteral("ID"));
        written.setJoin(2, QStringLiteral("note text"));
        const ExternalSource source = written.build(QStringLiteral("BillIndex"));
        QCOMPARE(source.customerSql, QStringLiteral("select \"note text\", ID, Name from \"customer notes\" b where  "
                                                    "b.Phone like '%#NO#' or b.PhoneMove like '%#NO#' "));

        // As the reader gives it: trailing blanks gone, the business statement completed.
        const QString completed =
            DataSourceSql::completedBusinessStatement(source.businessSql.trimmed(), source.customerSql.trimmed());
        const StoredMapping stored = StoredMapping::parse(source.customerSql.trimmed(), completed, source.labels);
        QCOMPARE(stored.customerTable, QStringLiteral("customer notes"));
        QCOMPARE(stored.shownFields, QStringList({"note text", "ID", "Name"}));
        QCOMPARE(stored.phoneFields, QStringList({"Phone", "PhoneMove"}));
        QCOMPARE(stored.businessTable, QStringLiteral("BillIndex"));
        QCOMPARE(stored.joins.size(), 2);
        QCOMPARE(stored.joins.at(1), qMakePair(QStringLiteral("Unit ID"), QStringLiteral("note text")));

        FieldMapping read;
        QStringList lowerCase;
        for (const QString& field : customerFields)
            lowerCase << field.toLower();
        read.setCustomerTable(QStringLiteral("customer notes"), lowerCase);
        read.setBusinessTable(QStringLiteral("BillIndex"), businessFields);
        read.restore(stored);
        // The shown fields in the select list's order on the rows the shown fields had; Remark keeps its row.
        QCOMPARE(names(read.customerFields()),
                 QStringList({"note text", "remark", "id", "name", "phone", "phonemove"}));
        QCOMPARE(read.customerFields().at(0).caption, QStringLiteral("备注"));
        QVERIFY(!read.customerFields().at(1).shown);
        QCOMPARE(read.customerFields().at(2).caption, QStringLiteral("ID")); // the stored label, as written
        QCOMPARE(read.customerFields().at(3).caption, QStringLiteral("客户名称"));
        QVERIFY(!read.customerFields().at(4).shown && read.customerFields().at(4).phone);
        QCOMPARE(read.businessFields().at(0).customerField, QString());
        QCOMPARE(read.businessFields().at(1).customerField, QStringLiteral("id"));
        const ExternalSource again = read.build(QStringLiteral("BillIndex"));
        QCOMPARE(again.customerSql, QStringLiteral("select \"note text\", id, name from \"customer notes\" b where  "
                                                   "b.phone like '%#NO#' or b.phonemove like '%#NO#' "));
        QCOMPARE(again.businessSql,
                 QStringLiteral("select a.* from BillIndex a,\"customer notes\" b where  a.UnitID=b.id and  "
                                "a.\"Unit ID\"=b.\"note text\" and "));
        QCOMPARE(again.labels, source.labels);
        QCOMPARE(again.labels, QStringList({"备注", "ID", "客户名称"}));

        // A statement of another shape, and stored fields the table no longer has, give nothing.
        const StoredMapping other = StoredMapping::parse(QStringLiteral("select * from Unit where Phone = '#NO#'"),
                                                         QStringLiteral("select 1"), {});
        QVERIFY(other.customerTable.isEmpty() && other.shownFields.isEmpty() && other.businessTable.isEmpty());
        FieldMapping gone;
        gone.setCustomerTable(QStringLiteral("customer notes"), {"ID"});
        gone.restore(stored);
        QVERIFY(gone.customerFields().at(0).shown && !gone.customerFields().at(0).phone);
    }

    void catalogSaysWhatItCannotReach()
    {
        SourceCatalog catalog;
        QString error;
        QVERIFY(catalog.fields(QStringLiteral("customers"), &error).isEmpty()); // nothing open
        QVERIFY(catalog.open(QStringLiteral("Provider=SQLite;Data Source=") + m_customers));
        QVERIFY(catalog.isOpen());
        error.clear();
        QVERIFY(catalog.fields(QStringLiteral("custo"), &error).isEmpty());
        QVERIFY(error.contains(QLatin1String("custo")));

        const QString missing = m_root.filePath(QStringLiteral("no/such/folder/c.db"));
        error.clear();
        QVERIFY(!catalog.open(QStringLiteral("Provider=SQLite;Data Source=") + missing, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!catalog.isOpen()); // the source open before is closed, too
        QVERIFY(!QFile::exists(missing));

        QCOMPARE(SourceCatalog::test(QStringLiteral("Provider=SQLite;Data Source=") + m_customers),
                 SourceCatalog::TestResult::Connected);
        error.clear();
        QCOMPARE(SourceCatalog::test(QStringLiteral("Provider=SQLite;Data Source=") + missing, &error),
                 SourceCatalog::TestResult::Failed);
        QVERIFY(!error.isEmpty());
    }

    void inventoryAccountSets()
    {
        QList<AccountSet> sets{AccountSet{QStringLiteral("old"), QString(), QString()}};
        QCOMPARE(InventoryAccounts::read(m_root.filePath(QStringLiteral("nothing/")), &sets),
                 InventoryAccounts::ReadResult::NoLoginDb);
        QVERIFY(sets.isEmpty());

        QCOMPARE(InventoryAccounts::check(QString()), InventoryAccounts::Check::NoneChosen);
        QCOMPARE(InventoryAccounts::check(m_root.filePath(QStringLiteral("gone.mdb"))),
                 InventoryAccounts::Check::Missing);
        QCOMPARE(InventoryAccounts::check(m_customers), InventoryAccounts::Check::Valid);

        // A "LoginDB.mdb" that is no Access file: the list cannot be read and the error says why.
        const QString folder = m_root.filePath(QStringLiteral("Store/"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(m_customers, InventoryLink::loginDbFile(folder)));
        QString error;
        QCOMPARE(InventoryAccounts::read(folder, &sets, &error), InventoryAccounts::ReadResult::Damaged);
        QVERIFY(sets.isEmpty());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSetupLogic)
#include "tst_setuplogic.moc"
