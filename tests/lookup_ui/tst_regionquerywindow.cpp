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

class TestPhoneQryForm : public QObject
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

    RegionTable m_table;
    std::unique_ptr<RegionQueryWindow> m_form;
};

void TestPhoneQryForm::initTestCase()
{
    const AreaCodeLoad load = AreaCodeFile::load(QStringLiteral(VORNX_BIN_DIR "/area.dat"), m_table);
    QVERIFY(load.error.isEmpty());
    QVERIFY(m_table.size() > 300000);
    m_form = std::make_unique<RegionQueryWindow>(m_table);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestPhoneQryForm::query(const QString& entry)
{
    m_form->edtPhoneNum->setText(entry);
    QTest::mouseClick(m_form->btnQurey, Qt::LeftButton);
}

void TestPhoneQryForm::texts()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("号码归属查询"));
    QCOMPARE(m_form->Label3->text(), QStringLiteral("输入您需要查询的电话，可以是手机或固定电话号码         "));
    QCOMPARE(m_form->Label1->text(), QStringLiteral("电话号码  "));
    QCOMPARE(m_form->Label2->text(), QStringLiteral("号码归属  "));
    QCOMPARE(m_form->btnQurey->text(), QStringLiteral("查询(&Q)"));
    QCOMPARE(m_form->btnExit->text(), QStringLiteral("关闭(&C)"));
    QCOMPARE(m_form->btnInfo->text(), QStringLiteral("其他信息"));
    QVERIFY(m_form->btnQurey->isDefault());
    // Disabled until the main window hands the number on to the caller window.
    QVERIFY(!m_form->btnInfo->isEnabled());
}

void TestPhoneQryForm::onlyDigitsReachTheEntry()
{
    QLineEdit* entry = m_form->edtPhoneNum;
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

void TestPhoneQryForm::queryAnswers_data()
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

void TestPhoneQryForm::queryAnswers()
{
    QFETCH(QString, entry);
    QFETCH(QString, answer);
    m_form->edtDistrict->setText(QStringLiteral("before"));
    query(entry);
    QCOMPARE(m_form->edtDistrict->text(), answer);
}

void TestPhoneQryForm::enterQueries()
{
    m_form->edtDistrict->clear();
    m_form->edtPhoneNum->setText(QStringLiteral("01087654321"));
    m_form->edtPhoneNum->setFocus();
    QTest::keyClick(m_form->edtPhoneNum, Qt::Key_Return);
    QCOMPARE(m_form->edtDistrict->text(), QStringLiteral("北京市"));
    QVERIFY(m_form->isVisible());
}

void TestPhoneQryForm::answersAsTheCommandLine()
{
    for (const QString& number : {QStringLiteral("013800000000"), QStringLiteral("18912345678"),
                                  QStringLiteral("0898123456"), QStringLiteral("0567123456")}) {
        QProcess vornx;
        vornx.start(QStringLiteral(VORNX_BIN_DIR "/vornx"), {QStringLiteral("--region"), number});
        QVERIFY(vornx.waitForFinished(20000));
        QCOMPARE(vornx.exitCode(), 0);
        query(number);
        QCOMPARE(m_form->edtDistrict->text() + QLatin1Char('\n'), QString::fromUtf8(vornx.readAllStandardOutput()));
    }
}

void TestPhoneQryForm::otherInfoHandsOverTheNumber()
{
    QSignalSpy spy(m_form.get(), &RegionQueryWindow::callerInfoRequested);
    m_form->btnInfo->setEnabled(true);
    m_form->edtPhoneNum->setText(QStringLiteral("0013905911234"));
    QTest::mouseClick(m_form->btnInfo, Qt::LeftButton);
    m_form->btnInfo->setEnabled(false);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("13905911234"));
}

void TestPhoneQryForm::closeHides()
{
    QTest::mouseClick(m_form->btnExit, Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    // The same window comes back with what it showed.
    m_form->show();
    QCOMPARE(m_form->edtPhoneNum->text(), QStringLiteral("0013905911234"));
}

QTEST_MAIN(TestPhoneQryForm)
#include "tst_regionquerywindow.moc"
