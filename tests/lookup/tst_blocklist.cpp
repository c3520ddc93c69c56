// The block list file against the national form the main window gives numbers (a real
// region table behind it): which calls an entry catches, and that saving keeps every line.
#include "app/NationalNumber.h"
#include "lookup/BlockList.h"
#include "lookup/RegionQuery.h"
#include "lookup/RegionTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestBlockList : public QObject
{
    Q_OBJECT

    RegionTable m_table;
    QTemporaryDir m_dir;

    QString path() const { return m_dir.filePath(QStringLiteral("黑名单.txt")); }
    BlockList list()
    {
        return BlockList(path(), [this](const QString& digits) {
            return QString::fromLatin1(NationalNumber::of(digits.toLatin1(), [this](QByteArrayView n) {
                return !RegionQuery::district(m_table, QString::fromLatin1(n)).isEmpty();
            }));
        });
    }
    void writeFile(const QByteArray& bytes)
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray fileBytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    static QString remarkOf(const std::optional<BlockList::Entry>& entry)
    {
        return entry ? entry->remark : QStringLiteral("(not blocked)");
    }

private slots:
    void initTestCase()
    {
        m_table.add("0591", "\xb8\xa3\xd6\xdd"); // 福州 in GBK
        m_table.add("010", "\xb1\xb1\xbe\xa9");  // 北京
    }

    void matching_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("remark");

        // The caller's number as the main window hands it on (national form, no zeros).
        QTest::newRow("exact mobile") << "13905911234"
                                      << "推销";
        QTest::newRow("other mobile") << "13905911235"
                                      << "(not blocked)";
        QTest::newRow("mobile written +86") << "+8613905911234"
                                            << "推销";
        QTest::newRow("mobile written 0086") << "008613905911234"
                                             << "推销";
        QTest::newRow("mobile written 86") << "8613905911234"
                                           << "推销";
        QTest::newRow("entry written +86 catches national") << "13800000001"
                                                            << "国际写法";
        QTest::newRow("landline entry with trunk zero") << "591876543"
                                                        << "座机";
        QTest::newRow("landline written +86") << "+86591876543"
                                              << "座机";
        QTest::newRow("prefix with trunk zero") << "4001234567"
                                                << "400";
        QTest::newRow("prefix written +86 0591") << "59112345"
                                                 << "福州";
        QTest::newRow("exact before prefix") << "59188888888"
                                             << "福州某号";
        QTest::newRow("bare 86 prefix is a local prefix") << "86123"
                                                          << "本地86";
        QTest::newRow("unknown") << "2012345678"
                                 << "(not blocked)";
        QTest::newRow("empty") << ""
                               << "(not blocked)";
    }

    void matching()
    {
        QFETCH(QString, number);
        QFETCH(QString, remark);
        writeFile("\xEF\xBB\xBF"
                  "13905911234\t\xE6\x8E\xA8\xE9\x94\x80\r\n" // 推销, BOM before the first line
                  "+8613800000001\t国际写法\n"
                  "0591876543\t座机\n"
                  "0400*\t400\n"
                  "+86 0591*\t福州\n" // not a number: the blank makes it a kept line
                  "+860591*\t福州\n"
                  "59188888888\t福州某号\n"
                  "86*\t本地86\n");
        BlockList blocked = list();
        QVERIFY(blocked.load());
        QCOMPARE(blocked.skippedLines(), 1);
        QCOMPARE(remarkOf(blocked.match(number)), remark);
    }

    // Lines that hold no entry are skipped and written back as they were, byte for byte;
    // added and removed entries change only their own lines.
    void badLinesSurviveSaving()
    {
        const QByteArray gbkRemark = "13900000000\t\xcd\xc6\xcf\xfa"; // 推销 in GBK: no UTF-8
        writeFile("139*123\n"
                  "*\r\n"
                  "0086*\n"
                  "\n" +
                  gbkRemark +
                  "\n"
                  "13905911234\t旧备注\n"
                  "abc\tx\n");
        BlockList blocked = list();
        QVERIFY(blocked.load());
        QCOMPARE(blocked.skippedLines(), 5);
        QCOMPARE(blocked.entries().size(), 1);
        // The GBK line is no entry, so its number is not blocked by it.
        QVERIFY(!blocked.match(QStringLiteral("13900000000")));

        QVERIFY(blocked.add(QStringLiteral("+8613905911234"), QStringLiteral("新\t备注")));
        QVERIFY(blocked.add(QStringLiteral("0591*"), QStringLiteral("福州")));
        QString error;
        QVERIFY(!blocked.add(QStringLiteral("139 0591"), {}, &error));
        QVERIFY(error.contains(QStringLiteral("139 0591")));
        QVERIFY(!blocked.add(QStringLiteral("*"), {}));
        QVERIFY(!blocked.add(QStringLiteral("+86*"), {}));
        QVERIFY(blocked.save(&error));
        QCOMPARE(fileBytes(), QByteArray("139*123\r\n"
                                         "*\r\n"
                                         "0086*\r\n" +
                                         gbkRemark +
                                         "\r\n"
                                         "13905911234\t新 备注\r\n"
                                         "abc\tx\r\n"
                                         "0591*\t福州\r\n"));

        BlockList again = list();
        QVERIFY(again.load());
        QCOMPARE(again.entries().size(), 2);
        QCOMPARE(remarkOf(again.match(QStringLiteral("5917654321"))), QStringLiteral("福州"));
        // Taking out the number leaves the prefix; taking out the prefix ends it.
        QVERIFY(again.remove(QStringLiteral("008613905911234")));
        QVERIFY(!again.match(QStringLiteral("13905911234")));
        QVERIFY(!again.remove(QStringLiteral("5917654321")));
        QVERIFY(again.match(QStringLiteral("5917654321")));
        QVERIFY(again.remove(QStringLiteral("0591*")));
        QVERIFY(!again.match(QStringLiteral("5917654321")));
        QVERIFY(again.save());
        QCOMPARE(fileBytes(), QByteArray("139*123\r\n*\r\n0086*\r\n" + gbkRemark + "\r\nabc\tx\r\n"));
    }

    // A file too large to be a list blocks nothing and is never
    // overwritten by a save; a missing file is an empty list that saves.
    void unreadableFileIsNotOverwritten()
    {
        QByteArray huge(BlockList::kMaxFileSize + 1, '1');
        writeFile(huge);
        BlockList blocked = list();
        QString error;
        QVERIFY(!blocked.load(&error));
        QVERIFY(!error.isEmpty());
        QVERIFY(blocked.entries().isEmpty());
        QVERIFY(blocked.add(QStringLiteral("13905911234"), {}));
        QVERIFY(!blocked.save(&error));
        QVERIFY(error.contains(path()));
        QCOMPARE(fileBytes().size(), huge.size());
        // The number that was not kept blocks nothing either.
        QVERIFY(!blocked.match(QStringLiteral("13905911234")));

        QVERIFY(QFile::remove(path()));
        BlockList fresh = list();
        QVERIFY(fresh.load());
        QVERIFY(fresh.add(QStringLiteral("13905911234"), {}));
        QVERIFY(fresh.save());
        QCOMPARE(fileBytes(), QByteArray("13905911234\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestBlockList)
#include "tst_blocklist.moc"
