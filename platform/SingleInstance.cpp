#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder that belongs to this user and that nobody else may write into.
bool isPrivateFolder(const QString& folder, QString* why = nullptr)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) {
        if (why)
            *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
        if (why)
            *why = SingleInstance::tr("文件夹不属于当前用户或其他用户可写");
        return false;
    }
    return true;
}

// The private folder that does not depend on the environment of the start.
QString stableFolder(QString* error)
{
    const QString run = QStringLiteral("/run/user/%1").arg(::geteuid());
    if (isPrivateFolder(run))
        return run;
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = cache + QStringLiteral("/vornx");
    QString why;
    if (!QDir().mkpath(folder) ||
        !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) ||
        !isPrivateFolder(folder, &why)) {
        if (why.isEmpty())
            why = QString::fromLocal8Bit(std::strerror(errno));
        *error = SingleInstance::tr("无法使用文件夹“%1”：%2").arg(folder, why);
        return {};
    }
    return folder;
}

} // namespace

QString SingleInstance::lockName(const QString& executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

SingleInstance::SingleInstance(const QString& executablePath, const QString& programFolder)
{
    // The folder as it is, whatever path named it (links, "..", a trailing slash).
    QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex().left(16);
    m_fileName = lockName(executablePath) + QLatin1Char('-') + QString::fromLatin1(key) + QStringLiteral(".lock");

    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        m_folders << QFileInfo(runtime).canonicalFilePath();
    const QString stable = stableFolder(&m_folderError);
    if (!stable.isEmpty() && !m_folders.contains(QFileInfo(stable).canonicalFilePath()))
        m_folders << QFileInfo(stable).canonicalFilePath();
}

SingleInstance::Result SingleInstance::tryLock(QString* error)
{
    m_locks.clear();
    if (m_folders.isEmpty()) {
        if (error)
            *error = m_folderError;
        return Result::Failed;
    }
    for (const QString& path : lockFilePaths()) {
        auto lock = std::make_unique<QLockFile>(path);
        // Never stale by age: the program runs for days. A lock whose process is gone is
        // still recognised as stale by QLockFile and removed.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            const bool running = lock->error() == QLockFile::LockFailedError;
            if (!running && error)
                *error = tr("无法创建锁文件“%1”：%2")
                             .arg(path, lock->error() == QLockFile::PermissionError ? tr("没有权限")
                                                                                    : tr("未知错误"));
            m_locks.clear();
            return running ? Result::AlreadyRunning : Result::Failed;
        }
        m_locks.push_back(std::move(lock));
    }
    return Result::Locked;
}

QStringList SingleInstance::lockFilePaths() const
{
    QStringList paths;
    for (const QString& folder : m_folders)
        paths << QDir(folder).filePath(m_fileName);
    return paths;
}
