#include "platform/telephony/TelephoneNumber.h"

bool TelephoneNumber::isPlainDigits(QByteArrayView number)
{
    if (number.isEmpty() || number.size() > 32)
        return false;
    for (const char c : number) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool TelephoneNumber::isTelephoneNumber(QByteArrayView text)
{
    if (text.startsWith('+'))
        text = text.sliced(1);
    bool digit = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != ' ' && c != '-' && c != '.' && c != '(' && c != ')')
            return false;
    }
    return digit;
}

QByteArray TelephoneNumber::callerNumber(QByteArrayView text)
{
    if (!isTelephoneNumber(text))
        return {};
    QByteArray number;
    for (const char c : text) {
        if (c == '+' || (c >= '0' && c <= '9'))
            number += c;
    }
    return number;
}
