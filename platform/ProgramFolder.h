#pragma once

#include <QString>
#include <QStringList>

// The one folder that holds every data file of the program ("sysset.ini", "Vornx.ini",
// "area.dat", "Phone.Log", sounds, help). The option --data-dir DIR or the environment
// variable VORNX_DATA_DIR names it. Without either, a program run from its build folder
// uses the executable's folder, where the build puts the shipped files; an installed
// program (executable in <prefix>/bin, shipped files in <prefix>/share/vornx, which the
// user cannot write) uses a folder of each user: $XDG_DATA_HOME/vornx.
class ProgramFolder
{
public:
    // Resolves the folder from the command line and the environment and makes sure it
    // exists. A folder that is new or empty gets the shipped data files copied in, so a
    // fresh folder runs as is; a folder that already holds files is left as it is.
    static bool init(const QStringList& arguments, QString* error = nullptr);
    // The same for an executable in the given folder.
    static bool init(const QStringList& arguments, const QString& executableFolder, QString* error = nullptr);

    // Where the shipped files of an executable in that folder are: the folder itself when
    // the build put them there, else <prefix>/share/vornx of an installed program, else
    // the executable's folder (nothing shipped).
    static QString shippedFolder(const QString& executableFolder);
    // Whether the executable in that folder is an installed one.
    static bool isInstalled(const QString& executableFolder);
    // The per-user program folder of an installed program.
    static QString userFolder();
    // The folder init() would take, without making it or copying anything into it.
    static QString resolve(const QStringList& arguments);
    // The same for an executable in the given folder.
    static QString resolve(const QStringList& arguments, const QString& executableFolder);

    // The folder with a trailing '/'.
    static QString path();
    // A file of the program folder, e.g. file("sysset.ini").
    static QString file(const QString& name);

    // Used by init(); public for tests that set up a folder by hand.
    static void setPath(const QString& folder);
    static bool copyShippedFiles(const QString& fromFolder, const QString& toFolder, QString* error = nullptr);
};
