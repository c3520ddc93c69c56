// The Debian package as a user gets it: built by CPack from this build, checked with the
// tools of the distribution, unpacked into a throw-away root and its programs run from there
// for a user who never ran the program before.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {},
        const QString& workingFolder = {}, int timeoutMs = 120000)
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    Run result;
    if (!process.waitForStarted()) {
        result.err = program + QStringLiteral(": ") + process.errorString();
        return result;
    }
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        result.err = program + QStringLiteral(" did not finish");
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable " + path.toUtf8() + '>');
}

// The files the build ships into every program folder, by its own list.
QStringList shippedNames()
{
    return QString::fromUtf8(contents(QStringLiteral(VORNX_BIN_DIR "/vornx.files")))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listedContents();
    void control();
    void lintianFindsNoError();
    void desktopIntegration();
    void installedCommandLine();
    void firstStartOfAFreshUserShowsTheDemoCall();

private:
    // A user who never ran the program: own home, nothing of the build in the environment.
    QProcessEnvironment freshUser(const QString& name) const;
    QString installed(const QString& path) const { return m_root + QLatin1Char('/') + path; }

    QTemporaryDir m_work;
    QString m_deb;
    QString m_root;
};

void TestPackage::initTestCase()
{
    QVERIFY(m_work.isValid());
    const Run cpack = run(QStringLiteral("cpack"),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), m_work.filePath("out")},
                          {}, QStringLiteral(VORNX_BUILD_DIR), 300000);
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.out + cpack.err));
    const QStringList debs = QDir(m_work.filePath("out")).entryList({QStringLiteral("vornx_*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_deb = m_work.filePath(QStringLiteral("out/") + debs.first());

    m_root = m_work.filePath(QStringLiteral("root"));
    const Run extract = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_root});
    QVERIFY2(extract.exitCode == 0, qPrintable(extract.err));
}

void TestPackage::listedContents()
{
    const Run list = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_deb});
    QVERIFY2(list.exitCode == 0, qPrintable(list.err));
    // "mode owner/group size date time ./path"
    QHash<QString, QString> entries;
    for (const QString& line : list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(fields.size() >= 6, qPrintable(line));
        QCOMPARE(fields.at(1), QStringLiteral("root/root"));
        entries.insert(fields.last().mid(1), fields.first());
    }

    for (const char* program : {"/usr/bin/vornx", "/usr/bin/vmodem", "/usr/bin/simline"})
        QVERIFY2(entries.value(QLatin1String(program)) == QLatin1String("-rwxr-xr-x"), program);

    QStringList expected = {QStringLiteral("/usr/share/vornx/vornx.files"),
                            QStringLiteral("/usr/share/applications/io.github.vornx.desktop"),
                            QStringLiteral("/usr/share/metainfo/io.github.vornx.metainfo.xml"),
                            QStringLiteral("/usr/share/icons/hicolor/scalable/apps/io.github.vornx.svg"),
                            QStringLiteral("/usr/share/doc/vornx/copyright"),
                            QStringLiteral("/usr/share/doc/vornx/changelog.gz")};
    const QStringList shipped = shippedNames();
    QVERIFY(shipped.contains(QStringLiteral("area.dat")));
    QVERIFY(shipped.contains(QStringLiteral("demo.db")));
    for (const QString& name : shipped)
        expected << QStringLiteral("/usr/share/vornx/") + name;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        expected << QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/io.github.vornx.png").arg(size);
    for (const char* page : {"vornx", "vmodem", "simline"})
        expected << QStringLiteral("/usr/share/man/man1/%1.1.gz").arg(QLatin1String(page));
    for (const QString& path : expected)
        QVERIFY2(entries.value(path) == QLatin1String("-rw-r--r--"),
                 qPrintable(path + QStringLiteral(" missing or not 644")));
    // The plugins, where the installed program looks for them from its executable's folder.
    for (const char* plugin : {"vornx_chart", "vornx_sound", "vornx_sip"}) {
        const QString path = QDir::cleanPath(QStringLiteral("/usr/bin/" VORNX_PLUGIN_SUBDIR "/%1.so").arg(QLatin1String(plugin)));
        QVERIFY2(entries.contains(path), qPrintable(path + QStringLiteral(" missing")));
    }

    // Everything lies under /usr.
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        QVERIFY2(it.key() == QLatin1String("/") || it.key().startsWith(QLatin1String("/usr/")), qPrintable(it.key()));
}

void TestPackage::control()
{
    const Run fields = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QStringLiteral("Package"),
                                                        QStringLiteral("Version"), QStringLiteral("Depends")});
    QVERIFY2(fields.exitCode == 0, qPrintable(fields.err));
    QVERIFY2(fields.out.contains(QStringLiteral("Package: vornx\n")), qPrintable(fields.out));
    QVERIFY2(fields.out.contains(QStringLiteral("Version: " VORNX_VERSION "\n")), qPrintable(fields.out));
    // Computed from the linked libraries, with versions, the plugins' included (Qt Charts, Qt
    // Multimedia and sofia-sip are linked by the plugins alone, so their dependencies show the
    // plugins are packaged); the SQL drivers and libmosquitto, opened by name, are named.
    for (const char* dependency : {"libc6 (>=", "libqt6core6 (>=", "libqt6widgets6 (>=", "libqt6serialport6 (>=",
                                   "libqt6multimedia6 (>=", "libqt6charts6 (>=", "libsofia-sip-ua0 (>=",
                                   "libqt6sql6-sqlite", "libmosquitto1"})
        QVERIFY2(fields.out.contains(QLatin1String(dependency)), qPrintable(fields.out));
}

void TestPackage::lintianFindsNoError()
{
    const Run lintian = run(QStringLiteral("lintian"),
                            {QStringLiteral("--tag-display-limit"), QStringLiteral("0"), m_deb}, {}, {}, 300000);
    const QStringList errors = lintian.out.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^E: ")));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.out + lintian.err));
    for (const QString& line : lintian.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        qInfo("%s", qPrintable(line));
}

void TestPackage::desktopIntegration()
{
    const Run desktop = run(QStringLiteral("desktop-file-validate"),
                            {installed(QStringLiteral("usr/share/applications/io.github.vornx.desktop"))});
    QVERIFY2(desktop.exitCode == 0 && !desktop.out.contains(QLatin1String("error")),
             qPrintable(desktop.out + desktop.err));
    const QByteArray entry = contents(installed(QStringLiteral("usr/share/applications/io.github.vornx.desktop")));
    QVERIFY(entry.contains("\nExec=vornx\n"));
    QVERIFY(entry.contains("\nIcon=io.github.vornx\n"));
    QVERIFY(entry.contains("\nCategories=Office;Telephony;\n"));

    const Run appstream = run(QStringLiteral("appstreamcli"),
                              {QStringLiteral("validate"), QStringLiteral("--no-net"),
                               installed(QStringLiteral("usr/share/metainfo/io.github.vornx.metainfo.xml"))});
    QVERIFY2(appstream.exitCode == 0, qPrintable(appstream.out + appstream.err));
    const QByteArray metainfo = contents(installed(QStringLiteral("usr/share/metainfo/io.github.vornx.metainfo.xml")));
    QVERIFY(metainfo.contains("<launchable type=\"desktop-id\">io.github.vornx.desktop</launchable>"));
    QVERIFY(metainfo.contains("<release version=\"" VORNX_VERSION "\""));
    QVERIFY(metainfo.contains("<screenshot type=\"default\">"));

    // Every picture of the icon has the size its folder promises.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImageReader icon(
            installed(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/io.github.vornx.png").arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
    }

    // The manual pages format without a complaint of man or groff.
    for (const char* page : {"vornx", "vmodem", "simline"}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
        const Run man =
            run(QStringLiteral("man"),
                {QStringLiteral("--warnings"), QStringLiteral("-E"), QStringLiteral("UTF-8"), QStringLiteral("-l"),
                 installed(QStringLiteral("usr/share/man/man1/%1.1.gz").arg(QLatin1String(page)))},
                env);
        QVERIFY2(man.exitCode == 0 && man.err.isEmpty(), qPrintable(man.err));
        QVERIFY2(man.out.contains(QLatin1String(page)), page);
    }
}

QProcessEnvironment TestPackage::freshUser(const QString& name) const
{
    const QString home = m_work.filePath(name);
    QDir().mkpath(home);
    QFile::setPermissions(home, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), installed(QStringLiteral("usr/bin")) + QStringLiteral(":/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    // The sanitizer build passes its settings on to the programs it runs.
    for (const char* passed : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (qEnvironmentVariableIsSet(passed))
            env.insert(QLatin1String(passed), qEnvironmentVariable(passed));
    return env;
}

void TestPackage::installedCommandLine()
{
    const QProcessEnvironment env = freshUser(QStringLiteral("cli"));
    const QString vornx = installed(QStringLiteral("usr/bin/vornx"));
    const QString userFolder = env.value(QStringLiteral("HOME")) + QStringLiteral("/.local/share/vornx");

    const Run version = run(vornx, {QStringLiteral("--version")}, env);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("vornx " VORNX_VERSION "\n"));

    const Run help = run(vornx, {QStringLiteral("--help")}, env);
    QCOMPARE(help.exitCode, 0);
    for (const char* option : {"--data-dir", "--region", "--help", "--version", "VORNX_DATA_DIR"})
        QVERIFY2(help.out.contains(QLatin1String(option)), option);
    QVERIFY2(help.out.contains(userFolder), qPrintable(help.out));
    // Asking for help creates no folder.
    QVERIFY(!QFileInfo::exists(userFolder));

    const Run region = run(vornx, {QStringLiteral("--region"), QStringLiteral("13905911234")}, env);
    QVERIFY2(region.exitCode == 0 && region.err.isEmpty(), qPrintable(region.err));
    QCOMPARE(region.out, QStringLiteral("福建省福州市\n"));

    // The first start filled the user's own folder with the package's files, whole and writable.
    for (const QString& name : shippedNames()) {
        const QString copy = userFolder + QLatin1Char('/') + name;
        QVERIFY2(contents(copy) == contents(installed(QStringLiteral("usr/share/vornx/") + name)), qPrintable(copy));
        QVERIFY2(QFileInfo(copy).isWritable(), qPrintable(copy));
    }

    // The installed driver of the simulated line looks in the same folder.
    const Run simline = run(installed(QStringLiteral("usr/bin/simline")), {QStringLiteral("status")}, env);
    QVERIFY(simline.exitCode != 0);
    QVERIFY2(simline.err.contains(userFolder + QStringLiteral("/simline.sock")), qPrintable(simline.err));
}

void TestPackage::firstStartOfAFreshUserShowsTheDemoCall()
{
    QProcessEnvironment env = freshUser(QStringLiteral("desk"));
    const QString userFolder = env.value(QStringLiteral("HOME")) + QStringLiteral("/.local/share/vornx/");
    const QString logs = m_work.filePath(QStringLiteral("desk-logs"));
    QDir().mkpath(logs);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VORNX_MESSAGE_LOG"), logs + QStringLiteral("/messages.log"));
    env.insert(QStringLiteral("VORNX_SOUND_LOG"), logs + QStringLiteral("/sounds.log"));
    env.insert(QStringLiteral("VORNX_CALLER_LOG"), logs + QStringLiteral("/caller.log"));
    // Started the way the desktop entry starts it, by name from the PATH.
    const QString exec =
        QString::fromUtf8(contents(installed(QStringLiteral("usr/share/applications/io.github.vornx.desktop"))))
            .section(QStringLiteral("\nExec="), 1)
            .section(QLatin1Char('\n'), 0, 0);
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(installed(QStringLiteral("usr/bin/")) + exec, {});
    QVERIFY(program.waitForStarted());
    // The user's folder is filled on the first start; monitoring is started here by the stored
    // option, as the user would by the button, and the simulated line rings with its demo call.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(userFolder + QStringLiteral("simline.json")), 20000);
    program.terminate();
    QVERIFY(program.waitForFinished(20000));
    QFile settings(userFolder + QStringLiteral("sysset.ini"));
    QVERIFY(!contents(settings.fileName()).contains("[SYSTEM]"));
    QVERIFY(settings.open(QIODevice::Append));
    settings.write("\r\n[SYSTEM]\r\nAUTOSTART=1\r\n");
    settings.close();

    const QByteArray simline = contents(userFolder + QStringLiteral("simline.json"));
    const QString demoNumber = QRegularExpression(QStringLiteral("\"number\"\\s*:\\s*\"(\\d+)\""))
                                   .match(QString::fromUtf8(simline))
                                   .captured(1);
    QVERIFY2(!demoNumber.isEmpty(), simline.constData());
    const Run region = run(installed(QStringLiteral("usr/bin/vornx")), {QStringLiteral("--region"), demoNumber}, env);
    QCOMPARE(region.exitCode, 0);

    program.start(installed(QStringLiteral("usr/bin/")) + exec, {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(contents(logs + QStringLiteral("/caller.log")).contains("shown "), 30000);
    const QString shown = QString::fromUtf8(contents(logs + QStringLiteral("/caller.log")));
    QVERIFY2(shown.contains(region.out.trimmed()), qPrintable(shown));
    QVERIFY2(shown.contains(demoNumber), qPrintable(shown));
    // The call is kept in the call log of the user's folder.
    QTRY_VERIFY_WITH_TIMEOUT(contents(userFolder + QStringLiteral("Phone.Log")).contains(demoNumber.toLatin1()), 10000);
    program.terminate();
    QVERIFY(program.waitForFinished(20000));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
