#include "platform/db/AccessMirror.h"

#include "tests/support/AccessFiles.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestAccessMirror : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static QString nwind() { return AccessFiles::path("nwind.mdb"); }

    QString copyOf(const QString& source, const QString& name)
    {
        const QString target = m_dir.filePath(name);
        QFile::remove(target);
        if (!QFile::copy(source, target))
            return QString();
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    static QByteArray digest(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray();
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
    }

    static ino_t inode(const QString& file)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_ino : 0;
    }

    // Runs one statement on the copy and returns the first row's values.
    static QVariantList firstRow(const QString& mirrorFile, const QString& sql)
    {
        QVariantList row;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(mirrorFile);
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(sql) && q.next()) {
                    for (int i = 0; i < q.record().count(); ++i)
                        row << q.value(i);
                }
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return row;
    }

private slots:
    void copiesUserTablesWithTheirValues()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        AccessMirror mirror(m_dir.filePath(QStringLiteral("cache")));
        QString file;
        QString error;
        QVERIFY2(mirror.refresh(nwind(), &file, &error), qPrintable(error));

        const QVariantList tables = firstRow(file, QStringLiteral("select group_concat(name, '|') from sqlite_master where type = 'table'"));
        QCOMPARE(tables.size(), 1);
        const QStringList names = tables.first().toString().split(QLatin1Char('|'));
        QVERIFY(names.contains(QStringLiteral("Order Details")));
        QVERIFY(names.contains(QStringLiteral("Umsätze")));
        for (const QString& n : names)
            QVERIFY2(!n.startsWith(QLatin1String("MSys")), qPrintable(n));

        QCOMPARE(firstRow(file, QStringLiteral("select count(*) from Customers")).value(0).toInt(), 91);
        QCOMPARE(firstRow(file, QStringLiteral("select count(*) from \"Order Details\"")).value(0).toInt(), 2155);

        // Dates as sortable text, currency as an exact number, yes/no as 1/0.
        const QVariantList order = firstRow(file, QStringLiteral("select OrderDate, Freight, typeof(Freight), ShipRegion from Orders where OrderID = 10330"));
        QCOMPARE(order.value(0).toString(), QStringLiteral("1994-11-16 00:00:00"));
        QCOMPARE(order.value(1).toDouble(), 12.75);
        QCOMPARE(order.value(2).toString(), QStringLiteral("real"));
        QCOMPARE(order.value(3).toString(), QStringLiteral("Lara"));
        const QVariantList flags = firstRow(file, QStringLiteral("select sum(Discontinued = 1), sum(Discontinued = 0), count(*) from Products"));
        QVERIFY(flags.value(0).toInt() > 0);
        QCOMPARE(flags.value(0).toInt() + flags.value(1).toInt(), flags.value(2).toInt());
        // A single-precision discount keeps the value that was typed.
        QCOMPARE(firstRow(file, QStringLiteral("select max(Discount) from \"Order Details\"")).value(0).toDouble(), 0.25);
        // Memo text and OLE pictures in full.
        QCOMPARE(firstRow(file, QStringLiteral("select Description from Categories where CategoryID = 2")).value(0).toString(),
                 QStringLiteral("Sweet and savory sauces, relishes, spreads, and seasonings"));
        QVERIFY(firstRow(file, QStringLiteral("select length(Picture) from Categories where CategoryID = 1")).value(0).toInt() > 1000);
        // A null stays a null.
        QVERIFY(firstRow(file, QStringLiteral("select Region from Customers where CustomerID = 'ALFKI'")).value(0).isNull());
        // Columns keep the file's order.
        QCOMPARE(firstRow(file, QStringLiteral("select * from Shippers order by ShipperID")).size(), 3);
    }

    void copyIsMadeAgainOnlyWhenTheFileChanged()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        const QString source = copyOf(nwind(), QStringLiteral("changing.mdb"));
        QVERIFY(!source.isEmpty());
        AccessMirror mirror(m_dir.filePath(QStringLiteral("cache2")));
        QString first;
        QVERIFY(mirror.refresh(source, &first));
        const ino_t made = inode(first);
        QString again;
        QVERIFY(mirror.refresh(source, &again));
        QCOMPARE(again, first);
        QCOMPARE(inode(again), made);

        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        f.close();
        QString changed;
        QVERIFY(mirror.refresh(source, &changed));
        QCOMPARE(changed, first);
        QVERIFY(inode(changed) != made);
    }

    // The copy of a private customer file is private too, and so are the folders made for
    // it, whatever the umask; a copy left readable by an earlier run is closed on reuse.
    void copyAndItsFoldersAreTheOwnersOnly()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        const QString source = copyOf(nwind(), QStringLiteral("private.mdb"));
        QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner));
        const QString parent = m_dir.filePath(QStringLiteral("home-cache"));
        const QString folder = parent + QStringLiteral("/access-mirror");
        AccessMirror mirror(folder);
        QString file;
        QString error;
        QVERIFY2(mirror.refresh(source, &file, &error), qPrintable(error));
        const auto mode = [](const QString& path) {
            struct stat st = {};
            return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
        };
        QCOMPARE(mode(parent), 0700);
        QCOMPARE(mode(folder), 0700);
        const QStringList files = QDir(folder).entryList(QDir::Files);
        QCOMPARE(files.size(), 2); // the copy and its record of the source
        for (const QString& name : files)
            QCOMPARE(mode(QDir(folder).filePath(name)), 0600);

        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QString again;
        QVERIFY(mirror.refresh(source, &again));
        QCOMPARE(again, file);
        QCOMPARE(mode(file), 0600);
    }

    void userFileIsNeverWritten()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        const QString source = copyOf(nwind(), QStringLiteral("readonly.mdb"));
        QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QByteArray before = digest(source);
        const QDateTime changedAt = QFileInfo(source).lastModified();
        AccessMirror mirror(m_dir.filePath(QStringLiteral("cache3")));
        QString file;
        QString error;
        QVERIFY2(mirror.refresh(source, &file, &error), qPrintable(error));
        QCOMPARE(digest(source), before);
        QCOMPARE(QFileInfo(source).lastModified(), changedAt);
    }

    // A Chinese Jet 3 file keeps its texts in its code page; the copy holds them as Unicode.
    void chineseJet3TextSurvives()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        const QString source = copyOf(nwind(), QStringLiteral("中文客户.mdb"));
        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const qsizetype at = bytes.indexOf("Maria Anders");
        QVERIFY(at > 0);
        QStringEncoder gbk("GB18030");
        const QByteArray name = gbk.encode(QStringLiteral("张三丰"));
        QCOMPARE(name.size(), 6);
        bytes.replace(at, 6, name);
        // The header's code page (0x3C) lies under a fixed XOR stream: switch 1252 to 936 in place.
        const int change = 1252 ^ 936;
        bytes[0x3C] = char(bytes[0x3C] ^ (change & 0xff));
        bytes[0x3D] = char(bytes[0x3D] ^ (change >> 8));
        QVERIFY(f.seek(0));
        QCOMPARE(f.write(bytes), bytes.size());
        f.close();

        AccessMirror mirror(m_dir.filePath(QStringLiteral("cache4")));
        QString file;
        QString error;
        QVERIFY2(mirror.refresh(source, &file, &error), qPrintable(error));
        QCOMPARE(firstRow(file, QStringLiteral("select ContactName from Customers where CustomerID = 'ALFKI'")).value(0).toString(),
                 QStringLiteral("张三丰Anders"));
        QCOMPARE(firstRow(file, QStringLiteral("select count(*) from Customers where ContactName like '%三丰%'")).value(0).toInt(), 1);
    }

    void aceFileIsRead()
    {
        VORNX_REQUIRE_ACCESS_FILE("sample.accdb");
        AccessMirror mirror(m_dir.filePath(QStringLiteral("cache5")));
        QString file;
        QString error;
        QVERIFY2(mirror.refresh(AccessFiles::path("sample.accdb"), &file, &error), qPrintable(error));
        const QVariantList row = firstRow(file, QStringLiteral("select \"Asset No\", Make, Acquired, Cost from \"Asset Items\" where \"Asset No\" = '30050'"));
        QCOMPARE(row.value(1).toString(), QStringLiteral("GEO Rocket"));
        QCOMPARE(row.value(2).toString(), QStringLiteral("1997-09-02 00:00:00"));
        QCOMPARE(row.value(3).toDouble(), 1995.5);
    }

    void unreadableFilesGiveErrors()
    {
        AccessMirror mirror(m_dir.filePath(QStringLiteral("cache6")));
        QString file;
        QString error;
        QVERIFY(!mirror.refresh(m_dir.filePath(QStringLiteral("none.mdb")), &file, &error));
        QVERIFY2(error.contains(QLatin1String("none.mdb")), qPrintable(error));

        const QString junk = m_dir.filePath(QStringLiteral("junk.mdb"));
        QFile j(junk);
        QVERIFY(j.open(QIODevice::WriteOnly));
        j.write(QByteArray(8192, 'x'));
        j.close();
        error.clear();
        QVERIFY(!mirror.refresh(junk, &file, &error));
        QVERIFY2(error.contains(QLatin1String("junk.mdb")), qPrintable(error));
        // Nothing half-made is left behind.
        const QStringList left = QDir(m_dir.filePath(QStringLiteral("cache6"))).entryList(QDir::Files);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    }
};

QTEST_GUILESS_MAIN(TestAccessMirror)
#include "tst_accessmirror.moc"
