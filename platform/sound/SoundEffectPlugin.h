#pragma once

#include "platform/sound/SoundPlugin.h"

#include <QObject>

// Plays wave files with QSoundEffect.
class SoundEffectPlugin final : public QObject, public SoundPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "io.github.vornx.Sound/1.0")
    Q_INTERFACES(SoundPlugin)
    Q_DISABLE_COPY_MOVE(SoundEffectPlugin)

public:
    SoundEffectPlugin() = default;
    SoundPlayer* createPlayer(QObject* parent) override;
};
