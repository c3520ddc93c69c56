#include "lookup/CallExport.h"
#include "lookup/CallHistory.h"
#include "lookup/CallHistoryModel.h"
#include "lookup/CallLog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <numeric>

namespace {
const QString TopCaller = QStringLiteral("13905911234");
const QString TeaShop = QStringLiteral("闽江茶业");
// A remark a spreadsheet would split or misquote if written bare.
const QString QuotedRemark = QStringLiteral("客户,\"老王\"");
constexpr int Calls = 100000;
constexpr int LongLineEvery = 25000;
const QDate FirstDay(2026, 9, 1);

// Call k of the generated log: 1000 calls a day from the first day on, spread over the hours.
QString timeOf(int k)
{
    return QDateTime(FirstDay.addDays(k / 1000), QTime::fromMSecsSinceStartOfDay(k % 1000 * 86400))
        .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
QString numberOf(int k)
{
    return k % 10 == 0 ? TopCaller : QStringLiteral("0591%1").arg(8000000 + k % 4999);
}
} // namespace

class TestCallHistory : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    CallHistory m_history;
    QHash<QString, int> m_expectedCounts;
    QHash<QString, int> m_expectedRemarks;

    QString logPath() const { return m_dir.filePath(QStringLiteral("Phone.Log")); }

    static QStringList numbers(const CallHistoryModel& model)
    {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.text(row, CallHistory::NumberColumn);
        return texts;
    }

    // The generated log through the model, as the window lists it.
    std::unique_ptr<CallHistoryModel> model(const CallFilter& filter = {})
    {
        auto listed = std::make_unique<CallHistoryModel>();
        listed->setFilter(filter);
        listed->setHistory(m_history);
        return listed;
    }

private slots:
    // 100,000 calls in GBK with the three line ends a log may hold, blank lines and a few
    // lines far longer than any remark; read as the window reads it.
    void initTestCase()
    {
        QStringEncoder gbk("GB18030");
        const char* lineEnds[] = {"\r\r\n", "\r\n", "\n"};
        QByteArray bytes;
        for (int k = 0; k < Calls; ++k) {
            QByteArray remark = k % 3 == 0   ? gbk.encode(TeaShop)
                                : k % 3 == 1 ? QByteArray("ABC")
                                             : gbk.encode(QuotedRemark);
            if (k % LongLineEvery == 1)
                remark = QByteArray(100 * 1024, 'y');
            bytes += timeOf(k).toLatin1() + "-#-" + numberOf(k).toLatin1() + "-#-" + remark + lineEnds[k % 3];
            if (k % 777 == 0)
                bytes += k % 2 ? "\r\n" : "\n";
            ++m_expectedCounts[numberOf(k)];
            ++m_expectedRemarks[k % LongLineEvery == 1 ? QString()
                                : k % 3 == 0           ? TeaShop
                                : k % 3 == 1           ? QStringLiteral("ABC")
                                                       : QuotedRemark];
        }
        // A line written by hand, without a date.
        bytes += "written by hand\r\n";
        QFile file(logPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();

        QList<CallLog::Entry> entries;
        qsizetype earlier = -1;
        QVERIFY(CallLog(logPath()).readLatest(200000, &entries, &earlier));
        QCOMPARE(earlier, 0);
        m_history = CallHistory(entries);
    }

    void everyCallIsHeldAndCounted()
    {
        QCOMPARE(m_history.size(), Calls + 1);
        QCOMPARE(m_history.firstDay(), FirstDay);
        QCOMPARE(m_history.lastDay(), FirstDay.addDays(99));
        const CallHistory::Call& first = m_history.call(0);
        QCOMPARE(first.time, QStringLiteral("2026-09-01 00:00:00"));
        QCOMPARE(m_history.number(first), TopCaller);
        QCOMPARE(m_history.remark(first), TeaShop);
        QCOMPARE(m_history.remark(m_history.call(2)), QuotedRemark);
        // The long line is cut, and the calls after it are all there.
        QCOMPARE(m_history.remark(m_history.call(LongLineEvery + 1)).size(), CallLog::kMaxLineBytes - 36);
        QCOMPARE(m_history.call(Calls - 1).time, timeOf(Calls - 1));
        for (qsizetype i = 0; i < Calls; i += 997) {
            const CallHistory::Call& call = m_history.call(i);
            QCOMPARE(m_history.callsFromNumber(call), m_expectedCounts.value(m_history.number(call)));
        }
        QCOMPARE(m_history.callsFromNumber(m_history.call(0)), 10000);
    }

    void filtersByNumberRemarkDateTextAndRange()
    {
        QCOMPARE(model({TopCaller})->rowCount(), 10000);
        QVERIFY(numbers(*model({TopCaller})).count(TopCaller) == 10000);
        // A part of a number, with blanks typed around it.
        const auto part = model({QStringLiteral("  8000001 ")});
        QCOMPARE(part->rowCount(), m_expectedCounts.value(QStringLiteral("05918000001")));
        // The remark, in any case.
        QCOMPARE(model({QStringLiteral("茶业")})->rowCount(), m_expectedRemarks.value(TeaShop));
        QCOMPARE(model({QStringLiteral("abc")})->rowCount(), m_expectedRemarks.value(QStringLiteral("ABC")));
        // Date text as the time column shows it.
        const auto day = model({QStringLiteral("2026-09-05")});
        QCOMPARE(day->rowCount(), 1000);
        QCOMPARE(day->text(0, CallHistory::TimeColumn), timeOf(4000));
        // An inclusive range; the line without a date lies in none.
        QCOMPARE(model({QString(), QDate(2026, 9, 3), QDate(2026, 9, 4)})->rowCount(), 2000);
        QCOMPARE(model({QString(), QDate(2026, 12, 1), QDate()})->rowCount(), 9000);
        QCOMPARE(model({QString(), QDate(2026, 12, 10), QDate()})->rowCount(), 0);
        QCOMPARE(model({QString(), QDate(), QDate(2026, 9, 1)})->rowCount(), 1000);
        QCOMPARE(model({QStringLiteral("hand")})->rowCount(), 1);
        QCOMPARE(model({QStringLiteral("hand"), FirstDay, FirstDay.addDays(200)})->rowCount(), 0);
        // Text and range together.
        QCOMPARE(model({TopCaller, QDate(2026, 9, 3), QDate(2026, 9, 3)})->rowCount(), 100);
        QCOMPARE(model({QStringLiteral("no such caller")})->rowCount(), 0);
    }

    void sortsByAnyColumnKeepingTheOrderOfEqualCalls()
    {
        const auto listed = model({QString(), QDate(2026, 9, 2), QDate(2026, 9, 2)});
        QCOMPARE(listed->rowCount(), 1000);
        listed->sort(CallHistory::CountColumn, Qt::DescendingOrder);
        QCOMPARE(listed->text(0, CallHistory::NumberColumn), TopCaller);
        QCOMPARE(listed->text(99, CallHistory::NumberColumn), TopCaller);
        QCOMPARE(listed->text(100, CallHistory::NumberColumn).left(4), QStringLiteral("0591"));
        // Calls of equal count stay in log order.
        for (int row = 1; row < 100; ++row)
            QVERIFY(listed->text(row - 1, CallHistory::TimeColumn) <= listed->text(row, CallHistory::TimeColumn));

        listed->sort(CallHistory::TimeColumn, Qt::DescendingOrder);
        QCOMPARE(listed->text(0, CallHistory::TimeColumn), timeOf(1999));
        QCOMPARE(listed->text(999, CallHistory::TimeColumn), timeOf(1000));

        listed->sort(CallHistory::NumberColumn, Qt::AscendingOrder);
        for (int row = 1; row < listed->rowCount(); ++row)
            QVERIFY(listed->text(row - 1, CallHistory::NumberColumn) <= listed->text(row, CallHistory::NumberColumn));
        QCOMPARE(listed->text(999, CallHistory::NumberColumn), TopCaller);

        listed->sort(CallHistory::RemarkColumn, Qt::DescendingOrder);
        QCOMPARE(listed->text(0, CallHistory::RemarkColumn), TeaShop);
        QCOMPARE(listed->text(999, CallHistory::RemarkColumn), QStringLiteral("ABC"));

        // The sort holds when the filter changes.
        listed->setFilter({TopCaller});
        QCOMPARE(listed->rowCount(), 10000);
        QCOMPARE(listed->text(0, CallHistory::RemarkColumn), TeaShop);
        QCOMPARE(listed->text(9999, CallHistory::RemarkColumn), QStringLiteral("ABC"));
    }

    void regionsAreLookedUpForLongNumbersOnly()
    {
        CallHistory history({{QStringLiteral("2026-09-01 10:00:00"), QStringLiteral("059187654321"), QString()},
                             {QStringLiteral("2026-09-01 11:00:00"), QStringLiteral("8861049"), QString()},
                             {QStringLiteral("2026-09-01 12:00:00"), TopCaller, QString()}});
        QStringList asked;
        history.setRegionLookup([&asked](const QString& number) {
            asked << number;
            return number.startsWith(QLatin1String("591")) ? QStringLiteral("福建福州") : QStringLiteral("福建厦门");
        });
        CallHistoryModel listed;
        listed.setHistory(history);
        QCOMPARE(listed.text(0, CallHistory::RegionColumn), QStringLiteral("福建福州"));
        QCOMPARE(listed.text(1, CallHistory::RegionColumn), QString());
        listed.sort(CallHistory::RegionColumn, Qt::DescendingOrder);
        QCOMPARE(numbers(listed), (QStringList{QStringLiteral("059187654321"), TopCaller, QStringLiteral("8861049")}));
        listed.text(0, CallHistory::RegionColumn);
        // Asked without the leading zero the table's codes leave out, and once per number.
        QCOMPARE(asked, (QStringList{QStringLiteral("59187654321"), TopCaller}));
    }

    void countsCallsPerDayOrPerHourAndTheBusiestCallers()
    {
        const auto all = model();
        const CallHistory::Timeline days = m_history.timeline(all->rows());
        QVERIFY(!days.hourly);
        QCOMPARE(days.first, FirstDay);
        QCOMPARE(days.counts.size(), size_t(100));
        QCOMPARE(days.counts.front(), 1000);
        QCOMPARE(days.counts.back(), 1000);

        // Days without calls are counted as none, not left out.
        const auto gap = model({TopCaller});
        std::vector<qsizetype> twoDays;
        twoDays.push_back(gap->rows().front());
        twoDays.push_back(gap->rows().back());
        const CallHistory::Timeline spread = m_history.timeline(twoDays);
        QCOMPARE(spread.counts.size(), size_t(100));
        QCOMPARE(std::accumulate(spread.counts.begin(), spread.counts.end(), 0), 2);

        const auto oneDay = model({QStringLiteral("2026-09-10")});
        const CallHistory::Timeline hours = m_history.timeline(oneDay->rows());
        QVERIFY(hours.hourly);
        QCOMPARE(hours.first, QDate(2026, 9, 10));
        QCOMPARE(hours.counts.size(), size_t(24));
        QCOMPARE(std::accumulate(hours.counts.begin(), hours.counts.end(), 0), 1000);
        QCOMPARE(hours.counts[0], 42); // calls 0..41 of the day fall before 01:00
        QCOMPARE(hours.counts[23], 41);

        QVERIFY(m_history.timeline({}).counts.empty());

        const std::vector<CallHistory::Caller> busiest = m_history.busiestCallers(oneDay->rows(), 3);
        QCOMPARE(busiest.size(), size_t(3));
        QCOMPARE(busiest[0].number, TopCaller);
        QCOMPARE(busiest[0].calls, 100);
        // Equal counts in number order.
        QVERIFY(busiest[1].calls >= busiest[2].calls);
        if (busiest[1].calls == busiest[2].calls)
            QVERIFY(busiest[1].number < busiest[2].number);
        QCOMPARE(m_history.busiestCallers(all->rows(), 1).front().calls, 10000);
    }

    // The listed calls as CSV, read back by Python's csv module as a spreadsheet would read them.
    void exportsCsvThatASpreadsheetReadsBack()
    {
        const auto listed = model({QStringLiteral("2026-09-07 0")});
        listed->sort(CallHistory::CountColumn, Qt::DescendingOrder);
        const QString path = m_dir.filePath(QStringLiteral("calls.csv"));
        QString error;
        QVERIFY2(CallExport::write(path, CallExport::Format::Csv, *listed, &error), qPrintable(error));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(3) == "\xEF\xBB\xBF");
        file.close();

        QProcess python;
        python.start(QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import csv, json, sys\n"
                                     "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                     "    print(json.dumps(list(csv.reader(f))))\n"),
                      path});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), listed->rowCount() + 1);
        QCOMPARE(rows.at(0).toVariant().toStringList(),
                 (QStringList{QStringLiteral("来电时间"), QStringLiteral("来电号码"), QStringLiteral("地区"),
                              QStringLiteral("备注"), QStringLiteral("次数")}));
        bool quotedSeen = false;
        for (int row = 0; row < listed->rowCount(); ++row) {
            const QStringList fields = rows.at(row + 1).toVariant().toStringList();
            QCOMPARE(fields.size(), 5);
            for (int column = 0; column < CallHistory::ColumnCount; ++column)
                QCOMPARE(fields.at(column), listed->text(row, CallHistory::Column(column)));
            quotedSeen = quotedSeen || fields.at(CallHistory::RemarkColumn) == QuotedRemark;
        }
        QVERIFY(quotedSeen);
        QCOMPARE(rows.at(1).toVariant().toStringList().at(CallHistory::CountColumn), QStringLiteral("10000"));
    }

    void exportsTheLogsOwnFormat()
    {
        const auto listed = model({TeaShop, QDate(2026, 9, 20), QDate(2026, 9, 20)});
        QCOMPARE(listed->rowCount(), 333); // calls 19002, 19005, ... 19998
        const QString path = m_dir.filePath(QStringLiteral("calls.Log"));
        QVERIFY(CallExport::write(path, CallExport::Format::CallLog, *listed, nullptr));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QStringEncoder gbk("GB18030");
        QVERIFY(bytes.startsWith(timeOf(19002).toLatin1() + "-#-" + numberOf(19002).toLatin1() + "-#-" +
                                 gbk.encode(TeaShop) + "\r\r\n"));
        QList<CallLog::Entry> back;
        QVERIFY(CallLog(path).read(&back));
        QCOMPARE(back.size(), listed->rowCount());
        QCOMPARE(back.last().time, listed->text(listed->rowCount() - 1, CallHistory::TimeColumn));
        QCOMPARE(back.last().remark, TeaShop);
    }

    void aFailedExportSaysSoAndLeavesNothing()
    {
        const auto listed = model({TopCaller});
        // A folder where the file should go is a file.
        const QString blocker = m_dir.filePath(QStringLiteral("not-a-folder"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString error;
        const QString path = blocker + QStringLiteral("/calls.csv");
        QVERIFY(!CallExport::write(path, CallExport::Format::Csv, *listed, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY(!QFile::exists(path));

        // A folder in the file's place stays a folder, and no temporary file is left beside it.
        const QString folder = m_dir.filePath(QStringLiteral("taken.csv"));
        QVERIFY(QDir().mkpath(folder));
        error.clear();
        QVERIFY(!CallExport::write(folder, CallExport::Format::CallLog, *listed, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("taken*")}, QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCallHistory)
#include "tst_callhistory.moc"
