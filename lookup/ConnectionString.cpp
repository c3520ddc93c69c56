#include "lookup/ConnectionString.h"

#include "lookup/DbError.h"

#include <QHash>

namespace {

// Splits "k=v;k='v;w';..." into lower-cased keys and values. Later keys replace earlier ones.
QHash<QString, QString> splitParts(const QString& text)
{
    QHash<QString, QString> parts;
    qsizetype i = 0;
    int number = 0;
    const qsizetype n = text.size();
    while (i < n) {
        ++number;
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            const qsizetype end = semicolon < 0 ? n : semicolon;
            if (!text.mid(i, end - i).trimmed().isEmpty())
                throw DbError(ConnectionString::tr("连接字符串格式错误：第 %1 段缺少“=”。").arg(number));
            i = end + 1;
            continue;
        }
        const QString key = text.mid(i, equals - i).trimmed().toLower();
        if (key.isEmpty())
            throw DbError(ConnectionString::tr("连接字符串格式错误：第 %1 段缺少名称。").arg(number));
        i = equals + 1;
        while (i < n && text.at(i).isSpace())
            ++i;
        QString value;
        if (i < n && (text.at(i) == QLatin1Char('"') || text.at(i) == QLatin1Char('\''))) {
            const QChar quote = text.at(i++);
            bool closed = false;
            while (i < n) {
                if (text.at(i) == quote) {
                    if (i + 1 < n && text.at(i + 1) == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text.at(i++);
            }
            if (!closed)
                throw DbError(ConnectionString::tr("连接字符串格式错误：“%1”的值缺少结束引号。").arg(key));
            while (i < n && text.at(i) != QLatin1Char(';')) {
                if (!text.at(i).isSpace())
                    throw DbError(ConnectionString::tr("连接字符串格式错误：“%1”的引号后还有文字。").arg(key));
                ++i;
            }
            ++i;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, (end < 0 ? n : end) - i).trimmed();
            i = end < 0 ? n : end + 1;
        }
        parts.insert(key, value);
    }
    return parts;
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text)
{
    const QHash<QString, QString> parts = splitParts(text);
    const QString provider = parts.value(QStringLiteral("provider"));
    ConnectionString result;
    if (provider.isEmpty())
        throw DbError(tr("连接字符串没有指定数据提供程序（Provider）。"));
    if (provider.compare(QLatin1String("MSDASQL.1"), Qt::CaseInsensitive) == 0
        || provider.compare(QLatin1String("MSDASQL"), Qt::CaseInsensitive) == 0)
        result.m_kind = Kind::Odbc;
    else if (provider.compare(QLatin1String("Microsoft.Jet.OLEDB.4.0"), Qt::CaseInsensitive) == 0)
        result.m_kind = Kind::Access;
    else if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        result.m_kind = Kind::Sqlite;
    else
        throw DbError(tr("不支持的数据提供程序“%1”（可用：MSDASQL.1、Microsoft.Jet.OLEDB.4.0、SQLite）。").arg(provider));

    if (!parts.contains(QStringLiteral("data source")))
        throw DbError(tr("连接字符串缺少数据源（Data Source）。"));
    result.m_dataSource = parts.value(QStringLiteral("data source"));
    if (result.m_dataSource.isEmpty())
        throw DbError(tr("连接字符串的数据源（Data Source）为空。"));
    result.m_userId = parts.value(QStringLiteral("user id"));
    result.m_password = parts.value(QStringLiteral("password"));
    result.m_databasePassword = parts.value(QStringLiteral("jet oledb:database password"));
    return result;
}
