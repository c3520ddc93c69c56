// Drives the built executable's "--region" query from outside, as a script would.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run vornx(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display: the query must not need one.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("VORNX_DATA_DIR"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VORNX_BIN_DIR "/vornx"), arguments);
    Run run;
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
} // namespace

class TestRegionCommand : public QObject
{
    Q_OBJECT

private slots:
    void shippedTable_data();
    void shippedTable();
    void ownTableAndFormOfOption();
    void badArguments();
    void unopenableTable();
    void damagedTableStillAnswers();
};

void TestRegionCommand::shippedTable_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("answer");
    QTest::newRow("mobile") << "13905911234"
                            << "福建省福州市";
    QTest::newRow("area code") << "0591123456"
                               << "福建省福州市";
    QTest::newRow("local") << "12345678"
                           << "本地号码";
    QTest::newRow("leading zeros") << "000108765432"
                                   << "北京市";
    QTest::newRow("no record") << "19912345678"
                               << "系统中无此号码记录，请提交给软件作者";
}

void TestRegionCommand::shippedTable()
{
    QFETCH(QString, number);
    QFETCH(QString, answer);
    // An empty program folder gets the shipped files, the region table among them.
    QTemporaryDir folder;
    const Run run = vornx({QStringLiteral("--data-dir"), folder.path(), QStringLiteral("--region"), number});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, answer + QLatin1Char('\n'));
}

void TestRegionCommand::ownTableAndFormOfOption()
{
    QTemporaryDir folder;
    QFile table(folder.filePath(QStringLiteral("area.dat")));
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write("0591    \rmine\r\n");
    table.close();
    const Run run = vornx({QStringLiteral("--region=591234567"), QStringLiteral("--data-dir=") + folder.path()});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("mine\n"));
}

void TestRegionCommand::badArguments()
{
    QTemporaryDir folder;
    for (const QStringList& arguments : {QStringList{QStringLiteral("--region")},
                                         QStringList{QStringLiteral("--region"), QStringLiteral("0591-1234567")}}) {
        const Run run = vornx(QStringList{QStringLiteral("--data-dir"), folder.path()} + arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QString());
        QVERIFY(!run.err.isEmpty());
    }
}

void TestRegionCommand::unopenableTable()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("area.dat")));
    const Run run =
        vornx({QStringLiteral("--data-dir"), folder.path(), QStringLiteral("--region"), QStringLiteral("13905911234")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, QStringLiteral("电话号码归属查询数据无法打开！\n"));
}

void TestRegionCommand::damagedTableStillAnswers()
{
    QTemporaryDir folder;
    QFile table(folder.filePath(QStringLiteral("area.dat")));
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write("010     \r" + QByteArray(60, 'x') + "\r\n0591    \rmine\r\n");
    table.close();
    const Run run =
        vornx({QStringLiteral("--data-dir"), folder.path(), QStringLiteral("--region"), QStringLiteral("591234567")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("mine\n"));
    QCOMPARE(run.err,
             QStringLiteral("电话号码归属查询数据中有1条记录无效，已跳过（RegionRecord类District字段过长）\n"));
}

QTEST_GUILESS_MAIN(TestRegionCommand)
#include "tst_regioncommand.moc"
