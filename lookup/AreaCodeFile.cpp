#include "lookup/AreaCodeFile.h"

#include "lookup/RegionTable.h"
#include "lookup/RegionTableCache.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>


namespace {
constexpr qsizetype CodeField = 8;
// The file is read in pieces of this size, small enough to stay in the processor's caches.
constexpr size_t PieceSize = 256 * 1024;

// What the reader tells apart in a byte.
enum ByteClass : uchar
{
    Plain,
    Space, // white space as the C library's formatted input knows it
    Nul,
};

constexpr auto byteClasses = [] {
    std::array<uchar, 256> classes{};
    for (const char c : {' ', '\t', '\n', '\v', '\f', '\r'})
        classes[uchar(c)] = Space;
    classes[0] = Nul;
    return classes;
}();

ByteClass classOf(char c)
{
    return ByteClass(byteClasses[uchar(c)]);
}

// Reads the records of the bytes given. When more bytes follow (last is false), a record
// that the bytes end in, or whose closing white space they end in, is left for them.
class RecordReader
{
public:
    RecordReader(QByteArrayView bytes, bool last)
        : m_begin(bytes.data()), m_p(bytes.data()), m_end(bytes.data() + bytes.size()), m_last(last)
    {
    }

    // One record: exactly 8 characters of code field (taken as they come, white space
    // included), white space, the name up to the next white space, white space. False
    // when the bytes end before a whole record. The name given ends at its first NUL, as
    // the name of an 8-bit text does; the record still runs to the white space.
    bool next(QByteArrayView* field, QByteArrayView* name)
    {
        if (m_end - m_p < CodeField)
            return false;
        const char* p = skipSpace(m_p + CodeField);
        const char* begin = p;
        const char* nul = nullptr;
        for (; p != m_end; ++p) {
            const ByteClass c = classOf(*p);
            if (c == Space)
                break;
            if (c == Nul && !nul)
                nul = p;
        }
        if (p == begin)
            return false;
        const char* end = p;
        p = skipSpace(p);
        if (p == m_end && !m_last)
            return false;
        *field = QByteArrayView(m_p, CodeField);
        *name = QByteArrayView(begin, (nul ? nul : end) - begin);
        m_p = p;
        return true;
    }

    // Bytes taken by the records read so far.
    qsizetype taken() const { return m_p - m_begin; }

private:
    const char* skipSpace(const char* p) const
    {
        while (p != m_end && classOf(*p) == Space)
            ++p;
        return p;
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    bool m_last;
};

// The code of a record's field as a text: cut as cutCode() cuts it, and ended at its
// first NUL.
QByteArrayView codeText(QByteArrayView field)
{
    for (qsizetype i = 0; i < field.size(); ++i)
        if (field[i] == '\0' || (field[i] == ' ' && i > 0))
            return field.first(i);
    return field;
}

// Records are about 23 bytes; the builder keeps 16 bytes for each until the table is
// built, and nothing else per record.
qsizetype recordsIn(qint64 bytes)
{
    return qsizetype(bytes / 20 + 1);
}

void take(RecordReader& reader, RegionTable::Builder& builder, AreaCodeLoad& result,
          RegionTable::Fault* firstFault = nullptr)
{
    QByteArrayView field;
    QByteArrayView name;
    while (reader.next(&field, &name)) {
        // Code and name are texts: a NUL inside the file ends them there.
        const RegionTable::Fault fault = builder.appendText(codeText(field), name);
        if (fault != RegionTable::Fault::None && result.skipped++ == 0) {
            result.firstSkipReason = RegionTable::faultText(fault);
            if (firstFault)
                *firstFault = fault;
        }
    }
}

// Hashes the whole file from its start; false when it cannot be read or is too large.
bool hashFile(QFile& file, std::vector<char>& buffer, uint64_t* hash)
{
    RegionTableCache::Hasher hasher;
    qint64 total = 0;
    for (;;) {
        const qint64 count = file.read(buffer.data(), qint64(buffer.size()));
        if (count < 0)
            return false;
        if (count == 0)
            break;
        total += count;
        if (total > AreaCodeFile::kMaxFileSize)
            return false;
        hasher.add(buffer.data(), size_t(count));
    }
    *hash = hasher.result();
    return true;
}
} // namespace

QByteArrayView AreaCodeFile::cutCode(QByteArrayView field)
{
    for (qsizetype i = 1; i < field.size(); ++i)
        if (field[i] == ' ')
            return field.first(i);
    return field;
}

AreaCodeLoad AreaCodeFile::read(QByteArrayView bytes, RegionTable& table)
{
    AreaCodeLoad result;
    RegionTable::Builder builder(recordsIn(bytes.size()));
    RecordReader reader(bytes, true);
    take(reader, builder, result);
    result.loaded = builder.size();
    builder.build(table);
    return result;
}

QString AreaCodeLoad::skipNotice() const
{
    return AreaCodeFile::tr("电话号码归属查询数据中有%1条记录无效，已跳过（%2）").arg(skipped).arg(firstSkipReason);
}

AreaCodeLoad AreaCodeFile::load(const QString& path, RegionTable& table)
{
    const auto failed = [&table](const QString& reason) {
        table.clear();
        AreaCodeLoad result;
        result.error = tr("电话号码归属查询数据无法打开！");
        if (!reason.isEmpty())
            result.error += QLatin1Char('\n') + reason;
        return result;
    };
    const QByteArray name = QFile::encodeName(path);
    // Opened without blocking and checked on the open file: a FIFO in the table's place
    // would stop the start for good, and a huge file would be read whole into memory.
    int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // The first start finds none and leaves an empty one.
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return failed(QString());
        ::close(fd);
        table.clear();
        return {};
    }
    if (fd < 0)
        return failed(QString());
    QFile file;
    struct stat st = {};
    QString reason;
    // A folder in the table's place gets the plain message, as any file that does not open.
    const bool unopenable = ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode);
    if (unopenable)
        reason.clear();
    else if (!S_ISREG(st.st_mode))
        reason = tr("“%1”不是普通文件").arg(path);
    else if (st.st_size > kMaxFileSize)
        reason = tr("“%1”太大（%2 字节，最多 %3 字节）").arg(path).arg(qint64(st.st_size)).arg(kMaxFileSize);
    else if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        reason = file.errorString();
    if (!file.isOpen())
        ::close(fd);
    if (unopenable || !reason.isEmpty())
        return failed(reason);
    // A table built from these very bytes before is mapped from its cache instead of
    // being held on the heap. The bytes are hashed whenever the cache's size and time
    // match: a file rewritten within one tick of the clock keeps its modification time.
    std::vector<char> buffer(PieceSize);
    RegionTableCache::Source source{uint64_t(st.st_size),
                                    int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, 0};
    const QString cachePath = RegionTableCache::pathFor(path);
    RegionTableCache::Counts counts;
    const auto hashSource = [&file, &buffer]() -> std::optional<uint64_t> {
        uint64_t hash = 0;
        return hashFile(file, buffer, &hash) ? std::optional<uint64_t>(hash) : std::nullopt;
    };
    if (RegionTableCache::open(cachePath, source, hashSource, table, &counts)) {
        AreaCodeLoad result;
        result.loaded = qsizetype(counts.loaded);
        result.skipped = qsizetype(counts.skipped);
        result.firstSkipReason = RegionTable::faultText(counts.firstFault);
        return result;
    }
    if (!file.seek(0))
        return failed(file.errorString());

    // Read a piece at a time, so that the file's bytes are never all in memory beside the
    // records taken from them; a record cut by the end of a piece waits for the next one.
    AreaCodeLoad result;
    RegionTable::Builder builder(recordsIn(st.st_size));
    RegionTableCache::Hasher hasher;
    size_t held = 0;
    qint64 total = 0;
    for (;;) {
        // A single record longer than the piece (a name without end) gets room to end.
        if (held == buffer.size())
            buffer.resize(buffer.size() * 2);
        const qint64 count = file.read(buffer.data() + held, qint64(buffer.size() - held));
        if (count < 0)
            return failed(file.errorString());
        total += count;
        if (total > kMaxFileSize)
            return failed(tr("“%1”太大（最多 %2 字节）").arg(path).arg(kMaxFileSize));
        hasher.add(buffer.data() + held, size_t(count));
        held += size_t(count);
        RecordReader reader(QByteArrayView(buffer.data(), qsizetype(held)), count == 0);
        take(reader, builder, result, &counts.firstFault);
        if (count == 0)
            break;
        held -= size_t(reader.taken());
        std::memmove(buffer.data(), buffer.data() + reader.taken(), held);
    }
    result.loaded = builder.size();
    builder.build(table);
    // Mapped at once, so that this run too gives its heap back; a folder the user cannot
    // write keeps the table in memory.
    counts.loaded = uint64_t(result.loaded);
    counts.skipped = uint64_t(result.skipped);
    source.hash = hasher.result();
    if (RegionTableCache::save(cachePath, table, source, counts))
        RegionTableCache::open(cachePath, source, [&source] { return std::optional<uint64_t>(source.hash); }, table, nullptr);
    return result;
}
