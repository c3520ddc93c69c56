#include "platform/addressbook/ContactDialogs.h"

#include "platform/addressbook/ContactDialog.h"
#include "platform/addressbook/ContactStore.h"
#include "platform/ui/MessageBoxes.h"

namespace {

void showError(const QString& text, QWidget* parent)
{
    MessageBoxes::show({QMessageBox::Warning, ContactDialog::tr("错误提示"), text, QMessageBox::Ok, QMessageBox::Ok},
                       parent);
}

} // namespace

ContactDialogs::ContactDialogs(QWidget* parent) : m_parent(parent) {}

AddressBookDialogs::Result ContactDialogs::details(const QString& storePath, QByteArray& entryId)
{
    ContactStore store(storePath);
    QString error;
    if (!store.load(&error)) {
        showError(error, m_parent);
        return Failed;
    }
    const int index = store.indexOf(entryId);
    if (index < 0) {
        showError(ContactDialog::tr("通讯薄中已没有这个联系人。"), m_parent);
        return NotFound;
    }
    const Contact before = store.contact(index);
    bool saved = false;
    QByteArray newId = entryId;
    ContactDialog dialog(
        ContactDialog::tr("%1 属性").arg(before.displayName), before,
        [&](const Contact& after, QString* error) {
            if (after == before)
                return true;
            saved = store.update(entryId, after, &newId, error);
            return saved;
        },
        m_parent);
    dialog.exec();
    if (!saved)
        return Closed;
    entryId = newId;
    return Saved;
}

AddressBookDialogs::Result ContactDialogs::newContact(const QString& storePath)
{
    ContactStore store(storePath);
    bool saved = false;
    ContactDialog dialog(
        ContactDialog::tr("新建联系人"), Contact(),
        [&](const Contact& contact, QString* error) {
            saved = store.add(contact, nullptr, error);
            return saved;
        },
        m_parent);
    dialog.exec();
    return saved ? Saved : Closed;
}
