#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// An installed tree under root: usr/bin for the executable, usr/share/vornx with the shipped
// files and their manifest, read-only as a package leaves them for a user.
void makeInstalledTree(const QString& root)
{
    QDir().mkpath(root + QStringLiteral("/usr/bin"));
    const QString share = root + QStringLiteral("/usr/share/vornx/");
    writeFile(share + QStringLiteral("vornx.files"), "area.dat\nhelp/a.htm\n");
    writeFile(share + QStringLiteral("area.dat"), "table");
    writeFile(share + QStringLiteral("help/a.htm"), "page");
    for (const char* name : {"area.dat", "help/a.htm"})
        QFile::setPermissions(share + QString::fromLatin1(name), QFileDevice::ReadOwner | QFileDevice::ReadOther);
}

// Sets or clears an environment variable for one test and restores it afterwards.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~EnvironmentVariable()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};
} // namespace

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void optionAndEnvironmentNameTheFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("prog"));
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx"), QStringLiteral("--data-dir"), folder}));
        QCOMPARE(ProgramFolder::path(), folder + QLatin1Char('/'));
        QVERIFY(QDir(folder).exists());
        QCOMPARE(ProgramFolder::file(QStringLiteral("sysset.ini")), folder + QStringLiteral("/sysset.ini"));

        const QString other = dir.filePath(QStringLiteral("env"));
        qputenv("VORNX_DATA_DIR", other.toLocal8Bit());
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx")}));
        QCOMPARE(ProgramFolder::path(), other + QLatin1Char('/'));
        // The option wins over the environment.
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx"), QStringLiteral("--data-dir=") + folder}));
        QCOMPARE(ProgramFolder::path(), folder + QLatin1Char('/'));
        qunsetenv("VORNX_DATA_DIR");
    }

    void shippedFilesAreCopiedOnlyIntoAnEmptyFolder()
    {
        QTemporaryDir shipped;
        QFile manifest(shipped.filePath(QStringLiteral("vornx.files")));
        QVERIFY(manifest.open(QIODevice::WriteOnly));
        manifest.write("area.dat\nhelp/a.htm\nmissing.wav\n");
        manifest.close();
        QDir(shipped.path()).mkpath(QStringLiteral("help"));
        for (const char* name : {"area.dat", "help/a.htm"}) {
            QFile f(shipped.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(name);
        }

        QTemporaryDir target;
        QVERIFY(ProgramFolder::copyShippedFiles(shipped.path(), target.path()));
        QVERIFY(QFile::exists(target.filePath(QStringLiteral("area.dat"))));
        QVERIFY(QFile::exists(target.filePath(QStringLiteral("help/a.htm"))));
        QVERIFY(!QFile::exists(target.filePath(QStringLiteral("missing.wav"))));

        // A file the user changed is never overwritten.
        QFile own(target.filePath(QStringLiteral("area.dat")));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("mine");
        own.close();
        QVERIFY(ProgramFolder::copyShippedFiles(shipped.path(), target.path()));
        QVERIFY(own.open(QIODevice::ReadOnly));
        QCOMPARE(own.readAll(), QByteArray("mine"));
    }

    void installedProgramFillsAFolderOfEachUser()
    {
        QTemporaryDir root;
        makeInstalledTree(root.path());
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        const QString dataHome = root.filePath(QStringLiteral("home/data"));
        EnvironmentVariable noFolder("VORNX_DATA_DIR", QString());
        EnvironmentVariable xdg("XDG_DATA_HOME", dataHome);

        QVERIFY(ProgramFolder::isInstalled(bin));
        QCOMPARE(ProgramFolder::shippedFolder(bin), root.filePath(QStringLiteral("usr/share/vornx")));
        QString error;
        QVERIFY2(ProgramFolder::init({QStringLiteral("vornx")}, bin, &error), qPrintable(error));
        const QString user = dataHome + QStringLiteral("/vornx/");
        QCOMPARE(ProgramFolder::path(), user);
        QCOMPARE(readFile(user + QStringLiteral("area.dat")), QByteArray("table"));
        QCOMPARE(readFile(user + QStringLiteral("help/a.htm")), QByteArray("page"));
        // The copies belong to the user, although the package's files are read-only.
        QVERIFY(QFileInfo(user + QStringLiteral("area.dat")).permissions() & QFileDevice::WriteOwner);

        // The second start keeps what the user changed or removed.
        writeFile(user + QStringLiteral("area.dat"), "mine");
        QVERIFY(QFile::remove(user + QStringLiteral("help/a.htm")));
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx")}, bin));
        QCOMPARE(readFile(user + QStringLiteral("area.dat")), QByteArray("mine"));
        QVERIFY(!QFile::exists(user + QStringLiteral("help/a.htm")));

        // A named folder is still filled from the package's files.
        const QString named = root.filePath(QStringLiteral("named"));
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx"), QStringLiteral("--data-dir"), named}, bin));
        QCOMPARE(ProgramFolder::path(), named + QLatin1Char('/'));
        QCOMPARE(readFile(named + QStringLiteral("/area.dat")), QByteArray("table"));
    }

    void installedProgramWithoutDataHomeUsesTheHomeFolder()
    {
        QTemporaryDir root;
        makeInstalledTree(root.path());
        EnvironmentVariable noFolder("VORNX_DATA_DIR", QString());
        EnvironmentVariable noXdg("XDG_DATA_HOME", QString());
        EnvironmentVariable home("HOME", root.filePath(QStringLiteral("home")));
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx")}, root.filePath(QStringLiteral("usr/bin"))));
        const QString user = root.filePath(QStringLiteral("home/.local/share/vornx/"));
        QCOMPARE(ProgramFolder::path(), user);
        QCOMPARE(readFile(user + QStringLiteral("area.dat")), QByteArray("table"));
    }

    void buildFolderStaysTheProgramFolder()
    {
        // A build folder in a prefix that also holds an installed program: the build's own
        // files win, and nothing is copied anywhere.
        QTemporaryDir root;
        makeInstalledTree(root.path());
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        writeFile(bin + QStringLiteral("/vornx.files"), "area.dat\n");
        writeFile(bin + QStringLiteral("/area.dat"), "build");
        const QString dataHome = root.filePath(QStringLiteral("home/data"));
        EnvironmentVariable noFolder("VORNX_DATA_DIR", QString());
        EnvironmentVariable xdg("XDG_DATA_HOME", dataHome);
        QVERIFY(!ProgramFolder::isInstalled(bin));
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx")}, bin));
        QCOMPARE(ProgramFolder::path(), bin + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(dataHome));

        // An executable with nothing shipped anywhere uses its own folder as before.
        QTemporaryDir bare;
        QVERIFY(!ProgramFolder::isInstalled(bare.path()));
        QVERIFY(ProgramFolder::init({QStringLiteral("vornx")}, bare.path()));
        QCOMPARE(ProgramFolder::path(), bare.path() + QLatin1Char('/'));
    }

    void uncreatableUserFolderIsReported()
    {
        QTemporaryDir root;
        makeInstalledTree(root.path());
        // A file where the data folder should be: no user, root included, can make it.
        writeFile(root.filePath(QStringLiteral("blocked")), "file");
        EnvironmentVariable noFolder("VORNX_DATA_DIR", QString());
        EnvironmentVariable xdg("XDG_DATA_HOME", root.filePath(QStringLiteral("blocked")));
        QString error;
        QVERIFY(!ProgramFolder::init({QStringLiteral("vornx")}, root.filePath(QStringLiteral("usr/bin")), &error));
        QVERIFY2(error.contains(root.filePath(QStringLiteral("blocked/vornx"))), qPrintable(error));
    }
};

QTEST_APPLESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
