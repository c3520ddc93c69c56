#pragma once

#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// One record of the region table as the table holds it: the code and the GBK name of its
// region. Both view the table's arrays and stay valid until the table changes.
struct RegionRecord
{
    QByteArrayView code;
    QByteArrayView district;
};

// The region table. Records are ordered by code length and, within one length, by code
// in byte order, so that lookup can search each length by halves.
//
// The program keeps it for its whole run, so it is held packed: the codes of one length
// side by side in one array (a code of L characters takes L bytes), one district number
// per record, and each district name once. The shipped table has some 321,000 records
// but only a few hundred names.
//
// The arrays can also be viewed where another owner holds them, such as a file mapped into
// memory; the table then holds none of them on its heap.
class RegionTable
{
    Q_DECLARE_TR_FUNCTIONS(RegionTable)

public:
    // Codes are shorter than this; the counts run over lengths 1 to MaxCodeLen.
    static constexpr int MaxCodeLen = 10;
    // District names are shorter than this, in bytes.
    static constexpr int MaxDistrictLen = 50;

    RegionTable() { refresh(); }
    // A copy views what the table views, or holds its own copy of the table's arrays.
    RegionTable(const RegionTable& other);
    RegionTable& operator=(const RegionTable& other);

    enum class Fault
    {
        None,
        EmptyCode,
        LongCode,
        LongDistrict,
    };

    // Whether the table can hold a record: a code of 1 to 9 characters and a district of
    // at most 49 bytes. Checked in this order, so a record with two faults names the first.
    static Fault check(QByteArrayView code, QByteArrayView district);
    // What the user is told about a record refused for fault.
    static QString faultText(Fault fault);
    // code and district as 8-bit texts hold them: up to the first NUL, if any.
    static QByteArrayView text(QByteArrayView bytes);

    void clear();
    // Inserts one record in order; a code equal to a stored one goes before it. Returns the
    // position of the new record, or -1 with *fault set when the table cannot hold it.
    // code and district end at a NUL, if they hold one.
    int32_t add(QByteArrayView code, QByteArrayView district, Fault* fault = nullptr);
    // The record of the longest code whose characters after the first begin the number.
    // number need not be NUL-terminated.
    std::optional<RegionRecord> lookup(const char* number, int length) const;

    qsizetype size() const { return qsizetype(arrays().recordCount); }
    bool isEmpty() const { return size() == 0; }
    RegionRecord record(qsizetype position) const;
    // Number of records whose code has `length` characters (1 to MaxCodeLen).
    int32_t codeCount(int length) const { return m_codeCount[length - 1]; }
    qsizetype districtCount() const { return qsizetype(arrays().districtStartCount) - 1; }
    // Heap bytes the table holds; arrays it views elsewhere are not counted.
    size_t memoryBytes() const;

    // The table's arrays, in the layout described above.
    struct Arrays
    {
        // Including the eight zero bytes behind the last code.
        const char* codes = nullptr;
        size_t codeBytes = 0;
        const uint32_t* districtIds = nullptr;
        size_t recordCount = 0;
        const uint32_t* districtStarts = nullptr;
        size_t districtStartCount = 0;
        const char* districts = nullptr;
        size_t districtBytes = 0;
    };
    const Arrays& arrays() const { return m_arrays; }
    // Makes the table view arrays that owner keeps alive, in place of its own. They must
    // be consistent with codeCount (1 to MaxCodeLen), as RegionTableCache checks them.
    void view(const Arrays& arrays, const int32_t (&codeCount)[MaxCodeLen], std::shared_ptr<const void> owner);
    bool isViewing() const { return m_owner != nullptr; }

    // Fills a table from many records in O(n log n), where adding them one by one costs
    // O(n²), and in O(n) when each length's codes come in strictly ascending order, as the
    // shipped file is written. The order is add's; among equal codes a later record comes
    // first (add's order for a pair; for three or more add's order depends on its search
    // path).
    class Builder
    {
    public:
        explicit Builder(qsizetype expectedRecords = 0);
        // Takes one record, or refuses it with the fault. code and district end at a NUL,
        // if they hold one; they need to stay valid only during the call.
        Fault append(QByteArrayView code, QByteArrayView district);
        // append() for a code and a district that hold no NUL, as a reader that has
        // already ended them gives them.
        Fault appendText(QByteArrayView code, QByteArrayView district);
        qsizetype size() const { return qsizetype(m_entries.size()); }
        // Replaces the contents of table by the records taken; the builder is then empty.
        void build(RegionTable& table);

    private:
        // A code of up to 9 bytes as a number that compares as the bytes do: the first 8
        // bytes big-endian, then the ninth.
        struct Entry
        {
            uint64_t head;
            uint32_t district;
            uint8_t tail;
            uint8_t length;
        };
        uint32_t districtId(QByteArrayView district);
        static void sortByCode(std::vector<Entry>& entries);

        std::vector<Entry> m_entries;
        std::vector<char> m_districts;
        std::vector<uint32_t> m_districtStarts{0};
        // Open addressing over m_districtStarts' numbers; slots hold id + 1, 0 is free.
        std::vector<uint32_t> m_slots;
        uint32_t m_lastDistrict = 0;
        bool m_ascending[MaxCodeLen] = {};
        int32_t m_counts[MaxCodeLen] = {};
        Entry m_last[MaxCodeLen] = {};
    };

private:
    int32_t start(int length) const { return m_start[length - 1]; }
    size_t codeOffset(qsizetype position, int length) const;
    const char* codeAt(qsizetype position, int length) const;
    int lengthAt(qsizetype position) const;
    void updateStarts();
    uint32_t districtId(QByteArrayView district);
    // Points m_arrays at the table's own arrays, unless it views others.
    void refresh();
    // Copies viewed arrays into the table's own, before they change.
    void own();

    // Codes grouped by length, each group in order; group L holds codeCount(L) codes of L
    // bytes each. Eight zero bytes follow the last code.
    std::vector<char> m_codes = std::vector<char>(8, 0);
    std::vector<uint32_t> m_districtIds;
    // District names back to back; name i is m_districts[m_districtStarts[i]] up to
    // m_districtStarts[i + 1].
    std::vector<char> m_districts;
    std::vector<uint32_t> m_districtStarts{0};
    int32_t m_codeCount[MaxCodeLen] = {};
    // Position of the first record and byte offset of the first code of each length.
    int32_t m_start[MaxCodeLen] = {};
    size_t m_codeStart[MaxCodeLen] = {};
    // Where the arrays are: the vectors above, or memory m_owner keeps alive.
    Arrays m_arrays;
    std::shared_ptr<const void> m_owner;
};
