#include "lookup/AddressBookIndex.h"

#include "platform/ProgramFolder.h"
#include "platform/addressbook/AddressBookLocation.h"
#include "platform/addressbook/ContactStore.h"

#include <QCoreApplication>

namespace {

void appendPart(QString& text, const QString& part)
{
    if (!part.isEmpty())
        text += QLatin1Char('|') + part;
}

QString addressText(const ContactAddress& address)
{
    QString text;
    for (const QString& part : {address.country, address.state, address.city, address.postalCode, address.street})
        appendPart(text, part);
    return text;
}

QString genderText(int gender)
{
    switch (gender) {
    case 0:
        return QCoreApplication::translate("AddressBookIndex", "不确定");
    case 1:
        return QCoreApplication::translate("AddressBookIndex", "女");
    case 2:
        return QCoreApplication::translate("AddressBookIndex", "男");
    default:
        return QString();
    }
}

ContactSummary entryOf(const Contact& contact)
{
    ContactSummary entry;
    entry.Name = contact.displayName;
    entry.EMail = contact.email.contains(QLatin1Char('@')) ? contact.email : QString();
    entry.Company = contact.company;
    entry.Gender = genderText(contact.gender);
    entry.BusinessAddress = addressText(contact.business);
    entry.HomeAddress = addressText(contact.home);
    entry.Birthday = contact.birthday;
    entry.Notes = contact.notes;
    for (int kind = 0; kind < PhoneKindCount; ++kind) {
        for (const ContactPhone& phone : contact.phones) {
            if (phone.kind == PhoneKind(kind))
                appendPart(entry.Phones, phone.number);
        }
    }
    return entry;
}

} // namespace

AddressBookIndex::AddressBookIndex(AddressBookDialogs* dialogs)
    : AddressBookIndex(AddressBookLocation::storePath(ProgramFolder::path()), dialogs)
{
}

AddressBookIndex::AddressBookIndex(QString storePath, AddressBookDialogs* dialogs)
    : storePath(std::move(storePath)), m_dialogs(dialogs)
{
}

quint32 AddressBookIndex::open()
{
    entries.clear();
    ContactStore store(storePath);
    error.clear();
    opened = store.load(&error);
    loaded = true;
    skippedCards = store.skippedCards();
    if (!opened)
        return 2;
    entries.reserve(store.cards().size());
    for (int i = 0; i < store.cards().size(); ++i) {
        ContactSummary entry = entryOf(store.contact(i));
        entry.EntryID = store.entryId(i);
        entries.push_back(std::move(entry));
    }
    return 0;
}

QList<const ContactSummary*> AddressBookIndex::findByPhone(const QString& number) const
{
    QList<const ContactSummary*> matches;
    if (number.isEmpty())
        return matches;
    for (const ContactSummary& entry : entries) {
        const qsizetype at = entry.Phones.indexOf(number);
        if (at < 0)
            continue;
        const qsizetype after = at + number.size();
        if (after == entry.Phones.size() || entry.Phones.at(after) == QLatin1Char('|'))
            matches << &entry;
    }
    return matches;
}

AddressBookDialogs::Result AddressBookIndex::showDetails(const QByteArray& EntryID)
{
    if (EntryID.isEmpty())
        return AddressBookDialogs::NotFound;
    if (!m_dialogs)
        return AddressBookDialogs::Failed;
    // A copy: EntryID may be the very field that is renamed below.
    const QByteArray old = EntryID;
    QByteArray current = old;
    const AddressBookDialogs::Result result = m_dialogs->details(storePath, current);
    if (current != old) {
        for (ContactSummary& entry : entries) {
            if (entry.EntryID == old)
                entry.EntryID = current;
        }
    }
    return result;
}

AddressBookDialogs::Result AddressBookIndex::newContact()
{
    if (!m_dialogs)
        return AddressBookDialogs::Failed;
    return m_dialogs->newContact(storePath);
}
