#include "platform/sound/Sound.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSound : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("VORNX_SOUND_LOG"); }

    void aWaveFilePlaysAndANewOneReplacesIt()
    {
        const QString ring = QStringLiteral(VORNX_BIN_DIR "/ring.wav");
        const QString coming = QStringLiteral(VORNX_BIN_DIR "/coming.wav");
        QVERIFY2(QFile::exists(ring) && QFile::exists(coming), "the build synthesises both sounds");

        Sound::play(ring);
        QCOMPARE(Sound::source(), ring);
        Sound::play(coming);
        QCOMPARE(Sound::source(), coming);
        // A good file is decoded without falling back to the beep.
        QTest::qWait(300);
        QCOMPARE(Sound::source(), coming);
    }

    void aMissingOrBrokenFileGivesTheBeep()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("ring.wav"));
        Sound::play(missing);
        const QString beep = Sound::source();
        QVERIFY(beep != missing);
        QVERIFY(QFile::exists(beep));

        const QString broken = dir.filePath(QStringLiteral("coming.wav"));
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a wave file");
        f.close();
        Sound::play(broken);
        // The decoder's verdict comes from its own thread, late on a busy machine.
        QTRY_COMPARE_WITH_TIMEOUT(Sound::source(), beep, 20000);
    }

    void endToEndRunsLogWhatIsPlayed()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("sounds.log"));
        qputenv("VORNX_SOUND_LOG", log.toLocal8Bit());
        Sound::play(QStringLiteral("/x/ring.wav"));
        Sound::play(QStringLiteral("/x/coming.wav"));
        qunsetenv("VORNX_SOUND_LOG");
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("/x/ring.wav\n/x/coming.wav\n"));
    }
};

QTEST_GUILESS_MAIN(TestSound)
#include "tst_sound.moc"
