#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString g_path;

const char ManifestName[] = "vornx.files";
// Where an installed program's shipped files lie, seen from its executable's folder.
const char InstalledShare[] = "../share/vornx";

bool hasManifest(const QString& folder)
{
    return QFileInfo::exists(QDir(folder).filePath(QLatin1String(ManifestName)));
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString requestedFolder(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--data-dir") && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (a.startsWith(QLatin1String("--data-dir=")))
            return a.mid(int(sizeof("--data-dir=")) - 1);
    }
    return qEnvironmentVariable("VORNX_DATA_DIR");
}

// The executable's folder when there is an application object, else the working folder.
QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}
} // namespace

QString ProgramFolder::resolve(const QStringList& arguments)
{
    return resolve(arguments, executableFolder());
}

bool ProgramFolder::init(const QStringList& arguments, QString* error)
{
    return init(arguments, executableFolder(), error);
}

bool ProgramFolder::init(const QStringList& arguments, const QString& executableFolder, QString* error)
{
    const QString shipped = shippedFolder(executableFolder);
    const QString folder = resolve(arguments, executableFolder);
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        if (error)
            *error = QCoreApplication::translate("ProgramFolder", "无法创建程序文件夹：%1").arg(folder);
        return false;
    }
    setPath(folder);
    if (dir.isEmpty() && QDir(shipped) != dir)
        return copyShippedFiles(shipped, folder, error);
    return true;
}

QString ProgramFolder::resolve(const QStringList& arguments, const QString& executableFolder)
{
    const QString requested = requestedFolder(arguments);
    if (!requested.isEmpty())
        return QDir(requested).absolutePath();
    if (isInstalled(executableFolder))
        return userFolder();
    return QDir(executableFolder).absolutePath();
}

bool ProgramFolder::isInstalled(const QString& executableFolder)
{
    // A build folder carries its own manifest; that one wins, so that a developer's build
    // keeps using its own folder even when a package is installed in the same prefix.
    return !hasManifest(executableFolder) &&
           hasManifest(QDir(executableFolder).filePath(QLatin1String(InstalledShare)));
}

QString ProgramFolder::shippedFolder(const QString& executableFolder)
{
    if (isInstalled(executableFolder))
        return QDir::cleanPath(QDir(executableFolder).absoluteFilePath(QLatin1String(InstalledShare)));
    return QDir(executableFolder).absolutePath();
}

QString ProgramFolder::userFolder()
{
    // $XDG_DATA_HOME, else ~/.local/share.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/vornx");
}

QString ProgramFolder::path()
{
    if (g_path.isEmpty())
        g_path = withSlash(executableFolder());
    return g_path;
}

QString ProgramFolder::file(const QString& name)
{
    return path() + name;
}

void ProgramFolder::setPath(const QString& folder)
{
    g_path = withSlash(QDir(folder).absolutePath());
}

bool ProgramFolder::copyShippedFiles(const QString& fromFolder, const QString& toFolder, QString* error)
{
    // The build writes the list of shipped files beside the executable.
    QFile manifest(QDir(fromFolder).filePath(QLatin1String(ManifestName)));
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        return true; // nothing shipped: an empty folder is a valid program folder
    const QDir from(fromFolder);
    const QDir to(toFolder);
    while (!manifest.atEnd()) {
        const QString name = QString::fromUtf8(manifest.readLine()).trimmed();
        if (name.isEmpty() || !from.exists(name))
            continue;
        const QString target = to.filePath(name);
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::exists(target) && !QFile::copy(from.filePath(name), target)) {
            if (error)
                *error = QCoreApplication::translate("ProgramFolder", "无法复制数据文件：%1").arg(target);
            return false;
        }
        // Shipped files may be read-only in the build tree; the copy belongs to the user.
        QFile(target).setPermissions(QFile(target).permissions() | QFileDevice::WriteOwner);
    }
    return true;
}
