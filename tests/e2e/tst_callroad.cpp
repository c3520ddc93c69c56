// The road of a call through the built program: a caller's number from the line (the
// virtual modem on a pseudo-terminal, or the simulated telephony line) pops up the caller
// window filled from the configured source, with the region of the number from the full
// region table, and leaves its line in "Phone.Log".
#include "e2e/ProgramRun.h"
#include "support/AccessFiles.h"
#include "support/VirtualModemProcess.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {
const QString TimePattern = QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");

// sysset.ini that starts monitoring one second after start-up on the chosen device.
QString deviceSettings(int devType, const QString& com1 = QString())
{
    QString ini = QStringLiteral("[DEVICESET]\r\nDEVTYPE=%1\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n").arg(devType);
    if (!com1.isEmpty())
        ini += QStringLiteral("[PORTS]\r\nCOM1=%1\r\n").arg(com1);
    return ini;
}

QString customerSettings(const QString& connect)
{
    return QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=%1\r\n"
                          "strSQL=select Name, Linkman, Phone from Unit b where  b.Phone like '%#NO#' or "
                          "b.PhoneMove like '%#NO#' \r\n"
                          "strSQL1=select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and \r\n"
                          "[TABLESET]\r\nFIELD0=客户名称\r\nFIELD1=联系人\r\nFIELD2=电话\r\nFIELDNUM=3\r\n")
        .arg(connect);
}

bool writeCustomers(const QString& file)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("e2e"));
        db.setDatabaseName(file);
        ok = db.open();
        QSqlQuery q(db);
        for (const char* s : {"create table Unit (ID integer, Name text, Linkman text, Phone text, PhoneMove text)",
                              "create table BillIndex (UnitID integer, BillNo text)",
                              "insert into Unit values (1, '闽江茶业', '林建华', '059187654321', '13905911234')",
                              "insert into Unit values (2, '万达贸易', '陈敏', '02188610490', '')",
                              "insert into BillIndex values (1, 'XS01')"})
            ok = ok && q.exec(QString::fromUtf8(s));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("e2e"));
    return ok;
}

// Waits until the simulated line device 0 was opened for monitoring.
bool waitLineOpen(const ProgramRun& run)
{
    for (int i = 0; i < 150; ++i) {
        if (run.simline({QStringLiteral("status")}).second.contains(QLatin1String("0 open")))
            return true;
        QTest::qWait(100);
    }
    return false;
}

// A simulated line that only rings when told to.
const QByteArray QuietLine = R"({"devices": [{"lineName": "测试线路"}]})";
} // namespace

class TestCallRoad : public QObject
{
    Q_OBJECT

private slots:
    void modemCallShowsTheSqliteCustomerWithRegion()
    {
        VirtualModemProcess modem;
        QVERIFY(!modem.path().isEmpty());
        ProgramRun run;
        run.copyAreaTable();
        QVERIFY(writeCustomers(run.file(QStringLiteral("cust.db"))));
        run.writeGbk(QStringLiteral("Vornx.ini"),
                     customerSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db")));
        run.writeGbk(QStringLiteral("sysset.ini"), deviceSettings(4, modem.path()));
        QVERIFY(run.start());
        QVERIFY2(modem.waitReceived(QStringLiteral("AT#CID=1"), 15000), qPrintable(modem.received().join(' ')));
        QTest::qWait(500); // a call comes after the start-up's own exchange

        modem.command(QStringLiteral("call 059187654321"));
        QVERIFY(run.waitForShown(1));
        const ProgramRun::Shown shown = run.shown().at(0);
        QCOMPARE(shown.value(QStringLiteral("来电号码")), QStringLiteral("59187654321(福建省福州市)"));
        QVERIFY(QRegularExpression(TimePattern).match(shown.value(QStringLiteral("来电时间"))).hasMatch());
        QCOMPARE(shown.value(QStringLiteral("客户名称")), QStringLiteral("闽江茶业"));
        QCOMPARE(shown.value(QStringLiteral("电话")), QStringLiteral("059187654321"));
        QTRY_COMPARE(run.callLog().size(), 1);
        QVERIFY(QRegularExpression(QLatin1Char('^') + TimePattern + QStringLiteral("-#-59187654321-#-闽江茶业$"))
                    .match(run.callLog().at(0))
                    .hasMatch());
        // The record is traced as it is looked up, a moment before the sound starts.
        QTRY_VERIFY(run.sounds().contains(run.file(QStringLiteral("coming.wav"))));

        // A mobile number of the same customer, then one the database does not know.
        modem.command(QStringLiteral("call 13905911234"));
        QVERIFY(run.waitForShown(2));
        QCOMPARE(run.shown().at(1).value(QStringLiteral("来电号码")), QStringLiteral("13905911234(福建省福州市)"));
        QCOMPARE(run.shown().at(1).value(QStringLiteral("客户名称")), QStringLiteral("闽江茶业"));
        modem.command(QStringLiteral("call 01066668888"));
        QVERIFY(run.waitForShown(3));
        QCOMPARE(run.shown().at(2).value(QStringLiteral("来电号码")), QStringLiteral("1066668888(北京市)"));
        QCOMPARE(run.shown().at(2).row(3), QStringLiteral("数据库中没有对应来电的通讯资料信息！"));
        QTRY_COMPARE(run.callLog().size(), 3);
        QVERIFY(run.messages().isEmpty());
        QVERIFY(run.running());
    }

    void modemCallShowsTheAccessCustomer()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        VirtualModemProcess modem;
        ProgramRun run;
        run.copyAreaTable();
        run.writeGbk(
            QStringLiteral("Vornx.ini"),
            QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\n"
                           "ConnectString=Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")
                + AccessFiles::path("nwind.mdb")
                + QStringLiteral(";Persist Security Info=False\r\n"
                           "strSQL=select CompanyName, ContactName, Phone from Customers b where  b.Phone "
                           "like '%#NO#' \r\n"
                           "strSQL1=select a.* from Orders a,Customers b where  a.CustomerID=b.CustomerID "
                           "and \r\n[TABLESET]\r\nFIELD0=公司\r\nFIELD1=联系人\r\nFIELD2=电话\r\nFIELDNUM=3\r\n"));
        run.writeGbk(QStringLiteral("sysset.ini"), deviceSettings(4, modem.path()));
        QVERIFY(run.start());
        QVERIFY(modem.waitReceived(QStringLiteral("AT#CID=1"), 15000));
        QTest::qWait(500);

        modem.command(QStringLiteral("call 0074321"));
        QVERIFY(run.waitForShown(1, 60000)); // the first open copies the Access file
        const ProgramRun::Shown shown = run.shown().at(0);
        QCOMPARE(shown.value(QStringLiteral("来电号码")), QStringLiteral("74321"));
        QCOMPARE(shown.value(QStringLiteral("公司")), QStringLiteral("Alfreds Futterkiste"));
        QCOMPARE(shown.value(QStringLiteral("联系人")), QStringLiteral("Maria Anders"));
        QTRY_COMPARE(run.callLog().size(), 1);
        QVERIFY(run.callLog().at(0).endsWith(QStringLiteral("-#-74321-#-Alfreds Futterkiste")));
        QVERIFY(run.messages().isEmpty());
    }

    void simulatedLineCallShowsTheCustomer()
    {
        ProgramRun run;
        run.copyAreaTable();
        QVERIFY(writeCustomers(run.file(QStringLiteral("cust.db"))));
        run.writeGbk(QStringLiteral("Vornx.ini"),
                     customerSettings(QStringLiteral("Provider=SQLite;Data Source=cust.db")));
        run.write(QStringLiteral("simline.json"), QuietLine);
        run.writeGbk(QStringLiteral("sysset.ini"), deviceSettings(3));
        QVERIFY(run.start());
        QVERIFY(waitLineOpen(run));

        QCOMPARE(run.simline({QStringLiteral("offer"), QStringLiteral("0"), QStringLiteral("02188610490")}).first, 0);
        QVERIFY(run.waitForShown(1));
        QCOMPARE(run.shown().at(0).value(QStringLiteral("来电号码")), QStringLiteral("2188610490(上海市)"));
        QCOMPARE(run.shown().at(0).value(QStringLiteral("客户名称")), QStringLiteral("万达贸易"));
        QTRY_COMPARE(run.callLog().size(), 1);
        QVERIFY(run.callLog().at(0).endsWith(QStringLiteral("-#-2188610490-#-万达贸易")));
        QTRY_VERIFY(run.sounds().contains(run.file(QStringLiteral("ring.wav"))) ||
                    run.sounds().contains(run.file(QStringLiteral("coming.wav"))));
    }

    void addressBookCallShowsTheContact()
    {
        ProgramRun run;
        run.copyAreaTable();
        run.writeGbk(QStringLiteral("Vornx.ini"), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        run.write(QStringLiteral("contacts.vcf"),
                  "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:=C1=D6;=BD=A8=BB=AA\r\n"
                  "FN;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:=C1=D6=BD=A8=BB=AA\r\n"
                  "TEL;CELL:13905911234\r\nEMAIL;INTERNET:lin@example.com\r\nEND:VCARD\r\n");
        run.write(QStringLiteral("simline.json"), QuietLine);
        run.writeGbk(QStringLiteral("sysset.ini"), deviceSettings(3));
        QVERIFY(run.start());
        QVERIFY(waitLineOpen(run));

        QCOMPARE(run.simline({QStringLiteral("offer"), QStringLiteral("0"), QStringLiteral("13905911234")}).first, 0);
        QVERIFY(run.waitForShown(1));
        const ProgramRun::Shown shown = run.shown().at(0);
        QCOMPARE(shown.value(QStringLiteral("来电号码")), QStringLiteral("13905911234(福建省福州市)"));
        QCOMPARE(shown.value(QStringLiteral("客户姓名")), QStringLiteral("林建华"));
        QCOMPARE(shown.value(QStringLiteral("邮件地址")), QStringLiteral("lin@example.com"));
        QTRY_COMPARE(run.callLog().size(), 1);
        QVERIFY(run.callLog().at(0).endsWith(QStringLiteral("-#-13905911234-#-林建华")));
    }

    // What a newcomer gets from a fresh build: the shipped demo line calls by itself once
    // monitoring runs, and the demo database knows the caller.
    void theShippedDefaultShowsTheDemoCall()
    {
        ProgramRun run;
        QFile manifest(QStringLiteral(VORNX_BIN_DIR "/vornx.files"));
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        for (const QByteArray& name : manifest.readAll().split('\n')) {
            if (!name.isEmpty() && !name.contains('/'))
                run.copyShipped(QString::fromUtf8(name));
        }
        QVERIFY(QFile::exists(run.file(QStringLiteral("demo.db"))));
        // As if the newcomer pressed 监控(&S) on the preselected simulated line.
        run.writeGbk(QStringLiteral("sysset.ini"), deviceSettings(3));
        QVERIFY(run.start());

        QVERIFY(run.waitForShown(1, 20000));
        const ProgramRun::Shown shown = run.shown().at(0);
        QCOMPARE(shown.value(QStringLiteral("来电号码")), QStringLiteral("13905911234(福建省福州市)"));
        QCOMPARE(shown.row(3), QStringLiteral("福州闽江茶业有限公司"));
        QTRY_COMPARE(run.callLog().size(), 1);
        QVERIFY(run.messages().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCallRoad)
#include "tst_callroad.moc"
