#include "app/IncomingNumber.h"

std::optional<QByteArray> IncomingNumber::take(QByteArrayView text, bool dropHeader)
{
    text = text.first(std::min(text.size(), MaxLength));
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
        text = text.first(nul);

    qsizetype start = 0;
    while (start < text.size() && !(text[start] >= '1' && text[start] <= '9'))
        ++start;
    if (start == text.size())
        return std::nullopt;
    qsizetype end = start;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;

    QByteArray number = text.sliced(start, end - start).toByteArray();
    if (dropHeader)
        number.remove(0, 1);
    return number;
}
