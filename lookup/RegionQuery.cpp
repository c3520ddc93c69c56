#include "lookup/RegionQuery.h"

#include "lookup/RegionTable.h"

#include <QStringDecoder>

QString RegionQuery::withoutLeadingZeros(const QString& entry)
{
    qsizetype zeros = 0;
    while (zeros < entry.size() && entry.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return entry.sliced(zeros);
}

QString RegionQuery::district(const RegionTable& table, const QString& number)
{
    const QByteArray digits = number.toLatin1();
    const std::optional<RegionRecord> record = table.lookup(digits.constData(), int(digits.size()));
    if (!record)
        return QString();
    QStringDecoder gbk("GB18030");
    return gbk(record->district);
}

QString RegionQuery::answer(const RegionTable& table, const QString& entry)
{
    const QString number = withoutLeadingZeros(entry);
    if (number.size() <= 8)
        return tr("本地号码");
    const QString region = district(table, number);
    return region.isEmpty() ? tr("系统中无此号码记录，请提交给软件作者") : region;
}
