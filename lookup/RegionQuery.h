#pragma once

#include <QCoreApplication>
#include <QString>

class RegionTable;

// The answer of the number-location query for a typed number, shared by the query window
// and the command line so that both say the same.
class RegionQuery
{
    Q_DECLARE_TR_FUNCTIONS(RegionQuery)

public:
    // entry: the digits as typed. Leading zeros are dropped; 8 digits or fewer are a
    // local number; a longer number gets its region or the no-record text.
    static QString answer(const RegionTable& table, const QString& entry);
    // The region of a number as it is held (digits, no leading zeros), or "" when the
    // table has none. The caller window shows it beside numbers of 9 or more digits.
    static QString district(const RegionTable& table, const QString& number);
    // entry without its leading '0' characters.
    static QString withoutLeadingZeros(const QString& entry);
};
