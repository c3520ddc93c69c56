#pragma once

#include <QString>
#include <QStringList>

// Registers the program to start with the desktop session: writes or removes the autostart
// entry "<name>.desktop" in $XDG_CONFIG_HOME/autostart (~/.config/autostart by default).
// `path` is the executable, `arguments` follow it on the command line. Returns whether the
// entry could be written or removed; a path or argument with a control character (a line
// break) is refused and nothing is written.
bool SetAutoRun(const QString& name, const QString& path, bool enable, const QStringList& arguments = {});

// The entry's file, for callers that show or check it.
QString AutoRunEntryPath(const QString& name);
