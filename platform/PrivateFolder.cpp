#include "platform/PrivateFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool PrivateFolder::isPrivate(const QString& folder, QString* why)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) {
        if (why)
            *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
        if (why)
            *why = tr("文件夹不属于当前用户或其他用户可写");
        return false;
    }
    return true;
}

QString PrivateFolder::stable(QString* error)
{
    const QString run = QStringLiteral("/run/user/%1").arg(::geteuid());
    if (isPrivate(run))
        return run;
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = cache + QStringLiteral("/vornx");
    QString why;
    if (!QDir().mkpath(folder) ||
        !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) ||
        !isPrivate(folder, &why)) {
        if (why.isEmpty())
            why = QString::fromLocal8Bit(std::strerror(errno));
        if (error)
            *error = tr("无法使用文件夹“%1”：%2").arg(folder, why);
        return {};
    }
    return folder;
}

QString PrivateFolder::runtime(QString* error)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivate(runtime))
        return QFileInfo(runtime).canonicalFilePath();
    const QString folder = stable(error);
    return folder.isEmpty() ? folder : QFileInfo(folder).canonicalFilePath();
}

QString PrivateFolder::folderKey(const QString& folder)
{
    // A folder that is not made yet is named by its nearest existing parent as it is, so
    // that it has the same key before and after it is made.
    QString rest;
    QString existing = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/")) {
        rest.prepend(QLatin1Char('/') + QFileInfo(existing).fileName());
        existing = QFileInfo(existing).path();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath() + rest;
    return QString::fromLatin1(
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256).toHex().left(16));
}

QString PrivateFolder::fileFor(const QString& programFolder, const QString& fileName, QString* error)
{
    if (isPrivate(programFolder))
        return QDir(programFolder).filePath(fileName);
    const QString folder = runtime(error);
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(QStringLiteral("vornx-%1-%2").arg(folderKey(programFolder), fileName));
}
