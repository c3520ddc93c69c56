#include "platform/addressbook/ContactsWindow.h"

#include "platform/addressbook/AddressBookDialogs.h"
#include "platform/addressbook/ContactStore.h"
#include "platform/ui/WindowPlacement.h"

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
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(tr("通讯薄"));
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(QStringLiteral("findEdit"));
    m_findEdit->setPlaceholderText(tr("输入姓名或号码查找"));
    m_findEdit->setClearButtonEnabled(true);
    auto* newButton = new QPushButton(tr("新建联系人(&N)"), this);
    newButton->setObjectName(QStringLiteral("newButton"));
    auto* detailsButton = new QPushButton(tr("属性(&R)"), this);
    detailsButton->setObjectName(QStringLiteral("detailsButton"));

    m_contactTable = new QTableWidget(0, 4, this);
    m_contactTable->setObjectName(QStringLiteral("contactTable"));
    m_contactTable->setHorizontalHeaderLabels({tr("姓名"), tr("电话"), tr("公司"), tr("电子邮件")});
    m_contactTable->horizontalHeader()->setStretchLastSection(true);
    m_contactTable->setColumnWidth(0, 110);
    m_contactTable->setColumnWidth(1, 220);
    m_contactTable->setColumnWidth(2, 150);
    m_contactTable->verticalHeader()->hide();
    m_contactTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_contactTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_contactTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_contactTable->setWordWrap(false);
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(m_findEdit, &QLineEdit::textChanged, this, &ContactsWindow::filterRows);
    connect(newButton, &QPushButton::clicked, this, &ContactsWindow::newContact);
    connect(detailsButton, &QPushButton::clicked, this, &ContactsWindow::showDetails);
    connect(m_contactTable, &QTableWidget::cellDoubleClicked, this, &ContactsWindow::showDetails);

    auto* top = new QHBoxLayout;
    auto* findLabel = new QLabel(tr("查找(&F)："), this);
    findLabel->setBuddy(m_findEdit);
    top->addWidget(findLabel);
    top->addWidget(m_findEdit, 1);
    top->addWidget(newButton);
    top->addWidget(detailsButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_contactTable);
    layout->addWidget(m_statusLabel);
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
    m_contactTable->setRowCount(0);
    m_entryIds.clear();
    for (int i = 0; i < store.cards().size(); ++i) {
        const Contact contact = store.contact(i);
        QStringList numbers;
        for (const ContactPhone& phone : contact.phones)
            numbers << phone.number;
        const int row = m_contactTable->rowCount();
        m_contactTable->insertRow(row);
        m_contactTable->setItem(row, 0, new QTableWidgetItem(contact.displayName));
        m_contactTable->setItem(row, 1, new QTableWidgetItem(numbers.join(QStringLiteral(", "))));
        m_contactTable->setItem(row, 2, new QTableWidgetItem(contact.company));
        m_contactTable->setItem(row, 3, new QTableWidgetItem(contact.email));
        m_entryIds << store.entryId(i);
    }
    const QString file = QDir::toNativeSeparators(m_storePath);
    m_statusLabel->setText(read ? tr("共 %1 个联系人　文件：%2").arg(store.cards().size()).arg(file) : error);
    filterRows(m_findEdit->text());
}

void ContactsWindow::filterRows(const QString& text)
{
    const QString wanted = text.trimmed();
    const QString wantedDigits = digitsOf(wanted);
    for (int row = 0; row < m_contactTable->rowCount(); ++row) {
        bool match = wanted.isEmpty();
        for (int column : {0, 2, 3})
            match = match || m_contactTable->item(row, column)->text().contains(wanted, Qt::CaseInsensitive);
        // Numbers are compared by their digits, so "13900001111" finds "139 0000 1111".
        match =
            match || (!wantedDigits.isEmpty() && digitsOf(m_contactTable->item(row, 1)->text()).contains(wantedDigits));
        m_contactTable->setRowHidden(row, !match);
    }
}

void ContactsWindow::newContact()
{
    if (m_dialogs.newContact(m_storePath) == AddressBookDialogs::Saved)
        reload();
}

void ContactsWindow::showDetails()
{
    const int row = m_contactTable->currentRow();
    if (row < 0 || m_contactTable->isRowHidden(row))
        return;
    QByteArray entryId = m_entryIds.at(row);
    if (m_dialogs.details(m_storePath, entryId) == AddressBookDialogs::Saved)
        reload();
}
