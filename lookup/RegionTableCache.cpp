#include "lookup/RegionTableCache.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Names the file's kind and, read as a number, the byte order it was written in.
constexpr uint64_t Magic = 0x3154424752584e56ULL; // "VNXRGBT1" on a little-endian machine
constexpr uint32_t Version = 1;

// Counts are in the byte order and layout of the machine that wrote them; a file from
// another one fails the magic number or the version.
struct Header
{
    uint64_t magic;
    uint32_t version;
    uint32_t headerSize;
    uint64_t sourceSize;
    int64_t sourceModifiedNs;
    uint64_t sourceHash;
    uint64_t loaded;
    uint64_t skipped;
    uint32_t firstFault;
    uint32_t padding;
    int32_t codeCount[RegionTable::MaxCodeLen];
    uint64_t codeBytes;
    uint64_t recordCount;
    uint64_t districtStartCount;
    uint64_t districtBytes;
    // Of the header before this field and of everything after the header.
    uint64_t contentHash;
};
static_assert(sizeof(Header) % 8 == 0, "the arrays behind the header stay aligned");

// After the header: district numbers, district starts, codes, district names.
uint64_t contentHash(const Header& header, const RegionTable::Arrays& arrays)
{
    RegionTableCache::Hasher hasher;
    hasher.add(reinterpret_cast<const char*>(&header), offsetof(Header, contentHash));
    hasher.add(reinterpret_cast<const char*>(arrays.districtIds), arrays.recordCount * sizeof(uint32_t));
    hasher.add(reinterpret_cast<const char*>(arrays.districtStarts), arrays.districtStartCount * sizeof(uint32_t));
    hasher.add(arrays.codes, arrays.codeBytes);
    hasher.add(arrays.districts, arrays.districtBytes);
    return hasher.result();
}

uint64_t mix(uint64_t state, uint64_t word)
{
    state = (state ^ word) * 0x9e3779b97f4a7c15ULL;
    return state ^ (state >> 29);
}

// A read-only mapping of a whole file, unmapped with the last table that views it.
struct Mapping
{
    Mapping(void* address, size_t size) : address(address), size(size) {}
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() { ::munmap(address, size); }
    void* address;
    size_t size;
};

// The arrays a mapped file holds, or nothing when its header does not describe a file of
// exactly its size.
bool arraysOf(const char* file, size_t size, const Header& header, RegionTable::Arrays* arrays)
{
    if (header.recordCount > size / sizeof(uint32_t) || header.districtStartCount > size / sizeof(uint32_t) ||
        header.codeBytes > size || header.districtBytes > size)
        return false;
    size_t offset = sizeof(Header);
    arrays->districtIds = reinterpret_cast<const uint32_t*>(file + offset);
    arrays->recordCount = header.recordCount;
    offset += header.recordCount * sizeof(uint32_t);
    arrays->districtStarts = reinterpret_cast<const uint32_t*>(file + offset);
    arrays->districtStartCount = header.districtStartCount;
    offset += header.districtStartCount * sizeof(uint32_t);
    arrays->codes = file + offset;
    arrays->codeBytes = header.codeBytes;
    offset += header.codeBytes;
    arrays->districts = file + offset;
    arrays->districtBytes = header.districtBytes;
    offset += header.districtBytes;
    return offset == size;
}

// Whether the counts agree with each other and every number points inside its array, so
// that no lookup reads outside the file.
bool consistent(const Header& header, const RegionTable::Arrays& arrays)
{
    uint64_t records = 0;
    uint64_t codeBytes = 8;
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l) {
        if (header.codeCount[l - 1] < 0)
            return false;
        records += uint64_t(header.codeCount[l - 1]);
        codeBytes += uint64_t(header.codeCount[l - 1]) * uint64_t(l);
    }
    if (records != header.recordCount || codeBytes != header.codeBytes || header.loaded != header.recordCount)
        return false;
    if (header.firstFault > uint32_t(RegionTable::Fault::LongDistrict) ||
        (header.skipped == 0) != (header.firstFault == uint32_t(RegionTable::Fault::None)))
        return false;
    // Any code is read as one word: the eight bytes behind the last one are zero.
    for (size_t i = arrays.codeBytes - 8; i < arrays.codeBytes; ++i)
        if (arrays.codes[i] != 0)
            return false;
    if (arrays.districtStartCount == 0 || arrays.districtStarts[0] != 0 ||
        arrays.districtStarts[arrays.districtStartCount - 1] != arrays.districtBytes)
        return false;
    for (size_t i = 1; i < arrays.districtStartCount; ++i)
        if (arrays.districtStarts[i] < arrays.districtStarts[i - 1])
            return false;
    const uint64_t districts = arrays.districtStartCount - 1;
    for (size_t i = 0; i < arrays.recordCount; ++i)
        if (arrays.districtIds[i] >= districts)
            return false;
    return true;
}
} // namespace

void RegionTableCache::Hasher::add(const char* data, size_t size)
{
    m_size += size;
    if (m_pendingSize > 0) {
        const size_t taken = std::min(size, sizeof m_pending - m_pendingSize);
        std::memcpy(m_pending + m_pendingSize, data, taken);
        m_pendingSize += taken;
        data += taken;
        size -= taken;
        if (m_pendingSize < sizeof m_pending)
            return;
        uint64_t word;
        std::memcpy(&word, m_pending, sizeof word);
        m_state = mix(m_state, word);
        m_pendingSize = 0;
    }
    for (; size >= 8; data += 8, size -= 8) {
        uint64_t word;
        std::memcpy(&word, data, sizeof word);
        m_state = mix(m_state, word);
    }
    std::memcpy(m_pending, data, size);
    m_pendingSize = size;
}

uint64_t RegionTableCache::Hasher::result() const
{
    uint64_t tail = 0;
    std::memcpy(&tail, m_pending, m_pendingSize);
    uint64_t state = mix(mix(m_state, tail), m_size);
    state = (state ^ (state >> 33)) * 0xff51afd7ed558ccdULL;
    return state ^ (state >> 33);
}

QString RegionTableCache::pathFor(const QString& regionPath)
{
    return regionPath + QLatin1String(".cache");
}

bool RegionTableCache::save(const QString& cachePath, const RegionTable& table, const Source& source,
                            const Counts& counts)
{
    const RegionTable::Arrays& arrays = table.arrays();
    Header header = {};
    header.magic = Magic;
    header.version = Version;
    header.headerSize = sizeof(Header);
    header.sourceSize = source.size;
    header.sourceModifiedNs = source.modifiedNs;
    header.sourceHash = source.hash;
    header.loaded = counts.loaded;
    header.skipped = counts.skipped;
    header.firstFault = uint32_t(counts.firstFault);
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        header.codeCount[l - 1] = table.codeCount(l);
    header.codeBytes = arrays.codeBytes;
    header.recordCount = arrays.recordCount;
    header.districtStartCount = arrays.districtStartCount;
    header.districtBytes = arrays.districtBytes;
    header.contentHash = contentHash(header, arrays);

    QSaveFile file(cachePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto write = [&file](const void* data, size_t size) {
        return file.write(static_cast<const char*>(data), qint64(size)) == qint64(size);
    };
    if (!write(&header, sizeof header) || !write(arrays.districtIds, arrays.recordCount * sizeof(uint32_t)) ||
        !write(arrays.districtStarts, arrays.districtStartCount * sizeof(uint32_t)) ||
        !write(arrays.codes, arrays.codeBytes) || !write(arrays.districts, arrays.districtBytes)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool RegionTableCache::open(const QString& cachePath, const Source& source,
                            const std::function<std::optional<uint64_t>()>& hashSource, RegionTable& table,
                            Counts* counts)
{
    const int fd = ::open(QFile::encodeName(cachePath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st = {};
    void* address = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) >= sizeof(Header))
        address = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (address == MAP_FAILED)
        return false;
    auto mapping = std::make_shared<Mapping>(address, size_t(st.st_size));

    const char* file = static_cast<const char*>(address);
    Header header;
    std::memcpy(&header, file, sizeof header);
    RegionTable::Arrays arrays;
    if (header.magic != Magic || header.version != Version || header.headerSize != sizeof(Header) ||
        header.sourceSize != source.size || header.sourceModifiedNs != source.modifiedNs)
        return false;
    if (header.sourceHash != hashSource().value_or(~header.sourceHash) || !arraysOf(file, mapping->size, header, &arrays) ||
        header.contentHash != contentHash(header, arrays) || !consistent(header, arrays))
        return false;
    // Checking read every page; lookups need only a few of them, which come back from the
    // page cache when touched.
    ::madvise(address, mapping->size, MADV_DONTNEED);

    table.view(arrays, header.codeCount, std::move(mapping));
    if (counts)
        *counts = {header.loaded, header.skipped, RegionTable::Fault(header.firstFault)};
    return true;
}
