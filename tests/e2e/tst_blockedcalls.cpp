// End to end: calls of numbers in the block list, on each kind of line, with the program as
// a user starts it. A blocked call is logged with the remark "黑名单", pops nothing up and
// plays nothing; with answering chosen, the line is answered and hung up (modem), declined
// (SIP) or dropped (simulated line). A call of another number still pops up, so the quiet
// is the block list's doing.
#include "support/VirtualModemProcess.h"
#include "tests/e2e/ProgramRun.h"
#include "tests/e2e/SipCaller.h"

namespace {
QString settings(int devType, bool answer, const QString& com1 = QString())
{
    QString ini =
        QStringLiteral("[DEVICESET]\r\nDEVTYPE=%1\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\nBLOCKANSWER=%2\r\n")
            .arg(devType)
            .arg(answer ? 1 : 0);
    if (!com1.isEmpty())
        ini += QStringLiteral("[PORTS]\r\nCOM1=%1\r\n").arg(com1);
    return ini;
}

void prepare(ProgramRun& run)
{
    run.copyAreaTable();
    for (const char* name : {"demo.db", "Vornx.ini", "ring.wav", "coming.wav"})
        run.copyShipped(QString::fromLatin1(name));
    run.write(QStringLiteral("黑名单.txt"), "13905911234\t推销\n0400*\n");
}

QStringList blockedLines(const ProgramRun& run)
{
    return run.callLog().filter(QStringLiteral("-#-黑名单"));
}

} // namespace

class TestBlockedCalls : public QObject
{
    Q_OBJECT

private slots:
    void modemAnswersAndHangsUp()
    {
        VirtualModemProcess modem;
        QVERIFY(!modem.path().isEmpty());
        ProgramRun run;
        prepare(run);
        run.write(QStringLiteral("sysset.ini"), settings(4, true, modem.path()).toLatin1());
        QVERIFY(run.start());
        QVERIFY2(modem.waitReceived(QStringLiteral("AT#CID=1"), 15000), qPrintable(modem.received().join(' ')));
        QTest::qWait(500);

        modem.command(QStringLiteral("call 004008001234"));
        QVERIFY2(modem.waitReceived(QStringLiteral("ATH0"), 15000), qPrintable(modem.received().join(' ')));
        const QStringList received = modem.received();
        QVERIFY(received.indexOf(QStringLiteral("ATH1")) > received.indexOf(QStringLiteral("AT#CID=1")));
        QVERIFY(received.indexOf(QStringLiteral("ATH1")) < received.indexOf(QStringLiteral("ATH0")));
        QTRY_COMPARE(blockedLines(run).size(), 1);
        QVERIFY2(blockedLines(run).first().contains(QStringLiteral("-#-4008001234-#-")),
                 qPrintable(run.callLog().join('\n')));

        modem.command(QStringLiteral("call 059187654321"));
        QVERIFY(run.waitForShown(1));
        QCOMPARE(run.shown().size(), 1);
        QCOMPARE(run.callLog().size(), 2);
        QTRY_COMPARE(run.sounds().filter(QStringLiteral("coming.wav")).size(), 1);
        QVERIFY(run.messages().isEmpty());
    }

    void sipLineDeclines()
    {
        const quint16 port = freeUdpPort();
        ProgramRun run;
        prepare(run);
        run.write(
            QStringLiteral("sipline.json"),
            QStringLiteral(
                R"({"accounts": [{"user": "8001", "listenOnly": true, "localPort": %1, "allowedPeers": ["127.0.0.1"]}]})")
                .arg(port)
                .toUtf8());
        run.write(QStringLiteral("sysset.ini"), settings(3, true).toLatin1());
        QVERIFY(run.start());

        // Calls before monitoring has started are missed, as on a real line: the caller
        // tries again until one is logged.
        QProcess sipp;
        for (int attempt = 0; attempt < 20 && blockedLines(run).isEmpty(); ++attempt) {
            QTest::qWait(500);
            QVERIFY(run.running());
            startSipCaller(sipp, port, QStringLiteral(VORNX_TEST_DATA "/sip/offer_declined.xml"), QStringLiteral("+8613905911234"),
                           QStringLiteral("Spam"));
            QVERIFY(sipp.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(sipp.state() == QProcess::NotRunning, 20000);
        }
        // The call that was logged got 180 and then 603 Decline.
        QVERIFY2(blockedLines(run).size() == 1, sipp.readAll().constData());
        QVERIFY2(sipp.exitCode() == 0, sipp.readAll().constData());
        QVERIFY2(blockedLines(run).first().contains(QStringLiteral("-#-13905911234-#-")),
                 qPrintable(run.callLog().join('\n')));
        QVERIFY(run.shown().isEmpty());
        QVERIFY(run.sounds().filter(QStringLiteral("coming.wav")).isEmpty());
        QVERIFY(run.messages().isEmpty());
    }

    void simulatedLineDropsWhenAnsweringIsChosen_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("answered") << true;
        QTest::newRow("left ringing") << false;
    }

    void simulatedLineDropsWhenAnsweringIsChosen()
    {
        QFETCH(bool, answer);
        ProgramRun run;
        prepare(run);
        run.write(QStringLiteral("simline.json"), R"({"devices": [{"lineName": "线路一"}]})");
        run.write(QStringLiteral("sysset.ini"), settings(3, answer).toLatin1());
        QVERIFY(run.start());
        QTRY_COMPARE_WITH_TIMEOUT(run.simline({"status"}), (QPair<int, QString>{0, "OK 0 open idle"}), 10000);

        QCOMPARE(run.simline({"offer", "0"}), (QPair<int, QString>{0, "OK"}));
        QTRY_VERIFY_WITH_TIMEOUT(run.sounds().filter(QStringLiteral("ring.wav")).size() >= 1, 5000);
        QCOMPARE(run.simline({"callerid", "0", "+8613905911234"}), (QPair<int, QString>{0, "OK"}));
        QTRY_COMPARE(blockedLines(run).size(), 1);
        if (answer) {
            QTRY_COMPARE(run.simline({"status"}), (QPair<int, QString>{0, "OK 0 open idle"}));
        } else {
            QTest::qWait(1000);
            QVERIFY(run.simline({"status"}).second != QStringLiteral("OK 0 open idle"));
        }
        // The ringing ended with the number: no more rings while the call goes on.
        const int rings = run.sounds().filter(QStringLiteral("ring.wav")).size();
        QTest::qWait(1500);
        QCOMPARE(run.sounds().filter(QStringLiteral("ring.wav")).size(), rings);
        QVERIFY(run.shown().isEmpty());
        QVERIFY(run.sounds().filter(QStringLiteral("coming.wav")).isEmpty());
        QVERIFY2(blockedLines(run).first().contains(QStringLiteral("-#-13905911234-#-")),
                 qPrintable(run.callLog().join('\n')));
        QVERIFY(run.messages().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBlockedCalls)
#include "tst_blockedcalls.moc"
