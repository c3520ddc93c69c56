// Figures of the number index, for customer tables whose numbers are written as people type
// them ("0591-8xxxxxxx", "(0591) 8xxx xxxx", "+86 591 8xxx xxxx", "0591 8xxxxxxx 转 801"):
//  - index build: from the lookup's start until its first index is ready (on its own thread);
//  - memory per indexed number;
//  - caller's number -> record filled (CallerLookup::lookUp, the caller window's rows), median
//    of 101 formatted numbers, and the same for a number nobody has (the statement as written).
// On SQLite files of 100,000 and 1,000,000 customers, on the Access copy of nwind.mdb (no
// Access file of 100,000 rows can be written here), and on PostgreSQL over ODBC with
// 100,000 and 1,000,000 customers when VORNX_PG_STATE names a running server
// (tests/support/pgserver.sh start STATE).
// usage: bench_numberindex [sqlite]   (sqlite: the SQLite figures only)

#include "bench/Median.h"
#include "lookup/CallerLookup.h"
#include "lookup/DataSourceSettings.h"
#include "lookup/DbConnection.h"
#include "platform/ProgramFolder.h"

#include "CustomerDatabase.h"
#include "support/TestDatabases.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

namespace {

const QString CustomerSql =
    QStringLiteral("select Name, Linkman, Phone from Unit b where  b.Phone like '%#NO#' or b.PhoneMove like '%#NO#' ");

// CPU time of the whole process so far, in ms: the build's own share while the main thread sleeps.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Customer i's fixed-line number 0591-8ddddddd, written in one of four ways.
QString formattedPhone(int i)
{
    const QString local = QStringLiteral("8%1").arg(i, 7, 10, QLatin1Char('0'));
    switch (i % 4) {
    case 0:
        return QStringLiteral("0591-") + local;
    case 1:
        return QStringLiteral("(0591) %1 %2").arg(local.left(4), local.mid(4));
    case 2:
        return QStringLiteral("+86 591 %1 %2").arg(local.left(4), local.mid(4));
    default:
        return QStringLiteral("0591 %1 转 801").arg(local);
    }
}

QString callerOf(int i)
{
    return QStringLiteral("5918%1").arg(i, 7, 10, QLatin1Char('0'));
}

void writeIni(const QString& folder, const QString& connectString, const QString& sql)
{
    QFile f(folder + QStringLiteral("/Vornx.ini"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write Vornx.ini");
    f.write(QStringEncoder("GB18030").encode(
        QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=%1\r\nstrSQL=%2\r\nstrSQL1=\r\n"
                       "[TABLESET]\r\nFIELD0=名称\r\nFIELD1=联系人\r\nFIELD2=电话\r\nFIELDNUM=3\r\n")
            .arg(connectString, sql)));
}

void measure(const char* what, const QString& folder, const QString& connectString, const QString& sql,
             const QStringList& callers, const QString& expectedPhone)
{
    writeIni(folder, connectString, sql);
    QElapsedTimer clock;
    const double cpuBefore = cpuMs();
    clock.start();
    CallerLookup lookup(DataSourceSettings::read(folder + QStringLiteral("/Vornx.ini")), nullptr, folder);
    NumberIndexer* indexer = lookup.numberIndexer();
    if (!indexer)
        qFatal("statement not indexed");
    while (indexer->builds() == 0) {
        if (!indexer->lastError().isEmpty())
            qFatal("index not built: %s", qPrintable(indexer->lastError()));
        QThread::msleep(5);
    }
    const double buildMs = clock.nsecsElapsed() / 1e6;
    const double buildCpuMs = cpuMs() - cpuBefore;
    const std::shared_ptr<const NumberIndex> index = indexer->current();
    std::vector<double> found;
    for (const QString& caller : callers) {
        clock.restart();
        const CallerRecord record = lookup.lookUp(caller);
        found.push_back(clock.nsecsElapsed() / 1e6);
        if (!expectedPhone.isEmpty() && record.rowText(5).isEmpty())
            qFatal("%s not found", qPrintable(caller));
    }
    std::vector<double> nobody;
    for (int k = 0; k < 5; ++k) {
        clock.restart();
        lookup.lookUp(QStringLiteral("59100000%1").arg(k));
        nobody.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("%-34s build %6.0f ms (CPU %6.0f ms)  %5.1f bytes/number (%lld numbers)  found: median %7.2f ms  "
                "nobody: median %7.1f ms\n",
                what, buildMs, buildCpuMs, double(index->bytes()) / double(index->size()), (long long)index->size(),
                median(found), median(nobody));
    std::fflush(stdout);
}

QStringList sampleCallers(int count)
{
    QStringList callers;
    for (int k = 0; k < 101; ++k)
        callers << callerOf(1 + int((qint64(k) * 7919 * 104729) % count));
    return callers;
}

void fillPostgres(const QString& connectString, int count)
{
    DbConnection connection;
    connection.setConnectionString(connectString);
    connection.open();
    QSqlQuery q(connection.database());
    q.exec(QStringLiteral("drop table if exists Unit"));
    q.exec(QStringLiteral("create table Unit (ID integer primary key, Name text, Linkman text, Phone text, PhoneMove text)"));
    // The four ways of writing formattedPhone(), made by the server.
    const QString local = QStringLiteral("'8' || lpad(i::text, 7, '0')");
    if (!q.exec(QStringLiteral("insert into Unit select i, '客户' || i || '有限公司', '联系人', case i % 4 "
                               "when 0 then '0591-' || %1 "
                               "when 1 then '(0591) ' || substr(%1, 1, 4) || ' ' || substr(%1, 5) "
                               "when 2 then '+86 591 ' || substr(%1, 1, 4) || ' ' || substr(%1, 5) "
                               "else '0591 ' || %1 || ' 转 801' end, '139' || lpad(i::text, 8, '0') "
                               "from generate_series(1, %2) as i")
                    .arg(local)
                    .arg(count)))
        qFatal("cannot fill PostgreSQL");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path();
    ProgramFolder::setPath(folder);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
    std::printf("medians; this machine's CPU is shared with other work, so figures vary between runs\n");

    for (const int count : {100000, 1000000}) {
        const QString file = folder + QStringLiteral("/customers%1.db").arg(count);
        writeCustomerDatabase(file, count, formattedPhone);
        measure(qPrintable(QStringLiteral("SQLite, %1 customers").arg(count)), folder,
                QStringLiteral("Provider=SQLite;Data Source=") + file, CustomerSql, sampleCallers(count), QStringLiteral("x"));
    }

    if (app.arguments().contains(QStringLiteral("sqlite")))
        return 0;
    const QString nwind = QStringLiteral(VORNX_TEST_ACCESS_DIR "/nwind.mdb");
    if (QFile::exists(nwind)) {
        measure("Access copy, nwind.mdb (91)", folder,
                QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + nwind,
                QStringLiteral("select CompanyName, ContactName, Phone from Customers b where  b.Phone like '%#NO#' "
                               "or b.Fax like '%#NO#' "),
                {QStringLiteral("1715557788"), QStringLiteral("921123465")}, QStringLiteral("x"));
    } else {
        std::printf("Access copy: skipped, no %s\n", qPrintable(nwind));
    }

    const TestDatabases::PostgresServer pg = TestDatabases::postgresServer();
    if (!pg.available) {
        std::printf("PostgreSQL over ODBC: skipped (%s)\n", qPrintable(pg.reason));
        return 0;
    }
    TestDatabases::OdbcConfig odbc(folder);
    odbc.addPostgres(QStringLiteral("vornx_pg"), pg);
    odbc.write();
    const QString pgString =
        QStringLiteral("Provider=MSDASQL.1;User ID=%1;Password=%2;Data Source=vornx_pg").arg(pg.user, pg.password);
    for (const int count : {100000, 1000000}) {
        fillPostgres(pgString, count);
        measure(qPrintable(QStringLiteral("PostgreSQL/ODBC, %1 customers").arg(count)), folder, pgString,
                CustomerSql, sampleCallers(count), QStringLiteral("x"));
    }
    return 0;
}
