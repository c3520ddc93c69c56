#include "lookup/RegionTable.h"

#include "platform/Error.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {
// Codes compare as unsigned bytes; strncmp does exactly that and stops at a NUL.
int compareCodes(const RegionRecord& a, const RegionRecord& b)
{
    return std::strncmp(a.Code, b.Code, sizeof a.Code);
}
} // namespace

RegionRecord::RegionRecord(const char* code, const char* district)
{
    const size_t codeLen = std::strlen(code);
    const size_t districtLen = std::strlen(district);
    // An empty code has no length group to go into.
    if (codeLen == 0)
        throw Error(tr("RegionRecord类Code字段为空"));
    if (codeLen >= sizeof Code)
        throw Error(tr("RegionRecord类Code字段过长"));
    if (districtLen >= sizeof District)
        throw Error(tr("RegionRecord类District字段过长"));
    std::memcpy(Code, code, codeLen + 1);
    std::memcpy(District, district, districtLen + 1);
    CodeLen = int32_t(codeLen);
    DistrictLen = int32_t(districtLen);
}

void RegionTable::Clear()
{
    m_cells.clear();
    std::fill(std::begin(m_codeCount), std::end(m_codeCount), 0);
}

int32_t RegionTable::start(int length) const
{
    int32_t s = 0;
    for (int l = 1; l < length; ++l)
        s += m_codeCount[l - 1];
    return s;
}

int32_t RegionTable::Add(RegionRecord cell)
{
    const int length = cell.CodeLen;
    const int32_t first = start(length);
    int32_t position = first;
    if (m_codeCount[length - 1] > 0) {
        int32_t lo = first;
        int32_t hi = first + m_codeCount[length - 1] - 1;
        int32_t mid = lo;
        int c = 0;
        while (lo <= hi) {
            mid = (lo + hi) / 2;
            c = compareCodes(m_cells[size_t(mid)], cell);
            if (c == 0)
                break;
            if (c > 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
        position = c >= 0 ? mid : mid + 1;
    }
    m_cells.insert(m_cells.begin() + position, std::move(cell));
    ++m_codeCount[length - 1];
    return position;
}

void RegionTable::Assign(std::vector<RegionRecord> cells)
{
    Clear();
    if (cells.size() > size_t(std::numeric_limits<int32_t>::max()))
        throw std::length_error("region table too large");

    // Cells are large; ordering small keys and moving each cell once is several times
    // faster than sorting the cells themselves. The first 9 bytes of a code, read as a
    // big-endian number, compare as the bytes do.
    struct Key
    {
        uint64_t head;
        uint32_t index;
        uint8_t tail;
        uint8_t length;
    };
    std::vector<Key> keys(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        const RegionRecord& cell = cells[i];
        Key& key = keys[i];
        key.head = 0;
        for (int b = 0; b < 8; ++b)
            key.head = key.head << 8 | (b < cell.CodeLen ? uint8_t(cell.Code[b]) : 0);
        key.tail = cell.CodeLen > 8 ? uint8_t(cell.Code[8]) : 0;
        key.length = uint8_t(cell.CodeLen);
        key.index = uint32_t(i);
        ++m_codeCount[cell.CodeLen - 1];
    }

    // Group by length keeping the input order, then order each group by code. Among
    // equal codes the later cell comes first, as Add inserts it. A group already in
    // strictly ascending order (the shipped file is written sorted) is left as it is.
    std::vector<Key> grouped(keys.size());
    int32_t next[MaxCodeLen];
    for (int l = 1; l <= MaxCodeLen; ++l)
        next[l - 1] = start(l);
    for (const Key& key : keys)
        grouped[size_t(next[key.length - 1]++)] = key;
    const auto before = [](const Key& a, const Key& b) {
        if (a.head != b.head)
            return a.head < b.head;
        if (a.tail != b.tail)
            return a.tail < b.tail;
        return a.index > b.index;
    };
    for (int l = 1; l <= MaxCodeLen; ++l) {
        const auto begin = grouped.begin() + start(l);
        const auto end = begin + m_codeCount[l - 1];
        const auto notAscending = [](const Key& a, const Key& b) {
            return a.head > b.head || (a.head == b.head && a.tail >= b.tail);
        };
        if (std::adjacent_find(begin, end, notAscending) != end)
            std::sort(begin, end, before);
    }

    m_cells.reserve(cells.size());
    for (const Key& key : grouped)
        m_cells.push_back(std::move(cells[key.index]));
}

const RegionRecord* RegionTable::Lookup(const char* number, int length) const
{
    for (int l = std::min(length, MaxCodeLen); l >= 1; --l) {
        const int32_t count = m_codeCount[l - 1];
        if (count == 0)
            continue;
        int32_t lo = start(l);
        int32_t hi = lo + count - 1;
        while (lo <= hi) {
            const int32_t mid = (lo + hi) / 2;
            const RegionRecord& cell = m_cells[size_t(mid)];
            const int c = std::strncmp(cell.Code + 1, number, size_t(l - 1));
            if (c == 0)
                return &cell;
            if (c > 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
    }
    return nullptr;
}
