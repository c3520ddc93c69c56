#include "lookup/CallerStatement.h"

std::optional<QString> CallerStatement::withNumber(const QString& sql, const QString& phoneNo)
{
    if (!isLookupNumber(phoneNo))
        return std::nullopt;
    QString statement = sql;
    statement.replace(QLatin1String("#NO#"), phoneNo, Qt::CaseInsensitive);
    return statement;
}

bool CallerStatement::isLookupNumber(const QString& phoneNo)
{
    if (phoneNo.isEmpty())
        return false;
    for (const QChar c : phoneNo) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}
