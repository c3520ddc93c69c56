#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Turns the number text that a capture path posted into the caller's number: the first
// run of digits that begins with 1 to 9 (the exchange's leading zeros and any words
// around the number are dropped).
class IncomingNumber
{
public:
    // The posted text is read up to its first NUL and at most 255 characters. No result
    // when the text holds no digit 1 to 9; with dropHeader (the "汇线通" option, a line
    // that prefixes every number with one extra digit) the run loses its first digit and
    // may become empty, which still counts as a number.
    static std::optional<QByteArray> take(QByteArrayView text, bool dropHeader);
    // The same run of digits as the line delivered it, with the zeros before it (the
    // long-distance prefix to dial when calling back); with dropHeader without its first
    // digit. Empty when take() gives no result.
    static QByteArray delivered(QByteArrayView text, bool dropHeader);

    static constexpr qsizetype MaxLength = 255;
};
