// Faults around the running program, end to end on the simulated line: two copies started
// together, garbage in every file it reads, and a call log the disk refuses. In each case
// the calls are still shown and nothing already logged is lost.
#include "tests/e2e/ProgramRun.h"

#include <QRandomGenerator>

namespace {

const QByteArray SimulatedLineSettings = "\r\n[DEVICESET]\r\nDEVTYPE=3\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n";
const QString LogFailed = QStringLiteral("日志文件无法打开或创建！");

QByteArray garbage(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(size);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private:
    // A call on the simulated line's only device, as the exchange presents it.
    static bool call(const ProgramRun& run, const QString& number)
    {
        if (run.simline({"offer", "0"}).second != QLatin1String("OK") || run.simline({"callerid", "0", number}).second != QLatin1String("OK"))
            return false;
        return run.simline({"disconnect", "0"}).second == QLatin1String("OK");
    }
    static void startMonitoring(ProgramRun& run, const QByteArray& sysset)
    {
        run.write(QStringLiteral("simline.json"), R"({"devices": [{"lineName": "线路一"}]})");
        run.write(QStringLiteral("sysset.ini"), sysset);
        QVERIFY(run.start());
        QTRY_COMPARE_WITH_TIMEOUT(run.simline({"status"}).second, QStringLiteral("OK 0 open idle"), 15000);
    }

private slots:
    void twoCopiesStartedAtOnceRunOnce()
    {
        QTemporaryDir dir;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("VORNX_DATA_DIR"), dir.filePath(QStringLiteral("prog")));
        env.insert(QStringLiteral("VORNX_MESSAGE_LOG"), dir.filePath(QStringLiteral("messages.log")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess copies[2];
        for (QProcess& copy : copies) {
            copy.setProcessEnvironment(env);
            copy.start(QStringLiteral(VORNX_BIN_DIR "/vornx"));
        }
        for (QProcess& copy : copies)
            QVERIFY(copy.waitForStarted());
        // The loser ends by itself; the winner keeps running.
        QTRY_VERIFY_WITH_TIMEOUT(copies[0].state() == QProcess::NotRunning || copies[1].state() == QProcess::NotRunning,
                                 15000);
        QTest::qWait(1000);
        const int running = int(copies[0].state() == QProcess::Running) + int(copies[1].state() == QProcess::Running);
        QCOMPARE(running, 1);
        QProcess& loser = copies[0].state() == QProcess::Running ? copies[1] : copies[0];
        QCOMPARE(loser.exitStatus(), QProcess::NormalExit);
        QFile messages(dir.filePath(QStringLiteral("messages.log")));
        QVERIFY(messages.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(messages.readAll()), QStringLiteral("错误\t维诺星已经在运行！\n"));
        QProcess& winner = copies[0].state() == QProcess::Running ? copies[0] : copies[1];
        winner.terminate();
        QVERIFY(winner.waitForFinished(10000));
    }

    // Settings, data-source description, region table and contacts all damaged: the program
    // starts, names the region table's damage, and shows and logs calls with what is left.
    void garbageInEveryFileLeavesTheRestWorking()
    {
        ProgramRun run;
        QByteArray table;
        {
            QFile full(QStringLiteral(VORNX_BIN_DIR "/area.dat"));
            QVERIFY(full.open(QIODevice::ReadOnly));
            table = full.read(4000);
        }
        // Some region records, then garbage.
        run.write(QStringLiteral("area.dat"), table.left(table.lastIndexOf(' ')) + ' ' + garbage(3000));
        run.write(QStringLiteral("Vornx.ini"), garbage(2000));
        run.write(QStringLiteral("contacts.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + garbage(500));
        startMonitoring(run, garbage(1500) + SimulatedLineSettings);

        QVERIFY(call(run, QStringLiteral("059112345678")));
        QVERIFY2(run.waitForShown(1), qPrintable(run.messages().join(QLatin1Char('\n'))));
        QVERIFY(run.running());
        const ProgramRun::Shown shown = run.shown().first();
        const QString rows = shown.rows.join(QLatin1Char('\n'));
        QVERIFY2(rows.contains(QStringLiteral("59112345678")), qPrintable(rows));
        QVERIFY2(shown.row(2).startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))), qPrintable(rows));
        QVERIFY2(run.messages().join(QLatin1Char('\n')).contains(QStringLiteral("电话号码归属查询数据中有")),
                 qPrintable(run.messages().join(QLatin1Char('\n'))));
        QTRY_COMPARE(run.callLog().size(), 1);
        QVERIFY(run.callLog().first().contains(QStringLiteral("-#-59112345678-#-")));
    }

    // The disk refuses the call log: the user is told, the call is still shown, the records
    // logged before stay, and logging goes on once the disk takes writes again.
    void callLogOnAFullDisk()
    {
        ProgramRun run;
        run.copyAreaTable();
        const QByteArray earlier = "2026-12-01 09:00:00-#-8861049-#-earlier\r\r\n";
        run.write(QStringLiteral("Phone.Log.kept"), earlier);
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), run.file(QStringLiteral("Phone.Log"))));
        startMonitoring(run, SimulatedLineSettings);

        QVERIFY(call(run, QStringLiteral("13912345678")));
        QVERIFY(run.waitForShown(1));
        QVERIFY(run.shown().first().rows.join(QLatin1Char('\n')).contains(QStringLiteral("13912345678")));
        QTRY_VERIFY(run.messages().join(QLatin1Char('\n')).contains(LogFailed));
        QVERIFY(run.running());

        // Room again: the log the user had comes back and takes the next call.
        QVERIFY(QFile::remove(run.file(QStringLiteral("Phone.Log"))));
        QVERIFY(QFile::rename(run.file(QStringLiteral("Phone.Log.kept")), run.file(QStringLiteral("Phone.Log"))));
        QVERIFY(call(run, QStringLiteral("059187654321")));
        QVERIFY(run.waitForShown(2));
        QTRY_COMPARE(run.callLog().size(), 2);
        QCOMPARE(run.callLog().first(), QStringLiteral("2026-12-01 09:00:00-#-8861049-#-earlier"));
        QVERIFY(run.callLog().last().contains(QStringLiteral("-#-59187654321-#-")));
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
