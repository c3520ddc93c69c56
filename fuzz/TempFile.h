#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

// The INI reader and the call log open their files by name, so each input is written to one
// file of this fuzzing process first.
inline QString writeInputFile(const char* data, size_t size, const char* suffix)
{
    static const QString path =
        QDir::tempPath() + QStringLiteral("/vornx-fuzz-%1%2").arg(getpid()).arg(QLatin1String(suffix));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(data, qint64(size));
    return path;
}
