// Calls that come while nobody is at the PC and the customer database cannot be reached:
// the failure boxes stay open, unanswered, and every call must still be shown and logged,
// once each, in the order the calls came, each with its own number.
#include "e2e/ProgramRun.h"
#include "support/VirtualModemProcess.h"

#include <QRegularExpression>
#include <QtTest>

class TestUnattendedCalls : public QObject
{
    Q_OBJECT

private slots:
    void callsDuringAnOutageAreAllLogged_data()
    {
        QTest::addColumn<QString>("fieldNum");
        QTest::newRow("settings as written") << QStringLiteral("1");
        // A hand-edited count that does not read adds a box before the first lookup.
        QTest::newRow("settings edited by hand") << QStringLiteral("one");
    }

    void callsDuringAnOutageAreAllLogged()
    {
        QFETCH(QString, fieldNum);
        VirtualModemProcess modem;
        QVERIFY(!modem.path().isEmpty());
        ProgramRun run;
        run.leaveBoxesUnanswered();
        // An ODBC data source the machine does not know: every connection attempt fails.
        run.writeGbk(QStringLiteral("Vornx.ini"),
                     QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\n"
                                    "ConnectString=Provider=MSDASQL.1;Data Source=vornx_unreachable\r\n"
                                    "strSQL=select Name from Unit b where b.Phone like '%#NO#' \r\n"
                                    "strSQL1=select a.* from BillIndex a,Unit b where a.UnitID=b.ID and \r\n"
                                    "[TABLESET]\r\nFIELD0=客户名称\r\nFIELDNUM=%1\r\n")
                         .arg(fieldNum));
        run.writeGbk(QStringLiteral("sysset.ini"),
                     QStringLiteral("[DEVICESET]\r\nDEVTYPE=4\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n"
                                    "[PORTS]\r\nCOM1=%1\r\n")
                         .arg(modem.path()));
        QVERIFY(run.start());
        QVERIFY2(modem.waitReceived(QStringLiteral("AT#CID=1"), 15000), qPrintable(modem.received().join(' ')));
        QTest::qWait(500);

        const QStringList delivered = {QStringLiteral("059187654321"), QStringLiteral("13905911234"),
                                       QStringLiteral("02188610490")};
        for (const QString& number : delivered) {
            modem.command(QStringLiteral("call ") + number);
            QTest::qWait(200);
        }

        const QStringList logged = {QStringLiteral("59187654321"), QStringLiteral("13905911234"),
                                    QStringLiteral("2188610490")};
        QTRY_COMPARE_WITH_TIMEOUT(run.callLog().size(), 3, 20000);
        // Nothing more comes later either.
        QTest::qWait(1000);
        const QStringList log = run.callLog();
        QCOMPARE(log.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QRegularExpression line(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d-#-") + logged.at(i) +
                                          QStringLiteral("-#-数据库无法打开，未能查找来电资料！$"));
            QVERIFY2(line.match(log.at(i)).hasMatch(), qPrintable(log.join(QLatin1Char('\n'))));
        }
        // Each call was shown with its own number, in the order the calls came.
        QVERIFY(run.waitForShown(3));
        QCOMPARE(run.shown().size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(run.shown().at(i).row(1), logged.at(i));
        QVERIFY(run.running());
    }
};

QTEST_GUILESS_MAIN(TestUnattendedCalls)
#include "tst_unattendedcalls.moc"
