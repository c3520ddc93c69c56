#include "platform/addressbook/ContactStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ContactStore::ContactStore(QString fileName) : m_fileName(std::move(fileName)) {}

bool ContactStore::readFile(QByteArray* bytes, QString* error) const
{
    bytes->clear();
    const QFileInfo info(m_fileName);
    if (!info.exists())
        return true;
    const auto fail = [&](const QString& why) {
        if (error)
            *error = tr("无法读取通讯薄文件 %1：%2").arg(QDir::toNativeSeparators(m_fileName), why);
        return false;
    };
    if (info.isDir())
        return fail(tr("这是一个文件夹"));
    // Opened without blocking and checked on the open file: a FIFO in the file's place is
    // never waited on, and a file that is far too big for an address book is not read whole.
    const int fd = ::open(QFile::encodeName(m_fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(tr("不是普通文件"));
    }
    if (st.st_size > kMaxFileSize) {
        ::close(fd);
        return fail(tr("文件太大（%1 字节，最多 %2 字节）").arg(qint64(st.st_size)).arg(kMaxFileSize));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    *bytes = file.read(kMaxFileSize + 1);
    if (bytes->size() > kMaxFileSize) {
        bytes->clear();
        return fail(tr("文件太大（%1 字节以上，最多 %2 字节）").arg(kMaxFileSize + 1).arg(kMaxFileSize));
    }
    return true;
}

void ContactStore::parse(QByteArray bytes)
{
    m_bytes = std::move(bytes);
    VCardReader::Result result = VCardReader::read(m_bytes);
    m_cards = std::move(result.cards);
    m_skipped = result.skipped;
}

bool ContactStore::load(QString* error)
{
    QByteArray bytes;
    const bool ok = readFile(&bytes, error);
    parse(bytes);
    return ok;
}

QByteArray ContactStore::entryId(int index) const
{
    const VCard& card = m_cards.at(index);
    const int uid = card.indexOf("UID");
    if (uid >= 0) {
        const QString text = card.properties.at(uid).text(card.version).trimmed();
        if (!text.isEmpty())
            return "uid:" + text.toUtf8();
    }
    const QByteArray bytes = m_bytes.mid(card.begin, card.end - card.begin);
    return "sha1:" + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

int ContactStore::indexOf(const QByteArray& entryId) const
{
    if (entryId.isEmpty())
        return -1;
    for (int i = 0; i < m_cards.size(); ++i) {
        if (this->entryId(i) == entryId)
            return i;
    }
    return -1;
}

Contact ContactStore::contact(int index, ContactSources* sources) const
{
    return ContactMapping::fromCard(m_cards.at(index), sources);
}

bool ContactStore::update(const QByteArray& entryId, const Contact& after, QByteArray* newEntryId, QString* error)
{
    const auto cardBytes = [this](int index) {
        const VCard& card = m_cards.at(index);
        return m_bytes.mid(card.begin, card.end - card.begin);
    };
    int index = indexOf(entryId);
    QByteArray onDisk;
    if (index < 0 || !readFile(&onDisk, error)) {
        if (index < 0 && error)
            *error = tr("通讯薄中已没有这个联系人。");
        return false;
    }
    if (onDisk != m_bytes) {
        const QByteArray loaded = cardBytes(index);
        parse(onDisk);
        index = indexOf(entryId);
        if (index < 0 || cardBytes(index) != loaded) {
            if (error)
                *error = tr("这个联系人已被其他程序修改或删除，修改没有保存。");
            return false;
        }
    }
    const VCard& card = m_cards.at(index);
    ContactSources sources;
    const Contact before = contact(index, &sources);
    const QByteArray edited = ContactMapping::editedCard(m_bytes, card, sources, before, after, lineEnding(m_bytes));
    const QByteArray bytes = m_bytes.left(card.begin) + edited + m_bytes.mid(card.end);
    if (!write(bytes, error))
        return false;
    parse(bytes);
    if (newEntryId)
        *newEntryId = this->entryId(index);
    return true;
}

bool ContactStore::add(const Contact& contact, QByteArray* entryId, QString* error)
{
    QByteArray bytes;
    if (!readFile(&bytes, error))
        return false;
    const QByteArray eol = lineEnding(bytes);
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r'))
        bytes += eol;
    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    bytes += ContactMapping::newCard(contact, uid, eol);
    if (!write(bytes, error))
        return false;
    parse(bytes);
    if (entryId)
        *entryId = "uid:" + uid.toUtf8();
    return true;
}

bool ContactStore::write(const QByteArray& bytes, QString* error)
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QSaveFile file(m_fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = tr("无法保存通讯薄文件 %1：%2").arg(QDir::toNativeSeparators(m_fileName), file.errorString());
    return false;
}

QByteArray ContactStore::lineEnding(const QByteArray& bytes)
{
    // New lines follow the file's own habit; vCard's own line break for a new file.
    const qsizetype lf = bytes.indexOf('\n');
    if (lf > 0 && bytes.at(lf - 1) != '\r')
        return "\n";
    return "\r\n";
}
