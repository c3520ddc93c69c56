// The built program's --help and --version, run as a script or a packager would: no display.
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

Run vornx(const QStringList& arguments, const QString& dataDir = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display: neither answer may need one.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("VORNX_DATA_DIR"));
    if (!dataDir.isEmpty())
        env.insert(QStringLiteral("VORNX_DATA_DIR"), dataDir);
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

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void version()
    {
        const Run run = vornx({QStringLiteral("--version")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("vornx " VORNX_VERSION "\n"));
        QCOMPARE(run.err, QString());
    }

    void helpNamesOptionsAndTheFolderInUse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")};
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")};
        // Help wins over a region query and answers nothing else.
        QTest::newRow("with --region") << QStringList{QStringLiteral("--region"), QStringLiteral("13905911234"),
                                                      QStringLiteral("--help")};
    }

    void helpNamesOptionsAndTheFolderInUse()
    {
        QFETCH(QStringList, arguments);
        const Run run = vornx(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        for (const char* option : {"--data-dir", "--region", "--help", "--version", "VORNX_DATA_DIR"})
            QVERIFY2(run.out.contains(QLatin1String(option)), option);
        // A program run from its build folder keeps its files there.
        QVERIFY2(run.out.contains(QStringLiteral(VORNX_BIN_DIR "\n")), qPrintable(run.out));
        QVERIFY2(!run.out.contains(QStringLiteral("福建省")), qPrintable(run.out));
    }

    void helpNamesTheChosenFolderWithoutCreatingIt()
    {
        QTemporaryDir dir;
        const QString option = dir.filePath(QStringLiteral("option"));
        const QString environment = dir.filePath(QStringLiteral("environment"));
        Run run = vornx({QStringLiteral("--help")}, environment);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(environment + QLatin1Char('\n')), qPrintable(run.out));
        run = vornx({QStringLiteral("--data-dir"), option, QStringLiteral("--help")}, environment);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(option + QLatin1Char('\n')), qPrintable(run.out));
        QVERIFY(!QFileInfo::exists(option));
        QVERIFY(!QFileInfo::exists(environment));
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
