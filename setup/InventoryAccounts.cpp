#include "setup/InventoryAccounts.h"

#include "lookup/DbConnection.h"
#include "lookup/DbTable.h"
#include "platform/Error.h"
#include "setup/LinkStrings.h"

#include <QFileInfo>

InventoryAccounts::ReadResult InventoryAccounts::read(const QString& folder, QList<AccountSet>* sets, QString* error)
{
    sets->clear();
    if (!QFileInfo::exists(InventoryLink::loginDbFile(folder)))
        return ReadResult::NoLoginDb;
    DbConnection connection;
    DbTable table(&connection);
    try {
        connection.setConnectionString(InventoryLink::loginDbString(folder));
        connection.open();
        table.setTableName(QStringLiteral("Login"));
        table.activate();
        for (int r = 0; r < table.recordCount(); ++r) {
            table.moveTo(r);
            *sets << AccountSet{table.fieldText(QStringLiteral("Name")), table.fieldText(QStringLiteral("CoName")),
                                table.fieldText(QStringLiteral("Path"))};
        }
    } catch (const Error& e) {
        sets->clear();
        if (error)
            *error = e.message();
        return ReadResult::Damaged;
    }
    table.deactivate();
    connection.close();
    return ReadResult::Listed;
}

InventoryAccounts::Check InventoryAccounts::check(const QString& accountFile)
{
    if (accountFile.isEmpty())
        return Check::NoneChosen;
    return QFileInfo::exists(accountFile) ? Check::Valid : Check::Missing;
}
