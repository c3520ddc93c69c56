#pragma once

#include <QList>
#include <QString>

// One account set of the maker's inventory product, as its "Login" table lists it.
struct AccountSet
{
    QString name;
    QString company;
    QString path; // the account set's own Access file
};

// The account sets of an inventory installation, read from "LoginDB.mdb" in its folder.
namespace InventoryAccounts {

enum class ReadResult
{
    Listed,
    NoLoginDb, // the folder holds no "LoginDB.mdb": not an installation
    Damaged,   // the file is there but its account list cannot be read; the error says why
};

// `folder` ends with a separator.
ReadResult read(const QString& folder, QList<AccountSet>* sets, QString* error = nullptr);

enum class Check
{
    NoneChosen,
    Missing, // the account set's file is gone
    Valid,
};
Check check(const QString& accountFile);

} // namespace InventoryAccounts
