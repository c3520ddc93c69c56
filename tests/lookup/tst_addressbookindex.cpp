#include "lookup/AddressBookIndex.h"

#include "platform/ProgramFolder.h"
#include "platform/addressbook/AddressBookLocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(VORNX_TEST_DATA "/addressbook/") + QString::fromLatin1(name);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList namesOf(const QList<const ContactSummary*>& entries)
{
    QStringList names;
    for (const ContactSummary* entry : entries)
        names << entry->Name;
    return names;
}

// Records what the address book asks of its dialogs.
class RecordingDialogs final : public AddressBookDialogs
{
public:
    Result details(const QString& storePath, QByteArray& entryId) override
    {
        calls << QStringLiteral("details ") + storePath + QLatin1Char(' ') + QString::fromUtf8(entryId);
        entryId = "renamed";
        return Saved;
    }
    Result newContact(const QString& storePath) override
    {
        calls << QStringLiteral("new ") + storePath;
        return Closed;
    }
    QStringList calls;
};

} // namespace

class TestWinAddrBook : public QObject
{
    Q_OBJECT

private slots:
    // An export of the desktop address book placed where the program looks gives the
    // caller window its rows.
    void exportInTheProgramFolderGivesTheRows()
    {
        QTemporaryDir folder;
        QVERIFY(QFile::copy(fixture("wab21_gb2312.vcf"), folder.filePath(QStringLiteral("contacts.vcf"))));
        ProgramFolder::setPath(folder.path());
        AddressBookIndex book;
        QCOMPARE(book.storePath, folder.filePath(QStringLiteral("contacts.vcf")));
        QCOMPARE(book.open(), 0u);
        QVERIFY(book.opened);
        QVERIFY(book.loaded);
        QCOMPARE(book.entries.size(), size_t(2));

        const QList<const ContactSummary*> found = book.findByPhone(QStringLiteral("13900001111"));
        QCOMPARE(found.size(), 1);
        const ContactSummary& zhang = *found.at(0);
        QCOMPARE(found.at(0), &book.entries.at(0));
        QCOMPARE(zhang.Name, QStringLiteral("张三"));
        QCOMPARE(zhang.Phones, QStringLiteral("|010-87654321|13900001111"));
        QCOMPARE(zhang.BusinessAddress, QStringLiteral("|中国|北京|北京|100080|中关村大街1号"));
        QCOMPARE(zhang.HomeAddress, QStringLiteral("|上海|朝阳路8号"));
        QCOMPARE(zhang.Company, QStringLiteral("维诺星科技"));
        QCOMPARE(zhang.Gender, QStringLiteral("男"));
        QCOMPARE(zhang.Birthday, QStringLiteral("1980-05-17"));
        QCOMPARE(zhang.EMail, QStringLiteral("zhangsan@example.com"));
        QVERIFY(zhang.Notes.startsWith(QStringLiteral("老客户，每月订货。\n")));
        QVERIFY(!zhang.EntryID.isEmpty());

        const ContactSummary& li = book.entries.at(1);
        QCOMPARE(li.Gender, QStringLiteral("女"));
        QVERIFY(li.EMail.isEmpty()); // stored without "@"
        QVERIFY(li.BusinessAddress.isEmpty());
        QVERIFY(li.Birthday.isEmpty());
        // Business, home, pager: the fixed order of the telephone numbers, not the card's.
        QCOMPARE(li.Phones, QStringLiteral("|87654321-1|0755-12345678|87654321"));
    }

    void findByPhone_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("local number of a long-distance entry") << "87654321" << QStringList{"A"};
        QTest::newRow("mobile number") << "13900001111" << QStringList{"A"};
        QTest::newRow("more digits than stored") << "1087654321" << QStringList{};
        QTest::newRow("start of a number") << "0108765" << QStringList{};
        QTest::newRow("empty number") << "" << QStringList{};
        // C holds 05550000-2 after 5550000: the first occurrence ends an entry.
        QTest::newRow("first occurrence ends an entry") << "5550000" << QStringList{"C"};
        QTest::newRow("several contacts in file order") << "66667777" << QStringList{"A", "C"};
    }

    void findByPhone()
    {
        QFETCH(QString, number);
        QFETCH(QStringList, names);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("book.vcf"));
        writeFile(path,
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nTEL;TYPE=WORK:010-87654321\r\nTEL;TYPE=CELL:13900001111\r\n"
                  "TEL;TYPE=CAR:66667777\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:B\r\nTEL;TYPE=WORK:87654321-1\r\nTEL;TYPE=HOME:87654321\r\n"
                  "END:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:C\r\nTEL;TYPE=WORK:5550000\r\nTEL;TYPE=HOME:05550000-2\r\n"
                  "TEL:021-66667777\r\nEND:VCARD\r\n");
        AddressBookIndex book(path, nullptr);
        QCOMPARE(book.open(), 0u);
        QCOMPARE(namesOf(book.findByPhone(number)), names);
    }

    void firstOccurrenceNotEndingAnEntryIsNoMatch()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("book.vcf"));
        writeFile(path, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:B\r\nTEL;TYPE=WORK:87654321-1\r\nTEL;TYPE=HOME:87654321\r\n"
                        "END:VCARD\r\n");
        AddressBookIndex book(path, nullptr);
        book.open();
        QCOMPARE(book.entries.at(0).Phones, QStringLiteral("|87654321-1|87654321"));
        QVERIFY(book.findByPhone(QStringLiteral("87654321")).isEmpty());
    }

    void unspecifiedGenderAndAbsentProperties()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("book.vcf"));
        writeFile(path, "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\nX-WAB-GENDER:0\r\nEND:VCARD\r\n"
                        "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:B\r\nEND:VCARD\r\n");
        AddressBookIndex book(path, nullptr);
        book.open();
        QCOMPARE(book.entries.at(0).Gender, QStringLiteral("不确定"));
        const ContactSummary& b = book.entries.at(1);
        QVERIFY(b.Gender.isEmpty());
        QVERIFY(b.Phones.isEmpty() && b.HomeAddress.isEmpty() && b.Company.isEmpty() && b.Notes.isEmpty());
    }

    void missingOrUnreadableStoreIsEmpty()
    {
        QTemporaryDir folder;
        AddressBookIndex missing(folder.filePath(QStringLiteral("none.vcf")), nullptr);
        QCOMPARE(missing.open(), 0u);
        QVERIFY(missing.opened && missing.loaded);
        QVERIFY(missing.findByPhone(QStringLiteral("1")).isEmpty());

        AddressBookIndex unreadable(folder.path(), nullptr);
        QCOMPARE(unreadable.open(), 2u);
        QVERIFY(!unreadable.opened);
        QVERIFY(unreadable.loaded);
        QVERIFY(unreadable.entries.empty());
    }

    void locationFromTheSettings()
    {
        QTemporaryDir folder;
        const QString ini = folder.filePath(QStringLiteral("sysset.ini"));
        QCOMPARE(AddressBookLocation::storePath(folder.path()), folder.filePath(QStringLiteral("contacts.vcf")));
        writeFile(ini, "[DEVICESET]\r\nDEVTYPE=3\r\n[addrbook]\r\n vcard = sub/my book.vcf \r\n");
        QCOMPARE(AddressBookLocation::storePath(folder.path()), folder.filePath(QStringLiteral("sub/my book.vcf")));
        writeFile(ini, "[ADDRBOOK]\r\nVCARD=/srv/shared/contacts.vcf\r\n");
        QCOMPARE(AddressBookLocation::storePath(folder.path()), QStringLiteral("/srv/shared/contacts.vcf"));
    }

    void dialogsGetTheStoreAndTheEntry()
    {
        RecordingDialogs dialogs;
        AddressBookIndex book(QStringLiteral("/x/book.vcf"), &dialogs);
        book.entries.resize(2);
        book.entries[0].EntryID = "uid:0";
        book.entries[1].EntryID = "uid:1";
        QCOMPARE(book.showDetails(QByteArray()), AddressBookDialogs::NotFound);
        QVERIFY(dialogs.calls.isEmpty());
        const QList<const ContactSummary*> matches{&book.entries[1]};
        QCOMPARE(book.showDetails(matches.at(0)->EntryID), AddressBookDialogs::Saved);
        QCOMPARE(book.entries[1].EntryID, QByteArray("renamed"));
        QCOMPARE(book.entries[0].EntryID, QByteArray("uid:0"));
        QCOMPARE(book.newContact(), AddressBookDialogs::Closed);
        QCOMPARE(dialogs.calls, (QStringList{"details /x/book.vcf uid:1", "new /x/book.vcf"}));

        AddressBookIndex withoutDialogs(QStringLiteral("/x/book.vcf"), nullptr);
        QCOMPARE(withoutDialogs.newContact(), AddressBookDialogs::Failed);
    }
};

QTEST_APPLESS_MAIN(TestWinAddrBook)
#include "tst_addressbookindex.moc"
