#include "capture/CallerIdParser.h"

#include <optional>

namespace {
constexpr char Dle = 0x10;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Bytes a line's first word is never made of: blanks, control bytes and DEL.
bool isNoise(char c)
{
    return uchar(c) <= 0x20 || uchar(c) == 0x7f;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.sliced(start, end - start);
}

qsizetype skipBlanks(QByteArrayView line, qsizetype i)
{
    while (i < line.size() && isBlank(line[i]))
        ++i;
    return i;
}

// The keys of formatted reports. Longer keys first, so that DDN_NMBR is not read as DDN.
struct Key
{
    QByteArrayView word;
    bool number; // its value is the caller's number
};
constexpr Key kKeys[] = {
    {"DDN_NMBR", true}, {"NMBR", true},  {"DDN", true},   {"NBR", true},
    {"DATE", false},    {"TIME", false}, {"NAME", false}, {"MESG", false},
};

struct Tag
{
    qsizetype start;      // where the key begins
    qsizetype valueStart; // after '=' or ':' and the blanks behind it
    const Key* key;
};

// A key at `i`, at the line start or after a blank, followed by '=' or ':'.
std::optional<Tag> tagAt(QByteArrayView line, qsizetype i)
{
    if (i > 0 && !isBlank(line[i - 1]))
        return std::nullopt;
    const char first = line[i];
    if (first != 'N' && first != 'D' && first != 'T' && first != 'M')
        return std::nullopt;
    for (const Key& key : kKeys) {
        if (!line.sliced(i).startsWith(key.word))
            continue;
        qsizetype j = skipBlanks(line, i + key.word.size());
        if (j < line.size() && (line[j] == '=' || line[j] == ':'))
            return Tag{i, skipBlanks(line, j + 1), &key};
        return std::nullopt;
    }
    return std::nullopt;
}

QList<Tag> tagsOf(QByteArrayView line)
{
    QList<Tag> tags;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (const std::optional<Tag> tag = tagAt(line, i)) {
            tags.append(*tag);
            i = tag->valueStart - 1;
        }
    }
    return tags;
}

CallerIdReport reportOf(QByteArrayView value)
{
    CallerIdReport report;
    report.number = value.toByteArray();
    report.absence = CallerIdReport::absenceOf(value);
    return report;
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// An SDMF or MDMF packet written as hex digits. No result for text that is no such packet
// or whose checksum does not hold (a packet damaged on the line names no caller).
std::optional<CallerIdReport> packetReport(QByteArrayView text)
{
    QByteArray bytes;
    int high = -1;
    for (const char c : text) {
        if (isBlank(c))
            continue;
        const int v = hexValue(c);
        if (v < 0)
            return std::nullopt;
        if (high < 0) {
            high = v;
        } else {
            bytes += char(high << 4 | v);
            high = -1;
        }
    }
    if (high >= 0 || bytes.size() < 3)
        return std::nullopt;
    const uchar type = uchar(bytes[0]);
    if ((type != 0x04 && type != 0x80) || uchar(bytes[1]) + 3 != bytes.size())
        return std::nullopt;
    uchar sum = 0;
    for (const char b : bytes)
        sum = uchar(sum + uchar(b));
    if (sum != 0)
        return std::nullopt;
    const QByteArrayView body = QByteArrayView(bytes).sliced(2, bytes.size() - 3);

    CallerIdReport report;
    if (type == 0x04) {
        // Single data message: eight digits of date and time, then the number or 'O'/'P'.
        if (body.size() < 8)
            return std::nullopt;
        report = reportOf(body.sliced(8));
        if (!report.hasNumber())
            report.number.clear();
        return report;
    }
    // Multiple data message: parameters of type, length and value.
    report.absence = CallerIdReport::Absence::Unavailable;
    for (qsizetype i = 0; i + 2 <= body.size();) {
        const uchar parameter = uchar(body[i]);
        const qsizetype length = uchar(body[i + 1]);
        if (i + 2 + length > body.size())
            return std::nullopt;
        const QByteArrayView value = body.sliced(i + 2, length);
        if (parameter == 0x02) {
            report.number = value.toByteArray();
            report.absence = CallerIdReport::Absence::None;
            break;
        }
        if (parameter == 0x04)
            report.absence = value == "P" ? CallerIdReport::Absence::Withheld : CallerIdReport::Absence::Unavailable;
        i += 2 + length;
    }
    return report;
}

// "###DATE0321...NMBR0591123456...NAMEZHANG+++": the fields follow "###" or "...".
std::optional<CallerIdReport> boxReport(QByteArrayView line)
{
    qsizetype at = -1;
    for (qsizetype i = line.indexOf("NMBR"); i >= 0; i = line.indexOf("NMBR", i + 1)) {
        const QByteArrayView before = line.first(i);
        if (before.endsWith("###") || before.endsWith("...")) {
            at = i + 4;
            break;
        }
    }
    if (at < 0)
        return CallerIdReport{{}, CallerIdReport::Absence::Unavailable};
    qsizetype end = line.size();
    for (const QByteArrayView stop : {QByteArrayView("..."), QByteArrayView("+++")}) {
        const qsizetype s = line.indexOf(stop, at);
        if (s >= 0 && s < end)
            end = s;
    }
    CallerIdReport report = reportOf(trimmed(line.sliced(at, end - at)));
    if (!report.hasNumber())
        report.number.clear();
    return report;
}

// The formatted report's tags; the first number tag on the line gives the report.
std::optional<CallerIdReport> taggedReport(QByteArrayView line)
{
    const QList<Tag> tags = tagsOf(line);
    for (qsizetype t = 0; t < tags.size(); ++t) {
        const Tag& tag = tags.at(t);
        const qsizetype end = t + 1 < tags.size() ? tags.at(t + 1).start : line.size();
        const QByteArrayView value = line.sliced(tag.valueStart, end - tag.valueStart);
        if (tag.key->number) {
            CallerIdReport report = reportOf(trimmed(value));
            if (!report.hasNumber())
                report.number.clear();
            return report;
        }
        // Some modems hand on the unformatted packet as the value of MESG.
        if (tag.key->word == "MESG") {
            if (std::optional<CallerIdReport> packet = packetReport(trimmed(value)))
                return packet;
        }
    }
    return std::nullopt;
}

// A line that starts with "NMBR" gives the text after the key and '=' up to the line end
// (or up to the next key of a line with several), blanks around '=' optional.
std::optional<CallerIdReport> numberLineReport(QByteArrayView line)
{
    qsizetype i = skipBlanks(line, 4);
    if (i < line.size() && (line[i] == '=' || line[i] == ':'))
        ++i;
    else if (i == 4 && i < line.size())
        return std::nullopt; // "NMBRX...": another word, not the key
    i = skipBlanks(line, i);
    QByteArrayView value = line.sliced(i);
    const QList<Tag> later = tagsOf(value);
    for (const Tag& tag : later) {
        if (tag.start > 0) {
            value = trimmed(value.first(tag.start));
            break;
        }
    }
    CallerIdReport report = reportOf(value);
    report.numberLine = true;
    return report;
}

// "CALLER NUMBER: 123" or "FM:123 TO:456": the value after the key's ':' up to the end or
// up to `stop`.
std::optional<CallerIdReport> keyedReport(QByteArrayView line, QByteArrayView key, QByteArrayView stop)
{
    if (!line.startsWith(key))
        return std::nullopt;
    qsizetype i = skipBlanks(line, key.size());
    if (i == line.size() || (line[i] != ':' && line[i] != '='))
        return std::nullopt;
    QByteArrayView value = line.sliced(i + 1);
    if (!stop.isEmpty()) {
        for (qsizetype s = value.indexOf(stop); s >= 0; s = value.indexOf(stop, s + 1)) {
            const qsizetype j = skipBlanks(value, s + stop.size());
            if (s > 0 && isBlank(value[s - 1]) && j < value.size() && value[j] == ':') {
                value = value.first(s);
                break;
            }
        }
    }
    CallerIdReport report = reportOf(trimmed(value));
    if (!report.hasNumber())
        report.number.clear();
    return report;
}

std::optional<CallerIdReport> parseLine(QByteArrayView line)
{
    qsizetype start = 0;
    while (start < line.size() && isNoise(line[start]))
        ++start;
    line = line.sliced(start);
    if (line.isEmpty())
        return std::nullopt;
    if (line.startsWith("###"))
        return boxReport(line);
    if (line.startsWith("NMBR"))
        return numberLineReport(line);
    if (std::optional<CallerIdReport> packet = packetReport(trimmed(line)))
        return packet;

    if (line.startsWith("RING")) {
        QByteArrayView rest = line.sliced(4);
        if (rest.startsWith(';') || rest.startsWith('/')) {
            // ISDN adapters: "RING;caller;called" or "RING/caller"; the first is the caller.
            rest = rest.sliced(1);
            qsizetype end = 0;
            while (end < rest.size() && rest[end] != ';' && rest[end] != '/')
                ++end;
            CallerIdReport report = reportOf(trimmed(rest.first(end)));
            if (!report.hasNumber())
                report.number.clear();
            return report;
        }
        rest = rest.sliced(skipBlanks(rest, 0));
        if (rest.size() == line.size() - 4 && !rest.isEmpty())
            return std::nullopt; // "RINGING" and the like
        qsizetype end = 0;
        while (end < rest.size() && (isDigit(rest[end]) || (end == 0 && rest[end] == '+')))
            ++end;
        if (end >= 3 && (end == rest.size() || isBlank(rest[end]))) {
            // "RING 0591123456": the caller right after the ring.
            if (tagsOf(rest).isEmpty())
                return reportOf(rest.first(end));
        }
        if (rest.startsWith("NMBR"))
            return numberLineReport(rest);
        line = rest;
    }
    if (std::optional<CallerIdReport> report = keyedReport(line, "CALLER NUMBER", {}))
        return report;
    if (std::optional<CallerIdReport> report = keyedReport(line, "FM", "TO"))
        return report;
    return taggedReport(line);
}
} // namespace

CallerIdReport::Absence CallerIdReport::absenceOf(QByteArrayView value)
{
    const QByteArray upper = trimmed(value).toByteArray().toUpper();
    if (upper.isEmpty() || upper == "O" || upper == "OUT OF AREA" || upper == "UNAVAILABLE" || upper == "UNKNOWN")
        return Absence::Unavailable;
    if (upper == "P" || upper == "PRIVATE" || upper == "RESTRICTED" || upper == "ANONYMOUS" || upper == "WITHHELD")
        return Absence::Withheld;
    return Absence::None;
}

QString CallerIdReport::describe() const
{
    switch (absence) {
    case Absence::None:
        return tr("号码: %1").arg(QString::fromLatin1(number));
    case Absence::Withheld:
        return tr("无号码: 私人号码");
    case Absence::Unavailable:
        break;
    }
    return tr("无号码: 号码不可用");
}

QList<CallerIdReport> CallerIdParser::feedReports(QByteArrayView chunk)
{
    QList<CallerIdReport> reports;
    const QByteArray upper = chunk.toByteArray().toUpper();
    for (const char c : upper) {
        if (m_afterDle) {
            // Voice mode: <DLE>X opens the caller's data and <DLE>. closes it; every other
            // code (ring, tones, a doubled DLE) is nothing the report holds.
            m_afterDle = false;
            if (c == 'X' || c == '.')
                endLine(&reports);
        } else if (c == Dle) {
            m_afterDle = true;
        } else if (c == '\r' || c == '\n') {
            endLine(&reports);
        } else if (!m_skipping) {
            m_commBuffer += c;
            if (m_commBuffer.size() > MaxLine) {
                m_commBuffer.clear();
                m_skipping = true;
            } else if (c == '+' && m_commBuffer.endsWith("+++") && m_commBuffer.contains("###")) {
                // Caller-ID boxes end their one-line report with "+++", not always with a line end.
                endLine(&reports);
            }
        }
    }
    return reports;
}

QList<QByteArray> CallerIdParser::feed(QByteArrayView chunk)
{
    QList<QByteArray> numbers;
    for (const CallerIdReport& report : feedReports(chunk)) {
        if (report.handedOn())
            numbers.append(report.number);
    }
    return numbers;
}

void CallerIdParser::endLine(QList<CallerIdReport>* reports)
{
    if (!m_skipping) {
        if (std::optional<CallerIdReport> report = parseLine(m_commBuffer))
            reports->append(*report);
    }
    m_commBuffer.clear();
    m_skipping = false;
}
