#include "platform/sound/Sound.h"

#include "platform/PluginLoader.h"
#include "platform/sound/SoundPlugin.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSound, "vornx.sound")

namespace {
Sound::Handler g_handler;
SoundPlayer* g_player = nullptr;

// The sound plugin is loaded at the first sound played, and only tried once: without it the
// program goes on silently, which it says once.
SoundPlayer* player()
{
    static bool tried = false;
    if (!tried) {
        tried = true;
        QString error;
        if (auto* plugin = loadPlugin<SoundPlugin>(QStringLiteral("vornx_sound"), &error))
            // Parented to the application so that it goes before the multimedia back-end does.
            g_player = plugin->createPlayer(QCoreApplication::instance());
        else
            qCWarning(lcSound).noquote() << QCoreApplication::translate("Sound", "无法播放声音: %1").arg(error);
    }
    return g_player;
}
} // namespace

void Sound::play(const QString& path)
{
    if (g_handler) {
        g_handler(path);
        return;
    }
    const QString logPath = qEnvironmentVariable("VORNX_SOUND_LOG");
    if (!logPath.isEmpty()) {
        QFile log(logPath);
        if (log.open(QIODevice::WriteOnly | QIODevice::Append))
            log.write(path.toUtf8() + '\n');
        return;
    }
    if (SoundPlayer* p = player())
        p->play(path);
}

void Sound::setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

QString Sound::source()
{
    return g_player ? g_player->source() : QString();
}
