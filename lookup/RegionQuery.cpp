#include "lookup/RegionQuery.h"

#include "lookup/AreaCode.h"

#include <QStringDecoder>

QString RegionQuery::withoutLeadingZeros(const QString& entry)
{
    qsizetype zeros = 0;
    while (zeros < entry.size() && entry.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return entry.sliced(zeros);
}

QString RegionQuery::answer(const TAreaCode& table, const QString& entry)
{
    const QByteArray number = withoutLeadingZeros(entry).toLatin1();
    if (number.size() <= 8)
        return tr("本地号码");
    const TAreaCodeCell* cell = table.Lookup(number.constData(), int(number.size()));
    if (!cell)
        return tr("系统中无此号码记录，请提交给软件作者");
    QStringDecoder gbk("GB18030");
    return gbk(QByteArrayView(cell->District, cell->DistrictLen));
}
