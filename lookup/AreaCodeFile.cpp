#include "lookup/AreaCodeFile.h"

#include "lookup/RegionTable.h"
#include "platform/Error.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <vector>

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
    const qsizetype space = field.sliced(1).indexOf(' ');
    return field.first(space < 0 ? field.size() : space + 1);
}

AreaCodeLoad AreaCodeFile::read(QByteArrayView bytes, RegionTable& table)
{
    AreaCodeLoad result;
    std::vector<RegionRecord> cells;
    // Records are about 23 bytes; reserving avoids regrowing a vector of large cells.
    cells.reserve(size_t(bytes.size() / 20 + 1));
    RecordReader reader(bytes);
    QByteArrayView field;
    QByteArrayView name;
    while (reader.next(&field, &name)) {
        // The cell takes NUL-terminated texts; a NUL inside the file ends the text there.
        // A name is copied up to one byte past the cell's limit, enough for the cell to
        // tell that it is too long.
        char code[CodeField + 1] = {};
        char district[sizeof RegionRecord::District + 1] = {};
        const QByteArrayView cut = cutCode(field);
        std::memcpy(code, cut.constData(), size_t(cut.size()));
        std::memcpy(district, name.data(), size_t(std::min<qsizetype>(name.size(), sizeof district - 1)));
        try {
            cells.emplace_back(code, district);
        } catch (const Error& e) {
            if (result.skipped++ == 0)
                result.firstSkipReason = e.message();
        }
    }
    result.loaded = qsizetype(cells.size());
    table.Assign(std::move(cells));
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
        table.Clear();
        AreaCodeLoad result;
        result.error = tr("电话号码归属查询数据无法打开！");
        return result;
    }
    if (!exists) {
        table.Clear();
        return {};
    }
    return read(file.readAll(), table);
}
