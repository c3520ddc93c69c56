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

using Absence = CallerIdReport::Absence;
using Reports = QList<CallerIdReport>;

CallerIdReport numberReport(const QByteArray& number)
{
    return CallerIdReport{number, Absence::None, false};
}

CallerIdReport noNumber(Absence absence)
{
    return CallerIdReport{{}, absence, false};
}

// A data packet of the on-hook caller-ID signal: type, length, body, and the checksum
// byte that makes all bytes add up to zero modulo 256, written as hex digits the way a
// modem in unformatted mode hands it on.
QByteArray packet(uchar type, const QByteArray& body, int checksumError = 0)
{
    QByteArray bytes;
    bytes += char(type);
    bytes += char(body.size());
    bytes += body;
    uchar sum = 0;
    for (const char b : bytes)
        sum = uchar(sum + uchar(b));
    bytes += char(uchar(-sum + checksumError));
    return bytes.toHex().toUpper();
}

// Hex digits with a blank after every byte, as some modems write them.
QByteArray spaced(const QByteArray& hex)
{
    QByteArray out;
    for (qsizetype i = 0; i < hex.size(); i += 2)
        out += hex.mid(i, 2) + ' ';
    return out;
}

QByteArray parameter(uchar type, const QByteArray& value)
{
    return QByteArray(1, char(type)) + char(value.size()) + value;
}

// Every way of cutting a stream into chunks the tests try.
QList<QList<QByteArray>> chunkings(const QByteArray& stream)
{
    QList<QList<QByteArray>> all{{stream}};
    QList<QByteArray> bytes;
    for (const char c : stream)
        bytes.append(QByteArray(1, c));
    all.append(bytes);
    for (qsizetype size : {2, 3, 7, 13}) {
        QList<QByteArray> pieces;
        for (qsizetype i = 0; i < stream.size(); i += size)
            pieces.append(stream.mid(i, size));
        all.append(pieces);
    }
    for (qsizetype cut = 1; cut < stream.size(); ++cut)
        all.append({stream.left(cut), stream.mid(cut)});
    return all;
}

Reports feedReports(CallerIdParser& parser, const QList<QByteArray>& chunks)
{
    Reports reports;
    for (const QByteArray& chunk : chunks)
        reports += parser.feedReports(chunk);
    return reports;
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


    // Every report shape of the modem families, written with CR LF; each is also tried with
    // LF alone and CR alone, and cut into chunks in every way.
    void shapes_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<Reports>("reports");
        const Reports one{numberReport("0591123456")};
        const Reports mobile{numberReport("13905911234")};

        QTest::newRow("NMBR after NAME")
            << QByteArray("\r\nRING\r\nDATE = 0321\r\nTIME = 1405\r\nNAME = ZHANG SAN\r\nNMBR = 0591123456\r\n")
            << Reports{CallerIdReport{"0591123456", Absence::None, true}};
        QTest::newRow("DDN_NMBR before NAME")
            << QByteArray("RING\r\nDATE=0321\r\nTIME=1405\r\nDDN_NMBR=0591123456\r\nNAME=ZHANG\r\n") << one;
        QTest::newRow("DDN with colon") << QByteArray("DATE: 0321\r\nDDN : 0591123456\r\n") << one;
        QTest::newRow("NBR") << QByteArray("TIME=1405\r\nNBR = 13905911234\r\n") << mobile;
        QTest::newRow("tags on one line")
            << QByteArray("DATE=0321 TIME=1405 NMBR=13905911234 NAME=LI SI\r\n") << mobile;
        QTest::newRow("RING before the tags")
            << QByteArray("RING DATE = 0321  TIME = 1405  DDN_NMBR = 13905911234\r\n") << mobile;
        QTest::newRow("NAME holding a tag word")
            << QByteArray("NAME = NMBR DDN SHOP\r\nNMBR = 0591123456\r\n")
            << Reports{CallerIdReport{"0591123456", Absence::None, true}};
        QTest::newRow("NAME holding a tag word, same line")
            << QByteArray("DATE=0321 NAME=NBR NMBR HOUSE DDN=0591123456\r\n") << one;
        QTest::newRow("number line before NAME on one line")
            << QByteArray("NMBR = 0591123456 NAME = WANG\r\n")
            << Reports{CallerIdReport{"0591123456", Absence::None, true}};
        QTest::newRow("ISDN caller number") << QByteArray("CALLER NUMBER: 0591123456\r\nRING\r\n") << one;
        QTest::newRow("ISDN RING;caller;called") << QByteArray("RING;0591123456;87654321\r\n") << one;
        QTest::newRow("ISDN RING/caller") << QByteArray("RING/13905911234\r\n") << mobile;
        QTest::newRow("ISDN RING caller") << QByteArray("RING 13905911234\r\n") << mobile;
        QTest::newRow("ZyXEL FM TO") << QByteArray("RING\r\nFM:0591123456 TO:87654321\r\n") << one;
        QTest::newRow("ZyXEL with blanks") << QByteArray("FM : 13905911234  TO : 87654321\r\n") << mobile;
        QTest::newRow("caller-ID box")
            << QByteArray("###DATE03211405...NMBR0591123456...NAMEZHANG SAN+++\r\n") << one;
        QTest::newRow("caller-ID box without line end")
            << QByteArray("###DATE03211405...NMBR13905911234...NAMELI+++###DATE03211406...NMBR0591123456...NAMEWU+++")
            << Reports{numberReport("13905911234"), numberReport("0591123456")};
        QTest::newRow("SDMF") << packet(0x04, "03211405" "13905911234") + "\r\n" << mobile;
        QTest::newRow("SDMF with blanks between bytes")
            << spaced(packet(0x04, "03211405" "0591123456")) + "\r\n" << one;
        QTest::newRow("MDMF")
            << "RING\r\n" + packet(0x80, parameter(1, "03211405") + parameter(2, "0591123456") + parameter(7, "ZHANG"))
                   + "\r\nRING\r\n"
            << one;
        QTest::newRow("MDMF as MESG value")
            << "MESG = " + packet(0x80, parameter(1, "03211405") + parameter(2, "13905911234")) + "\r\n" << mobile;
        QTest::newRow("voice mode between DLE codes")
            << QByteArray("\x10R\x10X\r\nDATE=0321\r\nTIME=1405\r\nNMBR=13905911234\r\n\x10.\x10R") << Reports{
                   CallerIdReport{"13905911234", Absence::None, true}};
        QTest::newRow("voice mode without line ends")
            << QByteArray("\x10XNMBR = 0591123456\x10.") << Reports{CallerIdReport{"0591123456", Absence::None, true}};
        QTest::newRow("leading zero and one kept") << QByteArray("DDN_NMBR=0013905911234\r\nNBR=1059\r\n")
                                                   << Reports{numberReport("0013905911234"), numberReport("1059")};
        QTest::newRow("international form kept") << QByteArray("CALLER NUMBER: +8613905911234\r\n")
                                                 << Reports{numberReport("+8613905911234")};

        // Withheld and unavailable numbers.
        QTest::newRow("NMBR P") << QByteArray("NMBR = P\r\n") << Reports{CallerIdReport{"P", Absence::Withheld, true}};
        QTest::newRow("NMBR O") << QByteArray("NMBR = O\r\n") << Reports{CallerIdReport{"O", Absence::Unavailable, true}};
        QTest::newRow("DDN_NMBR PRIVATE") << QByteArray("DDN_NMBR = PRIVATE\r\n") << Reports{noNumber(Absence::Withheld)};
        QTest::newRow("NBR Restricted") << QByteArray("NBR=Restricted\r\n") << Reports{noNumber(Absence::Withheld)};
        QTest::newRow("ISDN OUT OF AREA") << QByteArray("CALLER NUMBER: OUT OF AREA\r\n")
                                          << Reports{noNumber(Absence::Unavailable)};
        QTest::newRow("ISDN RING without caller") << QByteArray("RING;;87654321\r\n")
                                                  << Reports{noNumber(Absence::Unavailable)};
        QTest::newRow("ZyXEL private") << QByteArray("FM:PRIVATE TO:87654321\r\n") << Reports{noNumber(Absence::Withheld)};
        QTest::newRow("box private") << QByteArray("###DATE03211405...NMBRP...NAMEPRIVATE+++\r\n")
                                     << Reports{noNumber(Absence::Withheld)};
        QTest::newRow("SDMF O") << packet(0x04, "03211405O") + "\r\n" << Reports{noNumber(Absence::Unavailable)};
        QTest::newRow("MDMF reason private")
            << packet(0x80, parameter(1, "03211405") + parameter(4, "P")) + "\r\n" << Reports{noNumber(Absence::Withheld)};
        QTest::newRow("MDMF reason out of area")
            << packet(0x80, parameter(1, "03211405") + parameter(4, "O") + parameter(8, "O")) + "\r\n"
            << Reports{noNumber(Absence::Unavailable)};
        QTest::newRow("MESG only") << QByteArray("DATE = 0321\r\nTIME = 1405\r\nMESG = 030101\r\n") << Reports{};

        // Damaged or foreign data.
        QTest::newRow("SDMF bad checksum") << packet(0x04, "03211405" "13905911234", 1) + "\r\n" << Reports{};
        QTest::newRow("MDMF bad checksum")
            << packet(0x80, parameter(2, "0591123456"), 7) + "\r\n" << Reports{};
        QTest::newRow("MDMF parameter past its end")
            << packet(0x80, QByteArray("\x02\x20" "0591")) + "\r\n" << Reports{};
        QTest::newRow("modem chatter") << QByteArray("OK\r\nRING\r\nRINGING\r\nCONNECT 9600\r\nNO CARRIER\r\n")
                                       << Reports{};
    }

    void shapes()
    {
        QFETCH(QByteArray, stream);
        QFETCH(Reports, reports);
        for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
            const QByteArray written = QByteArray(stream).replace("\r\n", end);
            for (const QList<QByteArray>& chunks : chunkings(written)) {
                CallerIdParser parser;
                const Reports got = feedReports(parser, chunks);
                if (got != reports)
                    qWarning() << "line end" << end << "chunks" << chunks;
                QCOMPARE(got.size(), reports.size());
                QCOMPARE(got, reports);
            }
        }
    }

    // A number line with blanks or a stray control byte in front is still a number line.
    void noiseBeforeTheKey()
    {
        for (const QByteArray& noise : {QByteArray(" "), QByteArray("\t "), QByteArray("\x01"), QByteArray("\x00\x7f"),
                                        QByteArray("\x1b ")}) {
            CallerIdParser parser;
            QCOMPARE(parser.feed("RING\r\n" + noise + "NMBR = 0591123456\r\n"), Numbers{"0591123456"});
        }
    }

    // The numbers handed on: an NMBR line's value as sent, even when it names no number;
    // a withheld number in any other shape gives nothing.
    void numbersOfReports()
    {
        CallerIdParser parser;
        QCOMPARE(parser.feed("NMBR = P\r\nDDN_NMBR = P\r\nDATE=0321 NMBR=P\r\nFM:O TO:1\r\nNBR = 0591123456\r\nNMBR =\r\n"),
                 (Numbers{"P", "0591123456", ""}));
    }

    void describedForTheMonitor()
    {
        QCOMPARE(numberReport("13905911234").describe(), QStringLiteral("号码: 13905911234"));
        QCOMPARE(noNumber(Absence::Withheld).describe(), QStringLiteral("无号码: 私人号码"));
        QCOMPARE(noNumber(Absence::Unavailable).describe(), QStringLiteral("无号码: 号码不可用"));
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
