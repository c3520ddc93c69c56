#include "setup/StoredMapping.h"

#include <QRegularExpression>

namespace {

// A table or field name as the wizard writes it: bare, or in double quotes with inner
// quotes doubled.
const QString kName = QStringLiteral(R"(("(?:[^"]|"")*"|[^\s,=()'"]+))");

QString unquoted(const QString& name)
{
    if (name.size() < 2 || !name.startsWith(QLatin1Char('"')))
        return name;
    QString inner = name.mid(1, name.size() - 2);
    inner.replace(QLatin1String("\"\""), QLatin1String("\""));
    return inner;
}

QRegularExpression pattern(const QString& text)
{
    return QRegularExpression(text, QRegularExpression::CaseInsensitiveOption);
}

// "a, b, "c d"" as names; empty when the list holds anything else.
QStringList nameList(const QString& list)
{
    static const QRegularExpression item = pattern(QStringLiteral(R"(\s*)") + kName + QStringLiteral(R"(\s*(,|$))"));
    QStringList names;
    qsizetype at = 0;
    while (at < list.size()) {
        const QRegularExpressionMatch m =
            item.match(list, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch() || m.capturedLength() == 0)
            return {};
        names << unquoted(m.captured(1));
        at = m.capturedEnd();
    }
    return names;
}

} // namespace

StoredMapping StoredMapping::parse(const QString& customerSql, const QString& businessSql, const QStringList& labels)
{
    StoredMapping stored;
    static const QRegularExpression customer =
        pattern(QStringLiteral(R"(^\s*select\s+(.*?)\s+from\s+)") + kName + QStringLiteral(R"(\s+b\s+where\s(.*)$)"));
    const QRegularExpressionMatch c = customer.match(customerSql);
    if (c.hasMatch()) {
        stored.shownFields = nameList(c.captured(1));
        stored.customerTable = unquoted(c.captured(2));
        stored.labels = labels.mid(0, stored.shownFields.size());
        static const QRegularExpression phone =
            pattern(QStringLiteral(R"(\bb\.)") + kName + QStringLiteral(R"(\s+like\s+'%#NO#')"));
        for (auto it = phone.globalMatch(c.captured(3)); it.hasNext();)
            stored.phoneFields << unquoted(it.next().captured(1));
    }

    static const QRegularExpression business =
        pattern(QStringLiteral(R"(^\s*select\s+a\.\*\s+from\s+(?:)") + kName + QStringLiteral(R"(\s+)?a\s*,\s*)") +
                kName + QStringLiteral(R"(\s+b\s+where\s([^(]*))"));
    const QRegularExpressionMatch b = business.match(businessSql);
    if (b.hasMatch()) {
        stored.businessTable = unquoted(b.captured(1));
        static const QRegularExpression join =
            pattern(QStringLiteral(R"(\ba\.)") + kName + QStringLiteral(R"(\s*=\s*b\.)") + kName);
        for (auto it = join.globalMatch(b.captured(3)); it.hasNext();) {
            const QRegularExpressionMatch j = it.next();
            stored.joins.append({unquoted(j.captured(1)), unquoted(j.captured(2))});
        }
    }
    return stored;
}
