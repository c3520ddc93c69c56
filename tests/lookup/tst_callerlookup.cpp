#include "lookup/CallerLookup.h"

#include "lookup/DataSourceSettings.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QStringDecoder>
#include <QtTest>

#include <memory>

namespace {
const QString NotFound = QStringLiteral("数据库中没有对应来电的通讯资料信息！");

// The customer statement as the mapping wizard writes it, business table joined on UnitID.
const char* const CustomerSql =
    "select Name, Linkman, Phone from Unit b where  b.Phone like '%#NO#' or b.PhoneMove like '%#no#' ";
const char* const BusinessSql = "select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and ";

void writeGbk(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QStringEncoder gbk("GB18030");
    f.write(gbk.encode(text));
}

void execAll(const QString& dbFile, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(dbFile);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString& s : statements)
            QVERIFY2(q.exec(s), qPrintable(s));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
}
} // namespace

// The lookup of a caller with no window: a real SQLite customer file, a real vCard address
// book, the call log and the trace file in a fresh program folder.
class TestCallerLookup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CallerLookup> m_lookup;
    CallerRecord m_shown;
    QStringList m_boxes;

    QString file(const QString& name) const { return m_dir->filePath(name); }

    void tell(const QList<CallerRecord::Notice>& notices)
    {
        for (const CallerRecord::Notice& notice : notices)
            m_boxes << (notice.kind == CallerRecord::Notice::Error ? QStringLiteral("错误提示|")
                                                                   : QStringLiteral("系统提示|")) +
                           notice.text;
    }

    QDateTime m_clock;

    // The lookup as the main window makes it on the first call.
    CallerLookup& open()
    {
        m_lookup = std::make_unique<CallerLookup>(
            DataSourceSettings::read(file(QStringLiteral("Vornx.ini"))),
            [](const QString& number) {
                return number.startsWith(QLatin1String("1390591")) || number.startsWith(QLatin1String("591"))
                           ? QStringLiteral("福建省福州市")
                           : QString();
            },
            m_dir->path(), [this] { return m_clock.isValid() ? m_clock : QDateTime::currentDateTime(); });
        tell(m_lookup->openingNotices());
        return *m_lookup;
    }

    // A number arriving; the record shown stays when the lookup gives none.
    CallerRecord& show(const QString& number)
    {
        if (std::optional<CallerRecord> record = m_lookup->arrive(number)) {
            m_shown = *record;
            tell(m_shown.notices());
        }
        return m_shown;
    }

    QList<QByteArray> logLines() const
    {
        QFile f(file(QStringLiteral("Phone.Log")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    void writeSettings(const QString& connect, int fieldNum, const QString& customerSql = QLatin1String(CustomerSql))
    {
        QString ini =
            QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=%1\r\nstrSQL=%2\r\nstrSQL1=%3\r\n"
                           "[TABLESET]\r\nFIELDNUM=%4\r\n")
                .arg(connect, customerSql, QLatin1String(BusinessSql))
                .arg(fieldNum);
        const QStringList labels = {QStringLiteral("客户名称"), QStringLiteral("联系人"), QStringLiteral("电话")};
        for (int k = 0; k < fieldNum && k < labels.size(); ++k)
            ini += QStringLiteral("FIELD%1=%2\r\n").arg(k).arg(labels.at(k));
        writeGbk(file(QStringLiteral("Vornx.ini")), ini);
    }

    void writeCustomers()
    {
        execAll(file(QStringLiteral("cust.db")),
                {QStringLiteral("create table Unit (ID integer, Name text, Linkman text, Phone text, PhoneMove text)"),
                 QStringLiteral("create table BillIndex (UnitID integer, BillNo text, Amount real)"),
                 QStringLiteral("insert into Unit values (1, '闽江茶业', '林建华', '059187654321', '13905911234')"),
                 QStringLiteral("insert into Unit values (2, '闽江茶业仓库', '林建华', '059183321456', '13905911234')"),
                 QStringLiteral("insert into Unit values (3, '万达贸易', '陈敏', '8861049', '')"),
                 QStringLiteral("insert into BillIndex values (1, 'XS01', 100.5)"),
                 QStringLiteral("insert into BillIndex values (1, 'XS02', 20)"),
                 QStringLiteral("insert into BillIndex values (2, 'XS03', 7)"),
                 QStringLiteral("insert into BillIndex values (3, 'XS04', 1)")});
    }

    void writeContacts(const QByteArray& cards)
    {
        writeGbk(file(QStringLiteral("Vornx.ini")), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        QFile vcf(file(QStringLiteral("contacts.vcf")));
        QVERIFY(vcf.open(QIODevice::WriteOnly));
        vcf.write(cards);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramFolder::setPath(m_dir->path());
        m_lookup.reset();
        m_clock = QDateTime();
        m_shown = CallerRecord();
        m_boxes.clear();
        writeCustomers();
    }

    void databaseRecordWithItsRegion()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 2);
        open();
        const QList<CallerRecord::Row> blank = m_lookup->blankRecord().rows();
        QCOMPARE(blank.size(), 4); // number, time, two fields
        QCOMPARE(blank.at(0).label, QStringLiteral("来电号码"));
        QCOMPARE(blank.at(2).label, QStringLiteral("客户名称"));
        QCOMPARE(blank.at(3).label, QStringLiteral("联系人"));

        const CallerRecord& record = show(QStringLiteral("59187654321"));
        QCOMPARE(record.number(), QStringLiteral("59187654321"));
        QCOMPARE(record.rowText(1), QStringLiteral("59187654321(福建省福州市)"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(record.rowText(2))
                    .hasMatch());
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业"));
        QCOMPARE(record.rowText(4), QStringLiteral("林建华"));
        // The third column has no labelled row and is not kept.
        QCOMPARE(record.rows().size(), 4);
        QVERIFY(!record.failed());
        QCOMPARE(logLines().size(), 1);
        QVERIFY(logLines().at(0).endsWith(QByteArray("-#-59187654321-#-") +
                                          QStringEncoder("GB18030").encode(QStringLiteral("闽江茶业")) + "\r\r"));
        QVERIFY(m_boxes.isEmpty());

        // A number of 8 characters or fewer gets no region.
        show(QStringLiteral("8861049"));
        QCOMPARE(m_shown.rowText(1), QStringLiteral("8861049"));
        QCOMPARE(m_shown.rowText(3), QStringLiteral("万达贸易"));
    }

    // A caller ID repeated while its call rings is one call; the same caller calling again
    // later is a new call, logged and shown again.
    void aRepeatCountsOnceOnlyWithinItsCall()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        m_clock = QDateTime(QDate(2026, 3, 2), QTime(9, 0, 0));
        open();
        QVERIFY(m_lookup->arrive(QStringLiteral("8861049")));
        m_clock = m_clock.addSecs(3);
        QVERIFY(!m_lookup->arrive(QStringLiteral("8861049")));
        QCOMPARE(logLines().size(), 1);
        // Rings keep the call going past 10 seconds from its number.
        for (int ring = 0; ring < 4; ++ring) {
            m_clock = m_clock.addSecs(5);
            m_lookup->ringing();
        }
        QVERIFY(!m_lookup->arrive(QStringLiteral("8861049")));
        QCOMPARE(logLines().size(), 1);

        // A, A, B, A, A over an hour: four calls.
        m_clock = m_clock.addSecs(600);
        QVERIFY(m_lookup->arrive(QStringLiteral("13905911234")));
        m_clock = m_clock.addSecs(600);
        QVERIFY(m_lookup->arrive(QStringLiteral("8861049")));
        m_clock = m_clock.addSecs(3600);
        const std::optional<CallerRecord> again = m_lookup->arrive(QStringLiteral("8861049"));
        QVERIFY(again);
        QCOMPARE(again->rowText(3), QStringLiteral("万达贸易"));
        QCOMPARE(again->rowText(2), QStringLiteral("2026-03-02 10:20:23"));
        QCOMPARE(logLines().size(), 4);
        QVERIFY(logLines().last().startsWith("2026-03-02 10:20:23-#-8861049-#-"));

        // A plain lookup logs nothing and does not end the call shown.
        m_clock = m_clock.addSecs(2);
        QCOMPARE(m_lookup->lookUp(QStringLiteral("59183321456")).rowText(3), QStringLiteral("闽江茶业仓库"));
        QCOMPARE(logLines().size(), 4);
        QVERIFY(!m_lookup->arrive(QStringLiteral("8861049")));
    }

    // A blocked caller's call is logged once with "黑名单" however often its number repeats
    // while it rings; its rings count as that call's until it is over, and the same number
    // arriving once the block is lifted is shown.
    void aTurnedAwayCallIsLoggedOncePerCall()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        m_clock = QDateTime(QDate(2026, 3, 2), QTime(9, 0, 0));
        open();
        QVERIFY(m_lookup->turnAway(QStringLiteral("13905911234")));
        QVERIFY(m_lookup->ringingCallTurnedAway());
        m_clock = m_clock.addSecs(5);
        m_lookup->ringing();
        m_clock = m_clock.addSecs(5);
        QVERIFY(!m_lookup->turnAway(QStringLiteral("13905911234")));
        QCOMPARE(logLines().size(), 1);
        QVERIFY(logLines().first().endsWith("-#-13905911234-#-\xba\xda\xc3\xfb\xb5\xa5\r\r")); // 黑名单, GBK
        m_clock = m_clock.addSecs(11);
        QVERIFY(!m_lookup->ringingCallTurnedAway());
        QVERIFY(m_lookup->turnAway(QStringLiteral("13905911234")));
        QCOMPARE(logLines().size(), 2);

        // Taken off the list while it rings: the repeat is shown but not logged twice.
        m_clock = m_clock.addSecs(2);
        const std::optional<CallerRecord> shown = m_lookup->arrive(QStringLiteral("13905911234"));
        QVERIFY(shown);
        QCOMPARE(shown->rowText(3), QStringLiteral("闽江茶业"));
        QVERIFY(!m_lookup->ringingCallTurnedAway());
        QCOMPARE(logLines().size(), 2);
    }

    // Shown again from the call log or the region query: looked up, not logged, and a call
    // of the log keeps the time it was logged, also when stepping.
    void aNumberShownAgainIsNoCall()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        open();
        CallerRecord record = m_lookup->reopen(QStringLiteral("13905911234"), QStringLiteral("2025-12-30 08:15:00"));
        QCOMPARE(record.rowText(2), QStringLiteral("2025-12-30 08:15:00"));
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业"));
        record.stepForward();
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业仓库"));
        QCOMPARE(record.rowText(2), QStringLiteral("2025-12-30 08:15:00"));
        const CallerRecord typed = m_lookup->reopen(QStringLiteral("8861049"), QString());
        QCOMPARE(typed.rowText(3), QStringLiteral("万达贸易"));
        QVERIFY(typed.rowText(2).startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        QVERIFY(logLines().isEmpty());
        // Nor does it count as the call shown: the caller's real call is logged.
        QVERIFY(m_lookup->arrive(QStringLiteral("13905911234")));
        QCOMPARE(logLines().size(), 1);
    }

    // A run of one or two digits out of some text would end many stored numbers and claim
    // whichever customer comes first; it is shown and logged, but names nobody.
    void aShortNumberClaimsNoCustomer()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        open();
        for (const QString& number : {QStringLiteral("1"), QStringLiteral("21"), QString()}) {
            const CallerRecord record = show(number);
            QCOMPARE(record.number(), number);
            QCOMPARE(record.rowText(3), NotFound);
            QVERIFY(!record.canStepForward());
            QVERIFY(!record.failed());
        }
        QCOMPARE(logLines().size(), 3);
        QVERIFY(logLines().at(1).contains("-#-21-#-"));
        QCOMPARE(show(QStringLiteral("321")).rowText(3), QStringLiteral("闽江茶业"));
        QVERIFY(m_boxes.isEmpty());
    }

    void theDeliveredNumberIsKeptForCallingBack()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        open();
        const CallerRecord record = show(QStringLiteral("59187654321"));
        QCOMPARE(record.number(), QStringLiteral("59187654321"));
        QCOMPARE(record.dialNumber(), QStringLiteral("59187654321"));
        const std::optional<CallerRecord> call =
            m_lookup->arrive(QStringLiteral("59183321456"), QStringLiteral("059183321456"));
        QVERIFY(call);
        QCOMPARE(call->number(), QStringLiteral("59183321456"));
        QCOMPARE(call->dialNumber(), QStringLiteral("059183321456"));
        QVERIFY(logLines().last().contains("-#-59183321456-#-"));
    }

    void steppingThroughMatches()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        open();
        CallerRecord record = show(QStringLiteral("13905911234"));
        QCOMPARE(record.rowText(1), QStringLiteral("13905911234(福建省福州市)"));
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业"));
        QVERIFY(record.canStepForward());
        QVERIFY(!record.canStepBack());

        record.stepForward();
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业仓库"));
        QCOMPARE(record.rowText(5), QStringLiteral("059183321456"));
        QVERIFY(record.canStepBack());

        // There is no step past the last record: the second one stays whole.
        QVERIFY(!record.canStepForward());
        record.stepForward();
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业仓库"));
        QCOMPARE(record.rowText(5), QStringLiteral("059183321456"));

        record.stepBack();
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业"));
        QCOMPARE(record.rowText(1), QStringLiteral("13905911234(福建省福州市)"));
        QVERIFY(!record.canStepBack());
        QVERIFY(record.canStepForward());
        record.stepBack();
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业"));

        // One record: nothing to step to either way.
        record = show(QStringLiteral("8861049"));
        QVERIFY(!record.canStepForward());
        QVERIFY(!record.canStepBack());
        record.stepForward();
        QCOMPARE(record.rowText(3), QStringLiteral("万达贸易"));
        QCOMPARE(record.rowText(4), QStringLiteral("陈敏"));

        // No match at all.
        record = show(QStringLiteral("12345"));
        QCOMPARE(record.rowText(3), NotFound);
        QVERIFY(!record.canStepForward());
        QVERIFY(!record.canStepBack());
        QVERIFY(logLines().last().endsWith(QByteArray("-#-12345-#-") + QStringEncoder("GB18030").encode(NotFound) +
                                           "\r\r"));
    }

    void theRecordOutlivesTheConnection()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        open();
        CallerRecord record = show(QStringLiteral("13905911234"));
        // The lookup is gone with its connection; the record still steps through its rows.
        m_lookup.reset();
        record.stepForward();
        QCOMPARE(record.rowText(3), QStringLiteral("闽江茶业仓库"));
        // The customer file is not held open: it can be replaced at once.
        QVERIFY(QFile::remove(file(QStringLiteral("cust.db"))));
        QVERIFY(m_boxes.isEmpty());
    }

    // Without a labelled field the first column still goes to row 3 and to the log.
    void fieldNumZeroKeepsTheFirstColumn()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 0);
        open();
        show(QStringLiteral("8861049"));
        QCOMPARE(m_shown.rows().size(), 3);
        QCOMPARE(m_shown.rowText(1), QStringLiteral("8861049"));
        QCOMPARE(m_shown.rowText(3), QStringLiteral("万达贸易"));
        QCOMPARE(m_shown.rowText(4), QString());
        QVERIFY(logLines().at(0).endsWith(QByteArray("-#-8861049-#-") +
                                          QStringEncoder("GB18030").encode(QStringLiteral("万达贸易")) + "\r\r"));
        show(QStringLiteral("7777777"));
        QCOMPARE(m_shown.rowText(3), NotFound);
        QVERIFY(logLines().at(1).endsWith(QByteArray("-#-7777777-#-") + QStringEncoder("GB18030").encode(NotFound) +
                                          "\r\r"));
    }

    void businessRecordsOfTheCaller()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        open();
        std::optional<BusinessRecords> records = m_lookup->businessRecords(QStringLiteral("59187654321"));
        QVERIFY(records);
        QCOMPARE(records->fields, (QStringList{QStringLiteral("UnitID"), QStringLiteral("BillNo"),
                                               QStringLiteral("Amount")}));
        QCOMPARE(records->rows.size(), 2);
        QCOMPARE(records->rows.at(1).at(1), QStringLiteral("XS02"));
        records = m_lookup->businessRecords(QStringLiteral("8861049"));
        QVERIFY(records);
        QCOMPARE(records->rows.size(), 1);
        // A number that is not digits makes no statement: no records, and nothing to tell.
        QString error;
        QVERIFY(!m_lookup->businessRecords(QStringLiteral("1' or '1'='1"), &error));
        QVERIFY(error.isEmpty());
    }

    void aBusinessStatementThatFailsIsTold()
    {
        writeGbk(file(QStringLiteral("Vornx.ini")),
                 QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=Provider=SQLite;Data Source=%1\r\n"
                                "strSQL=%2\r\nstrSQL1=select * from Missing where \r\n")
                     .arg(file(QStringLiteral("cust.db")), QLatin1String(CustomerSql)));
        open();
        QString error;
        QVERIFY(!m_lookup->businessRecords(QStringLiteral("8861049"), &error));
        QCOMPARE(error, QStringLiteral("数据库操作失败!"));
    }

    void unreadableTypeMeansNoSource()
    {
        writeGbk(file(QStringLiteral("Vornx.ini")), QStringLiteral("[QUERYTYPE]\r\nTYPE=abc\r\n"));
        open();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误提示|请重新设置数据源参数！")});
        QCOMPARE(m_lookup->source(), CallerRecord::Source::None);
        show(QStringLiteral("59187654321"));
        QCOMPARE(m_shown.rowText(1), QString());
        QCOMPARE(m_shown.rows().size(), 2);
        QCOMPARE(logLines().size(), 1);
        QVERIFY(logLines().at(0).endsWith("-#-59187654321-#-\r\r"));
    }

    // A number from the call log or typed by a user never reaches the statement.
    void aNumberThatIsNotDigitsIsNoMatch()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        open();
        show(QStringLiteral("1' or '1'='1"));
        QCOMPARE(m_shown.rowText(3), NotFound);
        QVERIFY(!m_shown.canStepForward());
        QVERIFY(!m_shown.failed());
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(logLines().size(), 1);
    }

    // A failed lookup is still shown and logged, and the same caller is looked up again.
    void aFailedStatementIsLoggedAndRetried()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3,
                      QStringLiteral("select Name from Missing b where b.Phone like '%#NO#'"));
        writeGbk(file(QStringLiteral("PhoneLog") + QDate::currentDate().toString(QStringLiteral("yyyyMM")) +
                      QStringLiteral(".log")),
                 QString());
        open();
        show(QStringLiteral("59187654321"));
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|数据库操作失败!")});
        QVERIFY(m_shown.failed());
        QCOMPARE(m_shown.rowText(1), QStringLiteral("59187654321(福建省福州市)"));
        QCOMPARE(m_shown.rowText(3), CallerLookup::statementFailedText());
        QVERIFY(!m_shown.canStepForward());
        QCOMPARE(logLines().size(), 1);
        QVERIFY(logLines().at(0).endsWith(QStringEncoder("GB18030").encode(CallerLookup::statementFailedText()) +
                                          "\r\r"));
        // The provider's message went to the month's statement log.
        QFile monthly(file(QStringLiteral("PhoneLog") + QDate::currentDate().toString(QStringLiteral("yyyyMM")) +
                           QStringLiteral(".log")));
        QVERIFY(monthly.open(QIODevice::ReadOnly));
        QVERIFY(monthly.readAll().contains("Missing"));

        // Stepping on a failed lookup does nothing.
        m_shown.stepForward();
        QCOMPARE(m_shown.rowText(3), CallerLookup::statementFailedText());

        // The line repeats the number during the call: looked up again, logged once.
        show(QStringLiteral("59187654321"));
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(logLines().size(), 1);
        // The caller calls again later: a call of its own.
        m_clock = QDateTime::currentDateTime().addSecs(60);
        show(QStringLiteral("59187654321"));
        QCOMPARE(m_boxes.size(), 3);
        QCOMPARE(logLines().size(), 2);
    }

    // A database that cannot be opened at creation still gives a lookup, and the connection
    // is tried again at the next call.
    void aDatabaseThatCannotBeOpenedIsTriedAgain()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=later.db"), 3);
        open();
        QVERIFY(m_boxes.isEmpty()); // told with the call, not before
        show(QStringLiteral("59187654321"));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).startsWith(QStringLiteral("错误提示|")));
        QVERIFY(m_boxes.at(0).contains(QStringLiteral("later.db")));
        QVERIFY(m_shown.failed());
        QCOMPARE(m_shown.rowText(1), QStringLiteral("59187654321(福建省福州市)"));
        QVERIFY(!m_shown.rowText(2).isEmpty());
        QCOMPARE(m_shown.rowText(3), CallerLookup::connectFailedText());
        QCOMPARE(logLines().size(), 1);

        QVERIFY(QFile::copy(file(QStringLiteral("cust.db")), file(QStringLiteral("later.db"))));
        m_clock = QDateTime::currentDateTime().addSecs(60);
        show(QStringLiteral("59187654321"));
        QCOMPARE(m_shown.rowText(3), QStringLiteral("闽江茶业"));
        QCOMPARE(logLines().size(), 2);
        QCOMPARE(m_boxes.size(), 1);
    }

    void addressBookStepsThroughContacts()
    {
        writeContacts("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林建华\r\nORG:闽江茶业\r\nTEL;TYPE=CELL:13905911234\r\n"
                      "EMAIL:lin@example.com\r\nNOTE:老客户\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林秀英\r\nTEL;TYPE=HOME:+86 13905911234\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:陈敏\r\nTEL;TYPE=WORK:0591-13905911234\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王伟\r\nTEL;TYPE=WORK:010-88610490\r\nEND:VCARD\r\n");
        open();
        QCOMPARE(m_lookup->source(), CallerRecord::Source::AddressBook);
        QCOMPARE(m_lookup->blankRecord().rows().size(), 10);
        QCOMPARE(m_lookup->blankRecord().rows().at(6).label, QStringLiteral("性    别"));

        CallerRecord record = show(QStringLiteral("13905911234"));
        QCOMPARE(record.rowText(1), QStringLiteral("13905911234(福建省福州市)"));
        QCOMPARE(record.rowText(3), QStringLiteral("林建华"));
        QCOMPARE(record.rowText(6), QStringLiteral("闽江茶业"));
        QCOMPARE(record.rowText(9), QStringLiteral("lin@example.com"));
        QCOMPARE(record.rowText(10), QStringLiteral("老客户"));
        QCOMPARE(record.currentContact()->Name, QStringLiteral("林建华"));
        QVERIFY(record.canStepForward());
        QVERIFY(!record.canStepBack());

        record.stepForward();
        QCOMPARE(record.rowText(3), QStringLiteral("林秀英"));
        QCOMPARE(record.rowText(6), QString());
        QVERIFY(record.canStepBack());
        record.stepForward();
        QCOMPARE(record.rowText(3), QStringLiteral("陈敏"));
        QVERIFY(!record.canStepForward());
        record.stepBack();
        QCOMPARE(record.rowText(3), QStringLiteral("林秀英"));
        QVERIFY(logLines().at(0).endsWith(QByteArray("-#-13905911234-#-") +
                                          QStringEncoder("GB18030").encode(QStringLiteral("林建华")) + "\r\r"));

        record = show(QStringLiteral("8861049"));
        QCOMPARE(record.rowText(3), QStringLiteral("通讯薄中没有对应来电的通讯资料信息！"));
        QVERIFY(!record.canStepForward());
        QVERIFY(!record.currentContact());

        // A number that is not digits finds nobody, though every stored number ends in "".
        record = show(QString());
        QCOMPARE(record.rowText(3), QStringLiteral("通讯薄中没有对应来电的通讯资料信息！"));
        // No statement is made of it, so a number in the form a contact keeps it is found.
        record = show(QStringLiteral("+86 13905911234"));
        QCOMPARE(record.rowText(3), QStringLiteral("林秀英"));
        QVERIFY(!record.canStepForward());
        record = show(QStringLiteral("0591-13905911234"));
        QCOMPARE(record.rowText(3), QStringLiteral("陈敏"));
    }

    void brokenContactsAreToldAndTheOthersFound()
    {
        writeContacts("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:坏名片\r\nTEL:13900000000\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林建华\r\nTEL;TYPE=CELL:13905911234\r\nEND:VCARD\r\n");
        open();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|通讯薄文件中有1张名片无法读取，已跳过。")});
        QCOMPARE(m_lookup->openingNotices().at(0).kind, CallerRecord::Notice::Warning);
        QCOMPARE(show(QStringLiteral("13905911234")).rowText(3), QStringLiteral("林建华"));
    }

    // A hand-edited field count no table has is bounded: the call is looked up and shown,
    // and the user is told once which file and key are wrong.
    void absurdFieldCountIsBoundedAndTold()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        QString ini = QStringDecoder("GB18030").decode([&] {
            QFile f(file(QStringLiteral("Vornx.ini")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }());
        ini.replace(QStringLiteral("FIELDNUM=3"), QStringLiteral("FIELDNUM=2147483647"));
        writeGbk(file(QStringLiteral("Vornx.ini")), ini);
        open();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.at(0).contains(file(QStringLiteral("Vornx.ini"))) &&
                     m_boxes.at(0).contains(QStringLiteral("FIELDNUM=2147483647")),
                 qPrintable(m_boxes.at(0)));
        const CallerRecord& record = show(QStringLiteral("8861049"));
        QCOMPARE(record.rows().size(), DataSourceSettings::kMaxFields + 2);
        QCOMPARE(record.rowText(3), QStringLiteral("万达贸易"));
        QCOMPARE(m_boxes.size(), 1);
    }

    // Settings or an address book that cannot be read are named once, not silently
    // replaced by an empty address book.
    void unreadableSettingsAndAddressBookAreTold()
    {
        {
            QFile f(file(QStringLiteral("Vornx.ini")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QString text = QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n");
            f.write("\xFF\xFE");
            f.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        }
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("contacts.vcf")));
        open();
        QCOMPARE(m_boxes.size(), 2);
        QVERIFY2(m_boxes.at(0).contains(file(QStringLiteral("Vornx.ini"))), qPrintable(m_boxes.at(0)));
        QVERIFY2(m_boxes.at(1).contains(QStringLiteral("contacts.vcf")), qPrintable(m_boxes.at(1)));
        QCOMPARE(show(QStringLiteral("13905911234")).rowText(3), QStringLiteral("通讯薄中没有对应来电的通讯资料信息！"));
        QCOMPARE(m_boxes.size(), 2);
    }

    void aCallLogThatCannotBeWrittenIsTold()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Phone.Log")));
        open();
        show(QStringLiteral("8861049"));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).endsWith(QStringLiteral("日志文件无法打开或创建！")));
        QCOMPARE(m_shown.rowText(3), QStringLiteral("万达贸易"));
    }

    // The trace read by the end-to-end tests and the benchmarks: one block per record shown.
    void eachShownRecordIsTraced()
    {
        const QString trace = file(QStringLiteral("trace.txt"));
        qputenv("VORNX_CALLER_LOG", trace.toLocal8Bit());
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 2);
        open();
        show(QStringLiteral("8861049"));
        show(QStringLiteral("8861049")); // not shown anew: not traced
        qunsetenv("VORNX_CALLER_LOG");
        QFile f(trace);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(lines.size(), 7); // shown, four rows, the empty line, and the end
        QVERIFY(QRegularExpression(QStringLiteral("^shown \\d+$")).match(QString::fromUtf8(lines.at(0))).hasMatch());
        QCOMPARE(lines.at(1), QByteArray("来电号码\t8861049"));
        QVERIFY(lines.at(2).startsWith("来电时间\t20"));
        QCOMPARE(lines.at(3), QByteArray("客户名称\t万达贸易"));
        QCOMPARE(lines.at(4), QByteArray("联系人\t陈敏"));
        QCOMPARE(lines.at(5), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestCallerLookup)
#include "tst_callerlookup.moc"
