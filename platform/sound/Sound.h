#pragma once

#include <QString>

#include <functional>

// Plays wave files the way the desktop's asynchronous sound call does: play() returns at
// once, one sound plays at a time for the whole program (a new one cuts off the one still
// playing), and a file that is missing or not a playable wave gives the default beep.
// The player comes from the sound plugin, loaded at the first sound; without the plugin
// nothing is played and the program goes on.
namespace Sound {

void play(const QString& path);

// The file the player plays (or loads) now: the one asked for, or the beep's file when
// that one could not be played. Empty before the first sound, and without the plugin.
QString source();

// Replaces playback (tests); an empty handler restores it. With VORNX_SOUND_LOG set
// (end-to-end runs), each played path is appended to that file as a line instead.
using Handler = std::function<void(const QString& path)>;
void setHandler(Handler handler);

} // namespace Sound
