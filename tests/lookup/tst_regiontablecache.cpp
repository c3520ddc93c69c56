#include "lookup/AreaCodeFile.h"
#include "lookup/RegionTable.h"
#include "lookup/RegionTableCache.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The answer to a number as "code=district", or "-" for none.
QByteArray answer(const RegionTable& table, const QByteArray& number)
{
    const std::optional<RegionRecord> found = table.lookup(number.constData(), int(number.size()));
    return found ? found->code.toByteArray() + '=' + found->district.toByteArray() : QByteArray("-");
}

// Numbers that hit every record of the table, and random ones of every length.
QList<QByteArray> numbersFor(const RegionTable& table)
{
    QList<QByteArray> numbers;
    QRandomGenerator random(7);
    for (qsizetype i = 0; i < table.size(); i += 1 + random.bounded(3)) {
        const QByteArray code = table.record(i).code.toByteArray();
        numbers << code.mid(1) + QByteArray::number(random.bounded(10000000));
    }
    for (int i = 0; i < 20000; ++i)
        numbers << QByteArray::number(random.bounded(Q_INT64_C(1), Q_INT64_C(99999999999)));
    return numbers;
}

void compareTables(const RegionTable& mapped, const RegionTable& memory)
{
    QCOMPARE(mapped.size(), memory.size());
    QCOMPARE(mapped.districtCount(), memory.districtCount());
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        QCOMPARE(mapped.codeCount(l), memory.codeCount(l));
    for (qsizetype i = 0; i < memory.size(); ++i) {
        if (mapped.record(i).code != memory.record(i).code || mapped.record(i).district != memory.record(i).district)
            QFAIL(qPrintable(QStringLiteral("record %1 differs").arg(i)));
    }
    int found = 0;
    for (const QByteArray& number : numbersFor(memory)) {
        const QByteArray expected = answer(memory, number);
        QCOMPARE(answer(mapped, number), expected);
        found += expected != "-";
    }
    QVERIFY(found > memory.size() / 3);
}

void setModified(const QString& path, const timespec& when)
{
    const timespec times[2] = {when, when};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

timespec modifiedOf(const QString& path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mtim;
}
} // namespace

class TestRegionTableCache : public QObject
{
    Q_OBJECT

private slots:
    void hashIgnoresHowBytesArePieced();
    void mappedTableAnswersAsTheLoadedOne();
    void countsOfSkippedRecordsSurviveTheCache();
    void damagedCacheIsRebuilt_data();
    void damagedCacheIsRebuilt();
    void changedRegionFileIsReread_data();
    void changedRegionFileIsReread();
    void unwritableCacheKeepsTableInMemory();
    void changingAMappedTableCopiesIt();
};

void TestRegionTableCache::hashIgnoresHowBytesArePieced()
{
    QRandomGenerator random(3);
    QByteArray bytes(5000, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    RegionTableCache::Hasher whole;
    whole.add(bytes.constData(), size_t(bytes.size()));
    for (int round = 0; round < 50; ++round) {
        RegionTableCache::Hasher pieces;
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype size = std::min<qsizetype>(random.bounded(20), bytes.size() - at);
            pieces.add(bytes.constData() + at, size_t(size));
            at += size;
        }
        QCOMPARE(pieces.result(), whole.result());
    }
    // One changed byte, one byte more, or a trailing zero byte give another hash.
    QByteArray changed = bytes;
    changed[4321] = char(changed[4321] ^ 0x10);
    QByteArray longer = bytes + 'x';
    QByteArray zero = bytes + '\0';
    for (const QByteArray& other : {changed, longer, zero}) {
        RegionTableCache::Hasher hasher;
        hasher.add(other.constData(), size_t(other.size()));
        QVERIFY(hasher.result() != whole.result());
    }
}

void TestRegionTableCache::mappedTableAnswersAsTheLoadedOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    QVERIFY(QFile::copy(QStringLiteral(VORNX_BIN_DIR "/area.dat"), path));
    const QByteArray bytes = readAll(path);
    RegionTable memory;
    AreaCodeFile::read(bytes, memory);
    QVERIFY(memory.size() > 300000);

    // The first load builds the cache, the next one maps it; both view it, neither keeps
    // the table on the heap.
    for (int round = 0; round < 2; ++round) {
        RegionTable mapped;
        const AreaCodeLoad load = AreaCodeFile::load(path, mapped);
        QVERIFY(load.error.isEmpty());
        QCOMPARE(load.loaded, memory.size());
        QVERIFY(mapped.isViewing());
        QVERIFY(mapped.memoryBytes() < 1024);
        QVERIFY(QFile::exists(RegionTableCache::pathFor(path)));
        compareTables(mapped, memory);
    }
}

void TestRegionTableCache::countsOfSkippedRecordsSurviveTheCache()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    QVERIFY(writeAll(path, "0591    \rFuzhou\r\n010     \r" + QByteArray(60, 'x') + "\r\n1390591 \rFuzhou\r\n" +
                               QByteArray("\0" "20     \rGuangzhou\r\n", 20)));
    AreaCodeLoad first;
    AreaCodeLoad second;
    RegionTable table;
    first = AreaCodeFile::load(path, table);
    second = AreaCodeFile::load(path, table);
    QVERIFY(table.isViewing());
    QCOMPARE(first.loaded, 2);
    QCOMPARE(first.skipped, 2);
    QCOMPARE(second.loaded, first.loaded);
    QCOMPARE(second.skipped, first.skipped);
    QCOMPARE(second.firstSkipReason, RegionTable::faultText(RegionTable::Fault::LongDistrict));
    QCOMPARE(answer(table, "5910000"), QByteArray("0591=Fuzhou"));
}

void TestRegionTableCache::damagedCacheIsRebuilt_data()
{
    QTest::addColumn<QString>("damage");
    for (const char* damage : {"empty", "truncated header", "truncated end", "one byte more", "flipped magic",
                               "wrong version", "flipped source hash", "flipped count", "flipped district number",
                               "flipped code", "flipped name", "flipped padding"})
        QTest::newRow(damage) << QString::fromLatin1(damage);
}

// Every damage is found before use: the load answers as the region file does and writes
// the cache anew, byte for byte as before.
void TestRegionTableCache::damagedCacheIsRebuilt()
{
    QFETCH(QString, damage);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    const QString cachePath = RegionTableCache::pathFor(path);
    QByteArray source;
    for (int i = 0; i < 3000; ++i)
        source += "1" + QByteArray::number(3000000 + i * 7) + "\r" + "region" + QByteArray::number(i % 40) + "\r\n";
    source += "0591    \rFuzhou\r\n";
    QVERIFY(writeAll(path, source));
    RegionTable memory;
    AreaCodeFile::read(source, memory);
    {
        RegionTable table;
        AreaCodeFile::load(path, table);
    }
    const QByteArray good = readAll(cachePath);
    QVERIFY(good.size() > 3000 * 4);

    // Offsets into the layout: header, district numbers, starts, codes, names.
    QByteArray bad = good;
    // 3,001 records, 41 names, codes of 4 and 8 bytes.
    const qsizetype header = 144;
    const qsizetype codes = header + 4 * 3001 + 4 * 42;
    const qsizetype names = good.size() - 8;
    const auto flip = [&bad](qsizetype at) { bad[at] = char(bad[at] ^ 0x01); };
    if (damage == "empty")
        bad.clear();
    else if (damage == "truncated header")
        bad.truncate(100);
    else if (damage == "truncated end")
        bad.chop(1);
    else if (damage == "one byte more")
        bad += 'x';
    else if (damage == "flipped magic")
        flip(0);
    else if (damage == "wrong version")
        flip(8);
    else if (damage == "flipped source hash")
        flip(32);
    else if (damage == "flipped count")
        flip(64 + 4 * 7);
    else if (damage == "flipped district number")
        flip(header + 4 * 1500);
    else if (damage == "flipped code")
        flip(codes + 100);
    else if (damage == "flipped name")
        flip(names);
    else if (damage == "flipped padding")
        flip(codes + 4 + 3000 * 8 + 3);
    QVERIFY(bad != good);
    QVERIFY(writeAll(cachePath, bad));

    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::load(path, table);
    QCOMPARE(load.loaded, memory.size());
    compareTables(table, memory);
    QCOMPARE(readAll(cachePath), good);
}

void TestRegionTableCache::changedRegionFileIsReread_data()
{
    QTest::addColumn<bool>("sameSize");
    QTest::addColumn<bool>("sameTime");
    QTest::newRow("other size") << false << false;
    QTest::newRow("same size, other time") << true << false;
    QTest::newRow("same size and time") << true << true;
}

void TestRegionTableCache::changedRegionFileIsReread()
{
    QFETCH(bool, sameSize);
    QFETCH(bool, sameTime);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    QVERIFY(writeAll(path, "0591    \rFuzhou\r\n010     \rBeijing\r\n"));
    RegionTable table;
    AreaCodeFile::load(path, table);
    QVERIFY(table.isViewing());
    QCOMPARE(answer(table, "5912345"), QByteArray("0591=Fuzhou"));
    const timespec before = modifiedOf(path);

    const QByteArray changed = sameSize ? "0591    \rXiamen\r\n010     \rBeijing\r\n" : "0591    \rXiamen\r\n";
    QVERIFY(writeAll(path, changed));
    setModified(path, sameTime ? before : timespec{before.tv_sec + 5, before.tv_nsec});
    RegionTable again;
    const AreaCodeLoad load = AreaCodeFile::load(path, again);
    QCOMPARE(load.loaded, sameSize ? 2 : 1);
    QCOMPARE(answer(again, "5912345"), QByteArray("0591=Xiamen"));
    QCOMPARE(answer(again, "1012345"), sameSize ? QByteArray("010=Beijing") : QByteArray("-"));
    // The table loaded before still answers from what it mapped.
    QCOMPARE(answer(table, "5912345"), QByteArray("0591=Fuzhou"));
}

// A cache that cannot be written (here a folder in its place, which stops root as well)
// leaves the table in memory, with the same answers.
void TestRegionTableCache::unwritableCacheKeepsTableInMemory()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    const QByteArray source = "0591    \rFuzhou\r\n13905911\rFuzhou\r\n010     \rBeijing\r\n";
    QVERIFY(writeAll(path, source));
    QVERIFY(QDir().mkdir(RegionTableCache::pathFor(path)));
    RegionTable memory;
    AreaCodeFile::read(source, memory);
    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::load(path, table);
    QVERIFY(load.error.isEmpty());
    QVERIFY(!table.isViewing());
    QCOMPARE(answer(table, "3905911234"), QByteArray("13905911=Fuzhou"));
    compareTables(table, memory);
}

void TestRegionTableCache::changingAMappedTableCopiesIt()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    QVERIFY(writeAll(path, "0591    \rFuzhou\r\n010     \rBeijing\r\n"));
    RegionTable table;
    AreaCodeFile::load(path, table);
    QVERIFY(table.isViewing());
    const RegionTable copy = table;
    QCOMPARE(table.add("0592", "Xiamen"), 2);
    QVERIFY(!table.isViewing());
    QCOMPARE(table.size(), 3);
    QCOMPARE(answer(table, "5921234"), QByteArray("0592=Xiamen"));
    QCOMPARE(answer(table, "1012345"), QByteArray("010=Beijing"));
    // Neither the copy nor the file saw the change.
    QCOMPARE(answer(copy, "5921234"), QByteArray("-"));
    RegionTable reloaded;
    AreaCodeFile::load(path, reloaded);
    QCOMPARE(reloaded.size(), 2);
}

QTEST_APPLESS_MAIN(TestRegionTableCache)
#include "tst_regiontablecache.moc"
