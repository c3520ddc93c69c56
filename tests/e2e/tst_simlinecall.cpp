// End to end on the simulated line: three line devices of which the second refuses to
// negotiate, the third chosen by the stored settings and monitored; a call is rung into the
// running program with the simline tool, rings, and its caller ID pops up the customer.
#include "tests/e2e/ProgramRun.h"

class TestSimLineCall : public QObject
{
    Q_OBJECT

private slots:
    void callRungFromOutsideRingsAndPopsUp()
    {
        ProgramRun run;
        run.copyAreaTable();
        for (const char* name : {"demo.db", "Vornx.ini", "ring.wav", "coming.wav"})
            run.copyShipped(QString::fromLatin1(name));
        run.write(QStringLiteral("simline.json"), R"({"devices": [
            {"lineName": "线路一"},
            {"lineName": "旧线路", "negotiateError": "0x8000000C"},
            {"lineName": "线路三"}]})");
        // Item 1 of the list is device 2: the refused device has no item.
        run.write(QStringLiteral("sysset.ini"), "[DEVICESET]\r\nDEVTYPE=3\r\nDEVNUM=1\r\n[SYSTEM]\r\nAUTOSTART=1\r\n");
        QVERIFY(run.start());
        QTRY_COMPARE_WITH_TIMEOUT(run.simline({"status"}),
                                  (QPair<int, QString>{0, "OK 0 closed idle; 1 closed idle; 2 open idle"}), 10000);

        QCOMPARE(run.simline({"offer", "2"}), (QPair<int, QString>{0, "OK"}));
        // The ring goes on every second until the number arrives.
        QTRY_VERIFY_WITH_TIMEOUT(run.sounds().filter(QStringLiteral("ring.wav")).size() >= 2, 5000);
        QCOMPARE(run.simline({"callerid", "2", "013905911234"}), (QPair<int, QString>{0, "OK"}));
        QVERIFY2(run.waitForShown(1), qPrintable(run.messages().join(QLatin1Char('\n'))));
        const QString rows = run.shown().first().rows.join(QLatin1Char('\n'));
        QVERIFY2(rows.contains(QStringLiteral("福州闽江茶业有限公司")), qPrintable(rows));
        QVERIFY2(rows.contains(QStringLiteral("福建省福州市")), qPrintable(rows));
        // The pop-up ended the ringing.
        const int rings = run.sounds().filter(QStringLiteral("ring.wav")).size();
        QTest::qWait(1500);
        QCOMPARE(run.sounds().filter(QStringLiteral("ring.wav")).size(), rings);
        QCOMPARE(run.simline({"disconnect", "2"}), (QPair<int, QString>{0, "OK"}));
        QTRY_COMPARE(run.simline({"status"}),
                     (QPair<int, QString>{0, "OK 0 closed idle; 1 closed idle; 2 open idle"}));
        QVERIFY(run.messages().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimLineCall)
#include "tst_simlinecall.moc"
