#include "platform/addressbook/ContactsWindow.h"

#include "platform/addressbook/AddressBookDialogs.h"
#include "platform/addressbook/ContactStore.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString digitsOf(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits += c;
    }
    return digits;
}

} // namespace

ContactsWindow::ContactsWindow(QString storePath, AddressBookDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_storePath(std::move(storePath)), m_dialogs(dialogs)
{
    setWindowTitle(tr("通讯薄"));
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    edtFind->setPlaceholderText(tr("输入姓名或号码查找"));
    edtFind->setClearButtonEnabled(true);
    auto* btnNew = new QPushButton(tr("新建联系人(&N)"), this);
    btnNew->setObjectName(QStringLiteral("btnNew"));
    auto* btnDetails = new QPushButton(tr("属性(&R)"), this);
    btnDetails->setObjectName(QStringLiteral("btnDetails"));

    tblContacts = new QTableWidget(0, 4, this);
    tblContacts->setObjectName(QStringLiteral("tblContacts"));
    tblContacts->setHorizontalHeaderLabels({tr("姓名"), tr("电话"), tr("公司"), tr("电子邮件")});
    tblContacts->horizontalHeader()->setStretchLastSection(true);
    tblContacts->setColumnWidth(0, 110);
    tblContacts->setColumnWidth(1, 220);
    tblContacts->setColumnWidth(2, 150);
    tblContacts->verticalHeader()->hide();
    tblContacts->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblContacts->setSelectionMode(QAbstractItemView::SingleSelection);
    tblContacts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblContacts->setWordWrap(false);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(edtFind, &QLineEdit::textChanged, this, &ContactsWindow::edtFindTextChanged);
    connect(btnNew, &QPushButton::clicked, this, &ContactsWindow::btnNewClick);
    connect(btnDetails, &QPushButton::clicked, this, &ContactsWindow::btnDetailsClick);
    connect(tblContacts, &QTableWidget::cellDoubleClicked, this, &ContactsWindow::btnDetailsClick);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("查找(&F)："), this));
    top->addWidget(edtFind, 1);
    top->addWidget(btnNew);
    top->addWidget(btnDetails);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tblContacts);
    layout->addWidget(lblStatus);
    resize(680, 440);
}

void ContactsWindow::showEvent(QShowEvent* event)
{
    reload();
    QWidget::showEvent(event);
}

void ContactsWindow::reload()
{
    ContactStore store(m_storePath);
    QString error;
    const bool read = store.load(&error);
    tblContacts->setRowCount(0);
    m_entryIds.clear();
    for (int i = 0; i < store.cards().size(); ++i) {
        const Contact contact = store.contact(i);
        QStringList numbers;
        for (const ContactPhone& phone : contact.phones)
            numbers << phone.number;
        const int row = tblContacts->rowCount();
        tblContacts->insertRow(row);
        tblContacts->setItem(row, 0, new QTableWidgetItem(contact.displayName));
        tblContacts->setItem(row, 1, new QTableWidgetItem(numbers.join(QStringLiteral(", "))));
        tblContacts->setItem(row, 2, new QTableWidgetItem(contact.company));
        tblContacts->setItem(row, 3, new QTableWidgetItem(contact.email));
        m_entryIds << store.entryId(i);
    }
    const QString file = QDir::toNativeSeparators(m_storePath);
    lblStatus->setText(read ? tr("共 %1 个联系人　文件：%2").arg(store.cards().size()).arg(file) : error);
    edtFindTextChanged(edtFind->text());
}

void ContactsWindow::edtFindTextChanged(const QString& text)
{
    const QString wanted = text.trimmed();
    const QString wantedDigits = digitsOf(wanted);
    for (int row = 0; row < tblContacts->rowCount(); ++row) {
        bool match = wanted.isEmpty();
        for (int column : {0, 2, 3})
            match = match || tblContacts->item(row, column)->text().contains(wanted, Qt::CaseInsensitive);
        // Numbers are compared by their digits, so "13900001111" finds "139 0000 1111".
        match =
            match || (!wantedDigits.isEmpty() && digitsOf(tblContacts->item(row, 1)->text()).contains(wantedDigits));
        tblContacts->setRowHidden(row, !match);
    }
}

void ContactsWindow::btnNewClick()
{
    if (m_dialogs.newContact(m_storePath) == AddressBookDialogs::Saved)
        reload();
}

void ContactsWindow::btnDetailsClick()
{
    const int row = tblContacts->currentRow();
    if (row < 0 || tblContacts->isRowHidden(row))
        return;
    QByteArray entryId = m_entryIds.at(row);
    if (m_dialogs.details(m_storePath, entryId) == AddressBookDialogs::Saved)
        reload();
}
