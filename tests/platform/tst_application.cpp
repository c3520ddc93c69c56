#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fullwidth exclamation") << QStringLiteral("电话号码归属查询数据无法打开！")
                                               << QStringLiteral("电话号码归属查询数据无法打开！.");
        QTest::newRow("letter") << QStringLiteral("Access denied") << QStringLiteral("Access denied.");
        QTest::newRow("digit") << QStringLiteral("code 5") << QStringLiteral("code 5.");
        QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
        QTest::newRow("exclamation") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
        QTest::newRow("hyphen sorts before") << QStringLiteral("a -") << QStringLiteral("a -");
        QTest::newRow("slash sorts after") << QStringLiteral("a/") << QStringLiteral("a/.");
        QTest::newRow("empty") << QString() << QString();
    }
    void fullStopRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(ExceptionReportText(text), shown);
    }

    void errorCarriesItsText()
    {
        try {
            throw Error(QStringLiteral("打开来显示功能失败."));
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("打开来显示功能失败."));
        }
    }

    void lockName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("/usr/bin/vornx") << QStringLiteral("vornx");
        QTest::newRow("upper case") << QStringLiteral("/opt/VORNX.bin") << QStringLiteral("Vornx");
        QTest::newRow("first dot") << QStringLiteral("/x/Vornx.v3.exe") << QStringLiteral("Vornx");
        QTest::newRow("copy") << QStringLiteral("/x/vornx-copy") << QStringLiteral("vornx-copy");
    }
    void lockName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(SingleInstance::lockName(path), name);
    }

    // Each test has its own runtime and cache folders, so that no lock is left in the
    // user's real ones and the runs do not meet.
    void init()
    {
        m_runtime = std::make_unique<QTemporaryDir>();
        m_cache = std::make_unique<QTemporaryDir>();
        m_folder = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", m_cache->path().toLocal8Bit());
    }

    void secondInstanceIsRefusedUntilTheFirstEnds()
    {
        auto first = std::make_unique<SingleInstance>(QStringLiteral("/usr/bin/vornx"), m_folder->path());
        QCOMPARE(first->tryLock(), SingleInstance::Result::Locked);
        QVERIFY(QFileInfo(first->lockFilePaths().first()).dir() == QDir(m_runtime->path()));
        QVERIFY(QFile::exists(first->lockFilePaths().first()));

        // The same folder named another way is the same folder.
        SingleInstance second(QStringLiteral("/elsewhere/vornx"), m_folder->path() + QStringLiteral("/./"));
        QCOMPARE(second.tryLock(), SingleInstance::Result::AlreadyRunning);
        SingleInstance renamed(QStringLiteral("/usr/bin/vornx2"), m_folder->path());
        QCOMPARE(renamed.tryLock(), SingleInstance::Result::Locked);

        first.reset();
        QCOMPARE(second.tryLock(), SingleInstance::Result::Locked);
    }

    // The lock is taken before a new program folder is made; a copy started once it exists
    // meets the same lock.
    void folderMadeAfterTheLockIsTheSameFolder()
    {
        const QString folder = m_folder->filePath(QStringLiteral("new/prog"));
        SingleInstance first(QStringLiteral("/usr/bin/vornx"), folder);
        QCOMPARE(first.tryLock(), SingleInstance::Result::Locked);
        QVERIFY(QDir().mkpath(folder));
        SingleInstance second(QStringLiteral("/usr/bin/vornx"), folder);
        QCOMPARE(second.tryLock(), SingleInstance::Result::AlreadyRunning);
    }

    void copiesOnOtherProgramFoldersRunSideBySide()
    {
        QTemporaryDir other;
        SingleInstance first(QStringLiteral("/usr/bin/vornx"), m_folder->path());
        SingleInstance second(QStringLiteral("/usr/bin/vornx"), other.path());
        QCOMPARE(first.tryLock(), SingleInstance::Result::Locked);
        QCOMPARE(second.tryLock(), SingleInstance::Result::Locked);
    }

    // A start from a session with the runtime folder and one from outside it (a cron job,
    // a shell without it) find each other.
    void startsWithAndWithoutTheRuntimeFolderMeet()
    {
        SingleInstance withIt(QStringLiteral("/usr/bin/vornx"), m_folder->path());
        QCOMPARE(withIt.tryLock(), SingleInstance::Result::Locked);
        qunsetenv("XDG_RUNTIME_DIR");
        SingleInstance without(QStringLiteral("/usr/bin/vornx"), m_folder->path());
        QCOMPARE(without.tryLock(), SingleInstance::Result::AlreadyRunning);
        for (const QString& path : without.lockFilePaths())
            QVERIFY2(!path.startsWith(QDir::tempPath() + QLatin1Char('/')) || path.startsWith(m_cache->path()),
                     qPrintable(path));
    }

    // A runtime folder others can write into is not used: a lock planted there, naming a
    // live copy of the program, does not keep the program from starting.
    void lockPlantedInASharedFolderIsIgnored()
    {
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
        qputenv("XDG_RUNTIME_DIR", shared.path().toLocal8Bit());
        SingleInstance probe(QStringLiteral("/usr/bin/vornx"), m_folder->path());
        const QString name = QFileInfo(probe.lockFilePaths().first()).fileName();
        QFile planted(QDir(shared.path()).filePath(name));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                      QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() +
                      '\n');
        planted.close();

        SingleInstance instance(QStringLiteral("/usr/bin/vornx"), m_folder->path());
        QCOMPARE(instance.tryLock(), SingleInstance::Result::Locked);
        for (const QString& path : instance.lockFilePaths())
            QVERIFY2(!path.startsWith(shared.path()), qPrintable(path));
    }

    // A lock that cannot be made is reported as such, not as a copy already running.
    void unwritableRuntimeFolderIsReportedAsSuch()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser writes into any folder");
        QVERIFY(QFile::setPermissions(m_runtime->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        SingleInstance instance(QStringLiteral("/usr/bin/vornx"), m_folder->path());
        QString error;
        QCOMPARE(instance.tryLock(&error), SingleInstance::Result::Failed);
        QVERIFY2(error.contains(m_runtime->path()) && error.contains(QStringLiteral("没有权限")), qPrintable(error));
        QVERIFY(QFile::setPermissions(m_runtime->path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_cache;
    std::unique_ptr<QTemporaryDir> m_folder;
};

QTEST_GUILESS_MAIN(TestApplication)
#include "tst_application.moc"
