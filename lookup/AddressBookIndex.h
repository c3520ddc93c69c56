#pragma once

#include "platform/addressbook/AddressBookDialogs.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// One contact as the caller window shows it. Address parts and telephone numbers are each
// preceded by "|"; a missing part adds nothing.
struct ContactSummary
{
    QString Name;
    QString BusinessAddress; // country, state, city, postal code, street
    QString HomeAddress;     // the same parts of the home address
    QString Company;
    QString Gender;   // "不确定", "女", "男" or empty
    QString Birthday; // "yyyy-mm-dd"
    QString EMail;    // empty unless it holds "@"
    QString Notes;
    QString Phones;     // the fourteen telephone numbers in their fixed order
    QByteArray EntryID; // names the contact in the store; empty for none
};

// The address book as the caller window uses it: every contact read into memory once, by
// open, and searched by telephone number. Contacts added or changed later are seen by the
// next AddressBookIndex.
class AddressBookIndex
{
public:
    // The store named by the program folder's settings.
    explicit AddressBookIndex(AddressBookDialogs* dialogs = nullptr);
    AddressBookIndex(QString storePath, AddressBookDialogs* dialogs);

    // Reads every contact. 2 when the store exists but cannot be read (nothing is loaded),
    // else 0; a missing file is an empty address book.
    quint32 open();
    // The contacts whose telephone numbers hold `number` as the end of a number. Only the
    // first occurrence of `number` in a contact's numbers counts. The entries stay owned here.
    QList<const ContactSummary*> findByPhone(const QString& number) const;
    // The details dialog of a contact. A saved edit may give the contact a new identifier;
    // its entry here takes it on, so that the dialog opens again. An empty identifier shows
    // nothing.
    AddressBookDialogs::Result showDetails(const QByteArray& EntryID);
    AddressBookDialogs::Result newContact();

    QString storePath;
    std::vector<ContactSummary> entries;
    bool opened = false; // the store was read
    bool loaded = false; // open has run
    int skippedCards = 0; // broken cards the last open left out
    QString error;        // why the last open could not read the store

private:
    AddressBookDialogs* m_dialogs;
};
