#include "lookup/CallLog.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
const QLatin1String Separator("-#-");

QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString fromGbk(QByteArrayView bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}
} // namespace

CallLog::CallLog(QString path, std::function<QDateTime()> now) : m_path(std::move(path)), m_now(std::move(now)) {}

bool CallLog::append(const QString& number, const QString& remark, QString* error)
{
    const QByteArray line = formatLine({timeText(m_now()), number, remark});
    QFile file(m_path);
    // One write of the whole line, so that a failing disk never leaves half a record.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() || !file.flush()) {
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
    return gbk(entry.time + Separator + entry.number + Separator + remark) + "\r\r\n";
}

std::optional<CallLog::Entry> CallLog::parseLine(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\r' || line.back() == '\n'))
        line.chop(1);
    const QString text = fromGbk(line);
    const qsizetype first = text.indexOf(Separator);
    if (first < 0)
        return std::nullopt;
    const qsizetype second = text.indexOf(Separator, first + Separator.size());
    if (second < 0)
        return std::nullopt;
    return Entry{text.left(first), text.mid(first + Separator.size(), second - first - Separator.size()),
                 text.mid(second + Separator.size())};
}

QString CallLog::timeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
