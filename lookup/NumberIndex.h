#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The telephone numbers of a customer table as digits in national form, for finding every
// stored value whose number ends with a caller's number however it was written
// ("0591-87654321", "(0591) 8765 4321", "+86 139 0591 1234", "0591-8765432 转 8001").
//
// Each number is kept as one 64-bit key: its last 16 digits reversed, one digit a nibble
// (digit + 1, 0 after the end), so that the numbers ending with the same digits lie side by
// side in the sorted keys and a caller's number finds them with two binary searches. Beside
// the key is the place of the stored value's text, kept once as UTF-8 behind a length byte.
class NumberIndex
{
    Q_DECLARE_TR_FUNCTIONS(NumberIndex)

public:
    // A stored value taken apart: the digits of the number in national form (no separators,
    // no country code +86/0086, no trunk zeros) and the extension after 转, 分机, ext or x.
    struct Number
    {
        QString digits;
        QString extension;
    };
    static Number normalise(const QString& stored);

    // Collects stored values, then sorts them into an index.
    class Builder
    {
    public:
        void add(const QString& stored);
        NumberIndex finish();

    private:
        std::vector<std::pair<std::uint64_t, std::uint32_t>> m_entries;
        QByteArray m_texts;
    };

    // The distinct stored values whose number ends with the caller's number (digits, leading
    // zeros ignored), in index order. Nothing for a number the index cannot search (fewer than
    // 3 digits, more than 16, anything but digits).
    QStringList find(const QString& callerNumber) const;

    // Numbers indexed, and the memory they take.
    qsizetype size() const { return qsizetype(m_keys.size()); }
    qsizetype bytes() const;

    // For the user: which fields of a customer statement are indexed and how formatted
    // numbers are matched, or why the statement runs as written; "" without a statement.
    static QString describe(const QString& customerSql);

private:
    std::vector<std::uint64_t> m_keys;
    std::vector<std::uint32_t> m_places;
    QByteArray m_texts;
};
