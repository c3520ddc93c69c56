#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/RegionQueryWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestRegionQueryWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void texts();
    void onlyDigitsReachTheEntry();
    void queryAnswers_data();
    void queryAnswers();
    void enterQueries();
    void answersAsTheCommandLine();
    void otherInfoHandsOverTheNumber();
    void closeHides();

private:
    void query(const QString& entry);
    QLineEdit* numberEdit() const { return m_form->findChild<QLineEdit*>(QStringLiteral("numberEdit")); }
    QLineEdit* regionEdit() const { return m_form->findChild<QLineEdit*>(QStringLiteral("regionEdit")); }
    QPushButton* button(const char* name) const { return m_form->findChild<QPushButton*>(QLatin1String(name)); }

    RegionTable m_table;
    std::unique_ptr<RegionQueryWindow> m_form;
};

void TestRegionQueryWindow::initTestCase()
{
    const AreaCodeLoad load = AreaCodeFile::load(QStringLiteral(VORNX_BIN_DIR "/area.dat"), m_table);
    QVERIFY(load.error.isEmpty());
    QVERIFY(m_table.size() > 300000);
    m_form = std::make_unique<RegionQueryWindow>(m_table);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestRegionQueryWindow::query(const QString& entry)
{
    numberEdit()->setText(entry);
    QTest::mouseClick(button("queryButton"), Qt::LeftButton);
}

void TestRegionQueryWindow::texts()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("号码归属查询"));
    QStringList labels;
    for (const QLabel* label : m_form->findChildren<QLabel*>())
        labels << label->text();
    QVERIFY(labels.contains(QStringLiteral("输入您需要查询的电话，可以是手机或固定电话号码         ")));
    QVERIFY(labels.contains(QStringLiteral("电话号码  ")));
    QVERIFY(labels.contains(QStringLiteral("号码归属  ")));
    // Each entry is reached through its label's mnemonic.
    for (const QLabel* label : m_form->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("电话号码  "))
            QCOMPARE(label->buddy(), numberEdit());
        if (label->text() == QStringLiteral("号码归属  "))
            QCOMPARE(label->buddy(), regionEdit());
    }
    QCOMPARE(button("queryButton")->text(), QStringLiteral("查询(&Q)"));
    QCOMPARE(button("closeButton")->text(), QStringLiteral("关闭(&C)"));
    QCOMPARE(button("callerInfoButton")->text(), QStringLiteral("其他信息"));
    QVERIFY(button("queryButton")->isDefault());
    // Disabled until the main window hands the number on to the caller window.
    QVERIFY(!button("callerInfoButton")->isEnabled());
}

void TestRegionQueryWindow::onlyDigitsReachTheEntry()
{
    QLineEdit* entry = numberEdit();
    entry->clear();
    entry->setFocus();
    QTest::keyClicks(entry, QStringLiteral("05a9 1-x1234+5678"));
    QCOMPARE(entry->text(), QStringLiteral("059112345678"));
    QTest::keyClick(entry, Qt::Key_Backspace);
    QCOMPARE(entry->text(), QStringLiteral("05911234567"));
    QTest::keyClick(entry, Qt::Key_Home);
    QTest::keyClick(entry, Qt::Key_Delete);
    QCOMPARE(entry->text(), QStringLiteral("5911234567"));
    // Pasted text must be digits as well.
    entry->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("0591-1234567"));
    entry->paste();
    QCOMPARE(entry->text(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("05911234567"));
    entry->paste();
    QCOMPARE(entry->text(), QStringLiteral("05911234567"));
}

void TestRegionQueryWindow::queryAnswers_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("answer");
    QTest::newRow("mobile") << "13905911234"
                            << "福建省福州市";
    QTest::newRow("leading zeros") << "00591234567"
                                   << "福建省福州市";
    QTest::newRow("area code, 9 digits") << "0591123456"
                                         << "福建省福州市";
    QTest::newRow("local") << "12345678"
                           << "本地号码";
    QTest::newRow("empty") << ""
                           << "本地号码";
    QTest::newRow("no record") << "19912345678"
                               << "系统中无此号码记录，请提交给软件作者";
}

void TestRegionQueryWindow::queryAnswers()
{
    QFETCH(QString, entry);
    QFETCH(QString, answer);
    regionEdit()->setText(QStringLiteral("before"));
    query(entry);
    QCOMPARE(regionEdit()->text(), answer);
}

void TestRegionQueryWindow::enterQueries()
{
    regionEdit()->clear();
    numberEdit()->setText(QStringLiteral("01087654321"));
    numberEdit()->setFocus();
    QTest::keyClick(numberEdit(), Qt::Key_Return);
    QCOMPARE(regionEdit()->text(), QStringLiteral("北京市"));
    QVERIFY(m_form->isVisible());
}

void TestRegionQueryWindow::answersAsTheCommandLine()
{
    for (const QString& number : {QStringLiteral("013800000000"), QStringLiteral("18912345678"),
                                  QStringLiteral("0898123456"), QStringLiteral("0567123456")}) {
        QProcess vornx;
        vornx.start(QStringLiteral(VORNX_BIN_DIR "/vornx"), {QStringLiteral("--region"), number});
        QVERIFY(vornx.waitForFinished(20000));
        QCOMPARE(vornx.exitCode(), 0);
        query(number);
        QCOMPARE(regionEdit()->text() + QLatin1Char('\n'), QString::fromUtf8(vornx.readAllStandardOutput()));
    }
}

void TestRegionQueryWindow::otherInfoHandsOverTheNumber()
{
    QSignalSpy spy(m_form.get(), &RegionQueryWindow::callerInfoRequested);
    m_form->enableCallerInfo();
    numberEdit()->setText(QStringLiteral("0013905911234"));
    QTest::mouseClick(button("callerInfoButton"), Qt::LeftButton);
    button("callerInfoButton")->setEnabled(false);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("13905911234"));
}

void TestRegionQueryWindow::closeHides()
{
    QTest::mouseClick(button("closeButton"), Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    // The same window comes back with what it showed.
    m_form->show();
    QCOMPARE(numberEdit()->text(), QStringLiteral("0013905911234"));
}

QTEST_MAIN(TestRegionQueryWindow)
#include "tst_regionquerywindow.moc"
