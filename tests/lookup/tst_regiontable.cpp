#include "lookup/RegionTable.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cstring>

namespace {
struct Row
{
    QByteArray code;
    QByteArray district;
};

QByteArray codes(const RegionTable& table)
{
    QByteArray out;
    for (qsizetype i = 0; i < table.size(); ++i) {
        const RegionRecord record = table.record(i);
        out += record.code.toByteArray() + '=' + record.district.toByteArray() + ' ';
    }
    return out;
}

QByteArray lookup(const RegionTable& table, const char* number)
{
    const std::optional<RegionRecord> record = table.lookup(number, int(std::strlen(number)));
    return record ? record->district.toByteArray() : QByteArray("-");
}

int32_t add(RegionTable& table, const char* code, const char* district)
{
    return table.add(code, district);
}

void build(RegionTable& table, const std::vector<Row>& rows)
{
    RegionTable::Builder builder;
    for (const Row& row : rows)
        QCOMPARE(builder.append(row.code, row.district), RegionTable::Fault::None);
    builder.build(table);
}

// The order the table promises: by length, then by code as unsigned bytes, and the
// length counts add up.
void checkInvariant(const RegionTable& table)
{
    int32_t sum = 0;
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        sum += table.codeCount(l);
    QCOMPARE(qsizetype(sum), table.size());
    int32_t position = 0;
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l) {
        for (int32_t i = 0; i < table.codeCount(l); ++i, ++position) {
            const RegionRecord record = table.record(position);
            QCOMPARE(record.code.size(), qsizetype(l));
            QVERIFY(!record.code.contains('\0'));
            QVERIFY(record.district.size() < RegionTable::MaxDistrictLen);
            if (i > 0)
                QVERIFY(table.record(position - 1).code.compare(record.code) <= 0);
        }
    }
}

// Random codes of every length, with the same first character within one length as in
// real data, each with a distinct district.
std::vector<Row> randomRows(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i) {
        const int length = 1 + int(random.bounded(9));
        QByteArray code("0");
        while (code.size() < length)
            code += char('0' + random.bounded(10));
        rows.push_back({code, QByteArray::number(i)});
    }
    return rows;
}

std::vector<Row> distinctCodes(const std::vector<Row>& rows)
{
    std::vector<Row> distinct;
    QSet<QByteArray> seen;
    for (const Row& row : rows)
        if (!seen.contains(row.code)) {
            seen.insert(row.code);
            distinct.push_back(row);
        }
    return distinct;
}
} // namespace

class TestRegionTable : public QObject
{
    Q_OBJECT

private slots:
    void recordLimits();
    void addKeepsOrderAndCounts();
    void addPutsEqualCodeBefore();
    void addCutsTextsAtNul();
    void builderGivesAddsOrder();
    void anyInputOrderGivesSameTable();
    void builderOrdersOnlyWhatNeedsIt();
    void builderRefusesWhatAddRefuses();
    void districtsStoredOnce();
    void clearEmpties();
    void lookupLongestCodeWins();
    void lookupLengthsBoundedByNumber();
    void lookupSingleCharacterCodeMatchesAll();
    void lookupFindsEveryStoredCode();
    void lookupDuplicateFindsOne();
    void lookupEmptyTable();
};

void TestRegionTable::recordLimits()
{
    RegionTable table;
    QCOMPARE(table.add("012345678", QByteArray(49, 'x')), 0);
    QCOMPARE(table.record(0).code, QByteArrayView("012345678"));
    QCOMPARE(table.record(0).district.size(), qsizetype(49));

    const auto faultOf = [](const QByteArray& code, const QByteArray& district) {
        RegionTable table;
        RegionTable::Fault fault = RegionTable::Fault::None;
        const int32_t position = table.add(code, district, &fault);
        // A refused record leaves the table as it was.
        if (fault != RegionTable::Fault::None && (position != -1 || !table.isEmpty()))
            return QStringLiteral("refused but added");
        return RegionTable::faultText(fault);
    };
    QCOMPARE(faultOf("0123456789", "x"), QStringLiteral("RegionRecord类Code字段过长"));
    QCOMPARE(faultOf("010", QByteArray(50, 'x')), QStringLiteral("RegionRecord类District字段过长"));
    QCOMPARE(faultOf("", "x"), QStringLiteral("RegionRecord类Code字段为空"));
    // The first fault is the one named.
    QCOMPARE(faultOf("", QByteArray(50, 'x')), QStringLiteral("RegionRecord类Code字段为空"));
    QCOMPARE(faultOf("0123456789", QByteArray(50, 'x')), QStringLiteral("RegionRecord类Code字段过长"));
    QCOMPARE(faultOf("010", ""), QString());
}

void TestRegionTable::addKeepsOrderAndCounts()
{
    RegionTable table;
    QCOMPARE(add(table, "0591", "a"), 0);
    QCOMPARE(add(table, "010", "b"), 0);
    QCOMPARE(add(table, "01390591", "c"), 2);
    QCOMPARE(add(table, "0311", "d"), 1);
    QCOMPARE(add(table, "0999", "e"), 3);
    QCOMPARE(add(table, "020", "f"), 1);
    QCOMPARE(codes(table), QByteArray("010=b 020=f 0311=d 0591=a 0999=e 01390591=c "));
    QCOMPARE(table.codeCount(3), 2);
    QCOMPARE(table.codeCount(4), 3);
    QCOMPARE(table.codeCount(8), 1);
    QCOMPARE(table.codeCount(1), 0);
    checkInvariant(table);

    // Bytes above 0x7f sort after digits: the comparison is unsigned.
    add(table, "0\xb1", "g");
    add(table, "0\x31", "h");
    QCOMPARE(table.record(0).code, QByteArrayView("01"));
    QCOMPARE(table.record(1).code, QByteArrayView("0\xb1"));
    QCOMPARE(table.record(1).district, QByteArrayView("g"));
    checkInvariant(table);
}

void TestRegionTable::addPutsEqualCodeBefore()
{
    RegionTable table;
    add(table, "0591", "first");
    QCOMPARE(add(table, "0591", "second"), 0);
    QCOMPARE(codes(table), QByteArray("0591=second 0591=first "));
}

void TestRegionTable::addCutsTextsAtNul()
{
    RegionTable table;
    QCOMPARE(table.add(QByteArrayView("0591\0" "99", 7), QByteArrayView("fz\0" "zz", 5)), 0);
    QCOMPARE(codes(table), QByteArray("0591=fz "));
    QCOMPARE(table.codeCount(4), 1);
    // What is left of a code that begins with NUL is empty.
    RegionTable::Fault fault = RegionTable::Fault::None;
    QCOMPARE(table.add(QByteArrayView("\0" "591", 4), "x", &fault), -1);
    QCOMPARE(fault, RegionTable::Fault::EmptyCode);
    // A long name cut short by a NUL fits.
    QCOMPARE(table.add("010", QByteArray("bj") + '\0' + QByteArray(60, 'x')), 0);
    QCOMPARE(lookup(table, "1012345678"), QByteArray("bj"));
}

void TestRegionTable::builderGivesAddsOrder()
{
    // Distinct codes plus pairs of equal ones (codes no random row has): the bulk build
    // must give exactly add's table, which is what the loader relies on.
    std::vector<Row> unique = distinctCodes(randomRows(3000, 7));
    unique.insert(unique.begin() + 10, {"05x1", "pair-1"});
    unique.insert(unique.begin() + 500, {"0x0", "pair-a"});
    unique.insert(unique.begin() + 1000, {"05x1", "pair-2"});
    unique.push_back({"0x0", "pair-b"});
    RegionTable added;
    for (const Row& row : unique)
        added.add(row.code, row.district);
    RegionTable built;
    build(built, unique);
    QCOMPARE(codes(built), codes(added));
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        QCOMPARE(built.codeCount(l), added.codeCount(l));
    checkInvariant(built);
    QVERIFY(codes(built).contains("05x1=pair-2 05x1=pair-1 "));
    QVERIFY(codes(built).contains("0x0=pair-b 0x0=pair-a "));
}

void TestRegionTable::anyInputOrderGivesSameTable()
{
    const std::vector<Row> distinct = distinctCodes(randomRows(2000, 11));
    std::vector<Row> sorted = distinct;
    std::sort(sorted.begin(), sorted.end(), [](const Row& a, const Row& b) { return a.code < b.code; });
    RegionTable reference;
    build(reference, sorted);
    checkInvariant(reference);

    QRandomGenerator random(3);
    for (int round = 0; round < 3; ++round) {
        std::vector<Row> shuffled = distinct;
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        RegionTable table;
        build(table, shuffled);
        QCOMPARE(codes(table), codes(reference));
    }
}

void TestRegionTable::builderOrdersOnlyWhatNeedsIt()
{
    // Lengths interleaved as in the shipped file, each length ascending except the
    // fours, which hold one step back, and the eights, which hold a duplicate (not
    // strictly ascending, so the later one must still come first).
    const std::vector<Row> rows = {{"010", "a"},      {"01300000", "m0"}, {"01300000", "m0b"}, {"01300001", "m1"},
                                   {"020", "b"},      {"0311", "c"},      {"0310", "d"},       {"05", "e"},
                                   {"01300002", "m2"}, {"0591", "f"},      {"021", "g"}};
    RegionTable built;
    build(built, rows);
    QCOMPARE(codes(built), QByteArray("05=e 010=a 020=b 021=g 0310=d 0311=c 0591=f "
                                      "01300000=m0b 01300000=m0 01300001=m1 01300002=m2 "));
    RegionTable added;
    for (const Row& row : rows)
        added.add(row.code, row.district);
    QCOMPARE(codes(built), codes(added));

    // A builder starts over after it has built a table, and a new build replaces the
    // table's contents.
    RegionTable::Builder builder;
    builder.append("0591", "one");
    builder.build(built);
    builder.append("010", "two");
    QCOMPARE(builder.size(), qsizetype(1));
    builder.build(built);
    QCOMPARE(codes(built), QByteArray("010=two "));
    QCOMPARE(built.districtCount(), qsizetype(1));
}

void TestRegionTable::builderRefusesWhatAddRefuses()
{
    RegionTable::Builder builder;
    QCOMPARE(builder.append("", "x"), RegionTable::Fault::EmptyCode);
    QCOMPARE(builder.append("0123456789", "x"), RegionTable::Fault::LongCode);
    QCOMPARE(builder.append("010", QByteArray(50, 'x')), RegionTable::Fault::LongDistrict);
    QCOMPARE(builder.append(QByteArrayView("\0" "10", 3), "x"), RegionTable::Fault::EmptyCode);
    QCOMPARE(builder.append("012345678", QByteArray(49, 'y')), RegionTable::Fault::None);
    QCOMPARE(builder.append(QByteArrayView("0591\0" "1", 6), QByteArrayView("fz\0" "x", 4)), RegionTable::Fault::None);
    QCOMPARE(builder.size(), qsizetype(2));
    RegionTable table;
    builder.build(table);
    QCOMPARE(codes(table), "0591=fz 012345678=" + QByteArray(49, 'y') + ' ');
    checkInvariant(table);
}

void TestRegionTable::districtsStoredOnce()
{
    // Many records, few names, and names that collide in no obvious way: every record
    // still reads back its own name, and each name is kept once.
    std::vector<Row> rows;
    QRandomGenerator random(29);
    for (int i = 0; i < 20000; ++i)
        rows.push_back({"0" + QByteArray::number(1000000 + i), "region-" + QByteArray::number(random.bounded(1500))});
    std::shuffle(rows.begin(), rows.end(), random);
    QSet<QByteArray> names;
    for (const Row& row : rows)
        names.insert(row.district);

    RegionTable built;
    build(built, rows);
    QCOMPARE(built.districtCount(), names.size());
    for (const Row& row : rows) {
        const std::optional<RegionRecord> found = built.lookup(row.code.constData() + 1, int(row.code.size()));
        QVERIFY(found);
        QCOMPARE(found->district, QByteArrayView(row.district));
    }

    RegionTable added;
    for (int i = 0; i < 2000; ++i)
        added.add(rows[size_t(i)].code, rows[size_t(i)].district);
    QSet<QByteArray> addedNames;
    for (int i = 0; i < 2000; ++i)
        addedNames.insert(rows[size_t(i)].district);
    QCOMPARE(added.districtCount(), addedNames.size());

    // Codes packed by length and one number per record: far below the fixed-size
    // records a table of texts would take.
    QVERIFY(built.memoryBytes() < size_t(rows.size()) * 16 + 1500 * 16 + 4096);
}

void TestRegionTable::clearEmpties()
{
    RegionTable table;
    build(table, randomRows(100, 5));
    table.clear();
    QVERIFY(table.isEmpty());
    QCOMPARE(table.size(), qsizetype(0));
    QCOMPARE(table.districtCount(), qsizetype(0));
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        QCOMPARE(table.codeCount(l), 0);
    QCOMPARE(lookup(table, "13905911234"), QByteArray("-"));
    QCOMPARE(add(table, "010", "x"), 0);
    QCOMPARE(codes(table), QByteArray("010=x "));
}

void TestRegionTable::lookupLongestCodeWins()
{
    RegionTable table;
    add(table, "010", "beijing");
    add(table, "0101", "longer");
    add(table, "0591", "fuzhou");
    add(table, "01390591", "mobile");
    QCOMPARE(lookup(table, "10123456789"), QByteArray("longer"));
    QCOMPARE(lookup(table, "1087654321"), QByteArray("beijing"));
    QCOMPARE(lookup(table, "591234567"), QByteArray("fuzhou"));
    QCOMPARE(lookup(table, "13905911234"), QByteArray("mobile"));
    QCOMPARE(lookup(table, "13905921234"), QByteArray("-"));
    QCOMPARE(lookup(table, "592234567"), QByteArray("-"));
    const std::optional<RegionRecord> found = table.lookup("10123456789", 11);
    QVERIFY(found);
    QCOMPARE(found->code, QByteArrayView("0101"));
}

void TestRegionTable::lookupLengthsBoundedByNumber()
{
    RegionTable table;
    add(table, "012345678", "nine");
    // A code of L characters compares L-1 digits, but only numbers of L or more digits
    // reach its length.
    QCOMPARE(lookup(table, "123456789"), QByteArray("nine"));
    QCOMPARE(lookup(table, "12345678"), QByteArray("-"));
    add(table, "01234567", "eight");
    QCOMPARE(lookup(table, "12345678"), QByteArray("eight"));
    // 12 digits: searched from the longest length downwards.
    QCOMPARE(lookup(table, "123456789012"), QByteArray("nine"));
    QCOMPARE(lookup(table, "123456709012"), QByteArray("eight"));
    // The length given bounds the search, not a NUL: a number cut short by its length
    // finds only what its first digits match.
    QCOMPARE(table.lookup("123456789", 8)->district, QByteArrayView("eight"));
}

void TestRegionTable::lookupSingleCharacterCodeMatchesAll()
{
    RegionTable table;
    add(table, "X", "anywhere");
    add(table, "0591", "fuzhou");
    QCOMPARE(lookup(table, "591234567"), QByteArray("fuzhou"));
    QCOMPARE(lookup(table, "999999999"), QByteArray("anywhere"));
    QCOMPARE(lookup(table, "1"), QByteArray("anywhere"));
}

void TestRegionTable::lookupFindsEveryStoredCode()
{
    RegionTable table;
    build(table, randomRows(5000, 23));
    for (qsizetype i = 0; i < table.size(); ++i) {
        const RegionRecord record = table.record(i);
        const QByteArray number = record.code.sliced(1).toByteArray() + QByteArray(12 - record.code.size(), '\xff');
        const std::optional<RegionRecord> found = table.lookup(number.constData(), int(number.size()));
        QVERIFY2(found, record.code.data());
        // A longer code can never match here, since the padding is no digit.
        QCOMPARE(found->code, record.code);
    }
}

void TestRegionTable::lookupDuplicateFindsOne()
{
    RegionTable table;
    add(table, "010", "a");
    add(table, "0591", "one");
    add(table, "0591", "two");
    add(table, "0592", "b");
    QCOMPARE(table.codeCount(4), 3);
    const QByteArray found = lookup(table, "591234567");
    QVERIFY2(found == "one" || found == "two", found.constData());
}

void TestRegionTable::lookupEmptyTable()
{
    RegionTable table;
    QCOMPARE(lookup(table, "13905911234"), QByteArray("-"));
    QCOMPARE(lookup(table, ""), QByteArray("-"));
}

QTEST_APPLESS_MAIN(TestRegionTable)
#include "tst_regiontable.moc"
