#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What a line provider may pass on as a caller's number. Its caller-ID fields (a SIP user
// part, a text typed into a tool) may hold a user name like "alice2" or "ext5"; the digits
// in it are no telephone number and would claim whichever customer's number ends in them.
namespace TelephoneNumber {

// Digits, with an optional leading '+' and the separators people write numbers with
// (blank, '-', '.', parentheses); at least one digit.
bool isTelephoneNumber(QByteArrayView text);

// A telephone number as one run: its '+' and digits without the separators, so that the
// whole number reaches the caller window rather than its first group. Empty when the text
// is no telephone number.
QByteArray callerNumber(QByteArrayView text);

// A number as a network peer must send it: 1 to 32 digits and nothing else.
bool isPlainDigits(QByteArrayView number);

} // namespace TelephoneNumber
