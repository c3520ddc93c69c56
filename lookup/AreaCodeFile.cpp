#include "lookup/AreaCodeFile.h"

#include "lookup/RegionTable.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


namespace {
constexpr qsizetype CodeField = 8;

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

class RecordReader
{
public:
    explicit RecordReader(QByteArrayView bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    // One record: exactly 8 characters of code field (taken as they come, white space
    // included), white space, the name up to the next white space, white space. False
    // when the bytes end before a whole record. The name given ends at its first NUL, as
    // the name of an 8-bit text does; the record still runs to the white space.
    bool next(QByteArrayView* field, QByteArrayView* name)
    {
        if (m_end - m_p < CodeField)
            return false;
        *field = QByteArrayView(m_p, CodeField);
        m_p += CodeField;
        skipSpace();
        const char* begin = m_p;
        const char* nul = nullptr;
        for (; m_p != m_end; ++m_p) {
            const ByteClass c = classOf(*m_p);
            if (c == Space)
                break;
            if (c == Nul && !nul)
                nul = m_p;
        }
        if (m_p == begin)
            return false;
        *name = QByteArrayView(begin, (nul ? nul : m_p) - begin);
        skipSpace();
        return true;
    }

private:
    void skipSpace()
    {
        while (m_p != m_end && classOf(*m_p) == Space)
            ++m_p;
    }

    const char* m_p;
    const char* m_end;
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
    // Records are about 23 bytes; the builder keeps 16 bytes for each until the table is
    // built, and nothing else per record.
    RegionTable::Builder builder(bytes.size() / 20 + 1);
    RecordReader reader(bytes);
    QByteArrayView field;
    QByteArrayView name;
    while (reader.next(&field, &name)) {
        // Code and name are texts: a NUL inside the file ends them there.
        const RegionTable::Fault fault = builder.appendText(codeText(field), name);
        if (fault != RegionTable::Fault::None && result.skipped++ == 0)
            result.firstSkipReason = RegionTable::faultText(fault);
    }
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
    else if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        reason = file.errorString();
    if (!file.isOpen())
        ::close(fd);
    if (unopenable || !reason.isEmpty())
        return failed(reason);
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize)
        return failed(tr("“%1”太大（最多 %2 字节）").arg(path).arg(kMaxFileSize));
    return read(bytes, table);
}
