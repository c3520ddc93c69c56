#include "lookup/NumberIndex.h"

#include "lookup/IndexedStatement.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {
constexpr int KeyDigits = 16;
// Fewer digits than this end too many numbers to name a caller.
constexpr int MinDigits = 3;
// A stored text longer than this is no telephone number; its length must fit a byte.
constexpr int MaxStoredBytes = 255;

// The key of the last KeyDigits digits of `digits`, read from the end.
std::uint64_t keyOf(QStringView digits)
{
    std::uint64_t key = 0;
    int shift = 60;
    for (qsizetype i = digits.size() - 1; i >= 0 && shift >= 0; --i, shift -= 4)
        key |= std::uint64_t(digits.at(i).unicode() - '0' + 1) << shift;
    return key;
}

bool allDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}
} // namespace

NumberIndex::Number NumberIndex::normalise(const QString& stored)
{
    static const QRegularExpression extension(QStringLiteral(R"(^(.*?)\s*(?:转|分机|ext\.?|x)\s*[:：]?\s*(\d{1,6})\s*$)"),
                                              QRegularExpression::CaseInsensitiveOption
                                                  | QRegularExpression::UseUnicodePropertiesOption);
    Number number;
    QString main = stored.trimmed();
    // Only a value with a word in it can name an extension; most hold digits and separators.
    if (std::any_of(main.cbegin(), main.cend(), [](QChar c) { return c.isLetter(); })) {
        const QRegularExpressionMatch split = extension.match(main);
        if (split.hasMatch()) {
            main = split.captured(1);
            number.extension = split.captured(2);
        }
    }
    const bool plus = main.startsWith(QLatin1Char('+')) || main.startsWith(QChar(0xFF0B));
    QString digits;
    digits.reserve(main.size());
    for (const QChar c : main) {
        // Full-width digits, as Chinese input methods type them, count as digits too.
        const int value = c.digitValue();
        if (value >= 0 && value <= 9)
            digits += QChar(u'0' + value);
    }
    if (plus || digits.startsWith(QLatin1String("00"))) {
        // International form: China's code goes, another country's number stays as it is.
        if (!plus)
            digits.remove(0, 2);
        if (digits.startsWith(QLatin1String("86")))
            digits.remove(0, 2);
        else
            return {digits, number.extension};
    }
    qsizetype zeros = 0;
    while (zeros < digits.size() && digits.at(zeros) == QLatin1Char('0'))
        ++zeros;
    number.digits = digits.mid(zeros);
    return number;
}

void NumberIndex::Builder::add(const QString& stored)
{
    const QString digits = normalise(stored).digits;
    if (digits.size() < MinDigits)
        return;
    const QByteArray text = stored.toUtf8();
    if (text.size() > MaxStoredBytes)
        return;
    m_entries.emplace_back(keyOf(digits), std::uint32_t(m_texts.size()));
    m_texts += char(text.size());
    m_texts += text;
}

NumberIndex NumberIndex::Builder::finish()
{
    std::sort(m_entries.begin(), m_entries.end());
    NumberIndex index;
    index.m_keys.reserve(m_entries.size());
    index.m_places.reserve(m_entries.size());
    for (const auto& [key, place] : m_entries) {
        index.m_keys.push_back(key);
        index.m_places.push_back(place);
    }
    index.m_texts = std::move(m_texts);
    index.m_texts.squeeze();
    m_entries = {};
    m_texts = {};
    return index;
}

QStringList NumberIndex::find(const QString& callerNumber) const
{
    QStringView digits(callerNumber);
    while (digits.startsWith(QLatin1Char('0')))
        digits = digits.sliced(1);
    if (digits.size() < MinDigits || digits.size() > KeyDigits || !allDigits(digits))
        return {};
    const std::uint64_t low = keyOf(digits);
    const int freeBits = int(KeyDigits - digits.size()) * 4;
    const std::uint64_t high = freeBits == 0 ? low : low | ((std::uint64_t(1) << freeBits) - 1);
    const auto begin = std::lower_bound(m_keys.begin(), m_keys.end(), low);
    const auto end = std::upper_bound(begin, m_keys.end(), high);
    QStringList values;
    QSet<QString> seen;
    for (auto it = begin; it != end; ++it) {
        const std::uint32_t place = m_places[std::size_t(it - m_keys.begin())];
        const int length = static_cast<unsigned char>(m_texts.at(place));
        const QString value = QString::fromUtf8(m_texts.constData() + place + 1, length);
        if (!seen.contains(value)) {
            seen.insert(value);
            values << value;
        }
    }
    return values;
}

qsizetype NumberIndex::bytes() const
{
    return qsizetype(m_keys.capacity() * sizeof(std::uint64_t) + m_places.capacity() * sizeof(std::uint32_t))
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
