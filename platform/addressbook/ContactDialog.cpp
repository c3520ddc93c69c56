#include "platform/addressbook/ContactDialog.h"

#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLineEdit* lineEdit(QWidget* parent, const QString& name, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

ContactDialog::ContactDialog(const QString& caption, const Contact& contact, Saver saver, QWidget* parent)
    : QDialog(parent), m_original(contact), m_saver(std::move(saver))
{
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(caption);
    setModal(true);
    auto* tabs = new QTabWidget(this);
    tabs->addTab(createNamePage(), tr("姓名"));
    tabs->addTab(createPhonePage(), tr("电话"));
    tabs->addTab(createAddressPage(), tr("地址"));
    tabs->addTab(createNotesPage(), tr("附注"));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ContactDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ContactDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(480, 420);
}

QString ContactDialog::phoneKindName(PhoneKind kind)
{
    switch (kind) {
    case PhoneKind::Business:
        return tr("商务电话");
    case PhoneKind::Callback:
        return tr("回拨电话");
    case PhoneKind::Home:
        return tr("住宅电话");
    case PhoneKind::Primary:
        return tr("主要电话");
    case PhoneKind::Business2:
        return tr("商务电话 2");
    case PhoneKind::Mobile:
        return tr("移动电话");
    case PhoneKind::Radio:
        return tr("无线电话");
    case PhoneKind::Car:
        return tr("车载电话");
    case PhoneKind::Other:
        return tr("其他电话");
    case PhoneKind::Pager:
        return tr("寻呼机");
    case PhoneKind::Assistant:
        return tr("助理电话");
    case PhoneKind::Home2:
        return tr("住宅电话 2");
    case PhoneKind::CompanyMain:
        return tr("公司总机");
    case PhoneKind::TtyTdd:
        return tr("TTY/TDD 电话");
    }
    return QString();
}

QWidget* ContactDialog::createNamePage()
{
    auto* page = new QWidget;
    m_familyNameEdit = lineEdit(page, QStringLiteral("familyNameEdit"), m_original.familyName);
    m_givenNameEdit = lineEdit(page, QStringLiteral("givenNameEdit"), m_original.givenName);
    m_displayNameEdit = lineEdit(page, QStringLiteral("displayNameEdit"), m_original.displayName);
    m_emailEdit = lineEdit(page, QStringLiteral("emailEdit"), m_original.email);
    m_companyEdit = lineEdit(page, QStringLiteral("companyEdit"), m_original.company);
    m_genderCombo = new QComboBox(page);
    m_genderCombo->setObjectName(QStringLiteral("genderCombo"));
    // Item i stands for the stored gender i - 1 (none, unspecified, female, male).
    m_genderCombo->addItems({QString(), tr("不确定"), tr("女"), tr("男")});
    m_genderCombo->setCurrentIndex(m_original.gender + 1);
    m_birthdayEdit = lineEdit(page, QStringLiteral("birthdayEdit"), m_original.birthday);
    m_birthdayEdit->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));

    auto* form = new QFormLayout(page);
    form->addRow(tr("姓(&L)："), m_familyNameEdit);
    form->addRow(tr("名(&F)："), m_givenNameEdit);
    form->addRow(tr("显示名称(&D)："), m_displayNameEdit);
    form->addRow(tr("电子邮件(&M)："), m_emailEdit);
    form->addRow(tr("公司(&C)："), m_companyEdit);
    form->addRow(tr("性别(&G)："), m_genderCombo);
    form->addRow(tr("生日(&B)："), m_birthdayEdit);
    return page;
}

QWidget* ContactDialog::createPhonePage()
{
    auto* page = new QWidget;
    m_phoneTable = new QTableWidget(0, 2, page);
    m_phoneTable->setObjectName(QStringLiteral("phoneTable"));
    m_phoneTable->setHorizontalHeaderLabels({tr("类型"), tr("号码")});
    m_phoneTable->horizontalHeader()->setStretchLastSection(true);
    m_phoneTable->setColumnWidth(0, 130);
    m_phoneTable->verticalHeader()->hide();
    m_phoneTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (const ContactPhone& phone : m_original.phones)
        addPhoneRow(phone);

    auto* addPhoneButton = new QPushButton(tr("添加号码(&A)"), page);
    addPhoneButton->setObjectName(QStringLiteral("addPhoneButton"));
    auto* removePhoneButton = new QPushButton(tr("删除号码(&R)"), page);
    removePhoneButton->setObjectName(QStringLiteral("removePhoneButton"));
    connect(addPhoneButton, &QPushButton::clicked, this, &ContactDialog::addPhone);
    connect(removePhoneButton, &QPushButton::clicked, this, &ContactDialog::removePhone);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addPhoneButton);
    buttons->addWidget(removePhoneButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_phoneTable);
    layout->addLayout(buttons);
    return page;
}

void ContactDialog::addPhoneRow(const ContactPhone& phone)
{
    const int row = m_phoneTable->rowCount();
    m_phoneTable->insertRow(row);
    auto* kind = new QComboBox(m_phoneTable);
    for (int k = 0; k < PhoneKindCount; ++k)
        kind->addItem(phoneKindName(PhoneKind(k)));
    kind->setCurrentIndex(int(phone.kind));
    m_phoneTable->setCellWidget(row, 0, kind);
    auto* number = new QTableWidgetItem(phone.number);
    number->setData(Qt::UserRole, phone.source);
    m_phoneTable->setItem(row, 1, number);
}

void ContactDialog::addPhone()
{
    addPhoneRow(ContactPhone{PhoneKind::Mobile, QString(), -1});
    const int row = m_phoneTable->rowCount() - 1;
    m_phoneTable->setCurrentCell(row, 1);
    m_phoneTable->editItem(m_phoneTable->item(row, 1));
}

void ContactDialog::removePhone()
{
    const int row = m_phoneTable->currentRow();
    if (row >= 0)
        m_phoneTable->removeRow(row);
}

QWidget* ContactDialog::createAddressGroup(const QString& title, const QString& prefix, const ContactAddress& address,
                                           AddressEdits* edits)
{
    auto* group = new QGroupBox(title);
    edits->street = lineEdit(group, prefix + QStringLiteral("StreetEdit"), address.street);
    edits->city = lineEdit(group, prefix + QStringLiteral("CityEdit"), address.city);
    edits->state = lineEdit(group, prefix + QStringLiteral("StateEdit"), address.state);
    edits->postalCode = lineEdit(group, prefix + QStringLiteral("PostalCodeEdit"), address.postalCode);
    edits->country = lineEdit(group, prefix + QStringLiteral("CountryEdit"), address.country);
    auto* form = new QFormLayout(group);
    form->addRow(tr("街道："), edits->street);
    form->addRow(tr("城市："), edits->city);
    form->addRow(tr("省/自治区："), edits->state);
    form->addRow(tr("邮政编码："), edits->postalCode);
    form->addRow(tr("国家/地区："), edits->country);
    return group;
}

QWidget* ContactDialog::createAddressPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        createAddressGroup(tr("公司地址"), QStringLiteral("business"), m_original.business, &m_business));
    layout->addWidget(createAddressGroup(tr("家庭地址"), QStringLiteral("home"), m_original.home, &m_home));
    return page;
}

QWidget* ContactDialog::createNotesPage()
{
    auto* page = new QWidget;
    m_notesEdit = new QPlainTextEdit(m_original.notes, page);
    m_notesEdit->setObjectName(QStringLiteral("notesEdit"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_notesEdit);
    return page;
}

ContactAddress ContactDialog::addressOf(const AddressEdits& edits)
{
    return ContactAddress{edits.country->text().trimmed(), edits.state->text().trimmed(), edits.city->text().trimmed(),
                          edits.postalCode->text().trimmed(), edits.street->text().trimmed()};
}

Contact ContactDialog::contact() const
{
    Contact contact = m_original;
    contact.familyName = m_familyNameEdit->text().trimmed();
    contact.givenName = m_givenNameEdit->text().trimmed();
    contact.displayName = m_displayNameEdit->text().trimmed();
    contact.email = m_emailEdit->text().trimmed();
    contact.company = m_companyEdit->text().trimmed();
    contact.gender = m_genderCombo->currentIndex() - 1;
    contact.birthday = m_birthdayEdit->text().trimmed();
    contact.business = addressOf(m_business);
    contact.home = addressOf(m_home);
    contact.notes = m_notesEdit->toPlainText();
    contact.phones.clear();
    for (int row = 0; row < m_phoneTable->rowCount(); ++row) {
        const auto* kind = static_cast<QComboBox*>(m_phoneTable->cellWidget(row, 0));
        const QTableWidgetItem* number = m_phoneTable->item(row, 1);
        const QString text = number ? number->text().trimmed() : QString();
        const int source = number ? number->data(Qt::UserRole).toInt() : -1;
        if (!text.isEmpty() || source >= 0)
            contact.phones << ContactPhone{PhoneKind(kind->currentIndex()), text, source};
    }
    if (contact.displayName.isEmpty())
        contact.displayName = ContactMapping::displayNameFor(contact.familyName, contact.givenName);
    return contact;
}

QString ContactDialog::validationError(const Contact& contact) const
{
    if (contact.displayName.isEmpty())
        return tr("请填写联系人的姓名或显示名称。");
    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    // A stored birthday that is no full date (e.g. without a year) may stay as it is.
    if (!contact.birthday.isEmpty() && contact.birthday != m_original.birthday &&
        (!date.match(contact.birthday).hasMatch() ||
         !QDate::fromString(contact.birthday, QStringLiteral("yyyy-MM-dd")).isValid()))
        return tr("生日请按“年-月-日”填写，例如 1980-05-17。");
    return QString();
}

void ContactDialog::accept()
{
    const Contact edited = contact();
    QString error = validationError(edited);
    if (error.isEmpty() && m_saver(edited, &error)) {
        QDialog::accept();
        return;
    }
    MessageBoxes::show({QMessageBox::Warning, tr("错误提示"), error, QMessageBox::Ok, QMessageBox::Ok}, this);
}
