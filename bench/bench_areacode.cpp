// Region table figures: loading the full table from a sorted and a shuffled file, a table
// of 500,000 records, the heap the loaded table keeps per record, and lookups over a
// million numbers.
// Usage: bench_areacode [area.dat]   (default: the shipped table beside the program)
#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/RegionTableCache.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
constexpr int Rounds = 7;

QList<QByteArray> recordsOf(const QByteArray& bytes)
{
    QList<QByteArray> records = bytes.split('\n');
    records.removeAll(QByteArray());
    for (QByteArray& r : records)
        r += '\n';
    return records;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QList<QByteArray>& records)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(records.join());
    return path;
}

// CPU time of this thread: the machine is shared, so wall time says more about the
// neighbours than about the table.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Bytes of heap in use, small blocks and mapped ones alike: what a loaded table costs the
// process, whatever its own idea of its size.
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Median of several rounds; the file is in the page cache after the first. The heap kept
// is measured with the table alive and the loader's buffers gone. Without the cache (a
// folder in its place, so that it cannot be written) every round reads the file; with it
// every round maps the cache the first load wrote.
void benchLoad(const char* what, const QString& path, bool cached)
{
    const QString cachePath = RegionTableCache::pathFor(path);
    QFile::remove(cachePath);
    QDir().rmdir(cachePath);
    if (cached) {
        RegionTable table;
        AreaCodeFile::load(path, table);
    } else {
        QDir().mkdir(cachePath);
    }
    std::vector<double> cpu;
    std::vector<double> wall;
    size_t cells = 0;
    size_t kept = 0;
    size_t held = 0;
    for (int i = 0; i < Rounds; ++i) {
        const size_t heapBefore = heapInUse();
        RegionTable table;
        QElapsedTimer timer;
        timer.start();
        const double before = cpuMs();
        AreaCodeFile::load(path, table);
        cpu.push_back(cpuMs() - before);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cells = size_t(table.size());
        held = table.memoryBytes();
        kept = heapInUse() - heapBefore;
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    std::printf("load %-32s %-13s %7zu records: cpu median %6.1f ms (best %6.1f), wall median %6.1f ms, "
                "heap kept %5.1f MiB = %5.1f bytes per record (table's own count %5.1f)\n",
                what, cached ? "from cache" : "without cache", cells, cpu[cpu.size() / 2], cpu[0], wall[wall.size() / 2], double(kept) / 1048576.0,
                cells ? double(kept) / double(cells) : 0.0, cells ? double(held) / double(cells) : 0.0);
}

void benchLookup(const RegionTable& table)
{
    // Numbers of 11 digits in one flat buffer, so that the figure is the table's alone:
    // mostly mobile numbers, a quarter fixed-line numbers behind their area code.
    constexpr int Count = 1000000;
    constexpr int Digits = 11;
    QRandomGenerator random(42);
    QByteArray numbers;
    numbers.reserve(Count * Digits);
    for (int i = 0; i < Count; ++i) {
        if (i % 4 == 0)
            numbers +=
                QByteArray::number(random.bounded(100, 1000)) + QByteArray::number(random.bounded(10000000, 99999999));
        else
            numbers += QByteArray::number(random.bounded(13000000000LL, 19000000000LL));
    }
    std::vector<double> ns;
    size_t found = 0;
    for (int round = 0; round < Rounds; ++round) {
        found = 0;
        const double before = cpuMs();
        for (int i = 0; i < Count; ++i)
            found += table.lookup(numbers.constData() + i * Digits, Digits).has_value();
        ns.push_back((cpuMs() - before) * 1e6 / Count);
    }
    std::sort(ns.begin(), ns.end());
    std::printf(
        "lookup %d numbers (%zu with a region): cpu median %.0f ns per lookup (best %.0f), %.1f million per second\n",
        Count, found, ns[ns.size() / 2], ns[0], 1000.0 / ns[ns.size() / 2]);
}
} // namespace

int main(int argc, char* argv[])
{
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VORNX_BIN_DIR "/area.dat");
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
        return 1;
    }
    QList<QByteArray> records = recordsOf(file.readAll());
    QTemporaryDir dir;

    QRandomGenerator random(1);
    QList<QByteArray> shuffled = records;
    std::shuffle(shuffled.begin(), shuffled.end(), random);

    // A larger table than today's: the full one plus segments of blocks it lacks (16x, 19x).
    QList<QByteArray> large = records;
    for (int segment = 1600000; large.size() < 500000; ++segment)
        large << "0" + QByteArray::number(segment) + "\rregion\r\n";
    std::shuffle(large.begin(), large.end(), random);

    const QString sorted = writeFile(dir, QStringLiteral("sorted.dat"), records);
    const QString shuffledFile = writeFile(dir, QStringLiteral("shuffled.dat"), shuffled);
    const QString largeFile = writeFile(dir, QStringLiteral("large.dat"), large);
    for (const bool cached : {false, true}) {
        benchLoad("full table, sorted file", sorted, cached);
        benchLoad("full table, shuffled file", shuffledFile, cached);
        benchLoad("500,000 records, shuffled file", largeFile, cached);
    }

    RegionTable table;
    AreaCodeFile::read(records.join(), table);
    std::printf("in memory: ");
    benchLookup(table);
    // The copy in the temporary folder: the shipped folder is left as it is.
    RegionTable mapped;
    AreaCodeFile::load(sorted, mapped);
    std::printf("mapped from the cache: ");
    benchLookup(mapped);
    return 0;
}
