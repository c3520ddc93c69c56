#include "lookup/CallerWindow.h"

#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "support/CallerWindowFixture.h"

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
        QCOMPARE(f.window.outerHeight(), 430);
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
        more->click();
        QCOMPARE(f.window.outerHeight(), 600);
        QVERIFY(f.child<QWidget>("businessPanel")->isVisibleTo(&f.window));
        QCOMPARE(more->text(), QStringLiteral("↑"));
        QAbstractItemModel* grid = f.child<QTableView>("businessGrid")->model();
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("BillNo"));
        QCOMPARE(grid->index(1, 1).data().toString(), QStringLiteral("XS02"));

        more->click();
        QCOMPARE(f.window.outerHeight(), 430);
        QCOMPARE(more->text(), QStringLiteral("↓"));

        // A new show folds the window but leaves the caption as it was.
        more->click();
        f.show(QStringLiteral("8861049"));
        QCOMPARE(f.window.outerHeight(), 430);
        QCOMPARE(more->text(), QStringLiteral("↑"));
        more->click();
        QCOMPARE(f.window.outerHeight(), 600);
        QCOMPARE(grid->rowCount(), 1);

        // A number that is not digits runs no statement: the window stays folded.
        more->click();
        f.show(QStringLiteral("1' or '1'='1"));
        more->click();
        QCOMPARE(f.window.outerHeight(), 430);
        QVERIFY(m_boxes.isEmpty());
    }

    void aFailedBusinessStatementIsToldAndShowsNothing()
    {
        useDatabase(3, QStringLiteral("select * from Missing where "));
        CallerWindowFixture f;
        f.show(QStringLiteral("8861049"));
        f.child<QToolButton>("moreButton")->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|数据库操作失败!")});
        QCOMPARE(f.window.outerHeight(), 430);
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
    }
};

QTEST_MAIN(TestCallerWindow)
#include "tst_callerwindow.moc"
