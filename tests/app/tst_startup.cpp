#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Starts the built program as a user would, each run in its own runtime and data folder.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void secondStartIsRefused()
    {
        QTemporaryDir runtime;
        QTemporaryDir data;
        const QString log = data.filePath(QStringLiteral("messages.log"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("XDG_CACHE_HOME"), data.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("VORNX_DATA_DIR"), data.filePath(QStringLiteral("prog")));
        env.insert(QStringLiteral("VORNX_MESSAGE_LOG"), log);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(VORNX_BIN_DIR "/vornx"));
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(runtime.path()).entryList({QStringLiteral("vornx-*.lock")}, QDir::Files | QDir::Hidden).isEmpty(),
            10000);
        QTest::qWait(300);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(VORNX_BIN_DIR "/vornx"));
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QFile messages(log);
        QVERIFY(messages.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(messages.readAll()), QStringLiteral("错误\t维诺星已经在运行！\n"));
        QCOMPARE(first.state(), QProcess::Running);

        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        // The first copy is gone, so the program starts again.
        QProcess third;
        third.setProcessEnvironment(env);
        third.start(QStringLiteral(VORNX_BIN_DIR "/vornx"));
        QVERIFY(third.waitForStarted());
        QTest::qWait(1000);
        QCOMPARE(third.state(), QProcess::Running);
        third.terminate();
        QVERIFY(third.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
