#pragma once

#include "platform/addressbook/VCard.h"

#include <QList>
#include <QString>

// The fourteen telephone properties of a contact, in the order the contents rows list them.
enum class PhoneKind
{
    Business,
    Callback,
    Home,
    Primary,
    Business2,
    Mobile,
    Radio,
    Car,
    Other,
    Pager,
    Assistant,
    Home2,
    CompanyMain,
    TtyTdd,
};
inline constexpr int PhoneKindCount = 14;

struct ContactPhone
{
    PhoneKind kind = PhoneKind::Other;
    QString number;
    int source = -1; // index of its TEL property in the card, -1 for a new number

    bool operator==(const ContactPhone&) const = default;
};

struct ContactAddress
{
    QString country;
    QString state;
    QString city;
    QString postalCode;
    QString street;

    bool isEmpty() const;
    bool operator==(const ContactAddress&) const = default;
};

// A contact as the program shows and edits it.
struct Contact
{
    QString displayName;
    QString familyName;
    QString givenName;
    QString email;
    QString company;
    int gender = -1;  // 0 unspecified, 1 female, 2 male, -1 not given
    QString birthday; // "yyyy-mm-dd", or the stored text when it is no full date
    ContactAddress business;
    ContactAddress home;
    QString notes;
    QList<ContactPhone> phones; // in card order

    bool operator==(const Contact&) const = default;
};

// The property each field was read from (-1: none), so that an edit rewrites only those lines.
struct ContactSources
{
    int displayName = -1;
    int name = -1;
    int email = -1;
    int company = -1;
    int gender = -1;
    int birthday = -1;
    int notes = -1;
    int business = -1;
    int home = -1;
};

// How cards and contacts map onto each other:
// FN (or N, or ORG) is the display name; the EMAIL marked preferred, else the first; the
// first component of ORG; GENDER (M/F/U) or X-WAB-GENDER and other X-...-GENDER values
// (0/1/2, male/female, 男/女); BDAY; the first NOTE; the first ADR typed WORK (an untyped
// one counts as WORK) and the first typed HOME, from their street, locality, region, postal
// code and country components. Telephone numbers by their TEL types: CELL mobile, PAGER
// pager, CAR car, X-RADIO radio, TEXTPHONE/X-TTYTDD TTY/TDD, X-ASSISTANT assistant,
// X-CALLBACK callback, X-COMPANY-MAIN company main, WORK business (a second WORK number
// business 2), HOME home (a second HOME number home 2), PREF or MAIN alone primary, any
// other voice number other. Fax numbers are no telephone numbers here and stay untouched.
class ContactMapping
{
public:
    static Contact fromCard(const VCard& card, ContactSources* sources = nullptr);
    // The display name of a contact that has none: family and given name, without a blank
    // between Chinese names, "given family" otherwise.
    static QString displayNameFor(const QString& familyName, const QString& givenName);

    // The card's bytes after the edit from `before` to `after`: changed fields rewrite their
    // own lines, new ones go before END:VCARD, every other line stays as it was.
    static QByteArray editedCard(const QByteArray& fileBytes, const VCard& card, const ContactSources& sources,
                                 const Contact& before, const Contact& after, const QByteArray& eol);
    // A new vCard 3.0 card with UTF-8 text.
    static QByteArray newCard(const Contact& contact, const QString& uid, const QByteArray& eol);
};
