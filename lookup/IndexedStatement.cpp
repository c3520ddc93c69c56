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

QString IndexedStatement::valuesStatement(bool withRowId) const
{
    QStringList columns;
    if (withRowId)
        columns << QStringLiteral("b.rowid");
    for (const QString& field : m_fields)
        columns << QStringLiteral("b.") + field;
    return QStringLiteral("select ") + columns.join(QLatin1String(", ")) + QStringLiteral(" from ") + m_table
           + QStringLiteral(" b");
}

QString IndexedStatement::exactStatement(int count, int rowIds) const
{
    const QString list = QStringList(count, QStringLiteral("?")).join(QLatin1Char(','));
    QStringList conditions;
    for (const QString& field : m_fields)
        conditions << QStringLiteral("b.") + field + QStringLiteral(" in (") + list + QLatin1Char(')');
    if (rowIds == 0)
        return m_head + QLatin1Char(' ') + conditions.join(QLatin1String(" or "));
    return m_head + QStringLiteral(" b.rowid in (") + QStringList(rowIds, QStringLiteral("?")).join(QLatin1Char(','))
           + QStringLiteral(") and (") + conditions.join(QLatin1String(" or ")) + QLatin1Char(')');
}
