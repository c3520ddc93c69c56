#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// A caller's number from abroad or in international form, brought to the form the
// customer database, the region table and the call log know.
//
// China's country code comes as "+86", "0086" or a bare "86"; once the leading zeros and
// the '+' are gone (IncomingNumber) all three read "86...". The code is dropped only when
// what follows is a national number with a region: a mobile number (11 digits, 13x to
// 19x) or a number of 9 to 11 digits whose area code the region table knows. A national
// number may itself begin with 86 digits of a local number, and other countries' numbers
// have no region here, so everything else stays as sent.
class NationalNumber
{
public:
    // digits: the caller's number as the notification holds it (digits, no leading zero).
    // hasRegion: whether the region table knows the area of such a national number.
    static QByteArray of(const QByteArray& digits, const std::function<bool(QByteArrayView)>& hasRegion);
};
