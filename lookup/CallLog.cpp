#include "lookup/CallLog.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <vector>

namespace {
// Sought as UTF-16: measurably quicker than a Latin-1 needle over a big log.
constexpr QStringView Separator = u"-#-";

QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString fromGbk(QByteArrayView bytes)
{
    // Opening a converter costs more than decoding a line, and a history reads
    // hundreds of thousands of them: one per thread, each line decoded on its own.
    thread_local QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArrayView withoutLineEnd(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\r' || line.back() == '\n'))
        line.chop(1);
    return line;
}

// The text before the first separator and the text after it. A line the program did not
// write (a hand edit, a cut-off last line) is listed as the history window has always
// listed it: where a separator is missing, nothing before it, and after it the text from
// its third character on.
std::pair<QString, QString> splitAtSeparator(const QString& text)
{
    const qsizetype at = text.indexOf(Separator);
    if (at < 0)
        return {QString(), text.mid(2)};
    return {text.left(at), text.mid(at + Separator.size())};
}
} // namespace

CallLog::CallLog(QString path, std::function<QDateTime()> now) : m_path(std::move(path)), m_now(std::move(now)) {}

bool CallLog::append(const QString& number, const QString& remark, QString* error)
{
    const QByteArray line = formatLine({timeText(m_now()), number, remark});
    QFile file(m_path);
    // Unbuffered, so that a failed write is known here and nothing is left to be written later.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error = tr("日志文件无法打开或创建！");
        return false;
    }
    // A full disk may take part of the line; the part is cut off again, or the next call's
    // record would be glued to it once there is room.
    const qint64 before = file.size();
    // A log cut off or edited by hand may end inside a line; the record starts a line of
    // its own, or it would be read as the end of that one.
    QByteArray bytes = line;
    if (before > 0) {
        QFile tail(m_path);
        char last = '\n';
        if (tail.open(QIODevice::ReadOnly) && tail.seek(before - 1))
            tail.getChar(&last);
        if (last != '\n')
            bytes.prepend("\r\r\n");
    }
    if (file.write(bytes) != bytes.size()) {
        file.resize(before);
        if (error)
            *error = tr("日志文件无法打开或创建！");
        return false;
    }
    return true;
}

QByteArray CallLog::formatLine(const Entry& entry)
{
    // A line break inside a database value would split the record in two.
    QString remark = entry.remark;
    remark.replace(QLatin1String("\r\n"), QLatin1String(" "));
    remark.replace(QLatin1Char('\r'), QLatin1Char(' '));
    remark.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return gbk(QStringList{entry.time, entry.number, remark}.join(Separator)) + "\r\r\n";
}

CallLog::Entry CallLog::parseLine(QByteArrayView line)
{
    const auto [time, rest] = splitAtSeparator(fromGbk(withoutLineEnd(line)));
    const auto [number, remark] = splitAtSeparator(rest);
    return Entry{time, number, remark};
}

bool CallLog::read(QList<Entry>* entries, QString* error) const
{
    entries->clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = tr("日志文件无法打开或创建！");
        return false;
    }
    // Whole lines whatever their length: a long remark must not hide the calls after it.
    // A blank line is listed as the file holds it, so that the list is the file.
    while (!file.atEnd())
        entries->append(parseLine(file.readLine()));
    return true;
}

bool CallLog::readLatest(qsizetype maxEntries, QList<Entry>* entries, qsizetype* earlier, QString* error) const
{
    entries->clear();
    *earlier = 0;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = tr("日志文件无法打开或创建！");
        return false;
    }
    // The kept lines as raw bytes in a ring; only they are decoded at the end.
    std::vector<QByteArray> ring(size_t(qMax<qsizetype>(maxEntries, 0)));
    qsizetype total = 0;
    QByteArray line;
    while (!file.atEnd() && !ring.empty()) {
        line = file.readLine(kMaxLineBytes + 1);
        if (!line.endsWith('\n') && !file.atEnd()) {
            // The rest of an over-long line is passed over in pieces.
            QByteArray rest;
            do
                rest = file.readLine(kMaxLineBytes + 1);
            while (!rest.isEmpty() && !rest.endsWith('\n'));
        }
        if (withoutLineEnd(line).isEmpty())
            continue;
        ring[size_t(total % qsizetype(ring.size()))] = std::move(line);
        ++total;
    }
    const qsizetype kept = qMin<qsizetype>(total, qsizetype(ring.size()));
    *earlier = total - kept;
    entries->reserve(kept);
    for (qsizetype i = total - kept; i < total; ++i)
        entries->append(parseLine(ring[size_t(i % qsizetype(ring.size()))]));
    return true;
}

bool CallLog::remove() const
{
    QFile file(m_path);
    return !file.exists() || file.remove();
}

QString CallLog::timeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
