#include "lookup/DataSourceSettings.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <csignal>
#include <sys/resource.h>

class TestDataSourceSettings : public QObject
{
    Q_OBJECT

private:
    static void writeGbk(const QString& file, const QString& text)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QStringEncoder gbk("GB18030");
        f.write(gbk.encode(text));
    }
    static QByteArray readBytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString readGbk(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        QStringDecoder gbk("GB18030");
        return gbk.decode(f.readAll());
    }

private slots:
    // Customer table Unit (ID, Name, Phone, PhoneMove), business table BillIndex joined on UnitID.
    void workedExample()
    {
        const QString custSql = DataSourceSql::customerStatement(QStringLiteral("Unit"), {"Name", "Phone"},
                                                                 {"Phone", "PhoneMove"});
        QCOMPARE(custSql, QStringLiteral("select Name, Phone from Unit b where  b.Phone like '%#NO#' or b.PhoneMove like '%#NO#' "));
        const QString bizSql = DataSourceSql::businessStatement(QStringLiteral("BillIndex"), QStringLiteral("Unit"),
                                                                {{QStringLiteral("UnitID"), QStringLiteral("ID")}});
        QCOMPARE(bizSql, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        const QStringList labels = {DataSourceSql::label(QStringLiteral("Name"), QStringLiteral("客户姓名")),
                                    DataSourceSql::label(QStringLiteral("Phone"), QString())};
        QCOMPARE(labels, QStringList({"客户姓名", "Phone"}));

        QTemporaryDir dir;
        DataSourceWriter writer(dir.path());
        writer.startFrom();
        writer.writeExternalSource(QStringLiteral("Provider=SQLite;Data Source=demo.db"), custSql, bizSql, labels);
        QVERIFY(writer.commit());
        QVERIFY(!QFile::exists(writer.tempFileName()));

        const DataSourceSettings s = DataSourceSettings::read(writer.fileName());
        QCOMPARE(s.queryType, 2);
        QVERIFY(s.queryTypeValid);
        QCOMPARE(s.connectString, QStringLiteral("Provider=SQLite;Data Source=demo.db"));
        // The trailing blanks the writer leaves are dropped by the reader.
        QCOMPARE(s.customerSql, QStringLiteral("select Name, Phone from Unit b where  b.Phone like '%#NO#' or b.PhoneMove like '%#NO#'"));
        QCOMPARE(s.businessSql, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and (  b.Phone like "
                                               "'%#NO#' or b.PhoneMove like '%#NO#' )"));
        QCOMPARE(s.fieldCount, 2);
        QCOMPARE(s.labels, labels);
        // Labels are stored as GBK text.
        QFile raw(writer.fileName());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains(QByteArray("\xbf\xcd\xbb\xa7\xd0\xd5\xc3\xfb")));
    }

    void readerDefaultsAndBadNumbers()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Vornx.ini"));
        DataSourceSettings s = DataSourceSettings::read(ini); // no file: address book
        QCOMPARE(s.queryType, 1);
        QVERIFY(s.queryTypeValid);
        QVERIFY(s.connectString.isEmpty());

        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE=abc\r\n[DBSET]\r\nConnectString=x\r\n"));
        s = DataSourceSettings::read(ini);
        QCOMPARE(s.queryType, 0);
        QVERIFY(!s.queryTypeValid);
        QVERIFY(s.connectString.isEmpty()); // type 0 reads no database keys

        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE=3\r\n[TABLESET]\r\nFIELDNUM=2x\r\nFIELD0=名称\r\n"));
        s = DataSourceSettings::read(ini);
        QCOMPARE(s.queryType, 3);
        QCOMPARE(s.fieldCount, 0);
        QVERIFY(!s.fieldCountValid);
        QVERIFY(s.labels.isEmpty());

        // More fields announced than labelled: the missing labels read "a".
        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE= 2 \r\n[TABLESET]\r\nFIELDNUM=3\r\nFIELD0=名称\r\nFIELD2=电话\r\n"));
        s = DataSourceSettings::read(ini);
        QCOMPARE(s.queryType, 2);
        QCOMPARE(s.labels, QStringList({"名称", "a", "电话"}));
        // strSQL and strSQL1 missing: the completion still applies.
        QCOMPARE(s.businessSql, QStringLiteral(" ( )"));

        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n"));
        s = DataSourceSettings::read(ini);
        QCOMPARE(s.fieldCount, 0);
        QVERIFY(s.fieldCountValid);
    }

    // A count no customer table has would make every call build that many rows: it is
    // bounded, and the user is told which file and key.
    void fieldCountIsBounded_data()
    {
        QTest::addColumn<QString>("fieldNum");
        QTest::addColumn<int>("count");
        QTest::newRow("largest int") << "2147483647" << DataSourceSettings::kMaxFields;
        QTest::newRow("one too many") << QString::number(DataSourceSettings::kMaxFields + 1)
                                      << DataSourceSettings::kMaxFields;
        QTest::newRow("negative") << "-5" << 0;
    }

    void fieldCountIsBounded()
    {
        QFETCH(QString, fieldNum);
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Vornx.ini"));
        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[TABLESET]\r\nFIELDNUM=%1\r\nFIELD0=名称\r\n").arg(fieldNum));
        const DataSourceSettings s = DataSourceSettings::read(ini);
        QCOMPARE(s.fieldCount, count);
        QCOMPARE(s.labels.size(), count);
        if (count)
            QCOMPARE(s.labels.first(), QStringLiteral("名称"));
        QVERIFY2(s.problem.contains(ini) && s.problem.contains(QStringLiteral("FIELDNUM=") + fieldNum),
                 qPrintable(s.problem));

        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[TABLESET]\r\nFIELDNUM=%1\r\n")
                          .arg(DataSourceSettings::kMaxFields));
        const DataSourceSettings widest = DataSourceSettings::read(ini);
        QCOMPARE(widest.fieldCount, DataSourceSettings::kMaxFields);
        QVERIFY2(widest.problem.isEmpty(), qPrintable(widest.problem));
    }

    // A file that cannot be read is not silently the address book: the reason names it.
    void unreadableFileIsReported()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Vornx.ini"));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QString text = QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n");
        f.write("\xFF\xFE");
        f.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        f.close();
        const DataSourceSettings s = DataSourceSettings::read(ini);
        QCOMPARE(s.queryType, 1);
        QVERIFY2(s.problem.contains(ini) && s.problem.contains(QStringLiteral("通讯薄")), qPrintable(s.problem));

        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        QVERIFY(DataSourceSettings::read(ini).problem.isEmpty());

        // Binary content: no section to read, said instead of taken as the address book.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + QByteArray(200, '\x7f'));
        f.close();
        const DataSourceSettings binary = DataSourceSettings::read(ini);
        QCOMPARE(binary.queryType, 1);
        QVERIFY2(binary.problem.contains(ini) && binary.problem.contains(QStringLiteral("不是设置文件")),
                 qPrintable(binary.problem));

        // An empty file is just the defaults.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.close();
        QVERIFY(DataSourceSettings::read(ini).problem.isEmpty());
    }

    void longValuesAreCut()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Vornx.ini"));
        const QString conn = QStringLiteral("Provider=SQLite;Data Source=") + QString(300, QLatin1Char('x'));
        const QString sql = QStringLiteral("select ") + QString(600, QLatin1Char('y')) + QStringLiteral(" from T b where 1");
        writeGbk(ini, QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=%1\r\nstrSQL=%2\r\nstrSQL1=%2\r\n")
                          .arg(conn, sql));
        const DataSourceSettings s = DataSourceSettings::read(ini);
        QCOMPARE(s.connectString, conn.left(255));
        QCOMPARE(s.customerSql, sql.left(511));
        // No "where" within the 511 characters read: the condition is taken from the fifth character.
        QCOMPARE(s.businessSql, sql.left(511) + QStringLiteral(" (") + sql.left(511).mid(4) + QStringLiteral(" )"));
    }

    void completionSplitsAtTheClause_data()
    {
        QTest::addColumn<QString>("business");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("completed");
        // The wizard's statements: the condition starts after its own clause, whatever the names hold.
        QTest::newRow("field named with where") << "select a.* from B a,T b where  a.x=b.y and"
                                                << "select somewhere, Phone from T b where  b.Phone like '%#NO#'"
                                                << "select a.* from B a,T b where  a.x=b.y and (  b.Phone like '%#NO#' )";
        QTest::newRow("table named with where")
            << DataSourceSql::businessStatement(QStringLiteral("Orders"), QStringLiteral("Somewhere"),
                                                {{QStringLiteral("CustID"), QStringLiteral("ID")}})
                   .trimmed()
            << DataSourceSql::customerStatement(QStringLiteral("Somewhere"), {"Name"}, {"Phone", "Wherever"})
            << "select a.* from Orders a,Somewhere b where  a.CustID=b.ID and (  b.Phone like '%#NO#' or b.Wherever "
               "like '%#NO#'  )";
        // Statements written by hand without that clause keep the first lower-case "where".
        QTest::newRow("by hand, first where") << "B" << "select somewhere from T where p like '%#NO#'"
                                              << "B ( from T where p like '%#NO#' )";
        QTest::newRow("upper-case WHERE is not looked for") << "B" << "select x from T b WHERE c where d"
                                                            << "B ( d )";
        QTest::newRow("no join") << DataSourceSql::businessStatement(QStringLiteral("B"), QStringLiteral("T"), {}).trimmed()
                                 << "select n from T b where  b.p like '%#NO#'"
                                 << "select a.* from B a,T b where (  b.p like '%#NO#' )";
    }
    void completionSplitsAtTheClause()
    {
        QFETCH(QString, business);
        QFETCH(QString, customer);
        QFETCH(QString, completed);
        QCOMPARE(DataSourceSql::completedBusinessStatement(business, customer), completed);
    }

    void builders()
    {
        QCOMPARE(DataSourceSql::businessStatement(QStringLiteral("Orders"), QStringLiteral("Customers"),
                                                  {{QStringLiteral("CustomerID"), QStringLiteral("CustomerID")},
                                                   {QStringLiteral("ShipName"), QStringLiteral("CompanyName")}}),
                 QStringLiteral("select a.* from Orders a,Customers b where  a.CustomerID=b.CustomerID and  "
                                "a.ShipName=b.CompanyName and "));
        // Names with blanks or punctuation are quoted so the statement runs; Chinese names stay plain.
        QCOMPARE(DataSourceSql::customerStatement(QStringLiteral("客户 资料"), {"名称", "Tel-No"}, {"电话", "2nd"}),
                 QStringLiteral("select 名称, \"Tel-No\" from \"客户 资料\" b where  b.电话 like '%#NO#' or b.\"2nd\" like '%#NO#' "));
        QCOMPARE(DataSourceSql::businessStatement(QStringLiteral("Order Details"), QStringLiteral("T"),
                                                  {{QStringLiteral("Order ID"), QStringLiteral("a\"b")}}),
                 QStringLiteral("select a.* from \"Order Details\" a,T b where  a.\"Order ID\"=b.\"a\"\"b\" and "));
        // A field both shown and matched stands in both lists.
        QCOMPARE(DataSourceSql::customerStatement(QStringLiteral("T"), {"Phone"}, {"Phone"}),
                 QStringLiteral("select Phone from T b where  b.Phone like '%#NO#' "));
    }

    void replacementKeepsOldOrNewFile()
    {
        QTemporaryDir dir;
        DataSourceWriter writer(dir.path());
        writeGbk(writer.fileName(), QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=old\r\n"));
        // A temporary file left by an interrupted run lends nothing to the new file.
        writeGbk(writer.tempFileName(), QStringLiteral("[DBSET]\r\nConnectString=stale\r\n"));

        writer.startFrom();
        writer.writeQueryType(1);
        // Until the commit, the old settings are what a reader sees.
        QCOMPARE(DataSourceSettings::read(writer.fileName()).connectString, QStringLiteral("old"));
        QVERIFY(writer.commit());
        const QString text = readGbk(writer.fileName());
        QVERIFY2(!text.contains(QLatin1String("ConnectString")), qPrintable(text));
        QCOMPARE(DataSourceSettings::read(writer.fileName()).queryType, 1);
        QVERIFY(!QFile::exists(writer.tempFileName()));
    }

    // The database password never lies in a file others can read, not even while the
    // wizard writes it; a file without one gets the user's ordinary mode.
    void fileWithAPasswordIsTheOwnersOnly()
    {
        QTemporaryDir dir;
        DataSourceWriter writer(dir.path());
        writer.startFrom();
        writer.writeExternalSource(QStringLiteral("Provider=MSDASQL.1;User ID=u;Password=geheim;Data Source=dsn"),
                                   QStringLiteral("select a from T b where b.p like '%#NO#'"), QString(), {"a"});
        const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                            QFileDevice::WriteOther;
        QCOMPARE(QFile::permissions(writer.tempFileName()) & (others | ownerOnly), ownerOnly);
        QVERIFY(writer.commit());
        QCOMPARE(QFile::permissions(writer.fileName()) & (others | ownerOnly), ownerOnly);
        QCOMPARE(DataSourceSettings::read(writer.fileName()).connectString,
                 QStringLiteral("Provider=MSDASQL.1;User ID=u;Password=geheim;Data Source=dsn"));

        // A string longer than the reader takes is refused; the file with the password stays
        // as it was, the owner's only.
        writer.startFrom();
        writer.writeConnectString(QStringLiteral("Provider=SQLite;Data Source=%1;PWD=x").arg(QString(300, QLatin1Char('d'))));
        QVERIFY(!writer.commit());
        QCOMPARE(QFile::permissions(writer.fileName()) & (others | ownerOnly), ownerOnly);

        writer.startFrom();
        writer.writeConnectString(QStringLiteral("Provider=SQLite;Data Source=demo.db"));
        QVERIFY(writer.commit());
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st = {};
        QCOMPARE(::stat(QFile::encodeName(writer.fileName()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
    }

    void inventoryTemplate()
    {
        QTemporaryDir dir;
        const QString orvel = dir.filePath(QStringLiteral("Orvel.ini"));
        writeGbk(orvel, QStringLiteral("[QUERYTYPE]\r\nTYPE=3\r\n[DBSET]\r\nConnectString=placeholder\r\nstrSQL=select "
                                       "Name from Unit b where  b.Phone like '%#NO#' \r\nstrSQL1=select a.* from BillIndex "
                                       "a,Unit b where  a.UnitID=b.ID and \r\n[TABLESET]\r\nFIELDNUM=1\r\nFIELD0=单位名称\r\n"));
        const QString conn = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data "
                                            "Source=/store/a.mdb;User ID=Admin;Jet OLEDB:Database Password=Marlo306158");
        DataSourceWriter writer(dir.path());
        writer.startFrom(orvel);
        writer.writeConnectString(conn);
        QVERIFY(writer.commit());
        const DataSourceSettings s = DataSourceSettings::read(writer.fileName());
        QCOMPARE(s.queryType, 3);
        QCOMPARE(s.connectString, conn.left(255));
        QCOMPARE(s.labels, QStringList({"单位名称"}));
        QVERIFY(QFile::exists(orvel)); // the template stays

        // Without the template the new file would hold only the connection string and quietly
        // turn into an address-book lookup: refused, the settings made before stay.
        const QByteArray before = readBytes(writer.fileName());
        QVERIFY(!writer.startFrom(dir.filePath(QStringLiteral("missing.ini"))));
        writer.writeConnectString(conn);
        QString error;
        QVERIFY(!writer.commit(&error));
        QVERIFY2(error.contains(QLatin1String("missing.ini")), qPrintable(error));
        QCOMPARE(readBytes(writer.fileName()), before);
        QVERIFY(!QFile::exists(writer.tempFileName()));
        // The next run starts clean.
        QVERIFY(writer.startFrom(orvel));
        writer.writeConnectString(conn);
        QVERIFY(writer.commit());
    }

    // Values the reader would cut are refused whole, named with their limit; the boundary
    // values are taken. Statements count GBK bytes: a Chinese character is two.
    void valuesTheReaderWouldCutAreRefused()
    {
        QTemporaryDir dir;
        DataSourceWriter writer(dir.path());
        const QString custSql = QStringLiteral("select Name from T b where  b.Phone like '%#NO#' ");
        const QString bizSql = QStringLiteral("select a.* from B a,T b where  a.x=b.y and ");
        const QString conn255 = QStringLiteral("Provider=SQLite;Data Source=") + QString(255 - 28, QLatin1Char('x'));
        QCOMPARE(conn255.size(), 255);
        writer.startFrom();
        writer.writeExternalSource(conn255, custSql, bizSql, {QStringLiteral("名称")});
        QVERIFY2(writer.commit(), qPrintable(writer.error()));
        QCOMPARE(DataSourceSettings::read(writer.fileName()).connectString, conn255);
        const QByteArray stored = readBytes(writer.fileName());

        struct Case
        {
            QString conn, cust, biz, label, field, limit;
        };
        const QString longChinese = QStringLiteral("select ") + QString(300, QChar(0x540D)) + QStringLiteral(" from T b where  b.Phone like '%#NO#' ");
        QVERIFY(longChinese.size() < 511);
        const QList<Case> cases = {
            {conn255 + QLatin1Char('x'), custSql, bizSql, QStringLiteral("名称"), QStringLiteral("连接字符串"), QStringLiteral("255")},
            {conn255, longChinese, bizSql, QStringLiteral("名称"), QStringLiteral("客户资料查询语句"), QStringLiteral("511")},
            {conn255, custSql, bizSql + QString(512, QLatin1Char(' ')) + QLatin1Char('x'), QStringLiteral("名称"),
             QStringLiteral("业务记录查询语句"), QStringLiteral("511")},
            {conn255, custSql, bizSql, QString(128, QChar(0x540D)), QStringLiteral("字段标题"), QStringLiteral("255")},
        };
        for (const Case& c : cases) {
            writer.startFrom();
            writer.writeExternalSource(c.conn, c.cust, c.biz, {c.label});
            QString error;
            QVERIFY(!writer.commit(&error));
            QVERIFY2(error.contains(c.field) && error.contains(c.limit), qPrintable(error));
            QCOMPARE(readBytes(writer.fileName()), stored);
            QVERIFY(!QFile::exists(writer.tempFileName()));
        }
    }

    // A write of the temporary file that fails half-way (here the process's file-size limit,
    // as a full disk would) must not put the partial file in place.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        DataSourceWriter writer(dir.path());
        writeGbk(writer.fileName(), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        const QByteArray before = readBytes(writer.fileName());
        const QString custSql = QStringLiteral("select Name, Address, Phone, Mobile from Customers b where  b.Phone like '%#NO#' or b.Mobile like '%#NO#' ");

        writer.startFrom();
        struct rlimit old {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 120;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        writer.writeExternalSource(QStringLiteral("Provider=SQLite;Data Source=c.db"), custSql,
                                   QStringLiteral("select a.* from B a,Customers b where  a.x=b.y and "), {"a", "b"});
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QString error;
        QVERIFY(!writer.commit(&error));
        QVERIFY2(error.contains(QLatin1String("Vornx_temp.ini")), qPrintable(error));
        QCOMPARE(readBytes(writer.fileName()), before);
        QVERIFY(!QFile::exists(writer.tempFileName()));
    }
};

QTEST_APPLESS_MAIN(TestDataSourceSettings)
#include "tst_datasourcesettings.moc"
