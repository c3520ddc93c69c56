// Figures of the data layer:
//  - opening an Access file through the Jet string: the first time (the copy into SQLite is
//    made) and again with the file unchanged (the copy is reused);
//  - one customer statement "select ... where b.Phone like '%<number>' or ..." on SQLite
//    files of 10k, 100k and 1M customers.
// usage: bench_datalayer [ACCESS_FILE]   (default: nwind.mdb in the folder named at configure time
//        with -DVORNX_TEST_ACCESS_DIR=...; without it the Access figures are left out)

#include "bench/Median.h"
#include "lookup/DbConnection.h"
#include "lookup/DbQuery.h"
#include "platform/db/AccessMirror.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void makeCustomers(const QString& file, int count)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("gen"));
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("create table Unit (ID integer primary key, Name text, Linkman text, Phone text, "
                              "PhoneMove text, Address text)"));
        db.transaction();
        q.prepare(QStringLiteral("insert into Unit values (?,?,?,?,?,?)"));
        QRandomGenerator rng(42);
        for (int i = 0; i < count; ++i) {
            q.addBindValue(i + 1);
            q.addBindValue(QStringLiteral("客户%1有限公司").arg(i + 1));
            q.addBindValue(QStringLiteral("联系人%1").arg(i % 997));
            q.addBindValue(QStringLiteral("0591%1").arg(rng.bounded(10000000, 99999999)));
            q.addBindValue(QStringLiteral("139%1").arg(rng.bounded(10000000, 99999999)));
            q.addBindValue(QStringLiteral("福建省福州市鼓楼区五四路%1号").arg(i % 500));
            q.exec();
        }
        // A known caller in the middle of the table.
        q.addBindValue(count + 1);
        q.addBindValue(QStringLiteral("福州闽江茶业有限公司"));
        q.addBindValue(QStringLiteral("林建华"));
        q.addBindValue(QStringLiteral("059187654321"));
        q.addBindValue(QStringLiteral("13905911234"));
        q.addBindValue(QStringLiteral("福建省福州市鼓楼区五四路158号"));
        q.exec();
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("gen"));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString accessDir = QStringLiteral(VORNX_TEST_ACCESS_DIR);
    const QString accessFile = argc > 1 ? QString::fromLocal8Bit(argv[1])
                               : accessDir.isEmpty() ? QString()
                                                     : accessDir + QStringLiteral("/nwind.mdb");
    QTemporaryDir dir;

    // Access: first open (copy made) and opens with the file unchanged.
    if (accessFile.isEmpty() || !QFileInfo(accessFile).isFile()) {
        std::printf("Access open: skipped, no Access file (%s); give one as argument or configure "
                    "-DVORNX_TEST_ACCESS_DIR=...\n",
                    accessFile.isEmpty() ? "none configured" : qPrintable(accessFile));
    } else {
        AccessMirror mirror(dir.filePath(QStringLiteral("cache")));
        DbConnection c;
        c.setAccessMirror(&mirror);
        c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=%1").arg(accessFile));
        QElapsedTimer t;
        t.start();
        c.open();
        const double first = t.nsecsElapsed() / 1e6;
        c.close();
        std::vector<double> again;
        for (int i = 0; i < 5; ++i) {
            t.restart();
            c.open();
            again.push_back(t.nsecsElapsed() / 1e6);
            c.close();
        }
        std::printf("Access open, %s: first (copy made) %.1f ms; unchanged (median of 5) %.2f ms\n",
                    qPrintable(accessFile), first, median(again));
    }

    // SQLite: one customer statement by number on growing tables.
    for (int count : {10000, 100000, 1000000}) {
        const QString file = dir.filePath(QStringLiteral("customers%1.db").arg(count));
        makeCustomers(file, count);
        DbConnection c;
        c.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + file);
        c.open();
        DbQuery q(&c);
        const QString sql = QStringLiteral("select Name, Linkman, Phone, PhoneMove, Address from Unit b where  b.Phone "
                                           "like '%87654321' or b.PhoneMove like '%87654321' ");
        std::vector<double> runs;
        int found = 0;
        for (int i = 0; i < 6; ++i) {
            QElapsedTimer t;
            t.start();
            q.close();
            q.clearSql();
            q.addSql(sql);
            q.open();
            const double ms = t.nsecsElapsed() / 1e6;
            if (i > 0) // the first run warms the file cache
                runs.push_back(ms);
            found = q.recordCount();
        }
        std::printf("SQLite customer statement, %7d customers: median %.1f ms (min %.1f, max %.1f), %d match(es)\n",
                    count, median(runs), *std::min_element(runs.begin(), runs.end()),
                    *std::max_element(runs.begin(), runs.end()), found);
    }
    return 0;
}
