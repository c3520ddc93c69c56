#include "capture/CallerIdParser.h"

#include <QtTest>

using Numbers = QList<QByteArray>;

namespace {
Numbers feedAll(CallerIdParser& parser, const QList<QByteArray>& chunks)
{
    Numbers numbers;
    for (const QByteArray& chunk : chunks)
        numbers += parser.feed(chunk);
    return numbers;
}
} // namespace

class TestCallerIdParser : public QObject
{
    Q_OBJECT

private slots:
    void streams_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<Numbers>("numbers");
        const Numbers one{"0591123456"};

        QTest::newRow("worked example")
            << QList<QByteArray>{"\r\nRING\r\n", "\r\nDATE = 03", "21\r\nTIME = 1405\r\nNMBR = 0591123456\r\n\r\n"}
            << one;
        QTest::newRow("number line alone") << QList<QByteArray>{"NMBR = 0591123456\r\n"} << one;
        QTest::newRow("lower-case key") << QList<QByteArray>{"nmbr = 0591123456\r\n"} << one;
        QTest::newRow("CR without LF yet") << QList<QByteArray>{"NMBR = 0591123456\r"} << one;
        QTest::newRow("date ended by CR alone")
            << QList<QByteArray>{"DATE = 0321\rTIME = 1405\r\nNMBR = 0591123456\r\n"} << one;
        QTest::newRow("letter for a number is passed on") << QList<QByteArray>{"NMBR = O\r\n"} << Numbers{"O"};
        QTest::newRow("no number line") << QList<QByteArray>{"\r\nRING\r\nDATE = 0321\r\nTIME = 1405\r\n"}
                                        << Numbers{};
        QTest::newRow("incomplete line waits")
            << QList<QByteArray>{"NMBR = 0591", "123456"} << Numbers{};
        QTest::newRow("NMBR inside another word") << QList<QByteArray>{"NMBRX 12\r\n"} << Numbers{};

        // A complete number line is never lost to the lines around it.
        QTest::newRow("RING before it in the same chunk")
            << QList<QByteArray>{"RING\r\nNMBR = 0591123456\r\n"} << one;
        QTest::newRow("blank line between the fields")
            << QList<QByteArray>{"DATE = 0321\r\n\r\nTIME = 1405\r\n\r\nNMBR = 0591123456\r\n"} << one;
        QTest::newRow("unknown field first")
            << QList<QByteArray>{"NAME = ZHANG SAN\r\nMESG = 110\r\nNMBR = 0591123456\r\n"} << one;
        QTest::newRow("noise without line end before it")
            << QList<QByteArray>{"\x01\x02", "\r\nNMBR = 0591123456\r\n"} << one;
        QTest::newRow("two calls in one chunk")
            << QList<QByteArray>{"NMBR = 0591123456\r\n\r\nRING\r\nNMBR = 13800138000\r\n"}
            << Numbers{"0591123456", "13800138000"};

        // Some modems send the field without blanks around '='.
        QTest::newRow("no blanks") << QList<QByteArray>{"NMBR=0591123456\r\n"} << one;
        QTest::newRow("blank after only") << QList<QByteArray>{"NMBR= 0591123456\r\n"} << one;
        QTest::newRow("blank before only") << QList<QByteArray>{"NMBR =0591123456\r\n"} << one;
        QTest::newRow("several blanks") << QList<QByteArray>{"NMBR  =  0591123456\r\n"} << one;
    }

    void streams()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(Numbers, numbers);
        CallerIdParser parser;
        QCOMPARE(feedAll(parser, chunks), numbers);
    }

    // The same report cut at every position, and fed one byte at a time.
    void chunkBoundariesAnywhere()
    {
        const QByteArray report = "\r\nRING\r\n\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 0591123456\r\n\r\nRING\r\n";
        for (qsizetype cut = 0; cut <= report.size(); ++cut) {
            CallerIdParser parser;
            QCOMPARE(feedAll(parser, {report.left(cut), report.mid(cut)}), Numbers{"0591123456"});
        }
        CallerIdParser parser;
        Numbers numbers;
        for (const char c : report)
            numbers += parser.feed(QByteArray(1, c));
        QCOMPARE(numbers, Numbers{"0591123456"});
    }

    void incompleteLineIsKeptUpperCased()
    {
        CallerIdParser parser;
        QVERIFY(parser.feed("RING\r\nda").isEmpty());
        QCOMPARE(parser.CommBuffer(), QByteArray("DA"));
        QCOMPARE(parser.feed("TE = 0321\r\nnmbr = 12\r\n"), Numbers{"12"});
        QVERIFY(parser.CommBuffer().isEmpty());
    }

    // Text that never brings a line end does not grow the buffer without bound, and the
    // tail of such a line is not mistaken for a line of its own.
    void endlessLineIsBounded()
    {
        CallerIdParser parser;
        const QByteArray noise(1000, 'Z');
        for (int i = 0; i < 1000; ++i) {
            QVERIFY(parser.feed(noise).isEmpty());
            QVERIFY(parser.CommBuffer().size() <= CallerIdParser::MaxLine);
        }
        QVERIFY(parser.feed("NMBR = 999\r\n").isEmpty());
        QCOMPARE(parser.feed("NMBR = 0591123456\r\n"), Numbers{"0591123456"});
    }

    void longestNumberPasses()
    {
        CallerIdParser parser;
        const QByteArray number(255, '7');
        QCOMPARE(parser.feed("NMBR = " + number + "\r\n"), Numbers{number});
    }
};

QTEST_APPLESS_MAIN(TestCallerIdParser)
#include "tst_calleridparser.moc"
