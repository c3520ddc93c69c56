#include "platform/SingleInstance.h"

#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFileInfo>


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
    m_fileName =
        lockName(executablePath) + QLatin1Char('-') + PrivateFolder::folderKey(programFolder) + QStringLiteral(".lock");

    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && PrivateFolder::isPrivate(runtime))
        m_folders << QFileInfo(runtime).canonicalFilePath();
    const QString stable = PrivateFolder::stable(&m_folderError);
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
