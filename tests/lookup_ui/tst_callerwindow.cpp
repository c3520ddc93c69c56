#include "lookup/CallerWindow.h"

#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/ui/MessageBoxes.h"
#include "support/CallerWindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
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

// A customer name far longer than one line of the grid.
QString longName()
{
    return QStringLiteral("万达贸易有限公司福州分公司仓山区城门镇建新南路一百二十八号海峡国际会展中心东侧物流园三号仓库二楼");
}

// Lets the layouts of a resized window finish.
void settle(QWidget& window)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    if (window.layout())
        window.layout()->activate();
    QCoreApplication::processEvents();
}

void writeGbk(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QStringEncoder("GB18030").encode(text));
}
} // namespace

// The caller window shows the records its owner looked up: rows, stepping buttons, the
// unfolded business records. The lookup itself is tested without a window.
class TestCallerWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_boxes;

    QString file(const QString& name) const { return m_dir->filePath(name); }

    void useDatabase(int fieldNum, const QString& businessSql)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
            db.setDatabaseName(file(QStringLiteral("cust.db")));
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const char* s :
                 {"create table Unit (ID integer, Name text, Linkman text, Phone text, PhoneMove text)",
                  "create table BillIndex (UnitID integer, BillNo text, Amount real)",
                  "insert into Unit values (1, '闽江茶业', '林建华', '059187654321', '13905911234')",
                  "insert into Unit values (2, '闽江茶业仓库', '林建华', '059183321456', '13905911234')",
                  "insert into Unit values (3, '万达贸易', '陈敏', '8861049', '')",
                  "insert into BillIndex values (1, 'XS01', 100.5)", "insert into BillIndex values (1, 'XS02', 20)",
                  "insert into BillIndex values (3, 'XS04', 1)"})
                QVERIFY2(q.exec(QString::fromUtf8(s)), s);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
        QString ini = QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=Provider=SQLite;Data Source=cust.db"
                                     "\r\nstrSQL=select Name, Linkman, Phone from Unit b where  b.Phone like '%#NO#' or "
                                     "b.PhoneMove like '%#no#' \r\nstrSQL1=%1\r\n[TABLESET]\r\nFIELDNUM=%2\r\n")
                          .arg(businessSql)
                          .arg(fieldNum);
        const QStringList labels = {QStringLiteral("客户名称"), QStringLiteral("联系人"), QStringLiteral("电话")};
        for (int k = 0; k < fieldNum; ++k)
            ini += QStringLiteral("FIELD%1=%2\r\n").arg(k).arg(labels.at(k));
        writeGbk(file(QStringLiteral("Vornx.ini")), ini);
    }

    static QString label(const CallerWindowFixture& f, int row)
    {
        const QTableWidgetItem* item = f.child<QTableWidget>("recordGrid")->item(row - 1, 0);
        return item ? item->text() : QString();
    }

private slots:
    void initTestCase()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.caption + QLatin1Char('|') + box.text;
            return QMessageBox::Ok;
        });
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramFolder::setPath(m_dir->path());
        m_boxes.clear();
    }

    void showsTheRowsOfTheRecord()
    {
        useDatabase(2, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        CallerWindowFixture f([](const QString&) { return QStringLiteral("福建省福州市"); });
        QCOMPARE(f.window.windowTitle(), QStringLiteral("客户资料"));
        auto* grid = f.child<QTableWidget>("recordGrid");
        // Labelled before any call: number, time, two fields.
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(label(f, 1), QStringLiteral("来电号码"));
        QCOMPARE(label(f, 3), QStringLiteral("客户名称"));
        QCOMPARE(label(f, 4), QStringLiteral("联系人"));

        f.show(QStringLiteral("59187654321"));
        QVERIFY(f.window.isVisible());
        QCOMPARE(f.window.rowText(1), QStringLiteral("59187654321(福建省福州市)"));
        QCOMPARE(f.window.rowText(2), f.window.record().rowText(2));
        QCOMPARE(f.window.rowText(3), QStringLiteral("闽江茶业"));
        QCOMPARE(f.window.rowText(4), QStringLiteral("林建华"));
        QCOMPARE(grid->rowCount(), 4);
        QVERIFY(!f.window.businessRecordsShown());
        QVERIFY(m_boxes.isEmpty());
    }

    void stepButtonsFollowTheRecord()
    {
        useDatabase(3, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        CallerWindowFixture f;
        auto* previous = f.child<QToolButton>("previousButton");
        auto* next = f.child<QToolButton>("nextButton");
        f.show(QStringLiteral("13905911234"));
        QVERIFY(next->isEnabled());
        QVERIFY(!previous->isEnabled());
        next->click();
        QCOMPARE(f.window.rowText(3), QStringLiteral("闽江茶业仓库"));
        QVERIFY(previous->isEnabled());
        // The last match: no step past it.
        QVERIFY(!next->isEnabled());
        previous->click();
        QCOMPARE(f.window.rowText(3), QStringLiteral("闽江茶业"));
        QVERIFY(!previous->isEnabled());
        QVERIFY(next->isEnabled());

        // Closed and shown again with the same number: the window still steps through its record.
        f.window.close();
        f.show(QStringLiteral("13905911234"));
        QCOMPARE(f.window.rowText(3), QStringLiteral("闽江茶业"));
        next->click();
        QCOMPARE(f.window.rowText(3), QStringLiteral("闽江茶业仓库"));

        f.show(QStringLiteral("12345"));
        QCOMPARE(f.window.rowText(3), NotFound);
        QVERIFY(!next->isEnabled() && !previous->isEnabled());

        // One match: neither way.
        f.show(QStringLiteral("8861049"));
        QVERIFY(!next->isEnabled() && !previous->isEnabled());
    }

    // "回拨" calls the number as the line delivered it, the long-distance zeros included,
    // while the window shows it without them.
    void callBackDialsTheDeliveredNumber()
    {
        useDatabase(3, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        CallerWindowFixture f;
        f.show(QStringLiteral("59187654321"), QStringLiteral("059187654321"));
        QVERIFY(f.window.rowText(1).startsWith(QStringLiteral("59187654321")));
        f.child<QToolButton>("dialButton")->click();
        QCOMPARE(f.line.calls, QStringList{QStringLiteral("dial 059187654321")});
    }

    void businessRecordsUnfoldAndFold()
    {
        useDatabase(3, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        CallerWindowFixture f;
        auto* more = f.child<QToolButton>("moreButton");
        f.show(QStringLiteral("59187654321"));
        QCOMPARE(more->text(), QStringLiteral("↓"));
        QVERIFY(!f.child<QWidget>("businessPanel")->isVisibleTo(&f.window));
        const int foldedHeight = f.window.height();
        more->click();
        QVERIFY(f.window.businessRecordsShown());
        QVERIFY(f.child<QWidget>("businessPanel")->isVisibleTo(&f.window));
        // The records get room of their own; the record above keeps its size.
        QCOMPARE(f.window.height(), foldedHeight + 170);
        QCOMPARE(more->text(), QStringLiteral("↑"));
        QAbstractItemModel* grid = f.child<QTableView>("businessGrid")->model();
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("BillNo"));
        QCOMPARE(grid->index(1, 1).data().toString(), QStringLiteral("XS02"));

        more->click();
        QVERIFY(!f.window.businessRecordsShown());
        QCOMPARE(more->text(), QStringLiteral("↓"));
        QCOMPARE(f.window.height(), foldedHeight);

        // A new show folds the window but leaves the caption as it was.
        more->click();
        f.show(QStringLiteral("8861049"));
        QVERIFY(!f.window.businessRecordsShown());
        QCOMPARE(more->text(), QStringLiteral("↑"));
        more->click();
        QVERIFY(f.window.businessRecordsShown());
        QCOMPARE(grid->rowCount(), 1);

        // A number that is not digits runs no statement: the window stays folded.
        more->click();
        f.show(QStringLiteral("1' or '1'='1"));
        more->click();
        QVERIFY(!f.window.businessRecordsShown());
        QVERIFY(m_boxes.isEmpty());
    }

    void aFailedBusinessStatementIsToldAndShowsNothing()
    {
        useDatabase(3, QStringLiteral("select * from Missing where "));
        CallerWindowFixture f;
        f.show(QStringLiteral("8861049"));
        f.child<QToolButton>("moreButton")->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|数据库操作失败!")});
        QVERIFY(!f.window.businessRecordsShown());
        QCOMPARE(f.child<QTableView>("businessGrid")->model()->rowCount(), 0);
    }

    void lookupFailuresAreToldWithTheWindowShown()
    {
        writeGbk(file(QStringLiteral("Vornx.ini")),
                 QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=Provider=SQLite;Data Source=gone.db"
                                "\r\nstrSQL=select Name from Unit b where b.Phone like '%#NO#'\r\n"
                                "[TABLESET]\r\nFIELDNUM=1\r\nFIELD0=客户名称\r\n"));
        CallerWindowFixture f;
        f.show(QStringLiteral("8861049"));
        QVERIFY(f.window.isVisible());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).startsWith(QStringLiteral("错误提示|")));
        QCOMPARE(f.window.rowText(3), CallerLookup::connectFailedText());
        QVERIFY(!f.child<QToolButton>("nextButton")->isEnabled());
    }

    // The window follows the user's size: the value column takes the width, a long value
    // wraps into a taller row and keeps its whole text as a tooltip.
    void valuesFollowTheWidth()
    {
        useDatabase(3, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
            db.setDatabaseName(file(QStringLiteral("cust.db")));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("update Unit set Name = '%1' where ID = 3").arg(longName())));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
        CallerWindowFixture f;
        QVERIFY(f.window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(f.window.maximumWidth() > 2000 && f.window.maximumHeight() > 2000);
        f.show(QStringLiteral("8861049"));
        auto* grid = f.child<QTableWidget>("recordGrid");
        QCOMPARE(f.window.rowText(3), longName());
        QCOMPARE(grid->item(2, 1)->toolTip(), longName());
        QCOMPARE(grid->item(3, 1)->toolTip(), QStringLiteral("陈敏"));

        f.window.resize(520, 420);
        settle(f.window);
        const int narrowColumn = grid->columnWidth(1);
        const int narrowRow = grid->rowHeight(2);
        QCOMPARE(grid->columnWidth(0), 80);
        QVERIFY2(narrowRow > grid->rowHeight(3), "a long value wraps onto more lines");
        QVERIFY(narrowColumn + 80 <= grid->viewport()->width());

        f.window.resize(790, 420);
        settle(f.window);
        QVERIFY(grid->columnWidth(1) >= narrowColumn + 150);
        QVERIFY2(grid->rowHeight(2) < narrowRow, "a wider window needs fewer lines");
        QCOMPARE(grid->rowHeight(3), 24);

        f.window.showMaximized();
        settle(f.window);
        QVERIFY(grid->columnWidth(1) > narrowColumn + 150);
    }

    // The size the user left is the size of the next window, with or without the business
    // records unfolded; a size that makes no sense is not taken.
    void theSizeIsKeptForTheNextStart()
    {
        useDatabase(3, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        const QSize standard(597, 403);
        {
            CallerWindowFixture f;
            QCOMPARE(f.window.size(), standard);
            f.show(QStringLiteral("8861049"));
            f.window.resize(700, 380);
            settle(f.window);
            f.window.close();
        }
        PrivateProfile ini(file(QStringLiteral("sysset.ini")));
        QCOMPARE(ini.readInt(QStringLiteral("CALLERWINDOW"), QStringLiteral("WIDTH"), 0), 700);
        QCOMPARE(ini.readInt(QStringLiteral("CALLERWINDOW"), QStringLiteral("HEIGHT"), 0), 380);
        {
            CallerWindowFixture f;
            QCOMPARE(f.window.size(), QSize(700, 380));
            f.show(QStringLiteral("8861049"));
            QCOMPARE(f.window.size(), QSize(700, 380));
            f.child<QToolButton>("moreButton")->click();
            QCOMPARE(f.window.size(), QSize(700, 550));
            // Made taller while unfolded: the record got the room, and that is what is kept.
            f.window.resize(720, 580);
            settle(f.window);
            QCOMPARE(f.window.foldedSize(), QSize(720, 410));
            // Still on screen when the program ends.
        }
        QCOMPARE(CallerWindowFixture().window.size(), QSize(720, 410));

        for (const char* damaged : {"WIDTH=abc\r\nHEIGHT=500", "WIDTH=3\r\nHEIGHT=2", "WIDTH=99999999\r\nHEIGHT=500"}) {
            writeGbk(file(QStringLiteral("sysset.ini")),
                     QStringLiteral("[CALLERWINDOW]\r\n") + QString::fromLatin1(damaged) + QStringLiteral("\r\n"));
            QCOMPARE(CallerWindowFixture().window.size(), standard);
        }
    }

    // While the user steps through several matches, the window says which one is shown.
    void positionAmongTheMatches()
    {
        useDatabase(3, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and "));
        CallerWindowFixture f;
        auto* position = f.child<QLabel>("positionLabel");
        auto* next = f.child<QToolButton>("nextButton");
        f.show(QStringLiteral("13905911234"));
        QVERIFY(position->isVisible());
        QCOMPARE(position->text(), QStringLiteral("第 1/2 条"));
        next->click();
        QCOMPARE(position->text(), QStringLiteral("第 2/2 条"));
        f.child<QToolButton>("previousButton")->click();
        QCOMPARE(position->text(), QStringLiteral("第 1/2 条"));
        // One match, or none: nothing to step through, nothing said.
        f.show(QStringLiteral("8861049"));
        QVERIFY(!position->isVisible());
        f.show(QStringLiteral("12345"));
        QVERIFY(!position->isVisible());
    }

    void addressBookButtons()
    {
        writeGbk(file(QStringLiteral("Vornx.ini")), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        QFile vcf(file(QStringLiteral("contacts.vcf")));
        QVERIFY(vcf.open(QIODevice::WriteOnly));
        vcf.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林建华\r\nTEL;TYPE=CELL:13905911234\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林秀英\r\nTEL;TYPE=HOME:13905911234\r\nEND:VCARD\r\n");
        vcf.close();
        CallerWindowFixture f;
        QCOMPARE(f.child<QTableWidget>("recordGrid")->rowCount(), 10);
        QCOMPARE(label(f, 7), QStringLiteral("性    别"));
        QVERIFY(!f.child<QToolButton>("moreButton")->isEnabled());
        f.show(QStringLiteral("13905911234"));
        QVERIFY(f.child<QToolButton>("detailsButton")->isEnabled());
        f.child<QToolButton>("nextButton")->click();
        QCOMPARE(f.window.rowText(3), QStringLiteral("林秀英"));
        QVERIFY(!f.child<QToolButton>("nextButton")->isEnabled());
        QVERIFY(f.child<QToolButton>("previousButton")->isEnabled());
        QCOMPARE(f.child<QLabel>("positionLabel")->text(), QStringLiteral("第 2/2 条"));
    }
};

QTEST_MAIN(TestCallerWindow)
#include "tst_callerwindow.moc"
