#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString g_path;

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
    const QString folder = requestedFolder(arguments);
    return folder.isEmpty() ? executableFolder() : QDir(folder).absolutePath();
}

bool ProgramFolder::init(const QStringList& arguments, QString* error)
{
    const QString shipped = executableFolder();
    QString folder = requestedFolder(arguments);
    if (folder.isEmpty()) {
        setPath(shipped);
        return true;
    }
    folder = QDir(folder).absolutePath();
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
    QFile manifest(QDir(fromFolder).filePath(QStringLiteral("vornx.files")));
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
