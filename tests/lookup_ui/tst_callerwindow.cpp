#include "lookup/CallerWindow.h"

#include "lookup/StatementRunner.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
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

class TestShowInfoDlg : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<StatementRunner> m_dataModule;
    QStringList m_boxes;
    QStringList m_sounds;

    QString file(const QString& name) const { return m_dir->filePath(name); }

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

    std::unique_ptr<CallerWindow> showFor(std::unique_ptr<CallerWindow> dlg, const QString& number)
    {
        dlg->PhoneNo = number;
        dlg->close();
        dlg->show();
        return dlg;
    }

private slots:
    void initTestCase()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.caption + QLatin1Char('|') + box.text;
            return QMessageBox::Ok;
        });
        Sound::setHandler([this](const QString& path) { m_sounds << path; });
        CallerWindow::setRegionLookup([](const QString& number) {
            return number.startsWith(QLatin1String("1390591")) || number.startsWith(QLatin1String("591"))
                       ? QStringLiteral("福建省福州市")
                       : QString();
        });
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramFolder::setPath(m_dir->path());
        m_dataModule = std::make_unique<StatementRunner>(ProgramFolder::path());
        DataModule1 = m_dataModule.get();
        m_boxes.clear();
        m_sounds.clear();
        writeCustomers();
    }

    void databaseLayoutShowsTheRecordWithItsRegion()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 2);
        auto dlg = std::make_unique<CallerWindow>();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("客户资料"));
        QCOMPARE(dlg->StringGrid1->rowCount() + 1, 2 + 3); // header, number, time, two fields
        QCOMPARE(dlg->StringGrid1->item(0, 0)->text(), QStringLiteral("来电号码"));
        QCOMPARE(dlg->StringGrid1->item(2, 0)->text(), QStringLiteral("客户名称"));
        QCOMPARE(dlg->StringGrid1->item(3, 0)->text(), QStringLiteral("联系人"));

        dlg = showFor(std::move(dlg), QStringLiteral("59187654321"));
        QCOMPARE(dlg->rowText(1), QStringLiteral("59187654321(福建省福州市)"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(dlg->rowText(2))
                    .hasMatch());
        QCOMPARE(dlg->rowText(3), QStringLiteral("闽江茶业"));
        QCOMPARE(dlg->rowText(4), QStringLiteral("林建华"));
        // The third column has no labelled row and is not seen.
        QCOMPARE(dlg->StringGrid1->rowCount(), 4);
        QCOMPARE(dlg->outerHeight(), 430);
        QCOMPARE(m_sounds, QStringList{file(QStringLiteral("coming.wav"))});
        QCOMPARE(logLines().size(), 1);
        QVERIFY(logLines().at(0).endsWith(QByteArray("-#-59187654321-#-") +
                                          QStringEncoder("GB18030").encode(QStringLiteral("闽江茶业")) + "\r\r"));
        QVERIFY(m_boxes.isEmpty());

        // A number of 8 characters or fewer gets no region.
        dlg = showFor(std::move(dlg), QStringLiteral("8861049"));
        QCOMPARE(dlg->rowText(1), QStringLiteral("8861049"));
        QCOMPARE(dlg->rowText(3), QStringLiteral("万达贸易"));
    }

    void theSameNumberTwiceCountsOnce()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("8861049"));
        dlg = showFor(std::move(dlg), QStringLiteral("8861049"));
        QCOMPARE(logLines().size(), 1);
        QCOMPARE(m_sounds.size(), 1);
        dlg = showFor(std::move(dlg), QStringLiteral("13905911234"));
        dlg = showFor(std::move(dlg), QStringLiteral("8861049"));
        QCOMPARE(logLines().size(), 3);
        QCOMPARE(m_sounds.size(), 3);

        // No sound when the opener asks for none; the call is logged all the same.
        dlg->SoundOn = false;
        dlg = showFor(std::move(dlg), QStringLiteral("59183321456"));
        QCOMPARE(m_sounds.size(), 3);
        QCOMPARE(logLines().size(), 4);
    }

    void steppingThroughMatches()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("13905911234"));
        QCOMPARE(dlg->rowText(1), QStringLiteral("13905911234(福建省福州市)"));
        QCOMPARE(dlg->rowText(3), QStringLiteral("闽江茶业"));
        QVERIFY(dlg->sbtnNext->isEnabled());
        QVERIFY(!dlg->sbtnPrev->isEnabled());

        dlg->sbtnNext->click();
        QCOMPARE(dlg->rowText(3), QStringLiteral("闽江茶业仓库"));
        QCOMPARE(dlg->rowText(5), QStringLiteral("059183321456"));
        QVERIFY(dlg->sbtnPrev->isEnabled());
        QVERIFY(dlg->sbtnNext->isEnabled());

        // Past the last record: the not-found text with the record's other values still shown.
        dlg->sbtnNext->click();
        QCOMPARE(dlg->rowText(3), NotFound);
        QCOMPARE(dlg->rowText(5), QStringLiteral("059183321456"));
        QVERIFY(!dlg->sbtnNext->isEnabled());

        dlg->sbtnPrev->click();
        QCOMPARE(dlg->rowText(3), QStringLiteral("闽江茶业"));

        // One record: a step forward shows the not-found text and disables the button.
        dlg = showFor(std::move(dlg), QStringLiteral("8861049"));
        QVERIFY(dlg->sbtnNext->isEnabled());
        dlg->sbtnNext->click();
        QCOMPARE(dlg->rowText(3), NotFound);
        QCOMPARE(dlg->rowText(4), QStringLiteral("陈敏"));
        QVERIFY(!dlg->sbtnNext->isEnabled());

        // No match at all.
        dlg = showFor(std::move(dlg), QStringLiteral("12345"));
        QCOMPARE(dlg->rowText(3), NotFound);
        QVERIFY(!dlg->sbtnNext->isEnabled());
        QVERIFY(logLines().last().endsWith(QByteArray("-#-12345-#-") + QStringEncoder("GB18030").encode(NotFound) +
                                           "\r\r"));
    }

    void stepsAfterTheWindowWasClosedStillWork()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("13905911234"));
        dlg->close();
        dlg = showFor(std::move(dlg), QStringLiteral("13905911234"));
        dlg->sbtnNext->click();
        QCOMPARE(dlg->rowText(3), QStringLiteral("闽江茶业仓库"));
        QVERIFY(m_boxes.isEmpty());
    }

    void fieldNumZeroShowsOnlyNumberAndTime()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 0);
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("8861049"));
        QCOMPARE(dlg->StringGrid1->rowCount(), 2);
        QCOMPARE(dlg->rowText(1), QStringLiteral("8861049"));
        QCOMPARE(dlg->rowText(3), QString());
        QVERIFY(logLines().at(0).endsWith("-#-8861049-#-\r\r"));
    }

    void businessRecordsUnfoldAndFold()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("59187654321"));
        QCOMPARE(dlg->sbtnMoreInfo->text(), QStringLiteral("↓"));
        dlg->sbtnMoreInfo->click();
        QCOMPARE(dlg->outerHeight(), 600);
        QCOMPARE(dlg->sbtnMoreInfo->text(), QStringLiteral("↑"));
        QAbstractItemModel* grid = dlg->DBGrid1->model();
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("BillNo"));
        QCOMPARE(grid->index(1, 1).data().toString(), QStringLiteral("XS02"));

        dlg->sbtnMoreInfo->click();
        QCOMPARE(dlg->outerHeight(), 430);
        QCOMPARE(dlg->sbtnMoreInfo->text(), QStringLiteral("↓"));

        // A new show collapses the window but leaves the caption as it was.
        dlg->sbtnMoreInfo->click();
        dlg = showFor(std::move(dlg), QStringLiteral("8861049"));
        QCOMPARE(dlg->outerHeight(), 430);
        QCOMPARE(dlg->sbtnMoreInfo->text(), QStringLiteral("↑"));
        dlg->sbtnMoreInfo->click();
        QCOMPARE(dlg->outerHeight(), 600);
        QCOMPARE(grid->rowCount(), 1);
    }

    void unreadableTypeMeansNoSource()
    {
        writeGbk(file(QStringLiteral("Vornx.ini")), QStringLiteral("[QUERYTYPE]\r\nTYPE=abc\r\n"));
        auto dlg = std::make_unique<CallerWindow>();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误提示|请重新设置数据源参数！")});
        QCOMPARE(dlg->QueryType, 0);
        dlg = showFor(std::move(dlg), QStringLiteral("59187654321"));
        QCOMPARE(dlg->rowText(1), QString());
        QCOMPARE(m_sounds.size(), 1);
        QCOMPARE(logLines().size(), 1);
        QVERIFY(logLines().at(0).endsWith("-#-59187654321-#-\r\r"));
    }

    // Mend: a number from the call log or typed by a user never reaches the statement.
    void aNumberThatIsNotDigitsIsNoMatch()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("1' or '1'='1"));
        QCOMPARE(dlg->rowText(3), NotFound);
        QVERIFY(!dlg->sbtnNext->isEnabled());
        dlg->sbtnMoreInfo->click();
        QCOMPARE(dlg->outerHeight(), 430);
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(logLines().size(), 1);
    }

    // Mend: a failed lookup is still shown and logged, and the same caller is looked up again.
    void aFailedStatementIsLoggedAndRetried()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3,
                      QStringLiteral("select Name from Missing b where b.Phone like '%#NO#'"));
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("59187654321"));
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|数据库操作失败!")});
        QCOMPARE(dlg->rowText(1), QStringLiteral("59187654321(福建省福州市)"));
        QCOMPARE(dlg->rowText(3), CallerWindow::statementFailedText());
        QVERIFY(!dlg->sbtnNext->isEnabled());
        QCOMPARE(m_sounds.size(), 1);
        QCOMPARE(logLines().size(), 1);
        QVERIFY(
            logLines().at(0).endsWith(QStringEncoder("GB18030").encode(CallerWindow::statementFailedText()) + "\r\r"));

        // Stepping on a failed lookup does nothing.
        dlg->sbtnNext->click();
        QCOMPARE(dlg->rowText(3), CallerWindow::statementFailedText());

        dlg = showFor(std::move(dlg), QStringLiteral("59187654321"));
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(logLines().size(), 2);
    }

    // Mend: a database that cannot be opened at creation still gives a window, and the
    // connection is tried again at the next call.
    void aDatabaseThatCannotBeOpenedIsTriedAgain()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=later.db"), 3);
        auto dlg = std::make_unique<CallerWindow>();
        QVERIFY(m_boxes.isEmpty()); // told with the call, not before
        dlg = showFor(std::move(dlg), QStringLiteral("59187654321"));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).contains(QStringLiteral("later.db")));
        QCOMPARE(dlg->rowText(1), QStringLiteral("59187654321(福建省福州市)"));
        QVERIFY(!dlg->rowText(2).isEmpty());
        QCOMPARE(dlg->rowText(3), CallerWindow::connectFailedText());
        QCOMPARE(logLines().size(), 1);

        QVERIFY(QFile::copy(file(QStringLiteral("cust.db")), file(QStringLiteral("later.db"))));
        dlg = showFor(std::move(dlg), QStringLiteral("59187654321"));
        QCOMPARE(dlg->rowText(3), QStringLiteral("闽江茶业"));
        QCOMPARE(logLines().size(), 2);
        QCOMPARE(m_boxes.size(), 1);
    }

    void addressBookLayoutStepsThroughContacts()
    {
        writeGbk(file(QStringLiteral("Vornx.ini")), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        QFile vcf(file(QStringLiteral("contacts.vcf")));
        QVERIFY(vcf.open(QIODevice::WriteOnly));
        vcf.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林建华\r\nORG:闽江茶业\r\nTEL;TYPE=CELL:13905911234\r\n"
                  "EMAIL:lin@example.com\r\nNOTE:老客户\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林秀英\r\nTEL;TYPE=HOME:+86 13905911234\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:陈敏\r\nTEL;TYPE=WORK:0591-13905911234\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王伟\r\nTEL;TYPE=WORK:010-88610490\r\nEND:VCARD\r\n");
        vcf.close();

        auto dlg = std::make_unique<CallerWindow>();
        QCOMPARE(dlg->StringGrid1->rowCount(), 10);
        QCOMPARE(dlg->StringGrid1->item(6, 0)->text(), QStringLiteral("性    别"));
        QVERIFY(!dlg->sbtnMoreInfo->isEnabled());

        dlg = showFor(std::move(dlg), QStringLiteral("13905911234"));
        QCOMPARE(dlg->rowText(1), QStringLiteral("13905911234(福建省福州市)"));
        QCOMPARE(dlg->rowText(3), QStringLiteral("林建华"));
        QCOMPARE(dlg->rowText(6), QStringLiteral("闽江茶业"));
        QCOMPARE(dlg->rowText(9), QStringLiteral("lin@example.com"));
        QCOMPARE(dlg->rowText(10), QStringLiteral("老客户"));
        QVERIFY(dlg->sbtnDetailInfo->isEnabled());
        QVERIFY(dlg->sbtnNext->isEnabled());
        QVERIFY(!dlg->sbtnPrev->isEnabled());

        dlg->sbtnNext->click();
        QCOMPARE(dlg->rowText(3), QStringLiteral("林秀英"));
        QCOMPARE(dlg->rowText(6), QString());
        QVERIFY(dlg->sbtnPrev->isEnabled());
        dlg->sbtnNext->click();
        QCOMPARE(dlg->rowText(3), QStringLiteral("陈敏"));
        QVERIFY(!dlg->sbtnNext->isEnabled());
        dlg->sbtnPrev->click();
        QCOMPARE(dlg->rowText(3), QStringLiteral("林秀英"));
        QVERIFY(logLines().at(0).endsWith(QByteArray("-#-13905911234-#-") +
                                          QStringEncoder("GB18030").encode(QStringLiteral("林建华")) + "\r\r"));

        dlg = showFor(std::move(dlg), QStringLiteral("8861049"));
        QCOMPARE(dlg->rowText(3), QStringLiteral("通讯薄中没有对应来电的通讯资料信息！"));
        QVERIFY(!dlg->sbtnNext->isEnabled());

        // A number that is not digits finds nobody, though every stored number ends in "".
        dlg = showFor(std::move(dlg), QString());
        QCOMPARE(dlg->rowText(3), QStringLiteral("通讯薄中没有对应来电的通讯资料信息！"));
    }

    void brokenContactsAreReportedAndTheOthersFound()
    {
        writeGbk(file(QStringLiteral("Vornx.ini")), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        QFile vcf(file(QStringLiteral("contacts.vcf")));
        QVERIFY(vcf.open(QIODevice::WriteOnly));
        vcf.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:坏名片\r\nTEL:13900000000\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林建华\r\nTEL;TYPE=CELL:13905911234\r\nEND:VCARD\r\n");
        vcf.close();

        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("13905911234"));
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|通讯薄文件中有1张名片无法读取，已跳过。")});
        QCOMPARE(dlg->rowText(3), QStringLiteral("林建华"));
    }

    void aCallLogThatCannotBeWrittenIsReported()
    {
        writeSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db"), 3);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Phone.Log")));
        auto dlg = showFor(std::make_unique<CallerWindow>(), QStringLiteral("8861049"));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).endsWith(QStringLiteral("日志文件无法打开或创建！")));
        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->rowText(3), QStringLiteral("万达贸易"));
    }
};

QTEST_MAIN(TestShowInfoDlg)
#include "tst_callerwindow.moc"
