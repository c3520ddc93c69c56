#pragma once

#include <QObject>
#include <QString>

// The wave player of the sound plugin: the multimedia back-end and its codecs are mapped
// only once the program plays its first sound.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Returns at once; a new sound cuts off the one still playing, and a file that is
    // missing or not a playable wave gives the default beep.
    virtual void play(const QString& path) = 0;
    // The file playing (or loading) now: the one asked for, or the beep's file.
    virtual QString source() const = 0;
};

// The plugin's root object.
class SoundPlugin
{
public:
    virtual ~SoundPlugin() = default;

    // The player is a QObject child of `parent`, which owns it.
    virtual SoundPlayer* createPlayer(QObject* parent) = 0;
};

Q_DECLARE_INTERFACE(SoundPlugin, "io.github.vornx.Sound/1.0")
