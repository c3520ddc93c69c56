#pragma once

#include "lookup/RegionTable.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// The region table kept in a binary file beside the region file, which the program maps
// read-only instead of holding the table on its heap. The file records the size, the
// modification time and a hash of the region file it was built from, and a hash of its
// own contents; it is only used when all of them match.
class RegionTableCache
{
public:
    // What identifies a region file's contents.
    struct Source
    {
        uint64_t size = 0;
        int64_t modifiedNs = 0;
        uint64_t hash = 0;
    };
    // What the load that built the table counted, so that a table from the cache is
    // reported as the region file's own load reported it.
    struct Counts
    {
        uint64_t loaded = 0;
        uint64_t skipped = 0;
        RegionTable::Fault firstFault = RegionTable::Fault::None;
    };

    // Hashes a file's bytes, given in pieces of any length.
    class Hasher
    {
    public:
        void add(const char* data, size_t size);
        uint64_t result() const;

    private:
        uint64_t m_state = 0x6a09e667f3bcc908ULL;
        uint64_t m_size = 0;
        unsigned char m_pending[8] = {};
        size_t m_pendingSize = 0;
    };

    // The cache file of a region file.
    static QString pathFor(const QString& regionPath);
    // Writes table as the cache of source, whole or not at all. False when the file could
    // not be written, e.g. in a folder the user cannot write.
    static bool save(const QString& cachePath, const RegionTable& table, const Source& source, const Counts& counts);
    // Makes table view the cache file when it is whole, consistent and built from source;
    // otherwise leaves table as it is and returns false. source's hash is ignored:
    // hashSource gives it, asked only when the cache's size and time match source's.
    static bool open(const QString& cachePath, const Source& source,
                     const std::function<std::optional<uint64_t>()>& hashSource, RegionTable& table, Counts* counts);
};
