#include "lookup/CallSheet.h"

#include <QStringEncoder>
#include <QtTest>

namespace {
qsizetype gbkSize(const QString& text)
{
    QStringEncoder gbk("GB18030");
    return QByteArray(gbk.encode(text)).size();
}
} // namespace

class TestCallSheet : public QObject
{
    Q_OBJECT

private slots:
    void cutsAtByteSizeWithoutSplittingACharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("expected");

        const QString eighty = QString(80, QChar(0x95FD)); // 闽, two bytes each
        QTest::newRow("80 Chinese characters fit 160 bytes") << eighty << 160 << eighty;
        QTest::newRow("the 81st is left out") << eighty + QStringLiteral("江") << 160 << eighty;
        QTest::newRow("odd start leaves the last half out")
            << QStringLiteral("a") + eighty << 160 << QStringLiteral("a") + QString(79, QChar(0x95FD));
        QTest::newRow("ASCII to the byte") << QString(200, QLatin1Char('x')) << 160 << QString(160, QLatin1Char('x'));
        QTest::newRow("short text unchanged") << QStringLiteral("张三 13905911234") << 160
                                              << QStringLiteral("张三 13905911234");
        QTest::newRow("four-byte character kept whole")
            << QString(29, QLatin1Char('x')) + QString::fromUcs4(U"\U0001F600") + QStringLiteral("y") << 32
            << QString(29, QLatin1Char('x'));
        QTest::newRow("empty") << QString() << 60 << QString();
    }

    void cutsAtByteSizeWithoutSplittingACharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QFETCH(QString, expected);
        const QString cut = CallSheet::cutToBytes(text, bytes);
        QCOMPARE(cut, expected);
        QVERIFY(gbkSize(cut) <= bytes);
    }

    void recordsFollowTheRowsWithBlanksForLineBreaks()
    {
        const QList<CallSheet::Row> rows = {
            {QStringLiteral("来电号码"), QStringLiteral("059187654321(福建省福州市)")},
            {QStringLiteral("来电时间"), QStringLiteral("2026-12-08 17:30:00")},
            {QStringLiteral("地址"), QStringLiteral("福州市\r\n鼓楼区\n五四路\r1号")},
            {QString(40, QChar(0x6807)), QString(100, QChar(0x503C))},
        };
        const QList<CallSheet::Record> records = CallSheet::records(rows);
        QCOMPARE(records.size(), 4);
        QCOMPARE(records.at(0).Field1, QStringLiteral("来电号码"));
        QCOMPARE(records.at(0).Field2, QStringLiteral("059187654321(福建省福州市)"));
        QCOMPARE(records.at(1).Field2, QStringLiteral("2026-12-08 17:30:00"));
        // CR LF becomes two blanks.
        QCOMPARE(records.at(2).Field2, QStringLiteral("福州市  鼓楼区 五四路 1号"));
        QCOMPARE(records.at(3).Field1, QString(30, QChar(0x6807)));
        QCOMPARE(records.at(3).Field2, QString(80, QChar(0x503C)));
    }

    void lineBreaksCountAsBlanksInTheCut()
    {
        const QString value = QString(79, QChar(0x503C)) + QStringLiteral("\r\n") + QStringLiteral("尾");
        const QList<CallSheet::Record> records = CallSheet::records({{QStringLiteral("备注"), value}});
        QCOMPARE(records.at(0).Field2, QString(79, QChar(0x503C)) + QStringLiteral("  "));
    }
};

QTEST_APPLESS_MAIN(TestCallSheet)
#include "tst_callsheet.moc"
