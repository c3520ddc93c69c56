#pragma once

#include <QCoreApplication>
#include <QString>

// Folders where no other user can put, replace or remove a file of ours: a lock, a control
// socket. Files there can be trusted to be the program's own.
class PrivateFolder
{
    Q_DECLARE_TR_FUNCTIONS(PrivateFolder)

public:
    // Belongs to this user and nobody else may write into it.
    static bool isPrivate(const QString& folder, QString* why = nullptr);
    // The user's runtime folder: XDG_RUNTIME_DIR when it is private, else the one found
    // without the environment (see stable()). Empty, with the reason, when there is none.
    static QString runtime(QString* error = nullptr);
    // The private folder that does not depend on the environment of a start:
    // /run/user/<uid>, else "vornx" in the user's cache folder, made owner-only.
    static QString stable(QString* error = nullptr);
    // Where a file that belongs with the program folder goes: in the folder itself when it
    // is private, else in the runtime folder under a name keyed to the program folder.
    static QString fileFor(const QString& programFolder, const QString& fileName, QString* error = nullptr);
    // A short key of the folder as it is, whatever path names it.
    static QString folderKey(const QString& folder);
};
