#include "lookup/CallerStatement.h"

#include <QtTest>

class TestCallerStatement : public QObject
{
    Q_OBJECT

private slots:
    void everyPlaceholderTakesTheNumber_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("expected");

        QTest::newRow("ends-with condition")
            << QStringLiteral("select Name, Phone from Unit b where  b.Phone like '%#NO#'") << QStringLiteral("8861049")
            << QStringLiteral("select Name, Phone from Unit b where  b.Phone like '%8861049'");
        QTest::newRow("two phone fields, letter case ignored")
            << QStringLiteral("select Name from Unit b where b.Phone like '%#no#' or b.PhoneMove like '%#No#'")
            << QStringLiteral("13905911234")
            << QStringLiteral("select Name from Unit b where b.Phone like '%13905911234' or b.PhoneMove like "
                              "'%13905911234'");
        QTest::newRow("leading zero from the call log")
            << QStringLiteral("x='#NO#'") << QStringLiteral("0591") << QStringLiteral("x='0591'");
        QTest::newRow("no placeholder") << QStringLiteral("select 1") << QStringLiteral("123")
                                        << QStringLiteral("select 1");
    }

    void everyPlaceholderTakesTheNumber()
    {
        QFETCH(QString, sql);
        QFETCH(QString, number);
        QFETCH(QString, expected);
        const std::optional<QString> statement = CallerStatement::withNumber(sql, number);
        QVERIFY(statement.has_value());
        QCOMPARE(*statement, expected);
    }

    void onlyDigitsEverReachAStatement_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("quote injection") << QStringLiteral("1' or '1'='1");
        QTest::newRow("statement end") << QStringLiteral("1'; drop table Unit; --");
        QTest::newRow("wildcard") << QStringLiteral("%");
        QTest::newRow("blank inside") << QStringLiteral("0591 123");
        QTest::newRow("full-width digits") << QStringLiteral("１２３");
        // An empty number would turn like '%#NO#' into like '%', which matches every customer.
        QTest::newRow("empty") << QString();
    }

    void onlyDigitsEverReachAStatement()
    {
        QFETCH(QString, number);
        QVERIFY(!CallerStatement::isLookupNumber(number));
        QVERIFY(!CallerStatement::withNumber(QStringLiteral("select * from t where p like '%#NO#'"), number));
    }
};

QTEST_APPLESS_MAIN(TestCallerStatement)
#include "tst_callerstatement.moc"
