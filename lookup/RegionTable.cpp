#include "lookup/RegionTable.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {
// Zero bytes behind the last code, so that any code can be read as one 8-byte word.
constexpr size_t Padding = 8;

// The first `count` bytes (0 to 8) at p as a number that compares as they do.
uint64_t leadingBytes(const char* p, int count)
{
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return count == 0 ? 0 : qFromBigEndian(word) >> (64 - 8 * count);
}

// Copies a code of 1 to 9 bytes. A copy of a size the compiler knows is a few moves,
// where one of a size it does not is a string instruction that costs more than the rest
// of placing a record.
void copyCode(char* to, const uchar* from, int length)
{
    switch (length) {
    case 1: std::memcpy(to, from, 1); break;
    case 2: std::memcpy(to, from, 2); break;
    case 3: std::memcpy(to, from, 3); break;
    case 4: std::memcpy(to, from, 4); break;
    case 5: std::memcpy(to, from, 5); break;
    case 6: std::memcpy(to, from, 6); break;
    case 7: std::memcpy(to, from, 7); break;
    case 8: std::memcpy(to, from, 8); break;
    default: std::memcpy(to, from, 9); break;
    }
}

bool sameBytes(QByteArrayView a, QByteArrayView b)
{
    // An empty name may have no bytes behind it at all, and memcmp must not see a null pointer.
    return a.size() == b.size() && (a.isEmpty() || std::memcmp(a.data(), b.data(), size_t(a.size())) == 0);
}

// FNV-1a: names are a few bytes, and a short loop the compiler sees beats a library hash
// made for long keys.
size_t nameHash(QByteArrayView name)
{
    uint32_t hash = 2166136261u;
    for (const char c : name)
        hash = (hash ^ uchar(c)) * 16777619u;
    return hash;
}

QByteArrayView nameIn(const char* names, const uint32_t* starts, uint32_t id)
{
    return QByteArrayView(names + starts[id], qsizetype(starts[id + 1] - starts[id]));
}

QByteArrayView nameIn(const std::vector<char>& names, const std::vector<uint32_t>& starts, uint32_t id)
{
    return nameIn(names.data(), starts.data(), id);
}

void appendName(std::vector<char>& names, std::vector<uint32_t>& starts, QByteArrayView name)
{
    names.insert(names.end(), name.begin(), name.end());
    starts.push_back(uint32_t(names.size()));
}
} // namespace

RegionTable::Fault RegionTable::check(QByteArrayView code, QByteArrayView district)
{
    // An empty code has no length group to go into.
    if (code.isEmpty())
        return Fault::EmptyCode;
    if (code.size() >= MaxCodeLen)
        return Fault::LongCode;
    if (district.size() >= MaxDistrictLen)
        return Fault::LongDistrict;
    return Fault::None;
}

QString RegionTable::faultText(Fault fault)
{
    switch (fault) {
    case Fault::None:
        break;
    case Fault::EmptyCode:
        return tr("RegionRecord类Code字段为空");
    case Fault::LongCode:
        return tr("RegionRecord类Code字段过长");
    case Fault::LongDistrict:
        return tr("RegionRecord类District字段过长");
    }
    return QString();
}

QByteArrayView RegionTable::text(QByteArrayView bytes)
{
    // Codes and names are a few bytes long: a plain scan beats a library call.
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0')
            return bytes.first(i);
    return bytes;
}

RegionTable::RegionTable(const RegionTable& other)
{
    *this = other;
}

RegionTable& RegionTable::operator=(const RegionTable& other)
{
    if (this == &other)
        return *this;
    m_codes = other.m_codes;
    m_districtIds = other.m_districtIds;
    m_districts = other.m_districts;
    m_districtStarts = other.m_districtStarts;
    std::copy(std::begin(other.m_codeCount), std::end(other.m_codeCount), std::begin(m_codeCount));
    m_owner = other.m_owner;
    m_arrays = other.m_arrays;
    updateStarts();
    refresh();
    return *this;
}

void RegionTable::refresh()
{
    if (m_owner)
        return;
    m_arrays = {m_codes.data(),          m_codes.size(),         m_districtIds.data(), m_districtIds.size(),
                m_districtStarts.data(), m_districtStarts.size(), m_districts.data(),   m_districts.size()};
}

void RegionTable::view(const Arrays& arrays, const int32_t (&codeCount)[MaxCodeLen], std::shared_ptr<const void> owner)
{
    clear();
    std::copy(std::begin(codeCount), std::end(codeCount), std::begin(m_codeCount));
    updateStarts();
    // Released, not only emptied: the table holds nothing on the heap while it views.
    std::vector<char>().swap(m_codes);
    std::vector<uint32_t>().swap(m_districtIds);
    std::vector<char>().swap(m_districts);
    std::vector<uint32_t>().swap(m_districtStarts);
    m_owner = std::move(owner);
    m_arrays = arrays;
}

void RegionTable::own()
{
    if (!m_owner)
        return;
    m_codes.assign(m_arrays.codes, m_arrays.codes + m_arrays.codeBytes);
    m_districtIds.assign(m_arrays.districtIds, m_arrays.districtIds + m_arrays.recordCount);
    m_districts.assign(m_arrays.districts, m_arrays.districts + m_arrays.districtBytes);
    m_districtStarts.assign(m_arrays.districtStarts, m_arrays.districtStarts + m_arrays.districtStartCount);
    m_owner.reset();
    refresh();
}

void RegionTable::clear()
{
    m_owner.reset();
    m_codes.assign(Padding, 0);
    m_districtIds.clear();
    m_districts.clear();
    m_districtStarts.assign(1, 0);
    std::fill(std::begin(m_codeCount), std::end(m_codeCount), 0);
    updateStarts();
    refresh();
}

void RegionTable::updateStarts()
{
    int32_t position = 0;
    size_t offset = 0;
    for (int l = 1; l <= MaxCodeLen; ++l) {
        m_start[l - 1] = position;
        m_codeStart[l - 1] = offset;
        position += m_codeCount[l - 1];
        offset += size_t(m_codeCount[l - 1]) * size_t(l);
    }
}

size_t RegionTable::codeOffset(qsizetype position, int length) const
{
    return m_codeStart[length - 1] + size_t(position - start(length)) * size_t(length);
}

const char* RegionTable::codeAt(qsizetype position, int length) const
{
    return m_arrays.codes + codeOffset(position, length);
}

int RegionTable::lengthAt(qsizetype position) const
{
    int length = 1;
    while (length < MaxCodeLen && position >= start(length) + m_codeCount[length - 1])
        ++length;
    return length;
}

RegionRecord RegionTable::record(qsizetype position) const
{
    const int length = lengthAt(position);
    return {QByteArrayView(codeAt(position, length), length),
            nameIn(m_arrays.districts, m_arrays.districtStarts, m_arrays.districtIds[size_t(position)])};
}

size_t RegionTable::memoryBytes() const
{
    return m_codes.capacity() + m_districtIds.capacity() * sizeof(uint32_t) + m_districts.capacity() +
           m_districtStarts.capacity() * sizeof(uint32_t);
}

uint32_t RegionTable::districtId(QByteArrayView district)
{
    const uint32_t count = uint32_t(districtCount());
    for (uint32_t id = 0; id < count; ++id)
        if (nameIn(m_districts, m_districtStarts, id) == district)
            return id;
    appendName(m_districts, m_districtStarts, district);
    return count;
}

int32_t RegionTable::add(QByteArrayView code, QByteArrayView district, Fault* fault)
{
    code = text(code);
    district = text(district);
    const Fault refused = check(code, district);
    if (fault)
        *fault = refused;
    if (refused != Fault::None)
        return -1;
    own();
    if (m_districtIds.size() >= size_t(std::numeric_limits<int32_t>::max()))
        throw std::length_error("region table too large");

    const int length = int(code.size());
    const int32_t first = start(length);
    int32_t position = first;
    if (m_codeCount[length - 1] > 0) {
        int32_t lo = first;
        int32_t hi = first + m_codeCount[length - 1] - 1;
        int32_t mid = lo;
        int c = 0;
        while (lo <= hi) {
            mid = (lo + hi) / 2;
            c = std::memcmp(codeAt(mid, length), code.data(), size_t(length));
            if (c == 0)
                break;
            if (c > 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
        position = c >= 0 ? mid : mid + 1;
    }
    const uint32_t id = districtId(district);
    m_codes.insert(m_codes.begin() + ptrdiff_t(codeOffset(position, length)), code.begin(), code.end());
    m_districtIds.insert(m_districtIds.begin() + position, id);
    ++m_codeCount[length - 1];
    updateStarts();
    refresh();
    return position;
}

std::optional<RegionRecord> RegionTable::lookup(const char* number, int length) const
{
    // The digits compared at each length, padded so that they can be read as one word.
    char digits[MaxCodeLen + Padding] = {};
    if (length > 0)
        std::memcpy(digits, number, size_t(std::min(length, MaxCodeLen - 1)));
    for (int l = std::min(length, MaxCodeLen); l >= 1; --l) {
        const int32_t count = m_codeCount[l - 1];
        if (count == 0)
            continue;
        // Codes hold no NUL and their bytes after the first are compared with the
        // number's first l - 1, as 8-byte words that compare as the bytes do.
        const uint64_t wanted = leadingBytes(digits, l - 1);
        const char* codes = m_arrays.codes + m_codeStart[l - 1];
        int32_t lo = start(l);
        int32_t hi = lo + count - 1;
        while (lo <= hi) {
            const int32_t mid = (lo + hi) / 2;
            const char* code = codes + size_t(mid - start(l)) * size_t(l);
            const uint64_t stored = leadingBytes(code + 1, l - 1);
            if (stored == wanted)
                return RegionRecord{QByteArrayView(code, l), nameIn(m_arrays.districts, m_arrays.districtStarts,
                                                                    m_arrays.districtIds[size_t(mid)])};
            if (stored > wanted)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
    }
    return std::nullopt;
}

RegionTable::Builder::Builder(qsizetype expectedRecords)
{
    m_entries.reserve(size_t(std::max<qsizetype>(expectedRecords, 0)));
    std::fill(std::begin(m_ascending), std::end(m_ascending), true);
}

uint32_t RegionTable::Builder::districtId(QByteArrayView district)
{
    // Records of one region mostly follow each other in the shipped file.
    if (m_districtStarts.size() > 1 && sameBytes(nameIn(m_districts, m_districtStarts, m_lastDistrict), district))
        return m_lastDistrict;
    if (m_slots.empty())
        m_slots.assign(1024, 0);
    size_t mask = m_slots.size() - 1;
    size_t slot = nameHash(district) & mask;
    for (; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const uint32_t id = m_slots[slot] - 1;
        if (sameBytes(nameIn(m_districts, m_districtStarts, id), district))
            return m_lastDistrict = id;
    }
    const uint32_t id = uint32_t(m_districtStarts.size() - 1);
    appendName(m_districts, m_districtStarts, district);
    m_slots[slot] = id + 1;
    if (size_t(id + 1) * 2 > m_slots.size()) {
        std::vector<uint32_t> grown(m_slots.size() * 2, 0);
        mask = grown.size() - 1;
        for (uint32_t known = 0; known <= id; ++known) {
            size_t s = nameHash(nameIn(m_districts, m_districtStarts, known)) & mask;
            while (grown[s] != 0)
                s = (s + 1) & mask;
            grown[s] = known + 1;
        }
        m_slots = std::move(grown);
    }
    return m_lastDistrict = id;
}

RegionTable::Fault RegionTable::Builder::append(QByteArrayView code, QByteArrayView district)
{
    return appendText(text(code), text(district));
}

RegionTable::Fault RegionTable::Builder::appendText(QByteArrayView code, QByteArrayView district)
{
    const Fault fault = check(code, district);
    if (fault != Fault::None)
        return fault;
    if (m_entries.size() >= size_t(std::numeric_limits<int32_t>::max()))
        throw std::length_error("region table too large");

    const int length = int(code.size());
    uchar head[8] = {};
    std::memcpy(head, code.data(), size_t(std::min(length, 8)));
    Entry entry;
    entry.head = qFromBigEndian<quint64>(head);
    entry.tail = length > 8 ? uchar(code[8]) : 0;
    entry.length = uint8_t(length);
    entry.district = districtId(district);

    const int group = length - 1;
    if (m_counts[group] > 0) {
        const Entry& last = m_last[group];
        if (last.head > entry.head || (last.head == entry.head && last.tail >= entry.tail))
            m_ascending[group] = false;
    }
    m_last[group] = entry;
    ++m_counts[group];
    m_entries.push_back(entry);
    return Fault::None;
}

void RegionTable::Builder::sortByCode(std::vector<Entry>& entries)
{
    // A byte-wise radix sort, last byte first: codes are short and mostly digits, so a
    // few passes over the records beat comparing them, and a byte that all codes share
    // costs no pass. Each pass keeps the order of equal bytes; the input is turned round
    // first so that a later record comes before an earlier one of the same code.
    std::reverse(entries.begin(), entries.end());
    const auto byteOf = [](const Entry& entry, int b) {
        return b == 8 ? entry.tail : uint8_t(entry.head >> (8 * (7 - b)));
    };
    size_t counts[9][256] = {};
    for (const Entry& entry : entries)
        for (int b = 0; b < 9; ++b)
            ++counts[b][byteOf(entry, b)];
    std::vector<Entry> other(entries.size());
    for (int b = 8; b >= 0; --b) {
        if (std::find(std::begin(counts[b]), std::end(counts[b]), entries.size()) != std::end(counts[b]))
            continue;
        size_t next[256];
        size_t sum = 0;
        for (int v = 0; v < 256; ++v) {
            next[v] = sum;
            sum += counts[b][v];
        }
        for (const Entry& entry : entries)
            other[next[byteOf(entry, b)]++] = entry;
        entries.swap(other);
    }
}

void RegionTable::Builder::build(RegionTable& table)
{
    table.clear();
    std::copy(std::begin(m_counts), std::end(m_counts), std::begin(table.m_codeCount));
    table.updateStarts();
    const size_t codeBytes = table.m_codeStart[MaxCodeLen - 1] + size_t(m_counts[MaxCodeLen - 1]) * MaxCodeLen;
    table.m_codes.resize(codeBytes + Padding);
    table.m_districtIds.resize(m_entries.size());

    const auto place = [&table](int32_t position, const Entry& entry) {
        uchar bytes[9];
        qToBigEndian<quint64>(entry.head, bytes);
        bytes[8] = entry.tail;
        copyCode(table.m_codes.data() + table.codeOffset(position, entry.length), bytes, entry.length);
        table.m_districtIds[size_t(position)] = entry.district;
    };

    // Lengths whose codes came in order take their place at once; the others are
    // collected and ordered by code, later records first among equal codes.
    int32_t next[MaxCodeLen];
    std::vector<Entry> unordered[MaxCodeLen];
    for (int l = 1; l <= MaxCodeLen; ++l) {
        next[l - 1] = table.start(l);
        if (!m_ascending[l - 1])
            unordered[l - 1].reserve(size_t(m_counts[l - 1]));
    }
    for (const Entry& entry : m_entries) {
        const int group = entry.length - 1;
        if (m_ascending[group])
            place(next[group]++, entry);
        else
            unordered[group].push_back(entry);
    }
    m_entries = {};
    for (int l = 1; l <= MaxCodeLen; ++l) {
        std::vector<Entry>& group = unordered[l - 1];
        if (group.empty())
            continue;
        sortByCode(group);
        for (const Entry& entry : group)
            place(next[l - 1]++, entry);
        group = {};
    }

    table.m_districts = std::move(m_districts);
    table.m_districtStarts = std::move(m_districtStarts);
    table.m_districts.shrink_to_fit();
    table.m_districtStarts.shrink_to_fit();
    table.refresh();
    m_districts.clear();
    m_districtStarts.assign(1, 0);
    m_slots.clear();
    m_lastDistrict = 0;
    std::fill(std::begin(m_ascending), std::end(m_ascending), true);
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
}
