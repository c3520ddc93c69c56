#include "platform/profile/PrivateProfile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// One line of the file with its own line end, so that untouched lines are written back
// exactly as they were read (mixed line ends included).
struct Line
{
    QByteArray text;
    QByteArray eol;
};

} // namespace

struct PrivateProfile::Document
{
    bool utf8 = false; // the file began with a UTF-8 byte-order mark
    QList<Line> lines;

    QString decode(QByteArrayView bytes) const
    {
        if (utf8)
            return QString::fromUtf8(bytes);
        QStringDecoder decoder("GB18030");
        return decoder.decode(bytes);
    }

    QByteArray encode(const QString& text) const
    {
        if (utf8)
            return text.toUtf8();
        QStringEncoder encoder("GB18030");
        return encoder.encode(text);
    }

    // The line end new lines get: the file's own, or CR LF for a new file as the desktop writes.
    QByteArray newLineEnd() const
    {
        for (const Line& line : lines) {
            if (line.eol.endsWith('\n'))
                return line.eol;
        }
        return QByteArrayLiteral("\r\n");
    }

    // Ends the line at `index` so that another can follow it. A file may end in a CR without
    // its LF; the reader does not split lines there, so the line gets the LF it lacks.
    void endLine(qsizetype index, const QByteArray& eol)
    {
        QByteArray& end = lines[index].eol;
        if (end.isEmpty())
            end = eol;
        else if (end == "\r")
            end += '\n';
    }
};

namespace {
using Document = PrivateProfile::Document;

Document parse(const QByteArray& data)
{
    Document doc;
    qsizetype pos = 0;
    if (data.startsWith(kUtf8Bom)) {
        doc.utf8 = true;
        pos = kUtf8Bom.size();
    }
    while (pos < data.size()) {
        qsizetype nl = data.indexOf('\n', pos);
        Line line;
        if (nl < 0) {
            line.text = data.mid(pos);
            pos = data.size();
        } else {
            line.text = data.mid(pos, nl - pos);
            line.eol = QByteArrayLiteral("\n");
            pos = nl + 1;
        }
        if (line.text.endsWith('\r')) {
            line.text.chop(1);
            line.eol.prepend('\r');
        }
        doc.lines.append(line);
    }
    return doc;
}

QByteArray serialize(const Document& doc)
{
    QByteArray out;
    if (doc.utf8)
        out = kUtf8Bom;
    for (const Line& line : doc.lines)
        out += line.text + line.eol;
    return out;
}

std::optional<QByteArray> sectionName(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    return t.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

bool isComment(const QByteArray& text)
{
    return text.trimmed().startsWith(';');
}

bool splitKey(const QByteArray& text, QByteArray* key, QByteArray* value)
{
    const qsizetype eq = text.indexOf('=');
    if (eq < 0 || isComment(text))
        return false;
    *key = text.left(eq).trimmed();
    *value = text.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const Document& doc, const QByteArray& bytes, const QString& name)
{
    return doc.decode(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

// Where a key is, or where it would go.
struct Position
{
    qsizetype section = -1; // header line of the section
    qsizetype key = -1;     // line of the key
    qsizetype last = -1;    // last line of the section that is not blank
    QByteArray value;
};

Position locate(const Document& doc, const QString& section, const QString& key)
{
    Position p;
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const QByteArray& text = doc.lines.at(i).text;
        if (const auto name = sectionName(text)) {
            if (p.section >= 0)
                break; // the first section of that name is the one that counts
            if (sameName(doc, *name, section))
                p.section = p.last = i;
            continue;
        }
        if (p.section < 0)
            continue;
        if (!text.trimmed().isEmpty())
            p.last = i;
        QByteArray k;
        QByteArray v;
        if (p.key < 0 && splitKey(text, &k, &v) && sameName(doc, k, key)) {
            p.key = i;
            p.value = v;
        }
    }
    return p;
}

// Opened without blocking and checked on the open file, so that a FIFO or a device put in
// the file's place is never waited on and a file that grows meanwhile is not read whole.
// UTF-16 text: a byte-order mark, or the NUL bytes that plain text has in every character.
bool looksLikeUtf16(const QByteArray& data)
{
    return data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF") || data.count('\0') * 4 > data.size();
}

std::optional<Document> loadFile(const QString& fileName, QString* error = nullptr)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Document();
        if (error)
            *error = PrivateProfile::tr("无法读取“%1”：%2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    struct stat st = {};
    QString problem;
    QByteArray data;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        problem = PrivateProfile::tr("“%1”不是普通文件").arg(fileName);
    } else if (st.st_size > PrivateProfile::kMaxFileSize) {
        problem = PrivateProfile::tr("“%1”太大（%2 字节，最多 %3 字节）")
                      .arg(fileName)
                      .arg(qint64(st.st_size))
                      .arg(PrivateProfile::kMaxFileSize);
    } else {
        data.resize(qsizetype(st.st_size));
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                problem = PrivateProfile::tr("无法读取“%1”：%2")
                              .arg(fileName, QString::fromLocal8Bit(std::strerror(errno)));
                break;
            }
            if (n == 0)
                break;
            done += n;
        }
        data.truncate(done);
        // UTF-16, as some editors save, read as GBK gives keys that never match, and the
        // settings would silently be the defaults. A few damaged bytes in a text file are
        // not that: the keys around them still count.
        if (problem.isEmpty() && looksLikeUtf16(data))
            problem = PrivateProfile::tr("“%1”不是文本文件（应为 GBK 或 UTF-8 编码）").arg(fileName);
    }
    ::close(fd);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    return parse(data);
}

QByteArray unquoted(const QByteArray& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Whole characters only, so a cut never leaves half a double-byte character behind.
QString cutToBytes(const Document& doc, const QString& value, qsizetype maxBytes)
{
    if (doc.encode(value).size() <= maxBytes)
        return value;
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < value.size()) {
        const qsizetype len = value.at(i).isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        used += doc.encode(value.mid(i, len)).size();
        if (used > maxBytes)
            break;
        i += len;
    }
    return value.left(i);
}

bool writeAllTo(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::fsync(fd) == 0;
}

// Replaces the file by renaming a complete copy over it, so that a program that dies at any
// moment leaves either the old or the new file. The copy is written as an unnamed file and
// only gets its name once it is whole; the name is fixed, so a copy left by a writer that died
// between naming and renaming is simply replaced by the next write.
bool replaceFile(const QString& fileName, const QByteArray& bytes)
{
    QFileInfo info(fileName);
    if (info.isSymLink())
        info = QFileInfo(info.canonicalFilePath());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray temp = target + ".vornx-tmp";
    struct stat old = {};
    const bool existed = ::stat(target.constData(), &old) == 0;

    ::unlink(temp.constData());
    int fd = ::open(QFile::encodeName(info.absolutePath()).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    const bool unnamed = fd >= 0;
    if (!unnamed) // a file system without unnamed files
        fd = ::open(temp.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = writeAllTo(fd, bytes) && (!existed || ::fchmod(fd, old.st_mode & 07777) == 0);
    if (ok && unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        ok = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temp.constData(), AT_SYMLINK_FOLLOW) == 0;
    }
    ::close(fd);
    ok = ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}
} // namespace

PrivateProfile::PrivateProfile(QString fileName) : m_fileName(std::move(fileName))
{
}

bool PrivateProfile::load(QString* error)
{
    std::optional<Document> doc = loadFile(m_fileName, error);
    // An unusable file reads as an empty one from now on: defaults, without reading it again.
    m_loaded = std::make_shared<const Document>(doc ? std::move(*doc) : Document());
    return doc.has_value();
}

QString PrivateProfile::readString(const QString& section, const QString& key, const QString& defaultValue,
                                   int bufferSize) const
{
    const std::optional<Document> doc = m_loaded ? std::optional<Document>(*m_loaded) : loadFile(m_fileName);
    QString value = defaultValue;
    if (doc) {
        const Position p = locate(*doc, section.trimmed(), key.trimmed());
        if (p.key >= 0)
            value = doc->decode(unquoted(p.value));
    }
    if (bufferSize <= 0)
        return QString();
    return cutToBytes(doc ? *doc : Document(), value, bufferSize - 1);
}

int PrivateProfile::readInt(const QString& section, const QString& key, int defaultValue) const
{
    const QString text = readString(section, key, QString(), 64);
    if (text.isEmpty())
        return defaultValue;
    qsizetype i = 0;
    bool negative = false;
    if (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')) {
        negative = text.at(0) == QLatin1Char('-');
        ++i;
    }
    qint64 number = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        number = qMin<qint64>(number * 10 + (text.at(i).unicode() - '0'), std::numeric_limits<int>::max());
    return int(negative ? -number : number);
}

bool PrivateProfile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A write always starts from the file as it is now, and the copy read before is stale.
    m_loaded.reset();
    std::optional<Document> loaded = loadFile(m_fileName);
    if (!loaded)
        return false; // a file we cannot read is not replaced by one that lost its other keys
    Document& doc = *loaded;
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    // A line break inside a value would start a new line of the file.
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));

    const QByteArray eol = doc.newLineEnd();
    const Position p = locate(doc, sectionName, keyName);
    if (p.key >= 0) {
        QByteArray existingKey;
        QByteArray oldValue;
        splitKey(doc.lines.at(p.key).text, &existingKey, &oldValue);
        doc.lines[p.key].text = existingKey + '=' + doc.encode(oneLine);
    } else {
        const Line keyLine{doc.encode(keyName) + '=' + doc.encode(oneLine), eol};
        if (p.section >= 0) {
            doc.endLine(p.last, eol);
            doc.lines.insert(p.last + 1, keyLine);
        } else {
            if (!doc.lines.isEmpty())
                doc.endLine(doc.lines.size() - 1, eol);
            doc.lines.append(Line{'[' + doc.encode(sectionName) + ']', eol});
            doc.lines.append(keyLine);
        }
    }

    // A shorter value can leave a damaged file with so many NUL bytes that it no longer reads
    // as text; such a write is refused rather than reported as done and then lost.
    const QByteArray bytes = serialize(doc);
    if (looksLikeUtf16(bytes))
        return false;
    return replaceFile(m_fileName, bytes);
}
