#include "lookup/AreaCodeFile.h"

#include "lookup/RegionTable.h"

#include <QFile>


namespace {
constexpr qsizetype CodeField = 8;

// White space as the C library's formatted input knows it.
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

class RecordReader
{
public:
    explicit RecordReader(QByteArrayView bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    // One record: exactly 8 characters of code field (taken as they come, white space
    // included), white space, the name up to the next white space, white space. False
    // when the bytes end before a whole record.
    bool next(QByteArrayView* field, QByteArrayView* name)
    {
        if (m_end - m_p < CodeField)
            return false;
        *field = QByteArrayView(m_p, CodeField);
        m_p += CodeField;
        skipSpace();
        const char* begin = m_p;
        while (m_p != m_end && !isSpace(*m_p))
            ++m_p;
        if (m_p == begin)
            return false;
        *name = QByteArrayView(begin, m_p - begin);
        skipSpace();
        return true;
    }

private:
    void skipSpace()
    {
        while (m_p != m_end && isSpace(*m_p))
            ++m_p;
    }

    const char* m_p;
    const char* m_end;
};
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
        const RegionTable::Fault fault = builder.append(cutCode(field), name);
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
    QFile file(path);
    const bool exists = file.exists();
    if (!file.open(exists ? QIODevice::ReadOnly : QIODevice::WriteOnly)) {
        table.clear();
        AreaCodeLoad result;
        result.error = tr("电话号码归属查询数据无法打开！");
        return result;
    }
    if (!exists) {
        table.clear();
        return {};
    }
    return read(file.readAll(), table);
}
