#include "lookup/RegionTable.h"
#include "platform/Error.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cstring>

namespace {
QByteArray codes(const RegionTable& table)
{
    QByteArray out;
    for (const RegionRecord& c : table.Cells())
        out += QByteArray(c.Code) + '=' + QByteArray(c.District) + ' ';
    return out;
}

QByteArray lookup(const RegionTable& table, const char* number)
{
    const RegionRecord* cell = table.Lookup(number, int(std::strlen(number)));
    return cell ? QByteArray(cell->District) : QByteArray("-");
}

// The order the table promises: by length, then by code as unsigned bytes, and the
// length counts add up.
void checkInvariant(const RegionTable& table)
{
    int32_t sum = 0;
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        sum += table.CodeCount(l);
    QCOMPARE(size_t(sum), table.Cells().size());
    int32_t position = 0;
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l) {
        for (int32_t i = 0; i < table.CodeCount(l); ++i, ++position) {
            const RegionRecord& cell = table.Cells()[size_t(position)];
            QCOMPARE(cell.CodeLen, l);
            QCOMPARE(size_t(cell.CodeLen), std::strlen(cell.Code));
            QCOMPARE(size_t(cell.DistrictLen), std::strlen(cell.District));
            if (i > 0)
                QVERIFY(std::strcmp(table.Cells()[size_t(position - 1)].Code, cell.Code) <= 0);
        }
    }
}

// Random codes of every length, with the same first character within one length as in
// real data, each with a distinct district.
std::vector<RegionRecord> randomCells(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    std::vector<RegionRecord> cells;
    for (int i = 0; i < count; ++i) {
        const int length = 1 + int(random.bounded(9));
        QByteArray code("0");
        while (code.size() < length)
            code += char('0' + random.bounded(10));
        cells.emplace_back(code.constData(), QByteArray::number(i).constData());
    }
    return cells;
}
} // namespace

class TestAreaCode : public QObject
{
    Q_OBJECT

private slots:
    void cellLimits();
    void addKeepsOrderAndCounts();
    void addPutsEqualCodeBefore();
    void assignGivesAddsOrder();
    void anyInputOrderGivesSameTable();
    void clearEmpties();
    void lookupLongestCodeWins();
    void lookupLengthsBoundedByNumber();
    void lookupSingleCharacterCodeMatchesAll();
    void lookupFindsEveryStoredCode();
    void lookupDuplicateFindsOne();
    void lookupEmptyTable();
};

void TestAreaCode::cellLimits()
{
    const RegionRecord nine("012345678", QByteArray(49, 'x').constData());
    QCOMPARE(nine.CodeLen, 9);
    QCOMPARE(nine.DistrictLen, 49);
    QCOMPARE(QByteArray(nine.Code), QByteArray("012345678"));

    const auto errorOf = [](const char* code, const char* district) {
        try {
            RegionRecord cell(code, district);
        } catch (const Error& e) {
            return e.message();
        }
        return QString();
    };
    QCOMPARE(errorOf("0123456789", "x"), QStringLiteral("RegionRecord类Code字段过长"));
    QCOMPARE(errorOf("010", QByteArray(50, 'x').constData()), QStringLiteral("RegionRecord类District字段过长"));
    QCOMPARE(errorOf("", "x"), QStringLiteral("RegionRecord类Code字段为空"));
    QCOMPARE(errorOf("010", ""), QString());
}

void TestAreaCode::addKeepsOrderAndCounts()
{
    RegionTable table;
    QCOMPARE(table.Add(RegionRecord("0591", "a")), 0);
    QCOMPARE(table.Add(RegionRecord("010", "b")), 0);
    QCOMPARE(table.Add(RegionRecord("01390591", "c")), 2);
    QCOMPARE(table.Add(RegionRecord("0311", "d")), 1);
    QCOMPARE(table.Add(RegionRecord("0999", "e")), 3);
    QCOMPARE(table.Add(RegionRecord("020", "f")), 1);
    QCOMPARE(codes(table), QByteArray("010=b 020=f 0311=d 0591=a 0999=e 01390591=c "));
    QCOMPARE(table.CodeCount(3), 2);
    QCOMPARE(table.CodeCount(4), 3);
    QCOMPARE(table.CodeCount(8), 1);
    QCOMPARE(table.CodeCount(1), 0);
    checkInvariant(table);

    // Bytes above 0x7f sort after digits: the comparison is unsigned.
    table.Add(RegionRecord("0\xb1", "g"));
    table.Add(RegionRecord("0\x31", "h"));
    QCOMPARE(QByteArray(table.Cells()[0].Code), QByteArray("01"));
    QCOMPARE(QByteArray(table.Cells()[1].Code), QByteArray("0\xb1"));
    checkInvariant(table);
}

void TestAreaCode::addPutsEqualCodeBefore()
{
    RegionTable table;
    table.Add(RegionRecord("0591", "first"));
    QCOMPARE(table.Add(RegionRecord("0591", "second")), 0);
    QCOMPARE(codes(table), QByteArray("0591=second 0591=first "));
}

void TestAreaCode::assignGivesAddsOrder()
{
    // Distinct codes plus pairs of equal ones (codes no random cell has): the bulk build
    // must give exactly Add's table, which is what the loader relies on.
    std::vector<RegionRecord> unique;
    for (const RegionRecord& c : randomCells(3000, 7))
        if (std::none_of(unique.begin(), unique.end(), [&](const auto& u) { return !std::strcmp(u.Code, c.Code); }))
            unique.push_back(c);
    unique.emplace(unique.begin() + 10, "05x1", "pair-1");
    unique.emplace(unique.begin() + 500, "0x0", "pair-a");
    unique.emplace(unique.begin() + 1000, "05x1", "pair-2");
    unique.emplace_back("0x0", "pair-b");
    RegionTable added;
    for (const RegionRecord& c : unique)
        added.Add(c);
    RegionTable assigned;
    assigned.Assign(unique);
    QCOMPARE(codes(assigned), codes(added));
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        QCOMPARE(assigned.CodeCount(l), added.CodeCount(l));
    checkInvariant(assigned);
    QVERIFY(codes(assigned).contains("05x1=pair-2 05x1=pair-1 "));
    QVERIFY(codes(assigned).contains("0x0=pair-b 0x0=pair-a "));
}

void TestAreaCode::anyInputOrderGivesSameTable()
{
    std::vector<RegionRecord> cells = randomCells(2000, 11);
    std::vector<RegionRecord> distinct;
    for (const RegionRecord& c : cells)
        if (std::none_of(distinct.begin(), distinct.end(), [&](const auto& d) { return !std::strcmp(d.Code, c.Code); }))
            distinct.push_back(c);

    std::vector<RegionRecord> sorted = distinct;
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return std::strcmp(a.Code, b.Code) < 0; });
    RegionTable reference;
    reference.Assign(sorted);
    checkInvariant(reference);

    QRandomGenerator random(3);
    for (int round = 0; round < 3; ++round) {
        std::vector<RegionRecord> shuffled = distinct;
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        RegionTable table;
        table.Assign(shuffled);
        QCOMPARE(codes(table), codes(reference));
    }
}

void TestAreaCode::clearEmpties()
{
    RegionTable table;
    table.Assign(randomCells(100, 5));
    table.Clear();
    QVERIFY(table.Cells().empty());
    for (int l = 1; l <= RegionTable::MaxCodeLen; ++l)
        QCOMPARE(table.CodeCount(l), 0);
    QCOMPARE(table.Add(RegionRecord("010", "x")), 0);
}

void TestAreaCode::lookupLongestCodeWins()
{
    RegionTable table;
    table.Add(RegionRecord("010", "beijing"));
    table.Add(RegionRecord("0101", "longer"));
    table.Add(RegionRecord("0591", "fuzhou"));
    table.Add(RegionRecord("01390591", "mobile"));
    QCOMPARE(lookup(table, "10123456789"), QByteArray("longer"));
    QCOMPARE(lookup(table, "1087654321"), QByteArray("beijing"));
    QCOMPARE(lookup(table, "591234567"), QByteArray("fuzhou"));
    QCOMPARE(lookup(table, "13905911234"), QByteArray("mobile"));
    QCOMPARE(lookup(table, "13905921234"), QByteArray("-"));
    QCOMPARE(lookup(table, "592234567"), QByteArray("-"));
}

void TestAreaCode::lookupLengthsBoundedByNumber()
{
    RegionTable table;
    table.Add(RegionRecord("012345678", "nine"));
    // A code of L characters compares L-1 digits, but only numbers of L or more digits
    // reach its length.
    QCOMPARE(lookup(table, "123456789"), QByteArray("nine"));
    QCOMPARE(lookup(table, "12345678"), QByteArray("-"));
    table.Add(RegionRecord("01234567", "eight"));
    QCOMPARE(lookup(table, "12345678"), QByteArray("eight"));
    // 12 digits: searched from the longest length downwards.
    QCOMPARE(lookup(table, "123456789012"), QByteArray("nine"));
    QCOMPARE(lookup(table, "123456709012"), QByteArray("eight"));
}

void TestAreaCode::lookupSingleCharacterCodeMatchesAll()
{
    RegionTable table;
    table.Add(RegionRecord("X", "anywhere"));
    table.Add(RegionRecord("0591", "fuzhou"));
    QCOMPARE(lookup(table, "591234567"), QByteArray("fuzhou"));
    QCOMPARE(lookup(table, "999999999"), QByteArray("anywhere"));
    QCOMPARE(lookup(table, "1"), QByteArray("anywhere"));
}

void TestAreaCode::lookupFindsEveryStoredCode()
{
    std::vector<RegionRecord> cells = randomCells(5000, 23);
    RegionTable table;
    table.Assign(cells);
    for (const RegionRecord& c : table.Cells()) {
        const QByteArray number = QByteArray(c.Code + 1) + QByteArray(12 - c.CodeLen, '\xff');
        const RegionRecord* found = table.Lookup(number.constData(), int(number.size()));
        QVERIFY2(found, c.Code);
        // A longer code can never match here, since the padding is no digit.
        QCOMPARE(QByteArray(found->Code), QByteArray(c.Code));
    }
}

void TestAreaCode::lookupDuplicateFindsOne()
{
    RegionTable table;
    table.Add(RegionRecord("010", "a"));
    table.Add(RegionRecord("0591", "one"));
    table.Add(RegionRecord("0591", "two"));
    table.Add(RegionRecord("0592", "b"));
    QCOMPARE(table.CodeCount(4), 3);
    const QByteArray found = lookup(table, "591234567");
    QVERIFY2(found == "one" || found == "two", found.constData());
}

void TestAreaCode::lookupEmptyTable()
{
    RegionTable table;
    QCOMPARE(lookup(table, "13905911234"), QByteArray("-"));
    QCOMPARE(lookup(table, ""), QByteArray("-"));
}

QTEST_APPLESS_MAIN(TestAreaCode)
#include "tst_regiontable.moc"
