// End to end on a SIP line: the built program with its SIP line chosen and monitoring
// started by the stored settings; a SIP peer (sipp) calls with a customer's number and the
// caller window comes up with the customer and the region, and the call is logged.
#include "tests/e2e/ProgramRun.h"
#include "tests/e2e/SipCaller.h"

class TestSipCall : public QObject
{
    Q_OBJECT

private slots:
    void callOnTheSipLinePopsUpTheCustomer()
    {
        const quint16 port = freeUdpPort();

        ProgramRun run;
        run.copyAreaTable();
        run.copyShipped(QStringLiteral("demo.db"));
        run.copyShipped(QStringLiteral("Vornx.ini"));
        // No simulated line here: the SIP line is the first line device.
        run.write(QStringLiteral("sipline.json"),
                  QStringLiteral(R"({"accounts": [{"user": "8001", "listenOnly": true, "localPort": %1, "allowedPeers": ["127.0.0.1"]}]})")
                      .arg(port)
                      .toUtf8());
        run.write(QStringLiteral("sysset.ini"), "[DEVICESET]\r\nDEVTYPE=3\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n");
        QVERIFY(run.start());

        // Monitoring starts by itself a second after the window comes up; a call that comes
        // before is missed, as on a real line, so the caller tries again until it is seen.
        QProcess sipp;
        for (int attempt = 0; attempt < 20 && run.shown().isEmpty(); ++attempt) {
            QTest::qWait(500);
            QVERIFY(run.running());
            startSipCaller(sipp, port, QStringLiteral(VORNX_TEST_DATA "/sip/offer_cancel.xml"), QStringLiteral("13905911234"),
                           QStringLiteral("Lin"));
            QVERIFY(sipp.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(sipp.state() == QProcess::NotRunning, 20000);
        }
        QVERIFY2(run.waitForShown(1), qPrintable(run.messages().join(QLatin1Char('\n'))));
        // The call that was seen rang, was answered 180 and ended by the caller's CANCEL.
        QCOMPARE(sipp.exitCode(), 0);
        const QString rows = run.shown().first().rows.join(QLatin1Char('\n'));
        QVERIFY2(rows.contains(QStringLiteral("福州闽江茶业有限公司")), qPrintable(rows));
        QVERIFY2(rows.contains(QStringLiteral("福建省福州市")), qPrintable(rows));
        const QStringList log = run.callLog();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().contains(QStringLiteral("13905911234")), qPrintable(log.first()));
    }
};

QTEST_GUILESS_MAIN(TestSipCall)
#include "tst_sipcall.moc"
