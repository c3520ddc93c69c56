#include "setup/LinkStrings.h"

namespace {
const QString kProductPassword = QStringLiteral("Marlo306158");
}

QString LinkStrings::piece(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    const QString value = text.mid(begin, end - begin);
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('='))
        && !value.startsWith(QLatin1Char('"')) && !value.startsWith(QLatin1Char('\'')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString LinkStrings::odbc(const QString& user, const QString& password, const QString& dataSource)
{
    return QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=") + piece(user)
           + QStringLiteral(";Password=") + piece(password) + QStringLiteral(";Data Source=") + piece(dataSource);
}

QString LinkStrings::access(const QString& user, const QString& file, const QString& password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=") + piece(user) + QStringLiteral(";Data Source=")
           + piece(file) + QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=") + piece(password);
}

QString LinkStrings::sqlite(const QString& file)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + piece(file);
}

QString InventoryLink::loginDbFile(const QString& folder)
{
    return folder + QStringLiteral("LoginDB.mdb");
}

QString InventoryLink::loginDbString(const QString& folder)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=") + LinkStrings::piece(loginDbFile(folder))
           + QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=") + kProductPassword;
}

QString InventoryLink::accountSetString(const QString& accountFile)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=") + LinkStrings::piece(accountFile)
           + QStringLiteral(";User ID=Admin;Jet OLEDB:Database Password=") + kProductPassword;
}
