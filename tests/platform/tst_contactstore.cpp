#include "platform/addressbook/ContactStore.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString copyFixture(const QTemporaryDir& dir, const char* name)
{
    const QString path = dir.filePath(QStringLiteral("contacts.vcf"));
    QFile::remove(path);
    QFile::copy(QStringLiteral(VORNX_TEST_DATA "/addressbook/") + QString::fromLatin1(name), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

Contact sampleContact()
{
    Contact contact;
    contact.displayName = QStringLiteral("周七");
    contact.familyName = QStringLiteral("周");
    contact.givenName = QStringLiteral("七");
    contact.company = QStringLiteral("七星贸易, 有限公司");
    contact.email = QStringLiteral("zhou@example.com");
    contact.gender = 2;
    contact.birthday = QStringLiteral("1990-01-31");
    contact.notes = QStringLiteral("周一; 周三来电\n第二行");
    contact.business = {QStringLiteral("中国"), QStringLiteral("广东"), QStringLiteral("深圳"),
                        QStringLiteral("518000"), QStringLiteral("深南大道1号")};
    contact.home.city = QStringLiteral("广州");
    contact.phones = {{PhoneKind::Mobile, QStringLiteral("13800138000"), -1},
                      {PhoneKind::Business, QStringLiteral("0755-22223333"), -1}};
    return contact;
}

// The contact as a later read finds it: the phone sources name its lines.
Contact withoutSources(Contact contact)
{
    for (ContactPhone& phone : contact.phones)
        phone.source = -1;
    return contact;
}

} // namespace

class TestContactStore : public QObject
{
    Q_OBJECT

private slots:
    void missingFileIsEmptyAndFirstContactCreatesIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/contacts.vcf"));
        ContactStore store(path);
        QVERIFY(store.load());
        QVERIFY(store.cards().isEmpty());

        QByteArray id;
        QString error;
        QVERIFY2(store.add(sampleContact(), &id, &error), qPrintable(error));
        ContactStore reopened(path);
        QVERIFY(reopened.load());
        QCOMPARE(reopened.cards().size(), 1);
        QCOMPARE(reopened.indexOf(id), 0);
        QCOMPARE(withoutSources(reopened.contact(0)), sampleContact());
        QVERIFY(readAll(path).startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    }

    void unreadableStoreIsAnError()
    {
        QTemporaryDir dir;
        ContactStore store(dir.path());
        QString error;
        QVERIFY(!store.load(&error));
        QVERIFY(!error.isEmpty());
        QVERIFY(store.cards().isEmpty());
        QVERIFY(!store.add(sampleContact(), nullptr, &error));
    }

    // A FIFO in the file's place is not waited on, a huge file is not read into memory.
    void specialAndHugeFilesAreRefused()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo.vcf"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ContactStore fromFifo(fifo);
        QString error;
        QVERIFY(!fromFifo.load(&error));
        QVERIFY2(error.contains(fifo) && error.contains(QStringLiteral("不是普通文件")), qPrintable(error));

        const QString huge = dir.filePath(QStringLiteral("huge.vcf"));
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nTEL:1\r\nEND:VCARD\r\n");
            QVERIFY(f.resize(ContactStore::kMaxFileSize + 1));
        }
        ContactStore fromHuge(huge);
        QVERIFY(!fromHuge.load(&error));
        QVERIFY2(error.contains(huge) && error.contains(QStringLiteral("文件太大")), qPrintable(error));
        QVERIFY(fromHuge.cards().isEmpty());
        // Nothing is written into a file that could not be read.
        QVERIFY(!fromHuge.add(sampleContact(), nullptr, &error));
        QCOMPARE(QFileInfo(huge).size(), ContactStore::kMaxFileSize + 1);
    }

    void newContactKeepsEveryOtherByte()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "broken.vcf");
        const QByteArray original = readAll(path);
        ContactStore store(path);
        QVERIFY(store.load());
        QCOMPARE(store.cards().size(), 2);
        QString error;
        QVERIFY2(store.add(sampleContact(), nullptr, &error), qPrintable(error));

        const QByteArray now = readAll(path);
        QVERIFY(now.startsWith(original));
        // The file breaks its lines with LF alone; the new card does the same.
        QVERIFY(!now.mid(original.size()).contains('\r'));
        ContactStore reopened(path);
        QVERIFY(reopened.load());
        QCOMPARE(reopened.cards().size(), 3);
        QCOMPARE(withoutSources(reopened.contact(2)), sampleContact());
    }

    // Editing a 2.1 card in GB2312 rewrites only the lines that changed.
    void editRewritesOnlyChangedLines()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        const QByteArray original = readAll(path);
        ContactStore store(path);
        QVERIFY(store.load());
        const QByteArray id = store.entryId(0);
        Contact contact = store.contact(0);
        QCOMPARE(contact.phones.size(), 2);
        contact.phones[1].number = QStringLiteral("13911112222");
        contact.phones[0].kind = PhoneKind::Home;
        contact.phones << ContactPhone{PhoneKind::Car, QStringLiteral("13700000000"), -1};
        contact.notes = QStringLiteral("新的附注");
        contact.gender = 1;
        contact.home = ContactAddress();
        contact.birthday.clear();

        QByteArray newId;
        QString error;
        QVERIFY2(store.update(id, contact, &newId, &error), qPrintable(error));
        const QByteArray now = readAll(path);
        // The second card and the untouched lines of the first are the bytes as read.
        const qsizetype second = original.indexOf("BEGIN:VCARD", 10);
        QVERIFY(now.endsWith(original.mid(second)));
        const QByteArray title =
            original.mid(original.indexOf("TITLE;"),
                         original.indexOf("\r\n", original.indexOf("TITLE;")) - original.indexOf("TITLE;"));
        QVERIFY(now.contains(title));
        QVERIFY(now.contains("TEL;WORK;FAX:010-87654322\r\n"));
        QVERIFY(now.contains("TEL;HOME;VOICE:010-87654321\r\n"));
        QVERIFY(now.contains("TEL;CELL;VOICE:13911112222\r\n"));
        QVERIFY(now.contains("X-WAB-GENDER:1\r\n"));
        QVERIFY(!now.contains("BDAY"));
        QVERIFY(!now.contains("ADR;HOME"));

        ContactStore reopened(path);
        QVERIFY(reopened.load());
        QCOMPARE(reopened.cards().size(), 2);
        QCOMPARE(reopened.indexOf(newId), 0);
        const Contact read = reopened.contact(0);
        QCOMPARE(read.notes, QStringLiteral("新的附注"));
        QCOMPARE(read.gender, 1);
        QCOMPARE(read.company, QStringLiteral("维诺星科技"));
        QVERIFY(read.home.isEmpty());
        QVERIFY(read.birthday.isEmpty());
        QStringList numbers;
        for (const ContactPhone& phone : read.phones)
            numbers << phone.number;
        QCOMPARE(numbers, (QStringList{"010-87654321", "13911112222", "13700000000"}));
        QCOMPARE(read.phones.at(2).kind, PhoneKind::Car);
    }

    void editOfACard40KeepsItsForms()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "v40.vcf");
        ContactStore store(path);
        QVERIFY(store.load());
        const QByteArray id = store.entryId(0);
        QCOMPARE(id, QByteArray("uid:urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1"));
        Contact contact = store.contact(0);
        contact.gender = 2;
        contact.birthday = QStringLiteral("1985-04-12");
        contact.phones[1].kind = PhoneKind::Mobile;
        QByteArray newId;
        QString error;
        QVERIFY2(store.update(id, contact, &newId, &error), qPrintable(error));
        QCOMPARE(newId, id);
        const QByteArray now = readAll(path);
        QVERIFY(now.contains("GENDER:M\r\n"));
        QVERIFY(now.contains("BDAY:19850412\r\n"));
        QVERIFY(now.contains("TEL;TYPE=cell,voice:010-88889999\r\n"));
        QVERIFY(now.contains("TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+86-10-6666-7777\r\n"));
    }

    void changesOfAnotherProgramAreNotOverwritten()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "wab21_gb2312.vcf");
        ContactStore store(path);
        QVERIFY(store.load());
        const QByteArray zhang = store.entryId(0);
        const QByteArray li = store.entryId(1);
        Contact edit = store.contact(0);
        edit.notes = QStringLiteral("mine");

        // Another program changes the first card and adds a card of its own.
        QByteArray other = readAll(path);
        other.replace("13900001111", "13900009999");
        other += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Theirs\r\nTEL:555\r\nEND:VCARD\r\n";
        writeAll(path, other);

        QString error;
        QVERIFY(!store.update(zhang, edit, nullptr, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(path), other);

        // A card the other program left alone can still be edited, and a new contact is
        // added to the file as it is now.
        Contact liEdit = store.contact(store.indexOf(li));
        liEdit.company = QStringLiteral("新公司");
        QVERIFY2(store.update(li, liEdit, nullptr, &error), qPrintable(error));
        QVERIFY2(store.add(sampleContact(), nullptr, &error), qPrintable(error));
        ContactStore reopened(path);
        QVERIFY(reopened.load());
        QStringList names;
        for (int i = 0; i < reopened.cards().size(); ++i)
            names << reopened.contact(i).displayName;
        QCOMPARE(names, (QStringList{"张三", "李四", "Theirs", "周七"}));
        QCOMPARE(reopened.contact(0).phones.at(1).number, QStringLiteral("13900009999"));
        QCOMPARE(reopened.contact(1).company, QStringLiteral("新公司"));
    }
};

QTEST_APPLESS_MAIN(TestContactStore)
#include "tst_contactstore.moc"
