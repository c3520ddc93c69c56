#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
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
// the key are the place of the stored value's text, kept as UTF-8 behind a length byte, and,
// where the table has them, the row's key (IndexedStatement::RowKey).
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

    // Collects stored values, then sorts them into an index. Either every value comes with
    // its row's rowid or none does.
    class Builder
    {
    public:
        void add(const QString& stored, qint64 rowId = -1);
        NumberIndex finish();

    private:
        struct Entry
        {
            std::uint64_t key;
            std::uint32_t place;
            qint64 rowId;
            bool operator<(const Entry& other) const { return key < other.key; }
        };
        std::vector<Entry> m_entries;
        QByteArray m_texts;
        bool m_rowIds = true;
        qint64 m_lastRowId = -1;
    };

    struct Matches
    {
        QStringList values; // distinct, in index order
        QList<qint64> rowIds; // empty when the index holds none
    };
    // The stored values whose number ends with the caller's number (digits, leading zeros
    // ignored). Nothing for a number the index cannot search (fewer than 3 digits, more than
    // 16, anything but digits).
    Matches find(const QString& callerNumber) const;
    // The highest row key read while building, whether or not its value was indexed: SQLite
    // gives later rows higher rowids, and PostgreSQL puts them after the others unless room
    // was left by deleted rows. -1 when the index holds no row keys.
    qint64 lastRowId() const { return m_lastRowId; }

    // Numbers indexed, and the memory they take.
    qsizetype size() const { return qsizetype(m_keys.size()); }
    qsizetype bytes() const;

    // For the user: which fields of a customer statement are indexed and how formatted
    // numbers are matched, or why the statement runs as written; "" without a statement.
    static QString describe(const QString& customerSql);

private:
    std::vector<std::uint64_t> m_keys;
    std::vector<std::uint32_t> m_places;
    std::vector<qint64> m_rowIds;
    qint64 m_lastRowId = -1;
    QByteArray m_texts;
};
