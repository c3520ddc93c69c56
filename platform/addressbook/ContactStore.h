#pragma once

#include "platform/addressbook/Contact.h"
#include "platform/addressbook/VCard.h"

#include <QCoreApplication>
#include <QString>

// The address book: every contact of one vCard file. The file is read whole; a save
// splices the one changed card into the bytes as read (every other card, comment or broken
// card stays byte for byte) and replaces the file through a temporary file. Before a save
// the file is read again, so that a change by another program is never overwritten: a new
// contact is added to the file as it is now, an edit is refused when its card changed.
class ContactStore
{
    Q_DECLARE_TR_FUNCTIONS(ContactStore)

public:
    // Address books with thousands of contacts and their photos stay well below this; a
    // bigger file is refused rather than read whole into memory at a call.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    explicit ContactStore(QString fileName);

    const QString& fileName() const { return m_fileName; }

    // A missing file is an empty address book. False, with the reason, when the file exists
    // but cannot be read.
    bool load(QString* error = nullptr);

    const QList<VCard>& cards() const { return m_cards; }
    int skippedCards() const { return m_skipped; }

    // What names a card across loads: "uid:" and its UID, or for a card without one
    // "sha1:" and the hash of its bytes.
    QByteArray entryId(int index) const;
    int indexOf(const QByteArray& entryId) const;
    Contact contact(int index, ContactSources* sources = nullptr) const;

    // Saves `after` as the new state of the contact `entryId`; `newEntryId` names it afterwards.
    bool update(const QByteArray& entryId, const Contact& after, QByteArray* newEntryId, QString* error);
    bool add(const Contact& contact, QByteArray* entryId, QString* error);

private:
    bool readFile(QByteArray* bytes, QString* error) const;
    void parse(QByteArray bytes);
    bool write(const QByteArray& bytes, QString* error);
    static QByteArray lineEnding(const QByteArray& bytes);

    QString m_fileName;
    QByteArray m_bytes;
    QList<VCard> m_cards;
    int m_skipped = 0;
};
