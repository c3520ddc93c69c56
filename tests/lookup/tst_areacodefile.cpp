#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/RegionQuery.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <sys/stat.h>

namespace {
QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder(text);
}

QByteArray record(const QByteArray& code, const QByteArray& name)
{
    return code.leftJustified(8, ' ') + '\r' + name + "\r\n";
}

QByteArray dump(const RegionTable& table)
{
    QByteArray out;
    for (qsizetype i = 0; i < table.size(); ++i) {
        const RegionRecord record = table.record(i);
        out += record.code.toByteArray() + '=' + record.district.toByteArray() + ' ';
    }
    return out;
}

QString shippedTable()
{
    return QStringLiteral(VORNX_BIN_DIR "/area.dat");
}

// Records with white space, NULs and odd bytes anywhere in codes and names, and more names
// than the loader's first name index holds.
QByteArray randomRecords(QRandomGenerator& random, int count)
{
    static const char alphabet[] = "0123456789 \t\r\n\0\xb8\xa3x";
    const auto pick = [&random](const char* from, int size) { return from[random.bounded(size)]; };
    QByteArray bytes;
    for (int r = 0; r < count; ++r) {
        for (int i = 0; i < 8; ++i)
            bytes += random.bounded(4) == 0 ? pick(alphabet, sizeof alphabet - 1) : pick("0123456789", 10);
        bytes += pick(" \t\r", 3);
        // Often a name met before, sometimes one of some 2,000 others, sometimes long.
        QByteArray name = "n" + QByteArray::number(random.bounded(random.bounded(2) ? 40 : 2000));
        if (random.bounded(20) == 0)
            name += QByteArray(random.bounded(30, 60), 'L');
        if (random.bounded(15) == 0)
            name.insert(random.bounded(name.size()), '\0');
        bytes += name + pick(" \t\r\n", 4) + (random.bounded(3) == 0 ? "\r\n" : "");
    }
    return bytes;
}
} // namespace

class TestAreaCodeFile : public QObject
{
    Q_OBJECT

private slots:
    void cutCode_data();
    void cutCode();
    void readsRecordsWithAnyWhiteSpace();
    void incompleteRecordAtEndAddsNothing();
    void recordOrderDoesNotMatter();
    void badRecordsAreSkippedAndCounted();
    void duplicatesBothStay();
    void nulEndsTexts();
    void emptyFileGivesEmptyTable();
    void missingFileIsCreatedEmpty();
    void unopenableFileReportsAndEmpties();
    void specialAndHugeFilesAreRefused();
    void answers_data();
    void answers();
    void shippedTableAnswers();
    void shippedTableInAnyOrder();
    void readAgreesWithRecordByRecord();
    void loadAgreesWithRead();
};

void TestAreaCodeFile::cutCode_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("area code") << QByteArray("010     ") << QByteArray("010");
    QTest::newRow("eight characters") << QByteArray("01390591") << QByteArray("01390591");
    QTest::newRow("leading space") << QByteArray(" 12 4567") << QByteArray(" 12");
    QTest::newRow("one character") << QByteArray("0       ") << QByteArray("0");
    QTest::newRow("inner space") << QByteArray("059 1   ") << QByteArray("059");
}

void TestAreaCodeFile::cutCode()
{
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, code);
    QCOMPARE(AreaCodeFile::cutCode(field).toByteArray(), code);
}

void TestAreaCodeFile::readsRecordsWithAnyWhiteSpace()
{
    const QByteArray fuzhou = gbk(QStringLiteral("福建省福州市"));
    // The usual CR / CR LF, then spaces and tabs as separator, LF-only endings, blank
    // lines, and a last record without its line end.
    const QByteArray bytes = record("0591", fuzhou) + "010     \t \r北京市\n\n\r\n" + "01390591  mobile\n" +
                             "020     \r" + gbk(QStringLiteral("广东省广州市"));
    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::read(bytes, table);
    QVERIFY(load.error.isEmpty());
    QCOMPARE(load.loaded, 4);
    QCOMPARE(load.skipped, 0);
    QCOMPARE(dump(table),
             "010=北京市 020=" + gbk(QStringLiteral("广东省广州市")) + " 0591=" + fuzhou + " 01390591=mobile ");
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("13905911234")), QStringLiteral("mobile"));
}

void TestAreaCodeFile::incompleteRecordAtEndAddsNothing()
{
    RegionTable table;
    QCOMPARE(AreaCodeFile::read(record("010", "a") + "0591    \r\n", table).loaded, 1);
    QCOMPARE(AreaCodeFile::read(record("010", "a") + "059", table).loaded, 1);
    QCOMPARE(dump(table), QByteArray("010=a "));
}

void TestAreaCodeFile::recordOrderDoesNotMatter()
{
    QList<QByteArray> records;
    QRandomGenerator random(17);
    for (int i = 0; i < 500; ++i) {
        const QByteArray code = "0" + QByteArray::number(random.bounded(1, 9999999));
        records << record(code, "n" + code);
    }
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    RegionTable sorted;
    AreaCodeFile::read(records.join(), sorted);
    std::shuffle(records.begin(), records.end(), random);
    RegionTable shuffled;
    AreaCodeFile::read(records.join(), shuffled);
    QCOMPARE(dump(shuffled), dump(sorted));
    QCOMPARE(sorted.size(), records.size());
}

void TestAreaCodeFile::badRecordsAreSkippedAndCounted()
{
    const QByteArray longest(49, 'n');
    const QByteArray bytes = record("010", "a") + record("020", QByteArray(50, 'x')) + record("0591", longest) +
                             record("0592", QByteArray(400, 'y')) + record("0593", "c") +
                             QByteArray("\0"
                                        "123456\r",
                                        8) +
                             "zero\r\n";
    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::read(bytes, table);
    QCOMPARE(load.loaded, 3);
    QCOMPARE(load.skipped, 3);
    QCOMPARE(load.firstSkipReason, QStringLiteral("RegionRecord类District字段过长"));
    QCOMPARE(dump(table), "010=a 0591=" + longest + " 0593=c ");
}

void TestAreaCodeFile::duplicatesBothStay()
{
    RegionTable table;
    const AreaCodeLoad load =
        AreaCodeFile::read(record("0591", "one") + record("010", "a") + record("0591", "two") + record("0592", "b"), table);
    QCOMPARE(load.loaded, 4);
    QCOMPARE(load.skipped, 0);
    // The later record of a code comes first, in a sorted file as in any other.
    QCOMPARE(dump(table), QByteArray("010=a 0591=two 0591=one 0592=b "));
    RegionTable sorted;
    AreaCodeFile::read(record("010", "a") + record("0591", "one") + record("0591", "two") + record("0592", "b"), sorted);
    QCOMPARE(dump(sorted), QByteArray("010=a 0591=two 0591=one 0592=b "));
    const QString found = RegionQuery::answer(sorted, QStringLiteral("591234567"));
    QVERIFY2(found == QStringLiteral("one") || found == QStringLiteral("two"), qPrintable(found));
}

void TestAreaCodeFile::nulEndsTexts()
{
    // A NUL ends the code and the name where it stands, as in any 8-bit text; a name cut
    // short that way fits even when its record is long.
    const QByteArray bytes = QByteArray("0591\0" "12\r", 8) + "fz" + '\0' + QByteArray(60, 'x') + "\r\n" +
                             record("010", QByteArray("bj\0", 3) + "rest");
    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::read(bytes, table);
    QCOMPARE(load.loaded, 2);
    QCOMPARE(load.skipped, 0);
    QCOMPARE(dump(table), QByteArray("010=bj 0591=fz "));

    // Names a NUL empties from their first byte: one empty name, met twice.
    RegionTable unnamed;
    const AreaCodeLoad empties = AreaCodeFile::read(record("0591", QByteArray("\0x", 2)) +
                                                        record("0592", QByteArray("\0y", 2)), unnamed);
    QCOMPARE(empties.loaded, 2);
    QCOMPARE(dump(unnamed), QByteArray("0591= 0592= "));
}

void TestAreaCodeFile::emptyFileGivesEmptyTable()
{
    RegionTable table;
    table.add("010", "old");
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n \t\n")}) {
        const AreaCodeLoad load = AreaCodeFile::read(bytes, table);
        QVERIFY(load.error.isEmpty());
        QVERIFY(table.isEmpty());
        QCOMPARE(table.codeCount(3), 0);
    }
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("13905911234")),
             QStringLiteral("系统中无此号码记录，请提交给软件作者"));
}

void TestAreaCodeFile::missingFileIsCreatedEmpty()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::load(path, table);
    QVERIFY(load.error.isEmpty());
    QVERIFY(table.isEmpty());
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestAreaCodeFile::unopenableFileReportsAndEmpties()
{
    QTemporaryDir dir;
    RegionTable table;
    table.add("010", "old");
    // A folder that does not exist: the file can neither be read nor created.
    const AreaCodeLoad missingFolder = AreaCodeFile::load(dir.filePath(QStringLiteral("gone/area.dat")), table);
    QCOMPARE(missingFolder.error, QStringLiteral("电话号码归属查询数据无法打开！"));
    QVERIFY(table.isEmpty());
    // A folder in the file's place.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("area.dat")));
    QVERIFY(AreaCodeFile::load(dir.filePath(QStringLiteral("area.dat")), table)
                .error.startsWith(QStringLiteral("电话号码归属查询数据无法打开！")));
}

// A FIFO in the table's place is not waited on, and a file far too big for a region table
// is not read; both are reported naming the file, and the table is empty.
void TestAreaCodeFile::specialAndHugeFilesAreRefused()
{
    QTemporaryDir dir;
    RegionTable table;
    const QString fifo = dir.filePath(QStringLiteral("fifo.dat"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    table.add("010", "old");
    const AreaCodeLoad fromFifo = AreaCodeFile::load(fifo, table);
    QVERIFY2(fromFifo.error.startsWith(QStringLiteral("电话号码归属查询数据无法打开！")) &&
                 fromFifo.error.contains(fifo) && fromFifo.error.contains(QStringLiteral("不是普通文件")),
             qPrintable(fromFifo.error));
    QVERIFY(table.isEmpty());

    const QString huge = dir.filePath(QStringLiteral("huge.dat"));
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("010      北京市\r\n");
        QVERIFY(f.resize(AreaCodeFile::kMaxFileSize + 1));
    }
    table.add("010", "old");
    const AreaCodeLoad fromHuge = AreaCodeFile::load(huge, table);
    QVERIFY2(fromHuge.error.contains(huge) && fromHuge.error.contains(QStringLiteral("太大")),
             qPrintable(fromHuge.error));
    QVERIFY(table.isEmpty());
}

void TestAreaCodeFile::answers_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("answer");
    const QString none = QStringLiteral("系统中无此号码记录，请提交给软件作者");
    const QString local = QStringLiteral("本地号码");
    QTest::newRow("leading zeros dropped") << "00591234567"
                                           << "福建省福州市";
    QTest::newRow("nine digits") << "591234567"
                                 << "福建省福州市";
    QTest::newRow("mobile") << "13905911234"
                            << "福建省福州市";
    QTest::newRow("mobile with zero") << "013905911234"
                                      << "福建省福州市";
    QTest::newRow("beijing") << "01087654321"
                             << "北京市";
    QTest::newRow("eight digits") << "12345678" << local;
    QTest::newRow("eight after zeros") << "00012345678" << local;
    QTest::newRow("empty") << "" << local;
    QTest::newRow("zeros only") << "000000000000" << local;
    QTest::newRow("unknown") << "19912345678" << none;
}

void TestAreaCodeFile::answers()
{
    QFETCH(QString, entry);
    QFETCH(QString, answer);
    RegionTable table;
    AreaCodeFile::read(record("010", gbk(QStringLiteral("北京市"))) +
                           record("0591", gbk(QStringLiteral("福建省福州市"))) +
                           record("01390591", gbk(QStringLiteral("福建省福州市"))),
                       table);
    QCOMPARE(RegionQuery::answer(table, entry), answer);
}

void TestAreaCodeFile::shippedTableAnswers()
{
    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::load(shippedTable(), table);
    QVERIFY2(load.error.isEmpty(), qPrintable(shippedTable()));
    QCOMPARE(load.skipped, 0);
    QCOMPARE(table.size(), qsizetype(321375));
    QCOMPARE(table.codeCount(3), 10);
    QCOMPARE(table.codeCount(4), 318);
    QCOMPARE(table.codeCount(8), 321047);
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("13905911234")), QStringLiteral("福建省福州市"));
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("0591123456")), QStringLiteral("福建省福州市"));
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("01012345678")), QStringLiteral("北京市"));
    // Written in full rather than libphonenumber's shortened "33".
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("03351234567")), QStringLiteral("河北省秦皇岛市"));
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("0331234567")),
             QStringLiteral("系统中无此号码记录，请提交给软件作者"));
    QCOMPARE(RegionQuery::answer(table, QStringLiteral("13035201234")), QStringLiteral("湖北省襄樊市"));
}

void TestAreaCodeFile::shippedTableInAnyOrder()
{
    QFile file(shippedTable());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QList<QByteArray> records = bytes.split('\n');
    records.removeAll(QByteArray());
    for (QByteArray& r : records)
        r += '\n';
    std::shuffle(records.begin(), records.end(), QRandomGenerator(5));

    RegionTable sorted;
    QCOMPARE(AreaCodeFile::read(bytes, sorted).loaded, qsizetype(321375));
    RegionTable shuffled;
    QCOMPARE(AreaCodeFile::read(records.join(), shuffled).loaded, qsizetype(321375));
    QCOMPARE(dump(shuffled), dump(sorted));
    // Each region name is held once, however many codes it has.
    QCOMPARE(sorted.districtCount(), qsizetype(356));
    QCOMPARE(shuffled.districtCount(), qsizetype(356));
    // What load reads is what the file holds.
    RegionTable loaded;
    QVERIFY(AreaCodeFile::load(shippedTable(), loaded).error.isEmpty());
    QCOMPARE(dump(loaded), dump(sorted));
}

// What read() keeps and skips of random records is what a plain reading of each record
// added one by one keeps and skips.
void TestAreaCodeFile::readAgreesWithRecordByRecord()
{
    static const QByteArray spaces(" \t\n\v\f\r");
    const auto isSpace = [](char c) { return spaces.contains(c); };
    QRandomGenerator random(23);
    for (int round = 0; round < 20; ++round) {
        const QByteArray bytes = randomRecords(random, random.bounded(1, 3000));

        RegionTable read;
        const AreaCodeLoad load = AreaCodeFile::read(bytes, read);

        RegionTable added;
        qsizetype skipped = 0;
        qsizetype p = 0;
        while (bytes.size() - p >= 8) {
            const QByteArrayView field = QByteArrayView(bytes).sliced(p, 8);
            p += 8;
            while (p < bytes.size() && isSpace(bytes[p]))
                ++p;
            const qsizetype begin = p;
            while (p < bytes.size() && !isSpace(bytes[p]))
                ++p;
            if (p == begin)
                break;
            const QByteArrayView name = QByteArrayView(bytes).sliced(begin, p - begin);
            while (p < bytes.size() && isSpace(bytes[p]))
                ++p;
            if (added.add(AreaCodeFile::cutCode(field), name) < 0)
                ++skipped;
        }

        QCOMPARE(load.skipped, skipped);
        QCOMPARE(load.loaded, added.size());
        QCOMPARE(read.size(), added.size());
        QCOMPARE(read.districtCount(), added.districtCount());
        // Equal codes may stand in another order: the records are compared as sets, and
        // read()'s are checked to be in code order.
        QList<QByteArray> fromRead;
        QList<QByteArray> fromAdded;
        for (qsizetype i = 0; i < read.size(); ++i) {
            const RegionRecord a = read.record(i);
            const RegionRecord b = added.record(i);
            fromRead << a.code.toByteArray() + '=' + a.district.toByteArray();
            fromAdded << b.code.toByteArray() + '=' + b.district.toByteArray();
            if (i > 0) {
                const RegionRecord before = read.record(i - 1);
                QVERIFY(before.code.size() < a.code.size() ||
                        (before.code.size() == a.code.size() && before.code.compare(a.code) <= 0));
            }
        }
        std::sort(fromRead.begin(), fromRead.end());
        std::sort(fromAdded.begin(), fromAdded.end());
        QCOMPARE(fromRead, fromAdded);
    }
}

// The file is read in pieces: records, white space and names of any length that straddle
// the pieces' ends come out as read() takes them from the whole bytes.
void TestAreaCodeFile::loadAgreesWithRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("area.dat"));
    QRandomGenerator random(31);
    for (int round = 0; round < 6; ++round) {
        QByteArray bytes = randomRecords(random, random.bounded(20000, 60000));
        // A name longer than any piece (refused), and white space longer than a piece
        // between two records, somewhere in the file.
        const QByteArray longName = "01234567\r" + QByteArray(random.bounded(300000, 700000), 'N') + "\r\n";
        const QByteArray longSpace = "05910000\rfz" + QByteArray(random.bounded(300000, 700000), ' ');
        bytes.insert(random.bounded(bytes.size() / 2), round % 2 ? longName : longSpace);
        bytes += record("0595", "last");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();

        RegionTable whole;
        const AreaCodeLoad read = AreaCodeFile::read(bytes, whole);
        RegionTable loaded;
        const AreaCodeLoad load = AreaCodeFile::load(path, loaded);
        QVERIFY(load.error.isEmpty());
        QCOMPARE(load.loaded, read.loaded);
        QCOMPARE(load.skipped, read.skipped);
        QCOMPARE(load.firstSkipReason, read.firstSkipReason);
        QCOMPARE(dump(loaded), dump(whole));
        // The file is read to its end.
        QVERIFY(dump(loaded).contains("0595=last "));
    }
}

QTEST_APPLESS_MAIN(TestAreaCodeFile)
#include "tst_areacodefile.moc"
