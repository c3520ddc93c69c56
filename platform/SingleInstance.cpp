#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

SingleInstance::SingleInstance(const QString& executablePath)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_path = QDir(folder).filePath(lockName(executablePath) + QStringLiteral(".lock"));
}

bool SingleInstance::tryLock()
{
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age: the program runs for days. A lock whose process is gone is
    // still recognised as stale by QLockFile and removed.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

QString SingleInstance::lockFilePath() const
{
    return m_path;
}
