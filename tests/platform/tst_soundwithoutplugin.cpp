#include "platform/sound/Sound.h"

#include <QRegularExpression>
#include <QtTest>

// Run from a folder with no plugins beside it and none on Qt's paths.
class TestSoundWithoutPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("VORNX_SOUND_LOG"); }

    void soundsAreSkippedAndTheMissingPluginToldOnce()
    {
        const QString ring = QStringLiteral(VORNX_BIN_DIR "/ring.wav");
        QVERIFY(QFile::exists(ring));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^无法播放声音: .*vornx_sound")));
        Sound::play(ring);
        QCOMPARE(Sound::source(), QString());

        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        Sound::play(ring);
        Sound::play(QStringLiteral(VORNX_BIN_DIR "/coming.wav"));
        QCOMPARE(Sound::source(), QString());
    }
};

QTEST_GUILESS_MAIN(TestSoundWithoutPlugin)
#include "tst_soundwithoutplugin.moc"
