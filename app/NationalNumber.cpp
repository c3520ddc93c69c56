#include "app/NationalNumber.h"

namespace {
bool allDigits(QByteArrayView text)
{
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.isEmpty();
}

bool isMobile(QByteArrayView number)
{
    return number.size() == 11 && number[0] == '1' && number[1] >= '3' && number[1] <= '9';
}
} // namespace

QByteArray NationalNumber::of(const QByteArray& digits, const std::function<bool(QByteArrayView)>& hasRegion)
{
    if (!digits.startsWith("86") || !allDigits(digits))
        return digits;
    // "+86 0591 ..." as some callers' exchanges write it: the trunk zero goes as well.
    QByteArrayView national = QByteArrayView(digits).sliced(2);
    while (national.startsWith('0'))
        national = national.sliced(1);
    if (isMobile(national))
        return national.toByteArray();
    if (national.size() >= 9 && national.size() <= 11 && hasRegion && hasRegion(national))
        return national.toByteArray();
    return digits;
}
