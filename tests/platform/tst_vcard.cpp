#include "platform/addressbook/Contact.h"
#include "platform/addressbook/VCard.h"

#include <QFile>
#include <QStringEncoder>
#include <QtTest>

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(VORNX_TEST_DATA "/addressbook/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

QList<Contact> contactsOf(const QByteArray& bytes)
{
    QList<Contact> contacts;
    for (const VCard& card : VCardReader::read(bytes).cards)
        contacts << ContactMapping::fromCard(card);
    return contacts;
}

QList<QPair<PhoneKind, QString>> phonesOf(const Contact& contact)
{
    QList<QPair<PhoneKind, QString>> phones;
    for (const ContactPhone& phone : contact.phones)
        phones << qMakePair(phone.kind, phone.number);
    return phones;
}

} // namespace

class TestVCard : public QObject
{
    Q_OBJECT

private slots:
    // A card as the Windows address book exports it: 2.1, GB2312, quoted-printable values
    // with soft line breaks, bare TYPE parameters.
    void windowsExportIn21QuotedPrintableGb2312()
    {
        const VCardReader::Result result = VCardReader::read(fixture("wab21_gb2312.vcf"));
        QCOMPARE(result.cards.size(), 2);
        QCOMPARE(result.skipped, 0);
        QCOMPARE(result.cards.at(0).version, QByteArray("2.1"));

        const Contact zhang = ContactMapping::fromCard(result.cards.at(0));
        QCOMPARE(zhang.displayName, QStringLiteral("张三"));
        QCOMPARE(zhang.familyName, QStringLiteral("张"));
        QCOMPARE(zhang.givenName, QStringLiteral("三"));
        QCOMPARE(zhang.company, QStringLiteral("维诺星科技"));
        QCOMPARE(
            zhang.notes,
            QStringLiteral("老客户，每月订货。\n请优先处理他的来电，并告知销售部的王经理。地址变更时记得更新资料。"));
        QCOMPARE(zhang.gender, 2);
        QCOMPARE(zhang.birthday, QStringLiteral("1980-05-17"));
        QCOMPARE(zhang.email, QStringLiteral("zhangsan@example.com"));
        const ContactAddress work{QStringLiteral("中国"), QStringLiteral("北京"), QStringLiteral("北京"),
                                  QStringLiteral("100080"), QStringLiteral("中关村大街1号")};
        QCOMPARE(zhang.business, work);
        const ContactAddress home{QString(), QString(), QStringLiteral("上海"), QString(), QStringLiteral("朝阳路8号")};
        QCOMPARE(zhang.home, home);
        // The fax number is no telephone number of the contact.
        const QList<QPair<PhoneKind, QString>> zhangPhones{{PhoneKind::Business, QStringLiteral("010-87654321")},
                                                           {PhoneKind::Mobile, QStringLiteral("13900001111")}};
        QCOMPARE(phonesOf(zhang), zhangPhones);

        const Contact li = ContactMapping::fromCard(result.cards.at(1));
        QCOMPARE(li.displayName, QStringLiteral("李四"));
        QCOMPARE(li.gender, 1);
        QCOMPARE(li.email, QStringLiteral("lisi-at-example"));
        QVERIFY(li.birthday.isEmpty());
        QVERIFY(li.business.isEmpty());
        const QList<QPair<PhoneKind, QString>> liPhones{{PhoneKind::Home, QStringLiteral("0755-12345678")},
                                                        {PhoneKind::Business, QStringLiteral("87654321-1")},
                                                        {PhoneKind::Pager, QStringLiteral("87654321")}};
        QCOMPARE(phonesOf(li), liPhones);
    }

    // A 3.0 export with folded lines, TYPE lists, grouped properties and escapes.
    void folded30Export()
    {
        const VCardReader::Result result = VCardReader::read(fixture("google30_folded.vcf"));
        QCOMPARE(result.cards.size(), 1);
        const VCard& card = result.cards.at(0);
        QCOMPARE(card.version, QByteArray("3.0"));
        const Contact wang = ContactMapping::fromCard(card);
        QCOMPARE(wang.displayName, QStringLiteral("Wang Wu"));
        QCOMPARE(wang.company, QStringLiteral("Example Trading, Ltd."));
        QCOMPARE(wang.notes, QStringLiteral("Prefers calls after 10:00; speaks English and Chinese.\n"
                                            "Second line of the note, folded in the middle of a word."));
        QCOMPARE(wang.birthday, QStringLiteral("1975-11-02"));
        QCOMPARE(wang.gender, 2);
        QCOMPARE(wang.home.street, QStringLiteral("Room 5, Building 2"));
        QCOMPARE(wang.home.city, QStringLiteral("Hangzhou"));
        QCOMPARE(wang.home.country, QStringLiteral("China"));
        const QList<QPair<PhoneKind, QString>> phones{{PhoneKind::Mobile, QStringLiteral("+86 139 0000 2222")},
                                                      {PhoneKind::Other, QStringLiteral("0571-66668888")},
                                                      {PhoneKind::Business, QStringLiteral("021-55556666")},
                                                      {PhoneKind::Business2, QStringLiteral("021-55557777")}};
        QCOMPARE(phonesOf(wang), phones);
        const int grouped = card.indexOf("X-ABLABEL");
        QVERIFY(grouped >= 0);
        QCOMPARE(card.properties.at(grouped).group, QByteArray("item1"));
    }

    void version40Card()
    {
        const QList<Contact> contacts = contactsOf(fixture("v40.vcf"));
        QCOMPARE(contacts.size(), 1);
        const Contact& zhao = contacts.at(0);
        QCOMPARE(zhao.displayName, QStringLiteral("赵六"));
        QCOMPARE(zhao.gender, 1);
        QCOMPARE(zhao.birthday, QStringLiteral("--04-12"));
        QCOMPARE(zhao.email, QStringLiteral("zhao@example.cn"));
        QCOMPARE(zhao.business.street, QStringLiteral("天府大道100号"));
        QCOMPARE(zhao.business.postalCode, QStringLiteral("610000"));
        const QList<QPair<PhoneKind, QString>> phones{{PhoneKind::Business, QStringLiteral("+86-10-6666-7777")},
                                                      {PhoneKind::Home, QStringLiteral("010-88889999")},
                                                      {PhoneKind::TtyTdd, QStringLiteral("010-12121212")}};
        QCOMPARE(phonesOf(zhao), phones);
    }

    void brokenCardIsSkippedOthersKept()
    {
        const VCardReader::Result result = VCardReader::read(fixture("broken.vcf"));
        QCOMPARE(result.skipped, 2);
        QList<QString> names;
        for (const VCard& card : result.cards)
            names << ContactMapping::fromCard(card).displayName;
        QCOMPARE(names, (QList<QString>{QStringLiteral("First Good"), QStringLiteral("Second Good")}));
    }

    void lineForms_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("phone");

        QTest::newRow("LF only") << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:A\nTEL:1\nEND:VCARD\n") << "A"
                                 << "1";
        QTest::newRow("CR only") << QByteArray("BEGIN:VCARD\rFN:A\rTEL:1\rEND:VCARD") << "A"
                                 << "1";
        QTest::newRow("lower case, no final break")
            << QByteArray("begin:vcard\r\nversion:3.0\r\nfn:A\r\ntel;type=cell:1\r\nend:vcard") << "A"
            << "1";
        QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                             "BEGIN:VCARD\r\nFN:A\r\nTEL:1\r\nEND:VCARD\r\n")
                                               << "A"
                                               << "1";
        QTest::newRow("fold with tab")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ab\r\n\tc\r\nTEL:1\r\n 2\r\nEND:VCARD\r\n") << "Abc"
            << "12";
        QTest::newRow("quoted parameter with colon and semicolon")
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN;X-NOTE=\"a:b;c\":A\r\nTEL;TYPE=\"cell,voice\":1\r\nEND:VCARD\r\n")
            << "A"
            << "1";
        QTest::newRow("quoted-printable soft break, ENCODING= form")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E7=8E=8B=\r\n=E4="
                          "BA=94\r\n"
                          "TEL;PREF:1\r\nEND:VCARD\r\n")
            << QStringLiteral("王五") << "1";
        QTest::newRow("quoted-printable only in another parameter's value")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN;X-HINT=QUOTED-PRINTABLE:A=\r\n b\r\nTEL:1\r\nEND:VCARD\r\n")
            << "A=b"
            << "1";
        QTest::newRow("GBK without charset")
            << (QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:") +
                QStringEncoder("GB18030").encode(QStringLiteral("王五")) + QByteArray("\r\nTEL:1\r\nEND:VCARD\r\n"))
            << QStringLiteral("王五") << "1";
        QTest::newRow("UTF-8 without charset")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:王五\r\nTEL:1\r\nEND:VCARD\r\n") << QStringLiteral("王五")
            << "1";
        QTest::newRow("name only in N, Chinese")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:王;五;;;\r\nTEL:1\r\nEND:VCARD\r\n")
            << QStringLiteral("王五") << "1";
        QTest::newRow("name only in N, Latin")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;John;;;\r\nTEL:1\r\nEND:VCARD\r\n") << "John Smith"
            << "1";
        QTest::newRow("unknown properties and binary photo")
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQ\r\n AAAA\r\n\r\n"
                   "X-ANYTHING;FOO=BAR:x\r\nTEL;VOICE:1\r\nEND:VCARD\r\n")
            << "A"
            << "1";
        QTest::newRow("text before and between cards")
            << QByteArray(
                   "garbage\r\nTEL:9\r\nBEGIN:VCARD\r\nFN:A\r\nnot a property\r\nTEL:1\r\nEND:VCARD\r\ntrailer\r\n")
            << "A"
            << "1";
    }

    void lineForms()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, phone);
        const QList<Contact> contacts = contactsOf(bytes);
        QCOMPARE(contacts.size(), 1);
        QCOMPARE(contacts.at(0).displayName, name);
        QCOMPARE(contacts.at(0).phones.size(), 1);
        QCOMPARE(contacts.at(0).phones.at(0).number, phone);
    }

    void genderForms_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("gender");
        QTest::newRow("4.0 male") << QByteArray("GENDER:M") << 2;
        QTest::newRow("4.0 female with identity") << QByteArray("GENDER:F;woman") << 1;
        QTest::newRow("4.0 unknown") << QByteArray("GENDER:U") << 0;
        QTest::newRow("4.0 other") << QByteArray("GENDER:O") << -1;
        QTest::newRow("address book export 0") << QByteArray("X-WAB-GENDER:0") << 0;
        QTest::newRow("address book export 3") << QByteArray("X-WAB-GENDER:3") << -1;
        QTest::newRow("female word") << QByteArray("X-GENDER:female") << 1;
        QTest::newRow("Chinese") << QByteArray("X-KADDRESSBOOK-X-GENDER:男") << 2;
        QTest::newRow("absent") << QByteArray("X-OTHER:M") << -1;
    }

    void genderForms()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, gender);
        const QList<Contact> contacts =
            contactsOf("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\n" + line + "\r\nEND:VCARD\r\n");
        QCOMPARE(contacts.at(0).gender, gender);
    }

    void phoneKinds()
    {
        const QByteArray card =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\n"
            "TEL;TYPE=HOME,FAX:0\r\nTEL;TYPE=HOME:1\r\nTEL;TYPE=HOME,VOICE:2\r\nTEL;TYPE=PREF:3\r\n"
            "TEL;TYPE=CAR:4\r\nTEL;TYPE=X-RADIO:5\r\nTEL;TYPE=X-CALLBACK:6\r\nTEL;TYPE=X-ASSISTANT:7\r\n"
            "TEL;TYPE=X-COMPANY-MAIN:8\r\nTEL;TYPE=X-TTYTDD:9\r\nTEL;TYPE=MSG:10\r\nTEL;TYPE=WORK,PREF:11\r\n"
            "END:VCARD\r\n";
        const QList<QPair<PhoneKind, QString>> expected{
            {PhoneKind::Home, "1"},      {PhoneKind::Home2, "2"},       {PhoneKind::Primary, "3"},
            {PhoneKind::Car, "4"},       {PhoneKind::Radio, "5"},       {PhoneKind::Callback, "6"},
            {PhoneKind::Assistant, "7"}, {PhoneKind::CompanyMain, "8"}, {PhoneKind::TtyTdd, "9"},
            {PhoneKind::Other, "10"},    {PhoneKind::Business, "11"}};
        QCOMPARE(phonesOf(contactsOf(card).at(0)), expected);
    }

    // Every field of every fixture card, edited, reads back as edited; the card's other
    // properties stay.
    void editedCardsReadBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        for (const char* name : {"wab21_gb2312.vcf", "google30_folded.vcf", "v40.vcf", "broken.vcf"})
            QTest::newRow(name) << QByteArray(name);
    }

    void editedCardsReadBack()
    {
        QFETCH(QByteArray, file);
        const QByteArray bytes = fixture(file.constData());
        for (const VCard& card : VCardReader::read(bytes).cards) {
            ContactSources sources;
            const Contact before = ContactMapping::fromCard(card, &sources);
            Contact after = before;
            after.displayName += QStringLiteral(" 改");
            after.familyName = QStringLiteral("姓;氏");
            after.email = QStringLiteral("new@example.com");
            after.company = QStringLiteral("公司, 有限");
            after.gender = before.gender == 1 ? 2 : 1;
            after.birthday = QStringLiteral("2001-02-03");
            after.notes = QStringLiteral("附注\\行一\n行二 = 等号");
            after.business.city = QStringLiteral("城市");
            after.home = ContactAddress{};
            after.home.street = QStringLiteral("街道 5号");
            if (!after.phones.isEmpty()) {
                after.phones.first().kind = PhoneKind::Car;
                after.phones.last().number = QStringLiteral("+86 (10) 1234-5678");
            }
            after.phones << ContactPhone{PhoneKind::Assistant, QStringLiteral("555"), -1};

            const QByteArray edited = ContactMapping::editedCard(bytes, card, sources, before, after, "\r\n");
            const VCardReader::Result again = VCardReader::read(edited);
            QCOMPARE(again.cards.size(), 1);
            Contact read = ContactMapping::fromCard(again.cards.at(0));
            for (ContactPhone& phone : read.phones)
                phone.source = -1;
            for (ContactPhone& phone : after.phones)
                phone.source = -1;
            QCOMPARE(read, after);
            const auto untouched = [](const VCard& c) {
                static const QList<QByteArray> edited{"FN",       "N",    "EMAIL", "ORG", "GENDER", "X-WAB-GENDER",
                                                      "X-GENDER", "BDAY", "NOTE",  "ADR", "TEL"};
                QList<QByteArray> names;
                for (const VCardProperty& p : c.properties) {
                    if (!edited.contains(p.name))
                        names << p.name;
                }
                return names;
            };
            QCOMPARE(untouched(again.cards.at(0)), untouched(card));
        }
    }

    void writtenLinesReadBack_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("2.1") << QByteArray("2.1");
        QTest::newRow("3.0") << QByteArray("3.0");
        QTest::newRow("4.0") << QByteArray("4.0");
    }

    // Whatever a user types comes back unchanged, in every card version.
    void writtenLinesReadBack()
    {
        QFETCH(QByteArray, version);
        const QString awkward = QStringLiteral(
            "第一行; with, commas\\and = signs and a long tail 长长长长长长长长长长长长长长长长长长长\n第二行");
        const QByteArray line = VCardWriter::line(version, "item2", "NOTE", {}, {awkward}, "\r\n");
        const QByteArray address =
            VCardWriter::line(version, {}, "ADR", VCardWriter::typeParams(version, {"WORK"}),
                              {QString(), QString(), QStringLiteral("路;1号"), QStringLiteral("城,市")}, "\r\n");
        for (const QByteArray& physical : (line + address).split('\n'))
            QVERIFY2(physical.size() <= 77, physical.constData());
        const QByteArray card = "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + line + address + "END:VCARD\r\n";
        const VCardReader::Result result = VCardReader::read(card);
        QCOMPARE(result.cards.size(), 1);
        const VCard& read = result.cards.at(0);
        QCOMPARE(read.properties.at(1).group, QByteArray("item2"));
        QCOMPARE(read.properties.at(1).text(version), awkward);
        QVERIFY(read.properties.at(2).hasType(QStringLiteral("WORK")));
        QCOMPARE(read.properties.at(2).components(version).mid(2),
                 (QStringList{QStringLiteral("路;1号"), QStringLiteral("城,市")}));
    }
};

QTEST_APPLESS_MAIN(TestVCard)
#include "tst_vcard.moc"
