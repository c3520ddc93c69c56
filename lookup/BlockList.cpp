#include "lookup/BlockList.h"

#include "platform/SmallFile.h"

#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

#include <utility>

namespace {
// The digits of a number without the '+' and the zeros in front, as the capture paths hand
// a caller's number on; `international` says whether a country code follows.
QString bareDigits(QString number, bool* international = nullptr)
{
    const bool plus = number.startsWith(QLatin1Char('+'));
    if (plus)
        number.remove(0, 1);
    if (international)
        *international = plus || number.startsWith(QLatin1String("00"));
    qsizetype zeros = 0;
    while (zeros < number.size() && number.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return number.mid(zeros);
}

// A prefix's digits in national form: a country code written as such goes, with the trunk
// zero that may follow it ("+86 0591*"). A bare "86" is kept, as local numbers begin so.
QString prefixKey(const QString& digitsWithPlus)
{
    bool international = false;
    QString digits = bareDigits(digitsWithPlus, &international);
    if (international && digits.startsWith(QLatin1String("86")))
        digits = bareDigits(digits.mid(2));
    return digits;
}

bool isPrefix(const QString& pattern)
{
    return pattern.endsWith(QLatin1Char('*'));
}

QString digitsOf(const QString& pattern)
{
    return isPrefix(pattern) ? pattern.chopped(1) : pattern;
}
} // namespace

BlockList::BlockList(QString path, National national) : m_path(std::move(path)), m_national(std::move(national)) {}

bool BlockList::isValidPattern(const QString& pattern)
{
    QString digits = digitsOf(pattern);
    if (digits.startsWith(QLatin1Char('+')))
        digits.remove(0, 1);
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    // A prefix of nothing but a country code or zeros would block every call.
    return !isPrefix(pattern) || !prefixKey(digitsOf(pattern)).isEmpty();
}

bool BlockList::load(QString* error)
{
    m_lines.clear();
    m_loaded = false;
    QByteArray bytes;
    switch (SmallFile::read(m_path, kMaxFileSize, &bytes, error)) {
    case SmallFile::Status::Missing:
        m_loaded = true;
        return true;
    case SmallFile::Status::Refused:
        return false;
    case SmallFile::Status::Read:
        break;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    for (QByteArray raw : bytes.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (raw.trimmed().isEmpty())
            continue;
        Line line;
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(raw);
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        line.entry.pattern = (tab < 0 ? text : text.left(tab)).trimmed();
        line.entry.remark = tab < 0 ? QString() : text.mid(tab + 1).trimmed();
        line.valid = !utf8.hasError() && isValidPattern(line.entry.pattern) && m_lines.size() < kMaxEntries;
        if (!line.valid)
            line.kept = raw;
        m_lines << line;
    }
    m_loaded = true;
    return true;
}

bool BlockList::save(QString* error)
{
    if (!m_loaded) {
        if (error)
            *error = tr("黑名单文件 %1 未能读入，不能保存，以免覆盖其中的号码。").arg(m_path);
        load();
        return false;
    }
    QByteArray bytes;
    for (const Line& line : m_lines) {
        if (!line.valid)
            bytes += line.kept;
        else if (line.entry.remark.isEmpty())
            bytes += line.entry.pattern.toUtf8();
        else
            bytes += (line.entry.pattern + QLatin1Char('\t') + line.entry.remark).toUtf8();
        bytes += "\r\n";
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = tr("无法写入黑名单文件 %1：%2").arg(m_path, file.errorString());
        load();
        return false;
    }
    return true;
}

QList<BlockList::Entry> BlockList::entries() const
{
    QList<Entry> result;
    for (const Line& line : m_lines) {
        if (line.valid)
            result << line.entry;
    }
    return result;
}

qsizetype BlockList::skippedLines() const
{
    return std::count_if(m_lines.cbegin(), m_lines.cend(), [](const Line& line) { return !line.valid; });
}

QString BlockList::nationalOf(const QString& number) const
{
    const QString digits = bareDigits(number.trimmed());
    return m_national ? m_national(digits) : digits;
}

QString BlockList::keyOf(const QString& pattern) const
{
    return isPrefix(pattern) ? prefixKey(digitsOf(pattern)) : nationalOf(pattern);
}

std::optional<BlockList::Entry> BlockList::match(const QString& number) const
{
    const QString national = nationalOf(number);
    if (national.isEmpty())
        return std::nullopt;
    std::optional<Entry> prefix;
    for (const Line& line : m_lines) {
        if (!line.valid)
            continue;
        const QString key = keyOf(line.entry.pattern);
        if (!isPrefix(line.entry.pattern) && key == national)
            return line.entry;
        if (!prefix && isPrefix(line.entry.pattern) && national.startsWith(key))
            prefix = line.entry;
    }
    return prefix;
}

bool BlockList::add(const QString& pattern, const QString& remark, QString* error)
{
    const QString trimmed = pattern.trimmed();
    // A tab or a line end in the remark would break the line apart in the file.
    QString cleanRemark = remark;
    cleanRemark.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    cleanRemark.replace(QLatin1Char('\n'), QLatin1Char(' '));
    cleanRemark = cleanRemark.trimmed();
    if (!isValidPattern(trimmed)) {
        if (error)
            *error = tr("“%1”不是号码。请输入号码，或以 * 结尾的号码开头。").arg(trimmed);
        return false;
    }
    const QString key = keyOf(trimmed);
    for (Line& line : m_lines) {
        if (line.valid && isPrefix(line.entry.pattern) == isPrefix(trimmed) && keyOf(line.entry.pattern) == key) {
            line.entry.remark = cleanRemark;
            return true;
        }
    }
    if (m_lines.size() >= kMaxEntries) {
        if (error)
            *error = tr("黑名单已满（最多 %1 条）。").arg(kMaxEntries);
        return false;
    }
    Line line;
    line.entry = {trimmed, cleanRemark};
    line.valid = true;
    m_lines << line;
    return true;
}

bool BlockList::remove(const QString& number)
{
    const QString trimmed = number.trimmed();
    const bool prefix = isPrefix(trimmed);
    const QString key = keyOf(trimmed);
    return m_lines.removeIf([&](const Line& line) {
        return line.valid && isPrefix(line.entry.pattern) == prefix && keyOf(line.entry.pattern) == key;
    }) > 0;
}
