#pragma once

#include <QByteArray>
#include <QString>

// The address book's own dialogs, apart from the store so that what looks contacts up
// never links a window. The windowed implementation is ContactDialogs.
class AddressBookDialogs
{
public:
    enum Result
    {
        Saved = 0,    // the user changed or added a contact and it is in the file
        Closed = 1,   // closed without a change
        NotFound = 2, // no such contact in the file (any more)
        Failed = 3,   // the file could not be read, or no dialogs are available
    };

    virtual ~AddressBookDialogs() = default;

    // The modal details dialog of one contact of the store at `storePath`, where the user may
    // edit and save it. A saved edit may rename the contact: `entryId` names it afterwards.
    virtual Result details(const QString& storePath, QByteArray& entryId) = 0;
    // The modal new-contact dialog; a new contact is added to the file.
    virtual Result newContact(const QString& storePath) = 0;
};
