#pragma once

#include <QString>
#include <QStringList>

// The one folder that holds every data file of the program ("sysset.ini", "Vornx.ini",
// "area.dat", "Phone.Log", sounds, help). By default the executable's folder; the option
// --data-dir DIR or the environment variable VORNX_DATA_DIR names another one.
class ProgramFolder
{
public:
    // Resolves the folder from the command line and the environment and makes sure it
    // exists. A folder that is new or empty gets the shipped data files copied in, so a
    // fresh folder runs as is; a folder that already holds files is left as it is.
    static bool init(const QStringList& arguments, QString* error = nullptr);
    // The folder init() would take, without making it or copying anything into it.
    static QString resolve(const QStringList& arguments);

    // The folder with a trailing '/'.
    static QString path();
    // A file of the program folder, e.g. file("sysset.ini").
    static QString file(const QString& name);

    // Used by init(); public for tests that set up a folder by hand.
    static void setPath(const QString& folder);
    static bool copyShippedFiles(const QString& fromFolder, const QString& toFolder, QString* error = nullptr);
};
