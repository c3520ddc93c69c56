#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
};

QTEST_APPLESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
