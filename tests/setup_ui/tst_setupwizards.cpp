#include "lookup/StatementRunner.h"
#include "lookup/CallerLookup.h"
#include "lookup/DataSourceSettings.h"
#include "platform/ProgramFolder.h"
#include "platform/db/AccessMirror.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"
#include "lookup/DataSourceSettings.h"
#include "setup/DataSourceWizard.h"
#include "setup/ConnectionDialog.h"
#include "setup/LinkStrings.h"

#include "../support/AccessFiles.h"
#include "../support/TestDatabases.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThreadPool>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace TestDatabases;

namespace {
const QString kSaved = QStringLiteral("设置成功！新设置从下一次来电起生效。");
}

// The wizards walked as a user walks them, offscreen, on real databases.
class TestSetupWizards : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_program; // the program folder
    QString m_customers; // a SQLite file with the test customers
    QStringList m_boxes;
    std::unique_ptr<StatementRunner> m_dataModule;

    static QString nwind() { return AccessFiles::path("nwind.mdb"); }
    QString iniFile() const { return m_program + QStringLiteral("Vornx.ini"); }
    QString readIni() const
    {
        QFile f(iniFile());
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("<none>");
        QStringDecoder gbk("GB18030");
        return gbk.decode(f.readAll());
    }
    void writeIni(const QByteArray& bytes)
    {
        QFile f(iniFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A widget of a window by its object name; a missing one ends the run with its name.
    template <typename T>
    static T* part(const QObject& window, const char* name)
    {
        T* widget = window.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget named %s", name);
        return widget;
    }
    template <typename T>
    static T* part(const std::unique_ptr<DataSourceWizard>& window, const char* name)
    {
        return part<T>(*window, name);
    }

    // The connection wizard, run modally by "选择数据源", answered by `fill`.
    static void answerLinkWizard(std::function<void(ConnectionDialog&)> fill)
    {
        QTimer::singleShot(0, [fill] {
            auto* form = qobject_cast<ConnectionDialog*>(QApplication::activeModalWidget());
            QVERIFY(form && form->isVisible());
            fill(*form);
        });
    }

    // The grids' cells are clicked as the user clicks them.
    static void clickCell(QTableWidget* grid, int row, int column)
    {
        grid->scrollTo(grid->model()->index(row, column));
        const QRect rect = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    }

    std::unique_ptr<DataSourceWizard> openWizard()
    {
        auto dlg = std::make_unique<DataSourceWizard>();
        dlg->show();
        return dlg;
    }

    // One field's row in the field grid.
    static int rowOf(const DataSourceWizard& dlg, const QString& field)
    {
        return dlg.mapping().indexOfCustomerField(field);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("cache"))));
        QDir(m_root.path()).mkpath(QStringLiteral("prog"));
        m_program = m_root.filePath(QStringLiteral("prog/"));
        ProgramFolder::setPath(m_program);
        m_dataModule = std::make_unique<StatementRunner>(ProgramFolder::path());
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.text;
            return QMessageBox::Ok;
        });
        Sound::setHandler([](const QString&) {});

        // A SQLite customer file reached through an ODBC data source.
        const QString sqliteFile = m_root.filePath(QStringLiteral("customers.db"));
        m_customers = sqliteFile;
        QFile created(sqliteFile);
        QVERIFY(created.open(QIODevice::WriteOnly));
        created.close();
        OdbcConfig odbc(m_root.path());
        odbc.addSqlite(QStringLiteral("vornx_customers"), sqliteFile);
        QVERIFY(odbc.write());
        DbConnection c;
        c.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + sqliteFile);
        createCustomerTables(c, false);
    }

    void init()
    {
        m_boxes.clear();
        QFile::remove(iniFile());
    }

    void connectionWizard()
    {
        ConnectionDialog form;
        auto* pages = part<QTabWidget>(form, "pages");
        auto* dataSource = part<QComboBox>(form, "dataSourceCombo");
        auto* test = part<QPushButton>(form, "testButton");
        QVERIFY(part<QRadioButton>(form, "odbcRadio")->isChecked());
        for (const char* off : {"sqlServerRadio", "paradoxRadio", "oracleRadio", "sybaseRadio", "interBaseRadio"})
            QVERIFY2(!part<QRadioButton>(form, off)->isEnabled(), off);
        QCOMPARE(part<QLineEdit>(form, "accessUserEdit")->text(), QStringLiteral("Admin"));
        form.show();
        part<QPushButton>(form, "nextButton")->click();
        QCOMPARE(pages->currentWidget(), part<QWidget>(form, "parameterPage"));
        QVERIFY(part<QWidget>(form, "odbcPanel")->isVisible());
        QVERIFY(!part<QWidget>(form, "accessPanel")->isVisible());
        // The data sources of odbc.ini, each once however often the page is shown.
        pages->setCurrentIndex(0);
        pages->setCurrentIndex(1);
        QStringList listed;
        for (int i = 0; i < dataSource->count(); ++i)
            listed << dataSource->itemText(i);
        QCOMPARE(listed.count(QStringLiteral("vornx_customers")), 1);

        dataSource->setCurrentText(QStringLiteral("vornx_customers"));
        test->click();
        // A data source is tried in the background; the dialog says so meanwhile.
        QCOMPARE(part<QLabel>(form, "connectionNote")->text(), QStringLiteral("正在连接数据源…"));
        QVERIFY(!test->isEnabled());
        QTRY_COMPARE(m_boxes, QStringList({"测试连接成功!"}));
        QVERIFY(test->isEnabled());
        QCOMPARE(part<QLabel>(form, "connectionNote")->text(), QString());
        const QString tested = QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source=vornx_customers");
        QCOMPARE(form.linkString(), tested);
        dataSource->setCurrentText(QStringLiteral("no_such_dsn"));
        test->click();
        QTRY_COMPARE(m_boxes.size(), 2);
        QVERIFY2(m_boxes.last().startsWith(QStringLiteral("测试连接失败：")) && m_boxes.last().size() > 7, qPrintable(m_boxes.last()));

        // The close box keeps the tested string; Cancel returns nothing; Finish the current choice.
        dataSource->setCurrentText(QStringLiteral("vornx_customers"));
        test->click();
        form.close();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(form.linkString(), tested);
        form.show();
        part<QPushButton>(form, "cancelButton")->click();
        QCOMPARE(form.linkString(), QString());
        form.show();
        part<QRadioButton>(form, "accessRadio")->setChecked(true);
        pages->setCurrentIndex(0);
        pages->setCurrentIndex(1);
        QVERIFY(part<QWidget>(form, "accessPanel")->isVisible() && !part<QWidget>(form, "odbcPanel")->isVisible());
        // Finish only builds the string; the file is opened later, so any path will do here.
        const QString accessFile = m_root.filePath(QStringLiteral("customers.mdb"));
        part<QLineEdit>(form, "accessFileEdit")->setText(QStringLiteral("  ") + accessFile + QStringLiteral(" "));
        part<QPushButton>(form, "finishButton")->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.linkString(), LinkStrings::access(QStringLiteral("Admin"), accessFile, QString()));

        auto* emptyPassword = part<QCheckBox>(form, "sqlEmptyPasswordCheck");
        emptyPassword->click();
        QVERIFY(!part<QLineEdit>(form, "sqlPasswordEdit")->isEnabled());
        emptyPassword->click();
        QVERIFY(part<QLineEdit>(form, "sqlPasswordEdit")->isEnabled());
    }

    // Esc is Cancel: the string of the last test is dropped, as with "取消", so the mapping
    // wizard does not reconnect behind the user's back. The close box still keeps it.
    void escapeCancelsTheConnectionWizard()
    {
        ConnectionDialog form;
        form.show();
        part<QPushButton>(form, "nextButton")->click();
        part<QComboBox>(form, "dataSourceCombo")->setCurrentText(QStringLiteral("vornx_customers"));
        part<QPushButton>(form, "testButton")->click();
        QTRY_COMPARE(m_boxes, QStringList({"测试连接成功!"}));
        QVERIFY(!form.linkString().isEmpty());
        QTest::keyClick(part<QComboBox>(form, "dataSourceCombo"), Qt::Key_Escape);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.linkString(), QString());
    }

    // Finish of the inventory link without an account set, or without the "Orvel.ini"
    // template, is refused and leaves the settings as they were.
    void inventoryFinishRefusesWhatItCannotWrite()
    {
        writeIni("[QUERYTYPE]\r\nTYPE=1\r\n");
        QFile::remove(m_program + QStringLiteral("Orvel.ini"));
        auto dlg = openWizard();
        part<QRadioButton>(dlg, "inventoryRadio")->click();
        part<QPushButton>(dlg, "nextButton")->click();
        QVERIFY(part<QPushButton>(dlg, "finishButton")->isVisible());
        part<QLineEdit>(dlg, "accountFileEdit")->clear();
        part<QPushButton>(dlg, "finishButton")->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("没有选择账套,请在列表框内选择!"));
        QCOMPARE(readIni(), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        QVERIFY(dlg->isVisible());

        const QString accountFile = m_root.filePath(QStringLiteral("Data/2024.mdb"));
        part<QLineEdit>(dlg, "accountFileEdit")->setText(accountFile);
        part<QPushButton>(dlg, "finishButton")->click();
        QVERIFY2(m_boxes.last().startsWith(QStringLiteral("设置保存失败：")) && m_boxes.last().contains(QLatin1String("Orvel.ini")),
                 qPrintable(m_boxes.last()));
        QCOMPARE(readIni(), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        QVERIFY(!QFile::exists(m_program + QStringLiteral("Vornx_temp.ini")));
        QVERIFY(dlg->isVisible());

        // With the template in place the same Finish is taken.
        QVERIFY(QFile::copy(QStringLiteral(VORNX_TEST_DATA "/../../data/Orvel.ini"), m_program + QStringLiteral("Orvel.ini")));
        part<QPushButton>(dlg, "finishButton")->click();
        QCOMPARE(m_boxes.last(), kSaved);
        QCOMPARE(DataSourceSettings::read(iniFile()).connectString, InventoryLink::accountSetString(accountFile));
        QFile::remove(m_program + QStringLiteral("Orvel.ini"));
    }

    // Without an ODBC administrator, "新建(&E)..." names the user's and the system's files
    // and gives entries to copy.
    void newDataSourceWithoutAdministratorSaysHow()
    {
        QTemporaryDir home;
        const QByteArray path = qgetenv("PATH");
        const QByteArray odbcIni = qgetenv("ODBCINI");
        const QByteArray homeVariable = qgetenv("HOME");
        qputenv("PATH", QFile::encodeName(home.path())); // no administrator program on it
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("ODBCINI");
        ConnectionDialog form;
        form.show();
        part<QPushButton>(form, "nextButton")->click();
        part<QPushButton>(form, "newDataSourceButton")->click();
        qputenv("PATH", path);
        qputenv("HOME", homeVariable);
        qputenv("ODBCINI", odbcIni);
        QCOMPARE(m_boxes.size(), 1);
        const QString help = m_boxes.first();
        QVERIFY2(help.contains(QStringLiteral("用户数据源：") + home.path() + QStringLiteral("/.odbc.ini")),
                 qPrintable(help));
        QVERIFY2(help.contains(QStringLiteral("系统数据源：") + m_root.path() + QStringLiteral("/odbc.ini")),
                 qPrintable(help));
        QVERIFY(help.contains(QStringLiteral("[customers]\nDriver=SQLite3\nDatabase=")));
        QVERIFY(help.contains(QStringLiteral("Driver=PostgreSQL Unicode\nServername=")));
    }

    // A SQLite file chosen with the connection wizard's file choice and mapped; the next
    // showing opens on exactly that, and can be finished again, unchanged or changed.
    void reopensOnTheSettingsInUse()
    {
        auto dlg = openWizard();
        auto* fieldGrid = part<QTableWidget>(dlg, "fieldGrid");
        auto* joinGrid = part<QTableWidget>(dlg, "joinGrid");
        auto* customerTableCombo = part<QComboBox>(dlg, "customerTableCombo");
        auto* businessTableCombo = part<QComboBox>(dlg, "businessTableCombo");
        auto* nextButton = part<QPushButton>(dlg, "nextButton");
        auto* finishButton = part<QPushButton>(dlg, "finishButton");
        QVERIFY(part<QRadioButton>(dlg, "addressBookRadio")->isChecked()); // no settings yet
        part<QRadioButton>(dlg, "externalSourceRadio")->click();
        nextButton->click();
        answerLinkWizard([this](ConnectionDialog& form) {
            part<QRadioButton>(form, "sqliteRadio")->click();
            part<QTabWidget>(form, "pages")->setCurrentIndex(1);
            QVERIFY(part<QWidget>(form, "sqlitePanel")->isVisible());
            part<QLineEdit>(form, "sqliteFileEdit")->setText(m_customers);
            part<QPushButton>(form, "finishButton")->click();
        });
        part<QPushButton>(dlg, "chooseSourceButton")->click();
        customerTableCombo->setCurrentText(QStringLiteral("customers"));
        for (const char* shown : {"companyname", "contactname", "phone"})
            clickCell(fieldGrid, rowOf(*dlg, QString::fromLatin1(shown)), 1);
        for (const char* phone : {"phone", "fax"})
            clickCell(fieldGrid, rowOf(*dlg, QString::fromLatin1(phone)), 2);
        fieldGrid->item(rowOf(*dlg, QStringLiteral("companyname")), 3)->setText(QStringLiteral("公司名称"));
        fieldGrid->setCurrentCell(rowOf(*dlg, QStringLiteral("contactname")), 0);
        part<QPushButton>(dlg, "moveUpButton")->click();
        nextButton->click();
        businessTableCombo->setCurrentText(QStringLiteral("orders"));
        joinGrid->setCurrentCell(1, 1);
        clickCell(joinGrid, 1, 1);
        part<QComboBox>(dlg, "joinFieldCombo")->setCurrentText(QStringLiteral("customerid"));
        finishButton->click();
        QCOMPARE(m_boxes, QStringList({kSaved}));
        const QString written = readIni();
        QVERIFY2(written.contains(QStringLiteral("ConnectString=Provider=SQLite;Data Source=") + m_customers),
                 qPrintable(written));

        // The next showing: the same source, table, marks, captions, order and join.
        dlg->show();
        QCOMPARE(dlg->currentPage(), 1);
        QVERIFY(part<QRadioButton>(dlg, "externalSourceRadio")->isChecked());
        QVERIFY(nextButton->isVisible() && !finishButton->isVisible());
        QCOMPARE(customerTableCombo->currentText(), QStringLiteral("customers"));
        QStringList order;
        QList<bool> shown;
        QList<bool> phone;
        for (const CustomerField& field : dlg->mapping().customerFields()) {
            order << field.name;
            shown << field.shown;
            phone << field.phone;
        }
        QCOMPARE(order, QStringList({"customerid", "contactname", "companyname", "phone", "fax"}));
        QCOMPARE(shown, QList<bool>({false, true, true, true, false}));
        QCOMPARE(phone, QList<bool>({false, false, false, true, true}));
        QVERIFY(fieldGrid->item(0, 1)->icon().isNull() && !fieldGrid->item(1, 1)->icon().isNull());
        QCOMPARE(fieldGrid->item(2, 3)->text(), QStringLiteral("公司名称"));
        QCOMPARE(fieldGrid->item(1, 3)->text(), QString());
        QCOMPARE(businessTableCombo->currentText(), QStringLiteral("orders"));
        QCOMPARE(dlg->mapping().businessFields().at(1).customerField, QStringLiteral("customerid"));
        QCOMPARE(joinGrid->item(1, 1)->text(), QStringLiteral("customerid"));
        // The connection wizard shows the file in use.
        answerLinkWizard([this](ConnectionDialog& form) {
            QVERIFY(part<QRadioButton>(form, "sqliteRadio")->isChecked());
            QCOMPARE(part<QLineEdit>(form, "sqliteFileEdit")->text(), m_customers);
            part<QPushButton>(form, "cancelButton")->click();
        });
        part<QPushButton>(dlg, "chooseSourceButton")->click();

        // Finished again without a change: the same file.
        nextButton->click();
        nextButton->click();
        finishButton->click();
        QCOMPARE(m_boxes.last(), kSaved);
        QCOMPARE(readIni(), written);

        // And with a changed caption.
        dlg->show();
        nextButton->click();
        fieldGrid->item(3, 3)->setText(QStringLiteral("电话"));
        nextButton->click();
        finishButton->click();
        QCOMPARE(m_boxes.size(), 3);
        const DataSourceSettings s = DataSourceSettings::read(iniFile());
        QCOMPARE(s.labels, QStringList({"contactname", "公司名称", "电话"}));
        QCOMPARE(s.businessSql,
                 QStringLiteral("select a.* from orders a,customers b where  a.customerid=b.customerid and (  "
                                "b.phone like '%#NO#' or b.fax like '%#NO#' )"));
    }

    // The inventory link in use is offered again, with its account set.
    void reopensOnTheInventoryLink()
    {
        const QString accountFile = m_root.filePath(QStringLiteral("Data/2023.mdb"));
        writeIni(("[QUERYTYPE]\r\nTYPE=3\r\n[DBSET]\r\nConnectString=" + InventoryLink::accountSetString(accountFile) +
                  "\r\n")
                     .toUtf8());
        auto dlg = openWizard();
        QVERIFY(part<QRadioButton>(dlg, "inventoryRadio")->isChecked());
        part<QPushButton>(dlg, "nextButton")->click();
        QCOMPARE(dlg->currentPage(), 3);
        QCOMPARE(part<QLineEdit>(dlg, "accountFileEdit")->text(), accountFile);
    }

    void pageTable()
    {
        auto dlg = openWizard();
        QCOMPARE(dlg->currentPage(), 1);
        QVERIFY(part<QWidget>(dlg, "sourcePage")->isVisible());
        QVERIFY(part<QPushButton>(dlg, "finishButton")->isVisible() && !part<QPushButton>(dlg, "nextButton")->isVisible() && !part<QPushButton>(dlg, "prevButton")->isEnabled());
        part<QRadioButton>(dlg, "externalSourceRadio")->click();
        QVERIFY(part<QPushButton>(dlg, "nextButton")->isVisible() && !part<QPushButton>(dlg, "finishButton")->isVisible());
        part<QPushButton>(dlg, "nextButton")->click();
        QCOMPARE(dlg->currentPage(), 2);
        QVERIFY(part<QWidget>(dlg, "customerTablePage")->isVisible() && !part<QWidget>(dlg, "sourcePage")->isVisible());
        QVERIFY(part<QPushButton>(dlg, "prevButton")->isEnabled() && part<QPushButton>(dlg, "nextButton")->isVisible());
        part<QPushButton>(dlg, "nextButton")->click();
        QCOMPARE(dlg->currentPage(), 4);
        QVERIFY(part<QWidget>(dlg, "businessTablePage")->isVisible() && part<QPushButton>(dlg, "finishButton")->isVisible() && part<QPushButton>(dlg, "prevButton")->isEnabled());
        part<QPushButton>(dlg, "prevButton")->click();
        QCOMPARE(dlg->currentPage(), 2);
        QVERIFY(part<QPushButton>(dlg, "nextButton")->isVisible() && part<QPushButton>(dlg, "prevButton")->isEnabled());
        part<QPushButton>(dlg, "prevButton")->click();
        QCOMPARE(dlg->currentPage(), 1);
        QVERIFY(part<QPushButton>(dlg, "nextButton")->isVisible() && !part<QPushButton>(dlg, "prevButton")->isEnabled());
        part<QRadioButton>(dlg, "inventoryRadio")->click();
        part<QPushButton>(dlg, "nextButton")->click();
        QCOMPARE(dlg->currentPage(), 3);
        QVERIFY(part<QWidget>(dlg, "accountSetPage")->isVisible() && part<QPushButton>(dlg, "finishButton")->isVisible() && part<QPushButton>(dlg, "prevButton")->isEnabled());
        part<QPushButton>(dlg, "prevButton")->click();
        QCOMPARE(dlg->currentPage(), 1);
        part<QPushButton>(dlg, "cancelButton")->click();
        QVERIFY(!QFile::exists(iniFile()));
    }

    void addressBookFinish()
    {
        writeIni("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=old\r\n");
        auto dlg = openWizard();
        // The wizard opens on the source in use.
        QVERIFY(part<QRadioButton>(dlg, "externalSourceRadio")->isChecked());
        QVERIFY(!part<QPushButton>(dlg, "finishButton")->isVisible());
        part<QRadioButton>(dlg, "addressBookRadio")->click();
        part<QPushButton>(dlg, "finishButton")->click();
        QCOMPARE(m_boxes, QStringList({kSaved}));
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(readIni(), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
    }

    // An Access customer file mapped without any SQL, then a call from a customer's number.
    void accessFileWalkThrough()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        auto dlg = openWizard();
        auto* fieldGrid = part<QTableWidget>(dlg, "fieldGrid");
        auto* joinGrid = part<QTableWidget>(dlg, "joinGrid");
        auto* customerTableCombo = part<QComboBox>(dlg, "customerTableCombo");
        auto* businessTableCombo = part<QComboBox>(dlg, "businessTableCombo");
        auto* joinFieldCombo = part<QComboBox>(dlg, "joinFieldCombo");
        auto* nextButton = part<QPushButton>(dlg, "nextButton");
        auto* moveUpButton = part<QPushButton>(dlg, "moveUpButton");
        part<QRadioButton>(dlg, "externalSourceRadio")->click();
        nextButton->click();
        answerLinkWizard([](ConnectionDialog& form) {
            part<QRadioButton>(form, "accessRadio")->click();
            part<QTabWidget>(form, "pages")->setCurrentIndex(1);
            part<QLineEdit>(form, "accessFileEdit")->setText(nwind());
            part<QPushButton>(form, "finishButton")->click();
        });
        part<QPushButton>(dlg, "chooseSourceButton")->click();
        QCOMPARE(customerTableCombo->findText(QStringLiteral("Customers")) >= 0, true);
        QCOMPARE(businessTableCombo->currentText(), QString());
        customerTableCombo->setCurrentText(QStringLiteral("Customers"));
        QCOMPARE(int(dlg->mapping().customerFields().size()), 11);
        QCOMPARE(fieldGrid->rowCount(), 11);
        QCOMPARE(fieldGrid->item(9, 0)->text(), QStringLiteral("Phone"));

        for (const char* shown : {"CompanyName", "ContactName", "Phone"})
            clickCell(fieldGrid, rowOf(*dlg, QString::fromLatin1(shown)), 1);
        for (const char* phone : {"Phone", "Fax"})
            clickCell(fieldGrid, rowOf(*dlg, QString::fromLatin1(phone)), 2);
        QVERIFY(!fieldGrid->item(rowOf(*dlg, QStringLiteral("Phone")), 2)->icon().isNull());
        QVERIFY(fieldGrid->item(rowOf(*dlg, QStringLiteral("City")), 2)->icon().isNull());
        fieldGrid->item(rowOf(*dlg, QStringLiteral("CompanyName")), 3)->setText(QStringLiteral("公司名称"));
        // ContactName moves above CompanyName; the caption stays with CompanyName and the selection follows.
        fieldGrid->setCurrentCell(rowOf(*dlg, QStringLiteral("ContactName")), 0);
        moveUpButton->click();
        QCOMPARE(dlg->mapping().customerFields().at(1).name, QStringLiteral("ContactName"));
        QCOMPARE(fieldGrid->currentRow(), 1);
        QCOMPARE(fieldGrid->item(2, 3)->text(), QStringLiteral("公司名称"));
        QCOMPARE(fieldGrid->item(1, 3)->text(), QString());
        fieldGrid->setCurrentCell(0, 0);
        moveUpButton->click(); // on the first row: nothing
        QCOMPARE(dlg->mapping().customerFields().at(0).name, QStringLiteral("CustomerID"));

        nextButton->click();
        QCOMPARE(dlg->currentPage(), 4);
        // The last page names the telephone fields the number index covers.
        QVERIFY(part<QLabel>(dlg, "numberIndexNote")->text().contains(QStringLiteral("Phone、Fax")));
        businessTableCombo->setCurrentText(QStringLiteral("Orders"));
        QCOMPARE(int(dlg->mapping().businessFields().size()), 14);
        joinGrid->setCurrentCell(1, 1);
        clickCell(joinGrid, 1, 1);
        QVERIFY(joinFieldCombo->isVisible());
        QVERIFY(joinFieldCombo->findText(QStringLiteral("CustomerID")) >= 0);
        joinFieldCombo->setCurrentText(QStringLiteral("CustomerID"));
        QCOMPARE(dlg->mapping().businessFields().at(1).customerField, QStringLiteral("CustomerID"));
        QCOMPARE(joinGrid->item(1, 1)->text(), QStringLiteral("CustomerID"));
        clickCell(joinGrid, 1, 0);
        QVERIFY(!joinFieldCombo->isVisible());

        part<QPushButton>(dlg, "finishButton")->click();
        QCOMPARE(m_boxes, QStringList({kSaved}));
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        const QString expected =
            QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=") + LinkStrings::access(QStringLiteral("Admin"), nwind(), QString())
            + QStringLiteral("\r\nstrSQL=select ContactName, CompanyName, Phone from Customers b where  b.Phone like '%#NO#' or b.Fax "
                             "like '%#NO#' \r\nstrSQL1=select a.* from Orders a,Customers b where  a.CustomerID=b.CustomerID and "
                             "\r\n[TABLESET]\r\nFIELD0=ContactName\r\nFIELD1=公司名称\r\nFIELD2=Phone\r\nFIELDNUM=3\r\n");
        QCOMPARE(readIni(), expected);

        // The next start: the caller lookup reads the file and a call from Alfreds Futterkiste comes in.
        CallerLookup lookup(DataSourceSettings::read(ProgramFolder::file(QStringLiteral("Vornx.ini"))), {},
                            ProgramFolder::path());
        const CallerRecord caller = lookup.lookUp(QStringLiteral("0300074321").mid(3));
        QCOMPARE(caller.rowText(3), QStringLiteral("Maria Anders"));
        QCOMPARE(caller.rowText(4), QStringLiteral("Alfreds Futterkiste"));
        QCOMPARE(caller.rowText(5), QStringLiteral("030-0074321"));
        const std::optional<BusinessRecords> orders = lookup.businessRecords(caller.number());
        QVERIFY(orders);
        QCOMPARE(orders->rows.size(), 6);
        QCOMPARE(orders->fields.value(0), QStringLiteral("OrderID"));
    }

    void finishRefusesWithoutShownOrPhoneField()
    {
        writeIni("[QUERYTYPE]\r\nTYPE=1\r\n");
        auto dlg = openWizard();
        part<QRadioButton>(dlg, "externalSourceRadio")->click();
        part<QPushButton>(dlg, "nextButton")->click();
        answerLinkWizard([](ConnectionDialog& form) {
            part<QRadioButton>(form, "odbcRadio")->click();
            part<QTabWidget>(form, "pages")->setCurrentIndex(1);
            part<QComboBox>(form, "dataSourceCombo")->setCurrentText(QStringLiteral("vornx_customers"));
            part<QPushButton>(form, "finishButton")->click();
        });
        part<QPushButton>(dlg, "chooseSourceButton")->click();
        // A data source is reached in the background and listed when it answered.
        QTRY_VERIFY(part<QComboBox>(dlg, "customerTableCombo")->count() > 0);
        QCOMPARE(part<QLabel>(dlg, "connectionNote")->text(), QString());
        part<QComboBox>(dlg, "customerTableCombo")->setCurrentText(QStringLiteral("customers"));
        clickCell(part<QTableWidget>(dlg, "fieldGrid"), rowOf(*dlg, QStringLiteral("contactname")), 1); // shown, but no phone field
        part<QPushButton>(dlg, "nextButton")->click();
        part<QPushButton>(dlg, "finishButton")->click();
        QCOMPARE(m_boxes, QStringList({"请正确指定电话号码字段与查看字段！"}));
        QVERIFY(dlg->isVisible());
        QCOMPARE(readIni(), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));

        // With a phone field it goes through, on the ODBC data source.
        part<QPushButton>(dlg, "prevButton")->click();
        clickCell(part<QTableWidget>(dlg, "fieldGrid"), rowOf(*dlg, QStringLiteral("phone")), 2);
        part<QPushButton>(dlg, "nextButton")->click();
        part<QPushButton>(dlg, "finishButton")->click();
        QCOMPARE(m_boxes.last(), kSaved);
        const DataSourceSettings s = DataSourceSettings::read(iniFile());
        QCOMPARE(s.connectString, QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source=vornx_customers"));
        QCOMPARE(s.customerSql, QStringLiteral("select contactname from customers b where  b.phone like '%#NO#'"));
        // No join chosen: the business statement ends in " b where " and is completed with the condition.
        QCOMPARE(s.businessSql, QStringLiteral("select a.* from  a,customers b where (  b.phone like '%#NO#' )"));
    }

    // A data source whose server takes the connection and never answers: the wizard opened
    // on it is shown at once, says it is connecting and keeps handling events and Cancel
    // while the attempt runs; the failure is said when the server gives up, and an attempt
    // that ends after the wizard was closed changes nothing.
    void staysUsableWhileTheServerDoesNotAnswer()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QList<QTcpSocket*> held;
        bool refusing = false;
        connect(&silent, &QTcpServer::newConnection, &silent, [&] {
            while (QTcpSocket* socket = silent.nextPendingConnection()) {
                if (refusing)
                    socket->abort();
                else
                    held << socket;
            }
        });
        const auto refuse = [&] {
            refusing = true;
            for (QTcpSocket* socket : std::as_const(held))
                socket->abort();
            held.clear();
        };
        PostgresServer server;
        server.socketDir = QStringLiteral("127.0.0.1");
        server.port = QString::number(silent.serverPort());
        server.database = QStringLiteral("vornx");
        OdbcConfig odbc(m_root.path());
        odbc.addSqlite(QStringLiteral("vornx_customers"), m_customers);
        odbc.addPostgres(QStringLiteral("vornx_silent"), server);
        QVERIFY(odbc.write());
        writeIni("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=Provider=MSDASQL.1;User ID=u;Password=p;Data "
                 "Source=vornx_silent\r\nstrSQL=select name from customers b where  b.phone like '%#NO#'\r\n"
                 "[TABLESET]\r\nFIELD0=name\r\nFIELDNUM=1\r\n");

        auto dlg = openWizard();
        auto* note = part<QLabel>(dlg, "connectionNote");
        QVERIFY(dlg->isVisible());
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("正在连接数据源…"));
        // The attempt is at the server while the window's events are handled.
        bool ticked = false;
        QTimer::singleShot(0, dlg.get(), [&ticked] { ticked = true; });
        QTRY_VERIFY_WITH_TIMEOUT(!held.isEmpty() && ticked, 30000);
        QCOMPARE(note->text(), QStringLiteral("正在连接数据源…"));
        refuse();
        QTRY_VERIFY_WITH_TIMEOUT(note->text() != QStringLiteral("正在连接数据源…"), 30000);
        QVERIFY2(note->text().startsWith(QStringLiteral("连接数据源失败：")) && note->text().size() > 8, qPrintable(note->text()));
        QCOMPARE(part<QComboBox>(dlg, "customerTableCombo")->count(), 0);
        QVERIFY(m_boxes.isEmpty());

        // Shown again on the same source: Cancel closes the window while the attempt runs.
        dlg->hide();
        refusing = false;
        dlg->show();
        QCOMPARE(note->text(), QStringLiteral("正在连接数据源…"));
        QTRY_VERIFY_WITH_TIMEOUT(!held.isEmpty(), 30000);
        part<QPushButton>(dlg, "cancelButton")->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        refuse();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(note->text(), QString());
        QVERIFY(m_boxes.isEmpty());

        // "测试连接" on the same source, in the connection wizard: the same, with its boxes.
        ConnectionDialog form;
        form.show();
        part<QPushButton>(form, "nextButton")->click();
        part<QComboBox>(form, "dataSourceCombo")->setCurrentText(QStringLiteral("vornx_silent"));
        auto* test = part<QPushButton>(form, "testButton");
        refusing = false;
        test->click();
        QCOMPARE(part<QLabel>(form, "connectionNote")->text(), QStringLiteral("正在连接数据源…"));
        QVERIFY(!test->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!held.isEmpty(), 30000);
        refuse();
        QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, 30000);
        QVERIFY2(m_boxes.first().startsWith(QStringLiteral("测试连接失败：")), qPrintable(m_boxes.first()));
        QVERIFY(test->isEnabled());
        QCOMPARE(part<QLabel>(form, "connectionNote")->text(), QString());
        // Cancelled while a test runs: closed at once, and the late result shows no box.
        refusing = false;
        test->click();
        QTRY_VERIFY_WITH_TIMEOUT(!held.isEmpty(), 30000);
        part<QPushButton>(form, "cancelButton")->click();
        QVERIFY(!form.isVisible());
        refuse();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(m_boxes.size(), 1);
    }

    // No inventory installation exists to test with. The page runs against real files: an
    // Access file without a "Login" table (the Jet path end to end), and an account list
    // given to the same Jet connection string through a prepared SQLite copy of LoginDB.mdb.
    void inventoryAccountSets()
    {
        VORNX_REQUIRE_ACCESS_FILE("nwind.mdb");
        // Installed in "Store" beside the program folder: found at once. This LoginDB.mdb is
        // a real Access file without the account table, so the damage warning names it.
        const QString store = m_root.filePath(QStringLiteral("Store/"));
        QDir().mkpath(store);
        QVERIFY(QFile::copy(nwind(), store + QStringLiteral("LoginDB.mdb")));
        auto dlg = openWizard();
        QCOMPARE(QDir(part<QLineEdit>(dlg, "inventoryPathEdit")->text()).canonicalPath(), QDir(store).canonicalPath());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().startsWith(QStringLiteral("晨拓进销存数据库可能被破坏!")) && m_boxes.first().contains(QLatin1String("Login")),
                 qPrintable(m_boxes.first()));
        QCOMPARE(part<QTableWidget>(dlg, "accountSetGrid")->rowCount(), 0);
        part<QPushButton>(dlg, "testAccountSetButton")->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("没有选择账套,请在列表框内选择!"));

        // A folder without LoginDB.mdb.
        dlg->openInventoryFolder(m_root.filePath(QStringLiteral("nothing/")));
        QCOMPARE(m_boxes.last(), QStringLiteral("路径错,请重新选择晨拓进销存安装路径!"));

        // An installation whose account list is known.
        const QString installed = m_root.filePath(QStringLiteral("Installed/"));
        QDir().mkpath(installed);
        const QString loginDb = installed + QStringLiteral("LoginDB.mdb");
        QVERIFY(QFile::copy(nwind(), loginDb));
        const QString accountFile = installed + QStringLiteral("Data/2024.mdb");
        QDir().mkpath(installed + QStringLiteral("Data"));
        QVERIFY(QFile::copy(nwind(), accountFile));
        {
            const QFileInfo info(loginDb);
            const QString base = AccessMirror::defaultCacheFolder() + QLatin1Char('/')
                                 + QString::fromLatin1(QCryptographicHash::hash(info.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex());
            QDir().mkpath(AccessMirror::defaultCacheFolder());
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
                db.setDatabaseName(base + QStringLiteral(".sqlite"));
                QVERIFY(db.open());
                QSqlQuery q(db);
                QVERIFY(q.exec(QStringLiteral("create table Login (ID integer, Name text, CoName text, Path text)")));
                QVERIFY(q.exec(QStringLiteral("insert into Login values (1, '2024年账套', '福州闽江茶业有限公司', '%1'), (2, '旧账套', "
                                              "'福州闽江茶业有限公司', '%2')")
                                   .arg(accountFile, installed + QStringLiteral("Data/gone.mdb"))));
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("seed"));
            QFile stamp(base + QStringLiteral(".source"));
            QVERIFY(stamp.open(QIODevice::WriteOnly));
            stamp.write(QStringLiteral("%1\n%2\n%3\n").arg(info.absoluteFilePath()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()).toUtf8());
        }
        const int before = m_boxes.size();
        dlg->openInventoryFolder(installed);
        QCOMPARE(m_boxes.size(), before);
        QCOMPARE(part<QTableWidget>(dlg, "accountSetGrid")->rowCount(), 2);
        QCOMPARE(part<QTableWidget>(dlg, "accountSetGrid")->item(0, 0)->text(), QStringLiteral("2024年账套"));
        QCOMPARE(part<QTableWidget>(dlg, "accountSetGrid")->item(0, 1)->text(), QStringLiteral("福州闽江茶业有限公司"));
        QCOMPARE(part<QLineEdit>(dlg, "accountFileEdit")->text(), accountFile);
        part<QPushButton>(dlg, "testAccountSetButton")->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("有效账套!"));
        part<QTableWidget>(dlg, "accountSetGrid")->setCurrentCell(1, 0);
        QCOMPARE(part<QLineEdit>(dlg, "accountFileEdit")->text(), installed + QStringLiteral("Data/gone.mdb"));
        part<QPushButton>(dlg, "testAccountSetButton")->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("无效账套,请重新选择!"));
        part<QTableWidget>(dlg, "accountSetGrid")->setCurrentCell(0, 0);

        // Finish: the template with the account set's connection string.
        QVERIFY(QFile::copy(QStringLiteral(VORNX_TEST_DATA "/../../data/Orvel.ini"), m_program + QStringLiteral("Orvel.ini")));
        part<QRadioButton>(dlg, "inventoryRadio")->click();
        part<QPushButton>(dlg, "nextButton")->click();
        part<QPushButton>(dlg, "finishButton")->click();
        QCOMPARE(m_boxes.last(), kSaved);
        const DataSourceSettings s = DataSourceSettings::read(iniFile());
        QCOMPARE(s.queryType, 3);
        QCOMPARE(s.connectString, InventoryLink::accountSetString(accountFile));
        QCOMPARE(s.labels, QStringList({"客户名称", "联系人", "电话", "手机", "地址"}));
        QCOMPARE(s.businessSql, QStringLiteral("select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and (  b.Phone like '%#NO#' "
                                               "or b.PhoneMove like '%#NO#' )"));
        QVERIFY(QFile::exists(m_program + QStringLiteral("Orvel.ini")));
        QFile::remove(store + QStringLiteral("LoginDB.mdb"));
    }
};

QTEST_MAIN(TestSetupWizards)
#include "tst_setupwizards.moc"
