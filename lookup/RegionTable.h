#pragma once

#include <QCoreApplication>

#include <cstdint>
#include <vector>

// One record of the region table: a code and the GBK name of the region it belongs to.
struct RegionRecord
{
    Q_DECLARE_TR_FUNCTIONS(RegionRecord)

public:
    // code and district are NUL-terminated 8-bit texts; throws Error when the code
    // is empty or has 10 or more characters, or the district has 50 or more bytes.
    RegionRecord(const char* code, const char* district);

    char Code[10];
    int32_t CodeLen;
    char District[50];
    int32_t DistrictLen;
};

// The region table. Cells are ordered by code length and, within one length, by code
// in byte order, so that Lookup can search each length by halves.
class RegionTable
{
public:
    static constexpr int MaxCodeLen = 10;

    void Clear();
    // Inserts one cell in order; a code equal to a stored one goes before it. Returns the
    // position of the new cell.
    int32_t Add(RegionRecord cell);
    // Replaces the contents by cells in O(n log n), where adding them one by one costs
    // O(n²). The order is Add's; among equal codes a later cell comes first (Add's order
    // for a pair; for three or more Add's order depends on its search path).
    void Assign(std::vector<RegionRecord> cells);
    // The cell of the longest code whose characters after the first begin the number, or
    // nullptr. number need not be NUL-terminated.
    const RegionRecord* Lookup(const char* number, int length) const;

    const std::vector<RegionRecord>& Cells() const { return m_cells; }
    // Number of cells whose code has `length` characters (1 to MaxCodeLen).
    int32_t CodeCount(int length) const { return m_codeCount[length - 1]; }

private:
    int32_t start(int length) const;

    std::vector<RegionRecord> m_cells;
    int32_t m_codeCount[MaxCodeLen] = {};
};
