#pragma once

#include <QString>

#include <optional>

// The customer and business statements of the data-source settings hold the placeholder
// "#NO#" (in any letter case) where the caller's number goes.
class CallerStatement
{
public:
    // The statement with every placeholder replaced by the number. Numbers reach this
    // window from the line, but also from the call log and from what a user typed, so
    // only a non-empty run of the digits 0-9 is ever put into a statement; anything else
    // gives no statement, and the caller is treated as not found.
    static std::optional<QString> withNumber(const QString& sql, const QString& phoneNo);

    static bool isLookupNumber(const QString& phoneNo);
};
