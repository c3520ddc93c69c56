#include "platform/SmallFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SmallFile::Status SmallFile::read(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error)
{
    bytes->clear();
    const auto refuse = [&](const QString& why) {
        if (error)
            *error = why;
        return Status::Refused;
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Status::Missing;
        return refuse(tr("无法读取“%1”：%2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(tr("“%1”不是普通文件").arg(path));
    }
    if (st.st_size > maxSize) {
        ::close(fd);
        return refuse(tr("“%1”太大（%2 字节，最多 %3 字节）").arg(path).arg(qint64(st.st_size)).arg(maxSize));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(tr("无法读取“%1”：%2").arg(path, file.errorString()));
    }
    // The file may have grown since it was measured.
    *bytes = file.read(maxSize + 1);
    if (bytes->size() > maxSize) {
        bytes->clear();
        return refuse(tr("“%1”太大（最多 %2 字节）").arg(path).arg(maxSize));
    }
    return Status::Read;
}
