#pragma once

#include "platform/addressbook/AddressBookDialogs.h"

class QWidget;

// The address book's dialogs as windows: each reads the store when it opens and writes the
// contact back when the user confirms.
class ContactDialogs final : public AddressBookDialogs
{
public:
    explicit ContactDialogs(QWidget* parent = nullptr);

    Result details(const QString& storePath, QByteArray& entryId) override;
    Result newContact(const QString& storePath) override;

private:
    QWidget* m_parent;
};
