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

#include "../support/TestDatabases.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace TestDatabases;

// The wizards walked as a user walks them, offscreen, on real databases.
class TestSetupWizards : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_program; // the program folder
    QStringList m_boxes;
    std::unique_ptr<StatementRunner> m_dataModule;

    static QString nwind() { return QStringLiteral(VORNX_SHARED_DATA "/nwind.mdb"); }
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

    // The connection wizard, run modally by "选择数据源", answered by `fill`.
    static void answerLinkWizard(std::function<void(ConnectionDialog&)> fill)
    {
        QTimer::singleShot(0, [fill] {
            QVERIFY(DblinkForm && DblinkForm->isVisible());
            fill(*DblinkForm);
        });
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
        for (size_t i = 0; i < dlg.XFields.size(); ++i) {
            if (dlg.XFields[i]->FieldName == field)
                return int(i);
        }
        return -1;
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

    void linkStringTemplates()
    {
        QCOMPARE(LinkStrings::odbc(QString(), QString(), QString()),
                 QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source="));
        QCOMPARE(LinkStrings::odbc(QStringLiteral(" sa\t"), QStringLiteral("\x01pw \r\n"), QStringLiteral(" 客户 库 ")),
                 QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=sa;Password=pw;Data Source=客户 库"));
        QCOMPARE(LinkStrings::access(QStringLiteral("Admin"), QStringLiteral(" /d/a b.mdb "), QString()),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/d/a b.mdb;Persist Security "
                                "Info=False;Jet OLEDB:Database Password="));
        QCOMPARE(InventoryLink::loginDbString(QStringLiteral("/opt/Store/")),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/opt/Store/LoginDB.mdb;Persist "
                                "Security Info=False;Jet OLEDB:Database Password=Marlo306158"));
        QCOMPARE(InventoryLink::accountSetString(QStringLiteral("/opt/Store/a.mdb")),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=/opt/Store/a.mdb;"
                                "User ID=Admin;Jet OLEDB:Database Password=Marlo306158"));
    }

    void connectionWizard()
    {
        ConnectionDialog form;
        QVERIFY(form.RadioButton1->isChecked());
        for (QRadioButton* off : {form.RadioButton3, form.RadioButton4, form.RadioButton5, form.RadioButton6, form.RadioButton7})
            QVERIFY(!off->isEnabled());
        QCOMPARE(form.AccessEdit2->text(), QStringLiteral("Admin"));
        form.show();
        form.ButtonNext->click();
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet2);
        QVERIFY(form.Panel11->isVisible());
        QVERIFY(!form.Panel12->isVisible());
        // The data sources of odbc.ini, each once however often the page is shown.
        form.PageControl1->setCurrentWidget(form.TabSheet1);
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        QStringList listed;
        for (int i = 0; i < form.ODBCComboBox1->count(); ++i)
            listed << form.ODBCComboBox1->itemText(i);
        QCOMPARE(listed.count(QStringLiteral("vornx_customers")), 1);

        form.ODBCComboBox1->setCurrentText(QStringLiteral("vornx_customers"));
        form.Button2->click();
        QCOMPARE(m_boxes, QStringList({"测试连接成功!"}));
        const QString tested = QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source=vornx_customers");
        QCOMPARE(form.LinkString, tested);
        form.ODBCComboBox1->setCurrentText(QStringLiteral("no_such_dsn"));
        form.Button2->click();
        QCOMPARE(m_boxes.size(), 2);
        QVERIFY2(m_boxes.last().startsWith(QStringLiteral("测试连接失败：")) && m_boxes.last().size() > 7, qPrintable(m_boxes.last()));

        // The close box keeps the tested string; Cancel returns nothing; Finish the current choice.
        form.ODBCComboBox1->setCurrentText(QStringLiteral("vornx_customers"));
        form.Button2->click();
        form.close();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(form.LinkString, tested);
        form.show();
        form.CancelBtn->click();
        QCOMPARE(form.LinkString, QString());
        form.show();
        form.RadioButton2->setChecked(true);
        form.TabSheet2Show();
        QVERIFY(form.Panel12->isVisible() && !form.Panel11->isVisible());
        form.AccessEdit1->setText(QStringLiteral("  ") + nwind() + QStringLiteral(" "));
        form.ButtonFinish->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.LinkString, LinkStrings::access(QStringLiteral("Admin"), nwind(), QString()));

        form.SqlCheckBox1->click();
        QVERIFY(!form.SqlEdit3->isEnabled());
        form.SqlCheckBox1->click();
        QVERIFY(form.SqlEdit3->isEnabled());
    }

    void pageTable()
    {
        auto dlg = openWizard();
        QCOMPARE(dlg->CurPage, 1);
        QVERIFY(dlg->Panel3->isVisible());
        QVERIFY(dlg->ButtonFinish->isVisible() && !dlg->ButtonNext->isVisible() && !dlg->ButtonPrev->isEnabled());
        dlg->RadioButton2->click();
        QVERIFY(dlg->ButtonNext->isVisible() && !dlg->ButtonFinish->isVisible());
        dlg->ButtonNext->click();
        QCOMPARE(dlg->CurPage, 2);
        QVERIFY(dlg->Panel4->isVisible() && !dlg->Panel3->isVisible());
        QVERIFY(dlg->ButtonPrev->isEnabled() && dlg->ButtonNext->isVisible());
        dlg->ButtonNext->click();
        QCOMPARE(dlg->CurPage, 4);
        QVERIFY(dlg->Panel8->isVisible() && dlg->ButtonFinish->isVisible() && dlg->ButtonPrev->isEnabled());
        dlg->ButtonPrev->click();
        QCOMPARE(dlg->CurPage, 2);
        QVERIFY(dlg->ButtonNext->isVisible() && dlg->ButtonPrev->isEnabled());
        dlg->ButtonPrev->click();
        QCOMPARE(dlg->CurPage, 1);
        QVERIFY(dlg->ButtonNext->isVisible() && !dlg->ButtonPrev->isEnabled());
        dlg->RadioButton3->click();
        dlg->ButtonNext->click();
        QCOMPARE(dlg->CurPage, 3);
        QVERIFY(dlg->Panel6->isVisible() && dlg->ButtonFinish->isVisible() && dlg->ButtonPrev->isEnabled());
        dlg->ButtonPrev->click();
        QCOMPARE(dlg->CurPage, 1);
        dlg->CancelBtn->click();
        QVERIFY(!QFile::exists(iniFile()));
    }

    void addressBookFinish()
    {
        writeIni("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=old\r\n");
        auto dlg = openWizard();
        dlg->ButtonFinish->click();
        QCOMPARE(m_boxes, QStringList({"设置成功！重新启动程序设置生效！"}));
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(readIni(), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
    }

    // An Access customer file mapped without any SQL, then a call from a customer's number.
    void accessFileWalkThrough()
    {
        auto dlg = openWizard();
        dlg->RadioButton2->click();
        dlg->ButtonNext->click();
        answerLinkWizard([](ConnectionDialog& form) {
            form.RadioButton2->click();
            form.PageControl1->setCurrentWidget(form.TabSheet2);
            form.AccessEdit1->setText(nwind());
            form.ButtonFinish->click();
        });
        dlg->BitBtn1->click();
        QCOMPARE(dlg->ComboBox1->findText(QStringLiteral("Customers")) >= 0, true);
        QCOMPARE(dlg->ComboBox2->currentText(), QString());
        dlg->ComboBox1->setCurrentText(QStringLiteral("Customers"));
        QCOMPARE(int(dlg->XFields.size()), 11);
        QCOMPARE(dlg->StringGrid1->rowCount(), 11);
        QCOMPARE(dlg->StringGrid1->item(9, 0)->text(), QStringLiteral("Phone"));

        for (const char* shown : {"CompanyName", "ContactName", "Phone"})
            dlg->StringGrid1Click(rowOf(*dlg, QString::fromLatin1(shown)), 1);
        for (const char* phone : {"Phone", "Fax"})
            dlg->StringGrid1Click(rowOf(*dlg, QString::fromLatin1(phone)), 2);
        QVERIFY(!dlg->StringGrid1->item(rowOf(*dlg, QStringLiteral("Phone")), 2)->icon().isNull());
        QVERIFY(dlg->StringGrid1->item(rowOf(*dlg, QStringLiteral("City")), 2)->icon().isNull());
        dlg->StringGrid1->item(rowOf(*dlg, QStringLiteral("CompanyName")), 3)->setText(QStringLiteral("公司名称"));
        // ContactName moves above CompanyName; the caption stays with CompanyName and the selection follows.
        dlg->StringGrid1->setCurrentCell(rowOf(*dlg, QStringLiteral("ContactName")), 0);
        dlg->btnUp->click();
        QCOMPARE(dlg->XFields[1]->FieldName, QStringLiteral("ContactName"));
        QCOMPARE(dlg->StringGrid1->currentRow(), 1);
        QCOMPARE(dlg->StringGrid1->item(2, 3)->text(), QStringLiteral("公司名称"));
        QCOMPARE(dlg->StringGrid1->item(1, 3)->text(), QString());
        dlg->StringGrid1->setCurrentCell(0, 0);
        dlg->btnUp->click(); // on the first row: nothing
        QCOMPARE(dlg->XFields[0]->FieldName, QStringLiteral("CustomerID"));

        dlg->ButtonNext->click();
        QCOMPARE(dlg->CurPage, 4);
        dlg->ComboBox2->setCurrentText(QStringLiteral("Orders"));
        QCOMPARE(int(dlg->YFields.size()), 14);
        dlg->StringGrid2->setCurrentCell(1, 1);
        dlg->StringGrid2Click(1, 1);
        QVERIFY(dlg->ComboBox3->isVisible());
        QVERIFY(dlg->ComboBox3->findText(QStringLiteral("CustomerID")) >= 0);
        dlg->ComboBox3->setCurrentText(QStringLiteral("CustomerID"));
        QCOMPARE(dlg->YFields[1]->CustField, QStringLiteral("CustomerID"));
        QCOMPARE(dlg->StringGrid2->item(1, 1)->text(), QStringLiteral("CustomerID"));
        dlg->StringGrid2Click(1, 0);
        QVERIFY(!dlg->ComboBox3->isVisible());

        dlg->ButtonFinish->click();
        QCOMPARE(m_boxes, QStringList({"设置成功！重新启动程序设置生效！"}));
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
        dlg->RadioButton2->click();
        dlg->ButtonNext->click();
        answerLinkWizard([](ConnectionDialog& form) {
            form.RadioButton1->click();
            form.PageControl1->setCurrentWidget(form.TabSheet2);
            form.ODBCComboBox1->setCurrentText(QStringLiteral("vornx_customers"));
            form.ButtonFinish->click();
        });
        dlg->BitBtn1->click();
        dlg->ComboBox1->setCurrentText(QStringLiteral("customers"));
        dlg->StringGrid1Click(rowOf(*dlg, QStringLiteral("contactname")), 1); // shown, but no phone field
        dlg->ButtonNext->click();
        dlg->ButtonFinish->click();
        QCOMPARE(m_boxes, QStringList({"请正确指定电话号码字段与查看字段！"}));
        QVERIFY(dlg->isVisible());
        QCOMPARE(readIni(), QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));

        // With a phone field it goes through, on the ODBC data source.
        dlg->ButtonPrev->click();
        dlg->StringGrid1Click(rowOf(*dlg, QStringLiteral("phone")), 2);
        dlg->ButtonNext->click();
        dlg->ButtonFinish->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("设置成功！重新启动程序设置生效！"));
        const DataSourceSettings s = DataSourceSettings::read(iniFile());
        QCOMPARE(s.connectString, QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;User ID=;Password=;Data Source=vornx_customers"));
        QCOMPARE(s.customerSql, QStringLiteral("select contactname from customers b where  b.phone like '%#NO#'"));
        // No join chosen: the business statement ends in " b where " and is completed with the condition.
        QCOMPARE(s.businessSql, QStringLiteral("select a.* from  a,customers b where (  b.phone like '%#NO#' )"));
    }

    // No inventory installation exists to test with. The page runs against real files: an
    // Access file without a "Login" table (the Jet path end to end), and an account list
    // given to the same Jet connection string through a prepared SQLite copy of LoginDB.mdb.
    void inventoryAccountSets()
    {
        // Installed in "Store" beside the program folder: found at once. This LoginDB.mdb is
        // a real Access file without the account table, so the damage warning names it.
        const QString store = m_root.filePath(QStringLiteral("Store/"));
        QDir().mkpath(store);
        QVERIFY(QFile::copy(nwind(), store + QStringLiteral("LoginDB.mdb")));
        auto dlg = openWizard();
        QCOMPARE(QDir(dlg->PathEdit1->text()).canonicalPath(), QDir(store).canonicalPath());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().startsWith(QStringLiteral("晨拓进销存数据库可能被破坏!")) && m_boxes.first().contains(QLatin1String("Login")),
                 qPrintable(m_boxes.first()));
        QCOMPARE(dlg->DBGrid1->rowCount(), 0);
        dlg->Button2->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("没有选择账套,请在列表框内选择!"));

        // A folder without LoginDB.mdb.
        dlg->PathEdit1->setText(m_root.filePath(QStringLiteral("nothing/")));
        dlg->OpenAccountList();
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
        dlg->PathEdit1->setText(installed);
        const int before = m_boxes.size();
        dlg->OpenAccountList();
        QCOMPARE(m_boxes.size(), before);
        QCOMPARE(dlg->DBGrid1->rowCount(), 2);
        QCOMPARE(dlg->DBGrid1->item(0, 0)->text(), QStringLiteral("2024年账套"));
        QCOMPARE(dlg->DBGrid1->item(0, 1)->text(), QStringLiteral("福州闽江茶业有限公司"));
        QCOMPARE(dlg->DBEdit1->text(), accountFile);
        dlg->Button2->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("有效账套!"));
        dlg->DBGrid1->setCurrentCell(1, 0);
        QCOMPARE(dlg->DBEdit1->text(), installed + QStringLiteral("Data/gone.mdb"));
        dlg->Button2->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("无效账套,请重新选择!"));
        dlg->DBGrid1->setCurrentCell(0, 0);

        // Finish: the template with the account set's connection string.
        QVERIFY(QFile::copy(QStringLiteral(VORNX_TEST_DATA "/../../data/Orvel.ini"), m_program + QStringLiteral("Orvel.ini")));
        dlg->RadioButton3->click();
        dlg->ButtonNext->click();
        dlg->ButtonFinish->click();
        QCOMPARE(m_boxes.last(), QStringLiteral("设置成功！重新启动程序设置生效！"));
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
