#pragma once

#include <QByteArray>
#include <QList>
#include <QWidget>

class AddressBookDialogs;
class QLabel;
class QLineEdit;
class QTableWidget;

// The program's own address-book window: lists every contact of the store, finds them by
// name or number as the user types, and opens the details and new-contact dialogs. The
// list is read again each time the window is shown and after each saved dialog.
class ContactsWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContactsWindow)

public:
    ContactsWindow(QString storePath, AddressBookDialogs& dialogs, QWidget* parent = nullptr);

    void reload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void filterRows(const QString& text);
    void newContact();
    void showDetails();

    QString m_storePath;
    AddressBookDialogs& m_dialogs;
    QList<QByteArray> m_entryIds; // per row of the list
    QLineEdit* m_findEdit = nullptr;
    QTableWidget* m_contactTable = nullptr;
    QLabel* m_statusLabel = nullptr;
};
