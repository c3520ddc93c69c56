#include "lookup/CallerLookup.h"
#include "lookup/CallerStatement.h"
#include "lookup/DataSourceSettings.h"
#include "lookup/DbConnection.h"
#include "lookup/IndexedStatement.h"
#include "lookup/NumberIndex.h"
#include "platform/ProgramFolder.h"

#include "../support/AccessFiles.h"
#include "../support/TestDatabases.h"

#include <QFile>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace TestDatabases;

namespace {
const QString NotFound = QStringLiteral("数据库中没有对应来电的通讯资料信息！");
const QString SqliteString = QStringLiteral("Provider=SQLite;Data Source=formatted.db");
constexpr int BuildWaitMs = 30000;

// Customers whose numbers are written the ways people type them; the last three share one number.
const QList<QStringList> Customers = {
    {"福州一号", "0591-87654321", ""},
    {"福州二号", "(0591) 8765 4322", ""},
    {"手机客户", "", "+86 139 0591 1234"},
    {"手机二号", "", "139 0591 1235"},
    {"分机客户", "0591-8765432 转 8001", ""},
    {"国际格式", "0086 591 8765 4323", ""},
    {"引号客户", "0591-8600'1234", ""},
    {"注入客户", "x' or 'a'='a' -- 0591-86001111", ""},
    {"共享甲", "0591-86661234", ""},
    {"共享乙", "(0591)86661234", ""},
    {"共享丙", "", "059186661234"},
};

void insertCustomer(DbConnection& connection, int id, const QStringList& customer)
{
    QSqlQuery q(connection.database());
    QVERIFY(q.prepare(QStringLiteral("insert into numbered_customers (id, name, phone, mobile) values (?, ?, ?, ?)")));
    q.addBindValue(id);
    for (const QString& value : customer)
        q.addBindValue(value.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(value));
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
}

void createCustomers(const QString& connectString)
{
    DbConnection connection;
    connection.setConnectionString(connectString);
    connection.open();
    QSqlQuery q(connection.database());
    q.exec(QStringLiteral("drop table if exists numbered_customers"));
    QVERIFY(q.exec(QStringLiteral("create table numbered_customers (id integer, name varchar(40), phone varchar(60), "
                                  "mobile varchar(60))")));
    for (int i = 0; i < Customers.size(); ++i)
        insertCustomer(connection, i + 1, Customers.at(i));
}

// The names of every customer a record steps through, from the first.
QStringList namesOf(CallerRecord record)
{
    QStringList names;
    if (record.rowText(3) == NotFound)
        return names;
    names << record.rowText(3);
    while (record.canStepForward()) {
        record.stepForward();
        if (record.rowText(3) != NotFound)
            names << record.rowText(3);
    }
    return names;
}
} // namespace

// The number index on real databases: SQLite, PostgreSQL over ODBC and the Access copy.
class TestNumberIndex : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    PostgresServer m_pg;

    QString pgString() const
    {
        return QStringLiteral("Provider=MSDASQL.1;User ID=%1;Password=%2;Data Source=vornx_pg").arg(m_pg.user, m_pg.password);
    }

    std::unique_ptr<CallerLookup> open(const QString& connectString, const QString& customerSql,
                                       NumberIndexer::Loader loader = {})
    {
        const QString text = QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=%1\r\nstrSQL=%2\r\n"
                                            "strSQL1=\r\n[TABLESET]\r\nFIELD0=名称\r\nFIELD1=电话\r\nFIELDNUM=2\r\n")
                                 .arg(connectString, customerSql);
        QFile f(ProgramFolder::file(QStringLiteral("Vornx.ini")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return nullptr;
        f.write(QStringEncoder("GB18030").encode(text));
        f.close();
        return std::make_unique<CallerLookup>(DataSourceSettings::read(f.fileName()), nullptr, m_dir.path(),
                                              &QDateTime::currentDateTime, std::move(loader));
    }

    // The lookup once its number index has been built the first time; null when it is not.
    std::unique_ptr<CallerLookup> openIndexed(const QString& connectString, const QString& customerSql)
    {
        std::unique_ptr<CallerLookup> lookup = open(connectString, customerSql);
        if (!lookup || !lookup->numberIndexer() ||
            !QTest::qWaitFor([&] { return lookup->numberIndexer()->builds() >= 1; }, BuildWaitMs))
            return nullptr;
        return lookup;
    }

    static QString wizardSql()
    {
        return DataSourceSql::customerStatement(QStringLiteral("numbered_customers"), {"name", "phone"}, {"phone", "mobile"});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("cache"))));
        ProgramFolder::setPath(m_dir.path());
        QFile created(ProgramFolder::file(QStringLiteral("formatted.db")));
        QVERIFY(created.open(QIODevice::WriteOnly));
        created.close();
        createCustomers(SqliteString);
        {
            DbConnection connection;
            connection.setConnectionString(SqliteString);
            connection.open();
            QSqlQuery q(connection.database());
            QVERIFY(q.exec(QStringLiteral("create view numbered_customers_view as select * from numbered_customers")));
        }
        m_pg = postgresServer();
        OdbcConfig odbc(m_dir.path());
        odbc.addSqlite(QStringLiteral("vornx_sqlite"), ProgramFolder::file(QStringLiteral("formatted.db")));
        if (m_pg.available)
            odbc.addPostgres(QStringLiteral("vornx_pg"), m_pg);
        else if (underCi())
            QFAIL(qPrintable(QStringLiteral("PostgreSQL test server missing under CI: ") + m_pg.reason));
        QVERIFY(odbc.write());
        if (m_pg.available)
            createCustomers(pgString());
    }

    void storedValuesNormalised_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("extension");
        QTest::newRow("dash") << "0591-87654321" << "59187654321" << "";
        QTest::newRow("brackets and blanks") << "(0591) 8765 4321" << "59187654321" << "";
        QTest::newRow("+86 mobile") << "+86 139 0591 1234" << "13905911234" << "";
        QTest::newRow("+86 with trunk zero") << "+86 (0)591 8765 4321" << "59187654321" << "";
        QTest::newRow("0086") << "0086-591-87654321" << "59187654321" << "";
        QTest::newRow("blanked mobile") << "139 0591 1234" << "13905911234" << "";
        QTest::newRow("转 extension") << "0591-8765432 转 8001" << "5918765432" << "8001";
        QTest::newRow("ext extension") << "0591-87654321 ext. 12" << "59187654321" << "12";
        QTest::newRow("x extension") << "0591 87654321x305" << "59187654321" << "305";
        QTest::newRow("full-width digits") << "０５９１－８７６５４３２１" << "59187654321" << "";
        QTest::newRow("other country") << "+44 20 7946 0958" << "442079460958" << "";
        QTest::newRow("word before a long number is no extension") << "Fax 059187654321" << "59187654321" << "";
    }

    void storedValuesNormalised()
    {
        QFETCH(QString, stored);
        QFETCH(QString, digits);
        QFETCH(QString, extension);
        const NumberIndex::Number number = NumberIndex::normalise(stored);
        QCOMPARE(number.digits, digits);
        QCOMPARE(number.extension, extension);
    }

    void indexFindsEndings()
    {
        NumberIndex::Builder builder;
        for (const char* value : {"0591-87654321", "(0591) 8765 4321", "021-87654321", "12", "1234567890123456789"})
            builder.add(QString::fromUtf8(value));
        const NumberIndex index = builder.finish();
        QCOMPARE(index.size(), 4); // "12" is too short to name anyone
        QCOMPARE(index.find(QStringLiteral("59187654321")).values, QStringList({"0591-87654321", "(0591) 8765 4321"}));
        QCOMPARE(index.find(QStringLiteral("87654321")).values.size(), 3);
        QCOMPARE(index.find(QStringLiteral("021187654321")).values, QStringList());
        QCOMPARE(index.find(QStringLiteral("4567890123456789")).values, QStringList({"1234567890123456789"}));
        QCOMPARE(index.find(QStringLiteral("21")).values, QStringList());
        QCOMPARE(index.find(QStringLiteral("5918765432a")).values, QStringList());
    }

    void statementShapes()
    {
        const std::optional<IndexedStatement> wizard = IndexedStatement::parse(
            DataSourceSql::customerStatement(QStringLiteral("客户 表"), {"name"}, {"phone", "fax no"}));
        QVERIFY(wizard);
        QCOMPARE(wizard->fields(), QStringList({"phone", "\"fax no\""}));
        QCOMPARE(wizard->valuesStatement(IndexedStatement::RowKey::None), QStringLiteral("select b.phone, b.\"fax no\" from \"客户 表\" b"));
        QVERIFY(wizard->exactStatement(2).endsWith(QStringLiteral("where  b.phone in (?,?) or b.\"fax no\" in (?,?)")));
        QVERIFY(wizard->exactStatement(1, 2, IndexedStatement::RowKey::RowId).endsWith(
            QStringLiteral("where  b.rowid in (?,?) and (b.phone in (?) or b.\"fax no\" in (?)) union all select name from "
                           "\"客户 表\" b where  b.rowid > ? and (b.phone in (?) or b.\"fax no\" in (?))")));
        // The values go where the statement's marks are: the keys, the values per field, the
        // last key read, the values per field again.
        QCOMPARE(wizard->exactValues({"0591"}, {7, 9}, IndexedStatement::RowKey::RowId, 12),
                 QVariantList({qint64(7), qint64(9), "0591", "0591", qint64(12), "0591", "0591"}));
        QCOMPARE(wizard->exactValues({"0591", "0592"}, {}, IndexedStatement::RowKey::RowId, -1),
                 QVariantList({"0591", "0592", "0591", "0592"}));
        // PostgreSQL's "(block,item)" row keys survive the trip through a number.
        const qint64 ctid = IndexedStatement::rowKeyNumber(IndexedStatement::RowKey::Ctid, QStringLiteral("(70000,12)"));
        QCOMPARE(IndexedStatement::rowKeyValue(IndexedStatement::RowKey::Ctid, ctid).toString(), QStringLiteral("(70000,12)"));
        QCOMPARE(IndexedStatement::rowKeyNumber(IndexedStatement::RowKey::Ctid, QStringLiteral("12")), -1);
        for (const char* handWritten :
             {"select name from numbered_customers b where b.phone like '%#NO#' order by name",
              "select name from numbered_customers b where b.phone like '%#NO#' and b.active = 1",
              "select name from numbered_customers b, orders o where b.phone like '%#NO#'",
              "select name from numbered_customers where phone like '%#NO#'",
              "select name from numbered_customers b where b.phone like '#NO#%'",
              "select name from numbered_customers b where b.phone like '%#NO#' or b.code = '?'"})
            QVERIFY2(!IndexedStatement::parse(QString::fromUtf8(handWritten)), handWritten);
    }

    void formattedNumbersFound_data()
    {
        QTest::addColumn<QString>("connectString");
        QTest::addColumn<QString>("customerSql");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("names");
        const QString sql = wizardSql();
        for (const QString& kind : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            const QString connect = kind == QLatin1String("sqlite") ? SqliteString : pgString();
            auto row = [&](const char* tag, const char* number, const QStringList& names) {
                QTest::addRow("%s: %s", qPrintable(kind), tag) << connect << sql << QString::fromUtf8(number) << names;
            };
            row("dash", "59187654321", {"福州一号"});
            row("local call", "87654321", {"福州一号"});
            row("brackets and blanks", "59187654322", {"福州二号"});
            row("+86 mobile", "13905911234", {"手机客户"});
            row("blanked mobile", "13905911235", {"手机二号"});
            row("extension", "5918765432", {"分机客户"});
            row("0086", "59187654323", {"国际格式"});
            row("quote in the value", "59186001234", {"引号客户"});
            row("value written as a statement", "59186001111", {"注入客户"});
            row("shared number, table order", "59186661234", {"共享甲", "共享乙", "共享丙"});
            row("nobody", "59100000000", {});
        }
        // The same file through its ODBC driver: values bound by ODBC, no rowids.
        const QString sqliteDsn = QStringLiteral("Provider=MSDASQL.1;User ID=;Password=;Data Source=vornx_sqlite");
        QTest::newRow("sqlite by dsn: +86 mobile") << sqliteDsn << sql << "13905911234" << QStringList({"手机客户"});
        QTest::newRow("sqlite by dsn: quote in the value") << sqliteDsn << sql << "59186001234" << QStringList({"引号客户"});
        // A view has no rowids of its own: its values alone are matched.
        const QString viewSql =
            DataSourceSql::customerStatement(QStringLiteral("numbered_customers_view"), {"name", "phone"}, {"phone", "mobile"});
        QTest::newRow("sqlite view: brackets and blanks") << SqliteString << viewSql << "59187654322" << QStringList({"福州二号"});
        QTest::newRow("sqlite view: shared number") << SqliteString << viewSql << "59186661234"
                                                    << QStringList({"共享甲", "共享乙", "共享丙"});
        const QString nwind = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1").arg(AccessFiles::path("nwind.mdb"));
        const QString nwindSql = DataSourceSql::customerStatement(QStringLiteral("Customers"), {"CompanyName", "Phone"},
                                                                  {"Phone", "Fax"});
        QTest::newRow("access: brackets") << nwind << nwindSql << "1715557788" << QStringList({"Around the Horn"});
        QTest::newRow("access: blanks") << nwind << nwindSql << "921123465" << QStringList({"Berglunds snabbköp"});
    }

    void formattedNumbersFound()
    {
        QFETCH(QString, connectString);
        QFETCH(QString, customerSql);
        QFETCH(QString, number);
        QFETCH(QStringList, names);
        if (connectString.contains(QLatin1String("vornx_pg")) && !m_pg.available)
            QSKIP(qPrintable(m_pg.reason));
        if (connectString.contains(QLatin1String("Jet")))
            VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        const std::unique_ptr<CallerLookup> lookup = openIndexed(connectString, customerSql);
        QVERIFY(lookup);
        QCOMPARE(lookup->numberIndexer()->lastError(), QString());
        const CallerRecord record = lookup->lookUp(number);
        QVERIFY(!record.failed());
        QCOMPARE(namesOf(record), names);
    }

    // What the index cannot understand runs as it always did: plain digits found by the
    // statement's own condition, formatted numbers not.
    void handWrittenStatementAsWritten()
    {
        const QString sql = QStringLiteral("select name, phone from numbered_customers b where b.phone like '%#NO#' "
                                           "or b.mobile like '%#NO#' order by name desc");
        const std::unique_ptr<CallerLookup> lookup = open(SqliteString, sql);
        QVERIFY(lookup);
        QVERIFY(!lookup->numberIndexer());
        QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("59187654321"))), QStringList());
        // The statement run directly gives the same rows in the same order.
        DbConnection connection;
        connection.setConnectionString(SqliteString);
        connection.open();
        QSqlQuery q(connection.database());
        QVERIFY(q.exec(*CallerStatement::withNumber(sql, QStringLiteral("86661234"))));
        QStringList direct;
        while (q.next())
            direct << q.value(0).toString();
        QCOMPARE(direct.size(), 3);
        QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("86661234"))), direct);
    }

    void customerAddedWhileRunning_data()
    {
        QTest::addColumn<QString>("connectString");
        QTest::newRow("sqlite") << SqliteString;
        QTest::newRow("postgresql") << pgString();
    }

    void customerAddedWhileRunning()
    {
        QFETCH(QString, connectString);
        if (connectString.contains(QLatin1String("vornx_pg")) && !m_pg.available)
            QSKIP(qPrintable(m_pg.reason));
        const std::unique_ptr<CallerLookup> lookup = openIndexed(connectString, wizardSql());
        QVERIFY(lookup);
        NumberIndexer& indexer = *lookup->numberIndexer();
        {
            DbConnection writer;
            writer.setConnectionString(connectString);
            writer.open();
            insertCustomer(writer, 100, {"新客户", "059188880001", ""});
            insertCustomer(writer, 101, {"新格式客户", "0591-8888 0002", ""});
            QSqlQuery q(writer.database());
            QVERIFY(q.exec(QStringLiteral("select count(*) from numbered_customers")));
        }
        const int before = indexer.builds();
        QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("59188880001"))), QStringList({"新客户"}));
        // A changed file has its index renewed at once; a server's changes are unseen, so
        // there the formatted number is not found, which renews the index.
        if (connectString.contains(QLatin1String("MSDASQL")))
            QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("59188880002"))), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(indexer.builds() > before, BuildWaitMs);
        QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("59188880002"))), QStringList({"新格式客户"}));

        DbConnection writer;
        writer.setConnectionString(connectString);
        writer.open();
        QSqlQuery q(writer.database());
        QVERIFY(q.exec(QStringLiteral("delete from numbered_customers where id >= 100")));
    }

    void plainDigitsAddedAfterBuild_data()
    {
        QTest::addColumn<QString>("connectString");
        QTest::newRow("sqlite, change not seen in the file's stamp") << SqliteString;
        QTest::newRow("sqlite by dsn, no row keys")
            << QStringLiteral("Provider=MSDASQL.1;User ID=;Password=;Data Source=vornx_sqlite");
        QTest::newRow("postgresql, row keys") << pgString();
    }

    // A customer stored with the plain digits of a number the index knows in another writing
    // is found at once beside the known one, and once only when the index has it too.
    void plainDigitsAddedAfterBuild()
    {
        QFETCH(QString, connectString);
        if (connectString.contains(QLatin1String("vornx_pg")) && !m_pg.available)
            QSKIP(qPrintable(m_pg.reason));
        const std::unique_ptr<CallerLookup> lookup = openIndexed(connectString, wizardSql());
        QVERIFY(lookup);
        NumberIndexer& indexer = *lookup->numberIndexer();
        const QString caller = QStringLiteral("059187654321");
        QCOMPARE(namesOf(lookup->lookUp(caller)), QStringList({"福州一号"}));
        DbConnection writer;
        writer.setConnectionString(connectString);
        writer.open();
        const auto removeAdded = qScopeGuard([&] {
            QSqlQuery(writer.database()).exec(QStringLiteral("delete from numbered_customers where id >= 100"));
        });
        const QString file = ProgramFolder::file(QStringLiteral("formatted.db"));
        const qint64 size = QFileInfo(file).size();
        const QDateTime modified = QFileInfo(file).lastModified();
        insertCustomer(writer, 102, {"纯数字客户", caller, ""});
        // A change the file's size and time do not show (a coarse clock, a network share)
        // leaves the index standing, as a server's changes always do.
        if (connectString == SqliteString) {
            QCOMPARE(QFileInfo(file).size(), size);
            QFile touched(file);
            QVERIFY(touched.open(QIODevice::ReadWrite));
            QVERIFY(touched.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        QVERIFY(indexer.current());
        const QStringList both = {"福州一号", "纯数字客户"};
        QCOMPARE(namesOf(lookup->lookUp(caller)), both);
        const int before = indexer.builds();
        indexer.refresh();
        QTRY_VERIFY_WITH_TIMEOUT(indexer.builds() > before, BuildWaitMs);
        QVERIFY(indexer.current()->find(caller).values.contains(caller));
        QCOMPARE(namesOf(lookup->lookUp(caller)), both);
    }

    // The index is read on its own thread: a lookup made while it is still being read runs the
    // statement as written and returns.
    void firstLookupNotWaiting()
    {
        auto held = std::make_shared<QSemaphore>();
        const std::unique_ptr<CallerLookup> lookup = open(
            SqliteString, wizardSql(),
            [held](const QString& connectString, const IndexedStatement& statement,
                   const NumberIndexer::AddValue& add, const std::atomic<bool>& stop, QString* error) {
                while (!held->tryAcquire(1, 50)) {
                    if (stop)
                        return false;
                }
                return NumberIndexer::loadFromDatabase(connectString, statement, add, stop, error);
            });
        QVERIFY(lookup && lookup->numberIndexer());
        QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("59186661234"))), QStringList({"共享丙"}));
        QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("59187654321"))), QStringList());
        QCOMPARE(lookup->numberIndexer()->builds(), 0);
        held->release();
        QTRY_VERIFY_WITH_TIMEOUT(lookup->numberIndexer()->builds() >= 1, BuildWaitMs);
        QCOMPARE(namesOf(lookup->lookUp(QStringLiteral("59187654321"))), QStringList({"福州一号"}));
    }

    void describedForTheUser()
    {
        QVERIFY(NumberIndex::describe(wizardSql()).contains(QStringLiteral("phone、mobile")));
        QVERIFY(!NumberIndex::describe(QStringLiteral("select * from t where x = '#NO#'")).contains(QStringLiteral("phone")));
    }
};

QTEST_GUILESS_MAIN(TestNumberIndex)
#include "tst_numberindex.moc"
