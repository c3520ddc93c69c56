#include "app/IncomingNumber.h"

#include <QtTest>

class TestIncomingNumber : public QObject
{
    Q_OBJECT

private slots:
    void takesTheFirstDigitRun_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("dropHeader");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("number");

        QTest::newRow("long distance") << QByteArray("0591123456") << false << true << QByteArray("591123456");
        QTest::newRow("long distance, header dropped")
            << QByteArray("0591123456") << true << true << QByteArray("91123456");
        QTest::newRow("words and dash") << QByteArray("TEL 021-123") << false << true << QByteArray("21");
        QTest::newRow("no digit") << QByteArray("P") << false << false << QByteArray();
        QTest::newRow("zeros only") << QByteArray("000") << false << false << QByteArray();
        QTest::newRow("all leading zeros go") << QByteArray("0755") << false << true << QByteArray("755");
        QTest::newRow("inner zeros stay") << QByteArray("13900000000") << false << true << QByteArray("13900000000");
        QTest::newRow("one digit, header dropped") << QByteArray("7") << true << true << QByteArray("");
        QTest::newRow("empty") << QByteArray() << false << false << QByteArray();
        QTest::newRow("stops at NUL") << QByteArray("0\0"
                                                    "123",
                                                    5)
                                      << false << false << QByteArray();
        QTest::newRow("modem private number") << QByteArray("O") << false << false << QByteArray();
    }

    void takesTheFirstDigitRun()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, dropHeader);
        QFETCH(bool, found);
        QFETCH(QByteArray, number);

        const std::optional<QByteArray> taken = IncomingNumber::take(text, dropHeader);
        QCOMPARE(taken.has_value(), found);
        if (found)
            QCOMPARE(*taken, number);
    }

    // Calling back needs the number as the line gave it: the long-distance zeros stay.
    void keepsTheDeliveredNumberForCallingBack_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("dropHeader");
        QTest::addColumn<QByteArray>("delivered");

        QTest::newRow("long distance") << QByteArray("0591123456") << false << QByteArray("0591123456");
        QTest::newRow("international") << QByteArray("008613905911234") << false << QByteArray("008613905911234");
        QTest::newRow("local") << QByteArray("8861049") << false << QByteArray("8861049");
        QTest::newRow("words around") << QByteArray("NMBR = 021-123") << false << QByteArray("021");
        QTest::newRow("header dropped") << QByteArray("90591123456") << true << QByteArray("0591123456");
        QTest::newRow("zeros only") << QByteArray("000") << false << QByteArray();
        QTest::newRow("no digit") << QByteArray("P") << false << QByteArray();
    }
    void keepsTheDeliveredNumberForCallingBack()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, dropHeader);
        QFETCH(QByteArray, delivered);
        QCOMPARE(IncomingNumber::delivered(text, dropHeader), delivered);
        // It is the shown number with its zeros in front.
        if (const std::optional<QByteArray> shown = IncomingNumber::take(text, dropHeader); shown && !dropHeader)
            QVERIFY(delivered.endsWith(*shown) && delivered.chopped(shown->size()).count('0') ==
                                                      delivered.size() - shown->size());
    }

    void readsAtMost255Characters()
    {
        // The digits that lie beyond the 255th character never count.
        const QByteArray late = QByteArray(255, 'x') + "123";
        QVERIFY(!IncomingNumber::take(late, false).has_value());

        const QByteArray cut = QByteArray(250, 'x') + "1234567890";
        QCOMPARE(*IncomingNumber::take(cut, false), QByteArray("12345"));
    }
};

QTEST_APPLESS_MAIN(TestIncomingNumber)
#include "tst_incomingnumber.moc"
