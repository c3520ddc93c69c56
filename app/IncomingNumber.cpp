#include "app/IncomingNumber.h"

namespace {
// The first run of digits beginning with 1 to 9 in the posted text: where it starts, where
// the zeros right before it start, and where it ends. Nothing when there is none.
struct DigitRun
{
    qsizetype zeros = 0;
    qsizetype start = 0;
    qsizetype end = 0;
};

std::optional<DigitRun> findRun(QByteArrayView& text)
{
    text = text.first(std::min(text.size(), IncomingNumber::MaxLength));
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
        text = text.first(nul);

    DigitRun run;
    while (run.start < text.size() && !(text[run.start] >= '1' && text[run.start] <= '9'))
        ++run.start;
    if (run.start == text.size())
        return std::nullopt;
    run.end = run.start;
    while (run.end < text.size() && text[run.end] >= '0' && text[run.end] <= '9')
        ++run.end;
    run.zeros = run.start;
    while (run.zeros > 0 && text[run.zeros - 1] == '0')
        --run.zeros;
    return run;
}
} // namespace

std::optional<QByteArray> IncomingNumber::take(QByteArrayView text, bool dropHeader)
{
    const std::optional<DigitRun> run = findRun(text);
    if (!run)
        return std::nullopt;
    QByteArray number = text.sliced(run->start, run->end - run->start).toByteArray();
    if (dropHeader)
        number.remove(0, 1);
    return number;
}

QByteArray IncomingNumber::delivered(QByteArrayView text, bool dropHeader)
{
    const std::optional<DigitRun> run = findRun(text);
    if (!run)
        return {};
    QByteArray number = text.sliced(run->zeros, run->end - run->zeros).toByteArray();
    if (dropHeader)
        number.remove(0, 1);
    return number;
}
