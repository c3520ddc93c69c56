#include "lookup/NumberIndex.h"

#include "lookup/IndexedStatement.h"

#include <QSet>

#include <algorithm>

namespace {
constexpr int KeyDigits = 16;
// Fewer digits than this end too many numbers to name a caller.
constexpr int MinDigits = 3;
// A stored text longer than this is no telephone number; its length must fit a byte.
constexpr int MaxStoredBytes = 255;
// An extension has at most this many digits; a longer run after an "x" is a number.
constexpr int MaxExtensionDigits = 6;

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

struct Split
{
    QStringView main;
    QStringView extension;
};

// "<number> 转 8001", "<number> ext. 12", "<number>x305", "<number> 分机：8001".
Split splitExtension(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    qsizetype digits = end;
    while (digits > 0 && isAsciiDigit(text.at(digits - 1)))
        --digits;
    if (digits == end || end - digits > MaxExtensionDigits)
        return {text, {}};
    qsizetype marker = digits;
    while (marker > 0 && (text.at(marker - 1).isSpace() || text.at(marker - 1) == QLatin1Char(':')
                          || text.at(marker - 1) == QChar(0xFF1A)))
        --marker;
    for (const QStringView word : {QStringView(u"转"), QStringView(u"分机"), QStringView(u"ext."), QStringView(u"ext"),
                                   QStringView(u"x")}) {
        if (text.first(marker).endsWith(word, Qt::CaseInsensitive))
            return {text.first(marker - word.size()), text.sliced(digits, end - digits)};
    }
    return {text, {}};
}

// The national digits of a stored number's main part, written into `out`; their count.
qsizetype nationalDigits(QStringView main, char16_t* out, qsizetype capacity)
{
    qsizetype count = 0;
    bool plus = false;
    bool seenAny = false;
    for (const QChar c : main) {
        if (!seenAny && (c == QLatin1Char('+') || c == QChar(0xFF0B)))
            plus = true;
        // Full-width digits, as Chinese input methods type them, count as digits too.
        const int value = isAsciiDigit(c) ? c.unicode() - '0' : (c.unicode() < 0x80 ? -1 : c.digitValue());
        if (value >= 0 && value <= 9 && count < capacity)
            out[count++] = char16_t(u'0' + value);
        seenAny = seenAny || !c.isSpace();
    }
    qsizetype start = 0;
    if (plus || (count >= 2 && out[0] == u'0' && out[1] == u'0')) {
        // International form: China's code goes, another country's number stays as it is.
        start = plus ? 0 : 2;
        if (count - start >= 2 && out[start] == u'8' && out[start + 1] == u'6')
            start += 2;
        else
            return std::copy(out + start, out + count, out) - out;
    }
    while (start < count && out[start] == u'0')
        ++start;
    return std::copy(out + start, out + count, out) - out;
}

// The key of the last KeyDigits digits of `digits`, read from the end.
std::uint64_t keyOf(QStringView digits)
{
    std::uint64_t key = 0;
    int shift = 60;
    for (qsizetype i = digits.size() - 1; i >= 0 && shift >= 0; --i, shift -= 4)
        key |= std::uint64_t(digits.at(i).unicode() - '0' + 1) << shift;
    return key;
}
} // namespace

NumberIndex::Number NumberIndex::normalise(const QString& stored)
{
    const Split split = splitExtension(stored);
    char16_t digits[MaxStoredBytes];
    const qsizetype count = nationalDigits(split.main, digits, MaxStoredBytes);
    return {QString(reinterpret_cast<const QChar*>(digits), count), split.extension.toString()};
}

void NumberIndex::Builder::add(const QString& stored, qint64 rowId)
{
    m_lastRowId = std::max(m_lastRowId, rowId);
    if (stored.size() > MaxStoredBytes)
        return;
    char16_t digits[MaxStoredBytes];
    const qsizetype count = nationalDigits(splitExtension(stored).main, digits, MaxStoredBytes);
    if (count < MinDigits)
        return;
    const QByteArray text = stored.toUtf8();
    if (text.size() > MaxStoredBytes)
        return;
    m_rowIds = m_rowIds && rowId >= 0;
    m_entries.push_back({keyOf(QStringView(digits, count)), std::uint32_t(m_texts.size()), rowId});
    m_texts += char(text.size());
    m_texts += text;
}

NumberIndex NumberIndex::Builder::finish()
{
    std::sort(m_entries.begin(), m_entries.end());
    NumberIndex index;
    index.m_keys.reserve(m_entries.size());
    index.m_places.reserve(m_entries.size());
    if (m_rowIds)
        index.m_rowIds.reserve(m_entries.size());
    for (const Entry& entry : m_entries) {
        index.m_keys.push_back(entry.key);
        index.m_places.push_back(entry.place);
        if (m_rowIds)
            index.m_rowIds.push_back(entry.rowId);
    }
    index.m_lastRowId = m_rowIds ? m_lastRowId : -1;
    index.m_texts = std::move(m_texts);
    index.m_texts.squeeze();
    m_entries = {};
    m_texts = {};
    return index;
}

NumberIndex::Matches NumberIndex::find(const QString& callerNumber) const
{
    QStringView digits(callerNumber);
    while (digits.startsWith(QLatin1Char('0')))
        digits = digits.sliced(1);
    if (digits.size() < MinDigits || digits.size() > KeyDigits
        || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return {};
    const std::uint64_t low = keyOf(digits);
    const int freeBits = int(KeyDigits - digits.size()) * 4;
    const std::uint64_t high = freeBits == 0 ? low : low | ((std::uint64_t(1) << freeBits) - 1);
    const auto begin = std::lower_bound(m_keys.begin(), m_keys.end(), low);
    const auto end = std::upper_bound(begin, m_keys.end(), high);
    Matches matches;
    QSet<QString> seen;
    for (auto it = begin; it != end; ++it) {
        const std::size_t entry = std::size_t(it - m_keys.begin());
        const std::uint32_t place = m_places[entry];
        const int length = static_cast<unsigned char>(m_texts.at(place));
        const QString value = QString::fromUtf8(m_texts.constData() + place + 1, length);
        if (!m_rowIds.empty())
            matches.rowIds << m_rowIds[entry];
        if (!seen.contains(value)) {
            seen.insert(value);
            matches.values << value;
        }
    }
    return matches;
}

qsizetype NumberIndex::bytes() const
{
    return qsizetype(m_keys.capacity() * sizeof(std::uint64_t) + m_places.capacity() * sizeof(std::uint32_t)
                     + m_rowIds.capacity() * sizeof(qint64))
           + m_texts.capacity();
}

QString NumberIndex::describe(const QString& customerSql)
{
    if (customerSql.trimmed().isEmpty())
        return {};
    const std::optional<IndexedStatement> statement = IndexedStatement::parse(customerSql);
    if (!statement)
        return tr("客户查询语句不是向导生成的形式，来电号码按语句原样查找（不建号码索引）。");
    return tr("来电号码在以下电话字段中查找：%1。程序为这些字段建号码索引（不改动您的数据库），"
              "号码中的空格、横线、括号、+86/0086 和“转”后的分机号都不影响查找，"
              "例如“0591-8765 4321”“(0591) 87654321”“+86 591 8765 4321”都能按来电 59187654321 找到。")
        .arg(statement->fields().join(QStringLiteral("、")));
}
