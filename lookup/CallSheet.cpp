#include "lookup/CallSheet.h"

#include <QStringEncoder>

namespace {
QString blankLineBreaks(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}
} // namespace

QList<CallSheet::Record> CallSheet::records(const QList<Row>& rows)
{
    QList<Record> result;
    result.reserve(rows.size());
    for (const Row& row : rows)
        result.append({cutToBytes(blankLineBreaks(row.label), LabelBytes),
                       cutToBytes(blankLineBreaks(row.value), ValueBytes)});
    return result;
}

QString CallSheet::cutToBytes(const QString& text, int bytes)
{
    QStringEncoder gbk("GB18030");
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        // A character outside the basic plane is a surrogate pair: measured and kept whole.
        const qsizetype length = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        used += QByteArray(gbk.encode(QStringView(text).mid(end, length))).size();
        if (used > bytes)
            break;
        end += length;
    }
    return text.left(end);
}
