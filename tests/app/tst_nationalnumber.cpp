// Numbers in international form brought to their national form, against a real region
// table and the region query the main window uses.
#include "app/IncomingNumber.h"
#include "app/NationalNumber.h"
#include "lookup/RegionQuery.h"
#include "lookup/RegionTable.h"

#include <QtTest>

class TestNationalNumber : public QObject
{
    Q_OBJECT

    RegionTable m_table;

    // The whole road of the notification: the posted text, then the national form.
    QByteArray national(const QByteArray& posted)
    {
        const std::optional<QByteArray> digits = IncomingNumber::take(posted, false);
        if (!digits)
            return "(none)";
        return NationalNumber::of(*digits, [this](QByteArrayView number) {
            return !RegionQuery::district(m_table, QString::fromLatin1(number)).isEmpty();
        });
    }

private slots:
    void initTestCase()
    {
        m_table.add("0591", "\xb8\xa3\xd6\xdd"); // 福州 in GBK
        m_table.add("010", "\xb1\xb1\xbe\xa9");  // 北京
        m_table.add("01390591", "\xb8\xa3\xd6\xdd");
    }

    void forms_data()
    {
        QTest::addColumn<QByteArray>("posted");
        QTest::addColumn<QByteArray>("number");

        // The three ways of writing China's code give what the national form gives.
        for (const QByteArray& prefix : {QByteArray("+86"), QByteArray("0086"), QByteArray("86")}) {
            QTest::newRow(prefix + " mobile") << prefix + "13905911234" << QByteArray("13905911234");
            QTest::newRow(prefix + " area code") << prefix + "5918765432" << QByteArray("5918765432");
            QTest::newRow(prefix + " two-digit area code") << prefix + "1087654321" << QByteArray("1087654321");
            QTest::newRow(prefix + " trunk zero kept") << prefix + "05918765432" << QByteArray("5918765432");
        }
        QTest::newRow("national mobile") << QByteArray("13905911234") << QByteArray("13905911234");
        QTest::newRow("national area code") << QByteArray("05918765432") << QByteArray("5918765432");

        // Not a national number with a region: shown as sent.
        QTest::newRow("unknown area") << QByteArray("+867778765432") << QByteArray("867778765432");
        QTest::newRow("local number after 86") << QByteArray("8687654321") << QByteArray("8687654321");
        QTest::newRow("too long after 86") << QByteArray("+86139059112345") << QByteArray("86139059112345");
        QTest::newRow("not a mobile prefix") << QByteArray("+8612905911234") << QByteArray("8612905911234");
        QTest::newRow("another country") << QByteArray("+12025550123") << QByteArray("12025550123");
        QTest::newRow("another country, 00") << QByteArray("00442079460000") << QByteArray("442079460000");
        QTest::newRow("86 alone") << QByteArray("+86") << QByteArray("86");
        QTest::newRow("withheld") << QByteArray("P") << QByteArray("(none)");
    }

    void forms()
    {
        QFETCH(QByteArray, posted);
        QFETCH(QByteArray, number);
        QCOMPARE(national(posted), number);
    }

    // Without a region table only mobile numbers are known to be national.
    void withoutRegions()
    {
        const auto none = [](QByteArrayView) { return false; };
        QCOMPARE(NationalNumber::of("8613905911234", none), QByteArray("13905911234"));
        QCOMPARE(NationalNumber::of("865918765432", none), QByteArray("865918765432"));
        QCOMPARE(NationalNumber::of("865918765432", {}), QByteArray("865918765432"));
    }
};

QTEST_APPLESS_MAIN(TestNationalNumber)
#include "tst_nationalnumber.moc"
