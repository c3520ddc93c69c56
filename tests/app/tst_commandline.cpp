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

using Locale = QList<QPair<QString, QString>>;

Run vornx(const QStringList& arguments, const QString& dataDir = {}, const Locale& locale = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!locale.isEmpty()) {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(QLatin1String(name));
        for (const auto& [name, value] : locale)
            env.insert(name, value);
    }
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

    // The answers speak the desktop's language, or the one --lang names; the program's
    // folder, the version and the exit code do not change with it.
    void answersInTheLanguageOfTheDesktop_data()
    {
        QTest::addColumn<Locale>("locale");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usage");
        const QString zh = QStringLiteral("用法：vornx");
        const QString en = QStringLiteral("Usage: vornx");
        const QStringList help{QStringLiteral("--help")};
        const auto lang = [](const char* value) { return QPair{QStringLiteral("LANG"), QLatin1String(value)}; };
        QTest::newRow("LANG=zh_CN") << Locale{lang("zh_CN.UTF-8")} << help << zh;
        QTest::newRow("LANG=C") << Locale{lang("C")} << help << zh;
        QTest::newRow("LANG=en_US") << Locale{lang("en_US.UTF-8")} << help << en;
        QTest::newRow("LC_ALL=en_GB over LANG=zh_CN")
            << Locale{lang("zh_CN.UTF-8"), {QStringLiteral("LC_ALL"), QStringLiteral("en_GB.UTF-8")}} << help << en;
        QTest::newRow("LANG=en_US, --lang zh")
            << Locale{lang("en_US.UTF-8")}
            << QStringList{QStringLiteral("--lang"), QStringLiteral("zh"), QStringLiteral("--help")} << zh;
        QTest::newRow("LANG=zh_CN, --lang=en")
            << Locale{lang("zh_CN.UTF-8")} << QStringList{QStringLiteral("--help"), QStringLiteral("--lang=en")} << en;
    }

    void answersInTheLanguageOfTheDesktop()
    {
        QFETCH(Locale, locale);
        QFETCH(QStringList, arguments);
        QFETCH(QString, usage);
        const Run run = vornx(arguments, {}, locale);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith(usage), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral(VORNX_BIN_DIR "\n")), qPrintable(run.out));
        QVERIFY2(run.out.contains(QLatin1String("--lang zh|en")), qPrintable(run.out));
        const Run version = vornx({QStringLiteral("--version")}, {}, locale);
        QCOMPARE(version.out, QStringLiteral("vornx " VORNX_VERSION "\n"));
    }

    void unknownLanguageIsRefused()
    {
        const Locale english{{QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8")}};
        const Run run = vornx({QStringLiteral("--lang"), QStringLiteral("fr"), QStringLiteral("--help")}, {}, english);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, QStringLiteral("Unknown language \"fr\"; --lang is zh or en.\n"));
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
