#include "lookup/IndexedStatement.h"

#include <QRegularExpression>

namespace {
// A plain name, or one in double quotes as the wizard quotes names that need it.
const QString Name = QStringLiteral(R"((?:"(?:[^"]|"")+"|[^\s".,'()?]+))");
} // namespace

std::optional<IndexedStatement> IndexedStatement::parse(const QString& sql)
{
    // A '?' could be taken for a bound value once the statement is prepared.
    if (sql.contains(QLatin1Char('?')))
        return std::nullopt;
    static const QRegularExpression head(
        QStringLiteral(R"(^\s*select\s+.+?\s+from\s+(%1)\s+b\s+where\s)").arg(Name),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression condition(QStringLiteral(R"(\s*b\.(%1)\s+like\s+'%#NO#'\s*)").arg(Name),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orWord(QStringLiteral(R"(or\s)"), QRegularExpression::CaseInsensitiveOption);

    const QRegularExpressionMatch start = head.match(sql);
    if (!start.hasMatch())
        return std::nullopt;
    IndexedStatement statement;
    statement.m_head = sql.left(start.capturedEnd());
    statement.m_table = start.captured(1);
    qsizetype at = start.capturedEnd();
    while (true) {
        const QRegularExpressionMatch field =
            condition.match(sql, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!field.hasMatch())
            return std::nullopt;
        statement.m_fields << field.captured(1);
        at = field.capturedEnd();
        if (at == sql.size())
            break;
        const QRegularExpressionMatch more =
            orWord.match(sql, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!more.hasMatch())
            return std::nullopt;
        at = more.capturedEnd();
    }
    return statement;
}

QString IndexedStatement::valuesStatement(RowKey key) const
{
    QStringList columns;
    if (key == RowKey::RowId)
        columns << QStringLiteral("b.rowid");
    else if (key == RowKey::Ctid)
        columns << QStringLiteral("cast(b.ctid as text)");
    for (const QString& field : m_fields)
        columns << QStringLiteral("b.") + field;
    return QStringLiteral("select ") + columns.join(QLatin1String(", ")) + QStringLiteral(" from ") + m_table
           + QStringLiteral(" b");
}

QString IndexedStatement::exactStatement(int count, int rowKeys, RowKey key) const
{
    const QString list = QStringList(count, QStringLiteral("?")).join(QLatin1Char(','));
    QStringList conditions;
    for (const QString& field : m_fields)
        conditions << QStringLiteral("b.") + field + QStringLiteral(" in (") + list + QLatin1Char(')');
    const QString matching = conditions.join(QLatin1String(" or "));
    if (rowKeys == 0 || key == RowKey::None)
        return m_head + QLatin1Char(' ') + matching;
    const bool ctid = key == RowKey::Ctid;
    const QString column = ctid ? QStringLiteral(" b.ctid") : QStringLiteral(" b.rowid");
    const QString bound = ctid ? QStringLiteral("cast(? as tid)") : QStringLiteral("?");
    const QString keys = QStringList(rowKeys, bound).join(QLatin1Char(','));
    // Each part reads rows by their keys alone (no scan), and the parts' rows come one after
    // the other in key order, as a scan of the table would give them.
    return m_head + column + QStringLiteral(" in (") + keys + QStringLiteral(") and (") + matching
           + QStringLiteral(") union all ") + m_head + column + QStringLiteral(" > ") + bound + QStringLiteral(" and (")
           + matching + QLatin1Char(')');
}

QVariantList IndexedStatement::exactValues(const QStringList& values, const QList<qint64>& rowKeys, RowKey key,
                                          qint64 lastRowKey) const
{
    QVariantList matching;
    for (qsizetype field = 0; field < m_fields.size(); ++field) {
        for (const QString& value : values)
            matching << value;
    }
    if (rowKeys.isEmpty() || key == RowKey::None)
        return matching;
    QVariantList bound;
    for (const qint64 rowKey : rowKeys)
        bound << rowKeyValue(key, rowKey);
    bound << matching << rowKeyValue(key, lastRowKey) << matching;
    return bound;
}

qint64 IndexedStatement::rowKeyNumber(RowKey key, const QVariant& value)
{
    // A view gives null keys.
    if (key == RowKey::None || value.isNull())
        return -1;
    if (key == RowKey::RowId)
        return value.toLongLong();
    // "(block,item)": the block in the high bits, the item (below 2^16) in the low ones.
    static const QRegularExpression tid(QStringLiteral(R"(^\((\d+),(\d+)\)$)"));
    const QRegularExpressionMatch match = tid.match(value.toString());
    if (!match.hasMatch())
        return -1;
    const qint64 block = match.captured(1).toLongLong();
    const qint64 item = match.captured(2).toLongLong();
    return item < 0x10000 && block < (qint64(1) << 46) ? (block << 16) | item : -1;
}

QVariant IndexedStatement::rowKeyValue(RowKey key, qint64 number)
{
    if (key == RowKey::Ctid)
        return QStringLiteral("(%1,%2)").arg(number >> 16).arg(number & 0xFFFF);
    return number;
}
