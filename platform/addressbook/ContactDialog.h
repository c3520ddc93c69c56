#pragma once

#include "platform/addressbook/Contact.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

// The details of one contact, editable: names, e-mail, company, gender, birthday, the
// telephone numbers with their kinds, the business and home addresses and the notes.
// "确定" saves through the given function and closes only when the save succeeded, so
// that nothing the user typed is lost to a failed write.
class ContactDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContactDialog)

public:
    using Saver = std::function<bool(const Contact& contact, QString* error)>;

    ContactDialog(const QString& caption, const Contact& contact, Saver saver, QWidget* parent = nullptr);

    // The contact as the dialog's fields now hold it.
    Contact contact() const;

    static QString phoneKindName(PhoneKind kind);

public slots:
    void accept() override;

private:
    struct AddressEdits
    {
        QLineEdit* street = nullptr;
        QLineEdit* city = nullptr;
        QLineEdit* state = nullptr;
        QLineEdit* postalCode = nullptr;
        QLineEdit* country = nullptr;
    };

    QWidget* createNamePage();
    QWidget* createPhonePage();
    QWidget* createAddressPage();
    QWidget* createNotesPage();
    QWidget* createAddressGroup(const QString& title, const QString& prefix, const ContactAddress& address,
                                AddressEdits* edits);
    void addPhoneRow(const ContactPhone& phone);
    void addPhone();
    void removePhone();
    static ContactAddress addressOf(const AddressEdits& edits);
    QString validationError(const Contact& contact) const;

    Contact m_original;
    Saver m_saver;
    QLineEdit* m_familyNameEdit = nullptr;
    QLineEdit* m_givenNameEdit = nullptr;
    QLineEdit* m_displayNameEdit = nullptr;
    QLineEdit* m_emailEdit = nullptr;
    QLineEdit* m_companyEdit = nullptr;
    QComboBox* m_genderCombo = nullptr;
    QLineEdit* m_birthdayEdit = nullptr;
    QTableWidget* m_phoneTable = nullptr;
    AddressEdits m_business;
    AddressEdits m_home;
    QPlainTextEdit* m_notesEdit = nullptr;
};
