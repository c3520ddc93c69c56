#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One running copy per user session. The lock is named after the executable the way the
// desktop names an application's default title, so a copy of the program under another
// file name is a different program; it lives in the user's runtime folder
// (XDG_RUNTIME_DIR), which also lets tests run isolated instances side by side.
class SingleInstance
{
public:
    // The executable's file name without its folder, cut at its first dot, every letter
    // after the first in lower case ("/opt/VORNX.bin" -> "Vornx").
    static QString lockName(const QString& executablePath);

    explicit SingleInstance(const QString& executablePath);

    // False when another running copy holds the lock. A lock left by a copy that died is
    // taken over.
    bool tryLock();
    QString lockFilePath() const;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
