#pragma once

#include <QCoreApplication>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One running copy per program folder: two copies on one folder would both answer the line
// and write the same call log. The lock is named after the executable the way the desktop
// names an application's default title (a copy of the program under another file name is a
// different program) and after the program folder.
//
// It lives only in folders no other user can write, so nobody else can plant a lock that
// keeps the program from starting: the user's runtime folder (XDG_RUNTIME_DIR, which also
// lets tests run isolated instances side by side), and the one found without the
// environment (/run/user/<uid>, else the user's cache folder), so that a start with the
// variable and one without still meet.
class SingleInstance
{
    Q_DECLARE_TR_FUNCTIONS(SingleInstance)

public:
    enum class Result { Locked, AlreadyRunning, Failed };

    // The executable's file name without its folder, cut at its first dot, every letter
    // after the first in lower case ("/opt/VORNX.bin" -> "Vornx").
    static QString lockName(const QString& executablePath);

    SingleInstance(const QString& executablePath, const QString& programFolder);

    // AlreadyRunning when another running copy holds the lock; Failed, with a message naming
    // the folder or file and the reason, when no lock could be made. A lock left by a copy
    // that died is taken over.
    Result tryLock(QString* error = nullptr);
    // The lock files, the runtime folder's first.
    QStringList lockFilePaths() const;

private:
    QString m_fileName;
    QStringList m_folders;
    QString m_folderError;
    std::vector<std::unique_ptr<QLockFile>> m_locks;
};
