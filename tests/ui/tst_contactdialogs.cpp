#include "lookup/AddressBookIndex.h"
#include "platform/addressbook/ContactsWindow.h"
#include "platform/addressbook/ContactDialog.h"
#include "platform/addressbook/ContactDialogs.h"
#include "platform/ui/MessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString copyFixture(const QTemporaryDir& dir, const char* name)
{
    const QString path = dir.filePath(QStringLiteral("contacts.vcf"));
    QFile::copy(QStringLiteral(VORNX_TEST_DATA "/addressbook/") + QString::fromLatin1(name), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// Runs `act` on the contact dialog as soon as it is shown modally.
void whenDialogOpens(std::function<void(ContactDialog*)> act)
{
    QTimer::singleShot(10, [act] {
        if (auto* dialog = qobject_cast<ContactDialog*>(QApplication::activeModalWidget()))
            act(dialog);
        else
            whenDialogOpens(act);
    });
}

template <typename T> T* child(QWidget* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

void click(QWidget* parent, const char* name)
{
    child<QPushButton>(parent, name)->click();
}

} // namespace

class TestContactDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_boxes.clear();
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.caption + QLatin1Char(':') + box.text;
            return QMessageBox::Ok;
        });
    }

    // A contact typed into the new-contact dialog is in the file and found by the next start.
    void newContactIsFoundAfterRestart()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        const QByteArray original = readAll(path);
        ContactDialogs dialogs;
        AddressBookIndex book(path, &dialogs);
        QCOMPARE(book.open(), 0u);

        whenDialogOpens([](ContactDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("新建联系人"));
            child<QLineEdit>(dialog, "familyNameEdit")->setText(QStringLiteral("陈"));
            child<QLineEdit>(dialog, "givenNameEdit")->setText(QStringLiteral("八"));
            child<QLineEdit>(dialog, "companyEdit")->setText(QStringLiteral("八方物流"));
            child<QComboBox>(dialog, "genderCombo")->setCurrentIndex(3);
            child<QLineEdit>(dialog, "birthdayEdit")->setText(QStringLiteral("1988-08-08"));
            child<QLineEdit>(dialog, "homeCityEdit")->setText(QStringLiteral("南京"));
            click(dialog, "addPhoneButton");
            auto* phones = child<QTableWidget>(dialog, "phoneTable");
            phones->item(0, 1)->setText(QStringLiteral("025-83334444"));
            static_cast<QComboBox*>(phones->cellWidget(0, 0))->setCurrentIndex(int(PhoneKind::Business));
            click(dialog, "okButton");
        });
        QCOMPARE(book.newContact(), AddressBookDialogs::Saved);
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(readAll(path).startsWith(original));
        // loaded once: the running address book does not see it yet.
        QVERIFY(book.findByPhone(QStringLiteral("83334444")).isEmpty());

        AddressBookIndex restarted(path, &dialogs);
        restarted.open();
        const QList<const ContactSummary*> found = restarted.findByPhone(QStringLiteral("83334444"));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.at(0)->Name, QStringLiteral("陈八"));
        QCOMPARE(found.at(0)->Company, QStringLiteral("八方物流"));
        QCOMPARE(found.at(0)->Gender, QStringLiteral("男"));
        QCOMPARE(found.at(0)->Birthday, QStringLiteral("1988-08-08"));
        QCOMPARE(found.at(0)->HomeAddress, QStringLiteral("|南京"));
        QCOMPARE(found.at(0)->Phones, QStringLiteral("|025-83334444"));
    }

    void detailsEditIsSavedAndEntryRenamed()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        ContactDialogs dialogs;
        AddressBookIndex book(path, &dialogs);
        book.open();
        const QByteArray before = book.entries.at(0).EntryID;

        whenDialogOpens([](ContactDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("张三 属性"));
            QCOMPARE(child<QLineEdit>(dialog, "businessStreetEdit")->text(), QStringLiteral("中关村大街1号"));
            QCOMPARE(child<QTableWidget>(dialog, "phoneTable")->rowCount(), 2);
            child<QPlainTextEdit>(dialog, "notesEdit")->setPlainText(QStringLiteral("改过的附注"));
            click(dialog, "okButton");
        });
        QCOMPARE(book.showDetails(book.findByPhone(QStringLiteral("13900001111")).at(0)->EntryID),
                 AddressBookDialogs::Saved);
        QVERIFY(book.entries.at(0).EntryID != before);

        // The renamed entry still opens; closing without a change writes nothing.
        const QByteArray saved = readAll(path);
        whenDialogOpens([](ContactDialog* dialog) {
            QCOMPARE(child<QPlainTextEdit>(dialog, "notesEdit")->toPlainText(), QStringLiteral("改过的附注"));
            click(dialog, "okButton");
        });
        QCOMPARE(book.showDetails(book.entries.at(0).EntryID), AddressBookDialogs::Closed);
        QCOMPARE(readAll(path), saved);
        QVERIFY(m_boxes.isEmpty());
    }

    void badInputKeepsTheDialogOpen()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        const QByteArray original = readAll(path);
        ContactDialogs dialogs;
        AddressBookIndex book(path, &dialogs);
        book.open();

        whenDialogOpens([this](ContactDialog* dialog) {
            child<QLineEdit>(dialog, "birthdayEdit")->setText(QStringLiteral("1980-02-30"));
            click(dialog, "okButton");
            QVERIFY(dialog->isVisible());
            QCOMPARE(m_boxes.size(), 1);
            QVERIFY(m_boxes.at(0).startsWith(QStringLiteral("错误提示:生日")));
            click(dialog, "cancelButton");
        });
        QCOMPARE(book.showDetails(book.entries.at(0).EntryID), AddressBookDialogs::Closed);

        whenDialogOpens([this](ContactDialog* dialog) {
            click(dialog, "okButton"); // no name at all
            QVERIFY(dialog->isVisible());
            QCOMPARE(m_boxes.size(), 2);
            click(dialog, "cancelButton");
        });
        QCOMPARE(book.newContact(), AddressBookDialogs::Closed);
        QCOMPARE(readAll(path), original);
    }

    // Another program changes the contact while the dialog is open: the save is refused,
    // the user's input stays in the dialog and the other program's change stays in the file.
    void saveRefusedWhenTheCardChangedMeanwhile()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        ContactDialogs dialogs;
        AddressBookIndex book(path, &dialogs);
        book.open();
        QByteArray changed;
        whenDialogOpens([&](ContactDialog* dialog) {
            changed = readAll(path).replace("13900001111", "13900002222");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(changed);
            file.close();
            child<QLineEdit>(dialog, "companyEdit")->setText(QStringLiteral("另一家公司"));
            click(dialog, "okButton");
            QVERIFY(dialog->isVisible());
            QCOMPARE(child<QLineEdit>(dialog, "companyEdit")->text(), QStringLiteral("另一家公司"));
            click(dialog, "cancelButton");
        });
        QCOMPARE(book.showDetails(book.entries.at(0).EntryID), AddressBookDialogs::Closed);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(readAll(path), changed);
    }

    void vanishedContactIsReported()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        ContactDialogs dialogs;
        AddressBookIndex book(path, &dialogs);
        QCOMPARE(book.showDetails("sha1:0000"), AddressBookDialogs::NotFound);
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误提示:通讯薄中已没有这个联系人。")});
    }

    void contactsWindowListsFindsAndAdds()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        ContactDialogs dialogs;
        ContactsWindow form(path, dialogs);
        form.show();
        auto* table = child<QTableWidget>(&form, "contactTable");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("张三"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("010-87654321, 13900001111"));
        // Every label with a mnemonic names the field it leads to; without one it shows the '&'.
        int mnemonics = 0;
        for (const QLabel* label : form.findChildren<QLabel*>()) {
            if (!label->text().contains(QLatin1Char('&')))
                continue;
            ++mnemonics;
            QVERIFY2(label->buddy(), qPrintable(label->text()));
        }
        QCOMPARE(mnemonics, 1);

        auto visibleRows = [table] {
            QStringList names;
            for (int row = 0; row < table->rowCount(); ++row) {
                if (!table->isRowHidden(row))
                    names << table->item(row, 0)->text();
            }
            return names;
        };
        child<QLineEdit>(&form, "findEdit")->setText(QStringLiteral("0755 1234"));
        QCOMPARE(visibleRows(), QStringList{QStringLiteral("李四")});
        child<QLineEdit>(&form, "findEdit")->setText(QStringLiteral("维诺星"));
        QCOMPARE(visibleRows(), QStringList{QStringLiteral("张三")});
        child<QLineEdit>(&form, "findEdit")->clear();

        whenDialogOpens([](ContactDialog* dialog) {
            child<QLineEdit>(dialog, "displayNameEdit")->setText(QStringLiteral("Kim"));
            click(dialog, "okButton");
        });
        click(&form, "newButton");
        QCOMPARE(visibleRows(), (QStringList{"张三", "李四", "Kim"}));

        ContactsWindow broken(dir.path(), dialogs);
        broken.show();
        QCOMPARE(child<QTableWidget>(&broken, "contactTable")->rowCount(), 0);
        QVERIFY(!child<QLabel>(&broken, "statusLabel")->text().isEmpty());
    }

private:
    QStringList m_boxes;
};

QTEST_MAIN(TestContactDialogs)
#include "tst_contactdialogs.moc"
