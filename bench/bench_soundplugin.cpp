// The cost of the first sound the program plays: loading the sound plugin (and with it the
// multimedia back-end and its libraries), then making the player and starting the ring.
// Each round is a fresh process, as the plugin is loaded once per program.
// Usage: bench_soundplugin [rounds]
#include "bench/Median.h"
#include "platform/PluginLoader.h"
#include "platform/sound/SoundPlugin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// One first sound in this process: milliseconds to load the plugin, then to make the
// player and ask it to play "ring.wav".
int firstSound()
{
    QElapsedTimer timer;
    timer.start();
    QString error;
    auto* plugin = loadPlugin<SoundPlugin>(QStringLiteral("vornx_sound"), &error);
    if (!plugin) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double loadMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    SoundPlayer* player = plugin->createPlayer(QCoreApplication::instance());
    player->play(QStringLiteral(VORNX_BIN_DIR "/ring.wav"));
    std::printf("%.2f %.2f\n", loadMs, timer.nsecsElapsed() / 1e6);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--once"))
        return firstSound();

    const int rounds = std::max(1, args.value(1, QStringLiteral("7")).toInt());
    std::vector<double> load, play, total;
    for (int i = 0; i < rounds; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(app.applicationFilePath(), {QStringLiteral("--once")});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            std::fprintf(stderr, "round %d failed\n", i + 1);
            return 1;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        load.push_back(figures.value(0).toDouble());
        play.push_back(figures.value(1).toDouble());
        total.push_back(load.back() + play.back());
    }
    std::printf("first sound, median of %d fresh processes:\n", rounds);
    std::printf("  plugin loaded (with the multimedia libraries)  %7.2f ms\n", median(load));
    std::printf("  player made and the ring asked to play         %7.2f ms\n", median(play));
    std::printf("  first play in all                               %7.2f ms\n", median(total));
    return 0;
}
