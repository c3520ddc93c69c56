#include "setup/DataSourceWizard.h"

#include "lookup/DataSourceSettings.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "setup/ConnectionDialog.h"
#include "setup/LinkStrings.h"
#include "platform/ui/WindowPlacement.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableWidget>

namespace {

// The mark of the "查看字段" and "电话号码" columns.
QIcon markIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    return QIcon(pixmap);
}

QWidget* whiteHeader(const QString& title, const QString& line, QWidget* parent)
{
    auto* header = new QWidget(parent);
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, Qt::white);
    header->setPalette(palette);
    auto* layout = new QVBoxLayout(header);
    auto* label = new QLabel(title, header);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    layout->addWidget(label);
    if (!line.isEmpty())
        layout->addWidget(new QLabel(line, header));
    return header;
}

QTableWidgetItem* cell(const QString& text, bool editable, bool hint)
{
    auto* item = new QTableWidgetItem(text);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable)
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    if (hint)
        item->setBackground(QPalette().brush(QPalette::ToolTipBase));
    return item;
}

} // namespace

DataSourceWizard::DataSourceWizard(QWidget* parent) : QDialog(parent)
{
    WindowPlacement::centreWhenShown(this);
    buildForm();
    nameWidgets();
    connectWidgets();
}

DataSourceWizard::~DataSourceWizard() = default;

void DataSourceWizard::buildForm()
{
    setWindowTitle(QStringLiteral("数据源设置向导"));
    auto* layout = new QVBoxLayout(this);

    // Page 1: the three sources.
    m_sourcePage = new QWidget(this);
    auto* p1 = new QHBoxLayout(m_sourcePage);
    auto* picture = new QLabel(m_sourcePage);
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    p1->addWidget(picture);
    auto* choices = new QVBoxLayout;
    auto* heading = new QLabel(QStringLiteral("请选择客户资料数据来源..."), m_sourcePage);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    choices->addWidget(heading);
    choices->addWidget(new QLabel(QStringLiteral("当本系统监听到来电后，取得来电号码。再根据号码查询"), m_sourcePage));
    choices->addWidget(new QLabel(QStringLiteral("在此指定数据源中的客户资料并显示。"), m_sourcePage));
    m_addressBookRadio =
        new QRadioButton(QStringLiteral("本地Windows地址薄。查询Windows附件中的地址薄。(&W)"), m_sourcePage);
    m_externalSourceRadio =
        new QRadioButton(QStringLiteral("外部数据源。查询外部系统数据库或数据文件。(&O)"), m_sourcePage);
    m_inventoryRadio = new QRadioButton(QStringLiteral("晨拓进销存数据源。（本软件作者提供的"), m_sourcePage);
    choices->addSpacing(12);
    choices->addWidget(m_addressBookRadio);
    choices->addWidget(m_externalSourceRadio);
    choices->addWidget(m_inventoryRadio);
    auto* inventoryContinuation = new QLabel(QStringLiteral("仓库管理软件）(&D)"), m_sourcePage);
    inventoryContinuation->setBuddy(m_inventoryRadio);
    inventoryContinuation->setContentsMargins(22, 0, 0, 0);
    choices->addWidget(inventoryContinuation);
    choices->addStretch();
    p1->addLayout(choices, 1);

    // Page 2: customer table and its fields.
    m_customerTablePage = new QWidget(this);
    auto* p2 = new QVBoxLayout(m_customerTablePage);
    p2->addWidget(whiteHeader(QStringLiteral("选择数据源"), QString(), m_customerTablePage));
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(new QLabel(QStringLiteral("选择客户资料表:"), m_customerTablePage));
    m_customerTableCombo = new QComboBox(m_customerTablePage);
    m_customerTableCombo->setEditable(true);
    tableRow->addWidget(m_customerTableCombo, 1);
    m_chooseSourceButton = new QPushButton(style()->standardIcon(QStyle::SP_DirOpenIcon), QStringLiteral("选择数据源"),
                                           m_customerTablePage);
    tableRow->addWidget(m_chooseSourceButton);
    p2->addLayout(tableRow);
    auto* gridRow = new QHBoxLayout;
    m_fieldGrid = new QTableWidget(1, 4, m_customerTablePage);
    m_fieldGrid->setHorizontalHeaderLabels({QStringLiteral("表字段"), QStringLiteral("查看字段"),
                                            QStringLiteral("电话号码"), QStringLiteral("映射字段名")});
    const int widths[] = {150, 70, 70, 150};
    for (int c = 0; c < 4; ++c)
        m_fieldGrid->setColumnWidth(c, widths[c]);
    m_fieldGrid->verticalHeader()->hide();
    m_fieldGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fieldGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    gridRow->addWidget(m_fieldGrid, 1);
    auto* moves = new QVBoxLayout;
    m_moveUpButton = new QPushButton(QStringLiteral("↑"), m_customerTablePage);
    m_moveDownButton = new QPushButton(QStringLiteral("↓"), m_customerTablePage);
    for (QPushButton* b : {m_moveUpButton, m_moveDownButton}) {
        b->setFixedWidth(32);
        moves->addWidget(b);
    }
    moves->addStretch();
    gridRow->addLayout(moves);
    p2->addLayout(gridRow, 1);

    // Page 3: an account set of the inventory product.
    m_accountSetPage = new QWidget(this);
    auto* p3 = new QVBoxLayout(m_accountSetPage);
    p3->addWidget(whiteHeader(QStringLiteral("晨拓进销存系统账套选择"),
                              QStringLiteral("在此选择一个晨拓进销存系统的账套作为你的外部数据源"), m_accountSetPage));
    auto* pathGrid = new QGridLayout;
    pathGrid->addWidget(new QLabel(QStringLiteral("晨拓进销存安装路径："), m_accountSetPage), 0, 0);
    m_inventoryPathEdit = new QLineEdit(m_accountSetPage);
    m_inventoryPathEdit->setReadOnly(true);
    m_inventoryPathEdit->setBackgroundRole(QPalette::Button);
    pathGrid->addWidget(m_inventoryPathEdit, 0, 1);
    m_choosePathButton = new QPushButton(QStringLiteral("选择路径"), m_accountSetPage);
    pathGrid->addWidget(m_choosePathButton, 0, 2);
    pathGrid->addWidget(new QLabel(QStringLiteral("账   套   列   表："), m_accountSetPage), 1, 0, Qt::AlignTop);
    m_accountSetGrid = new QTableWidget(0, 2, m_accountSetPage);
    m_accountSetGrid->setHorizontalHeaderLabels({QStringLiteral("账套名称"), QStringLiteral("公司名称")});
    m_accountSetGrid->setColumnWidth(0, 100);
    m_accountSetGrid->setColumnWidth(1, 150);
    m_accountSetGrid->verticalHeader()->hide();
    m_accountSetGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_accountSetGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_accountSetGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    pathGrid->addWidget(m_accountSetGrid, 1, 1, 1, 2);
    m_accountFileEdit = new QLineEdit(m_accountSetPage);
    m_accountFileEdit->setReadOnly(true);
    m_accountFileEdit->setBackgroundRole(QPalette::Button);
    pathGrid->addWidget(m_accountFileEdit, 2, 1);
    m_testAccountSetButton = new QPushButton(QStringLiteral("测试账套"), m_accountSetPage);
    pathGrid->addWidget(m_testAccountSetButton, 2, 2);
    p3->addLayout(pathGrid, 1);

    // Page 4: business table and how it joins the customer table.
    m_businessTablePage = new QWidget(this);
    auto* p4 = new QVBoxLayout(m_businessTablePage);
    p4->addWidget(whiteHeader(QStringLiteral("业务信息设置"), QStringLiteral("请在此配置来电时查看客户相关的业务信息"),
                              m_businessTablePage));
    p4->addWidget(new QLabel(QStringLiteral("第一步：选择业务表(如出库记录表)"), m_businessTablePage));
    m_businessTableCombo = new QComboBox(m_businessTablePage);
    m_businessTableCombo->setEditable(true);
    p4->addWidget(m_businessTableCombo);
    p4->addWidget(new QLabel(QStringLiteral("第二步：设置业务表如客户资料表的关联关系"), m_businessTablePage));
    m_joinGrid = new QTableWidget(1, 2, m_businessTablePage);
    m_joinGrid->setHorizontalHeaderLabels({QStringLiteral("业务表字段"), QStringLiteral("客户表字段")});
    m_joinGrid->setColumnWidth(0, 200);
    m_joinGrid->setColumnWidth(1, 200);
    m_joinGrid->verticalHeader()->hide();
    m_joinGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_joinGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    p4->addWidget(m_joinGrid, 1);
    m_joinFieldCombo = new QComboBox(m_joinGrid->viewport());
    m_joinFieldCombo->setEditable(true);
    m_joinFieldCombo->hide();

    for (QWidget* page : {m_sourcePage, m_customerTablePage, m_accountSetPage, m_businessTablePage})
        layout->addWidget(page, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_prevButton = new QPushButton(QStringLiteral("< 上一步(&B)"), this);
    m_nextButton = new QPushButton(QStringLiteral("下一步(&N) >"), this);
    m_finishButton = new QPushButton(QStringLiteral("完成(&F)"), this);
    m_cancelButton = new QPushButton(QStringLiteral("取消(&C)"), this);
    for (QPushButton* b : {m_prevButton, m_nextButton, m_finishButton, m_cancelButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    // Only one page is ever in view, so the dialog keeps the size of one page.
    showPage(1, false, true);
    setFixedSize(600, 460);
}

void DataSourceWizard::nameWidgets()
{
    // Each widget is named as its member, for tests that reach it with findChild.
    const std::pair<QWidget*, const char*> named[] = {
        {m_sourcePage, "sourcePage"},
        {m_customerTablePage, "customerTablePage"},
        {m_accountSetPage, "accountSetPage"},
        {m_businessTablePage, "businessTablePage"},
        {m_addressBookRadio, "addressBookRadio"},
        {m_externalSourceRadio, "externalSourceRadio"},
        {m_inventoryRadio, "inventoryRadio"},
        {m_customerTableCombo, "customerTableCombo"},
        {m_chooseSourceButton, "chooseSourceButton"},
        {m_fieldGrid, "fieldGrid"},
        {m_moveUpButton, "moveUpButton"},
        {m_moveDownButton, "moveDownButton"},
        {m_inventoryPathEdit, "inventoryPathEdit"},
        {m_choosePathButton, "choosePathButton"},
        {m_accountSetGrid, "accountSetGrid"},
        {m_accountFileEdit, "accountFileEdit"},
        {m_testAccountSetButton, "testAccountSetButton"},
        {m_businessTableCombo, "businessTableCombo"},
        {m_joinGrid, "joinGrid"},
        {m_joinFieldCombo, "joinFieldCombo"},
        {m_prevButton, "prevButton"},
        {m_nextButton, "nextButton"},
        {m_finishButton, "finishButton"},
        {m_cancelButton, "cancelButton"},
    };
    for (const auto& [widget, name] : named)
        widget->setObjectName(QLatin1String(name));
}

void DataSourceWizard::connectWidgets()
{
    connect(m_addressBookRadio, &QRadioButton::clicked, this, [this] { showPage(1, false, true); });
    connect(m_externalSourceRadio, &QRadioButton::clicked, this, [this] { showPage(1, false, false); });
    connect(m_inventoryRadio, &QRadioButton::clicked, this, [this] { showPage(1, false, false); });
    connect(m_nextButton, &QPushButton::clicked, this, &DataSourceWizard::nextPage);
    connect(m_prevButton, &QPushButton::clicked, this, &DataSourceWizard::previousPage);
    connect(m_finishButton, &QPushButton::clicked, this, &DataSourceWizard::finish);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_chooseSourceButton, &QPushButton::clicked, this, &DataSourceWizard::chooseSource);
    connect(m_customerTableCombo, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling)
            customerTableChanged();
    });
    connect(m_businessTableCombo, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling)
            businessTableChanged();
    });
    connect(m_joinFieldCombo, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling)
            joinFieldChosen();
    });
    connect(m_fieldGrid, &QTableWidget::cellClicked, this, &DataSourceWizard::toggleFieldMark);
    connect(m_fieldGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        // A typed caption belongs to its field and moves with it.
        if (!m_filling && item->column() == 3)
            m_mapping.setCaption(item->row(), item->text());
    });
    connect(m_moveUpButton, &QPushButton::clicked, this, [this] { moveField(-1); });
    connect(m_moveDownButton, &QPushButton::clicked, this, [this] { moveField(+1); });
    connect(m_joinGrid, &QTableWidget::cellClicked, this, &DataSourceWizard::editJoin);
    connect(m_choosePathButton, &QPushButton::clicked, this, &DataSourceWizard::choosePath);
    connect(m_testAccountSetButton, &QPushButton::clicked, this, &DataSourceWizard::testAccountSet);
    connect(m_accountSetGrid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (m_filling || row < 0 || row >= m_accountSets.size())
            return;
        m_accountFileEdit->setText(m_accountSets.at(row).path);
    });
}

void DataSourceWizard::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        reset();
    QDialog::showEvent(event);
}

void DataSourceWizard::reset()
{
    m_mapping.clear();
    m_addressBookRadio->setChecked(true);
    showPage(1, false, true);
    fillFieldGrid();
    fillJoinGrid();

    // An inventory product installed in "Store" beside the program's folder is listed at once.
    const QString store = ProgramFolder::path() + QStringLiteral("../Store/");
    if (QFileInfo::exists(InventoryLink::loginDbFile(store)))
        openInventoryFolder(store);
    else
        m_inventoryPathEdit->clear();
}

void DataSourceWizard::done(int result)
{
    releaseSource();
    QDialog::done(result);
}

void DataSourceWizard::releaseSource()
{
    m_catalog.close();
    m_filling = true;
    m_customerTableCombo->clear();
    m_businessTableCombo->clear();
    m_joinFieldCombo->clear();
    m_joinFieldCombo->hide();
    m_filling = false;
    m_mapping.clear();
}

void DataSourceWizard::showPage(int page, bool prevEnabled, bool finishShown)
{
    m_page = page;
    QWidget* const pages[] = {m_sourcePage, m_customerTablePage, m_accountSetPage, m_businessTablePage};
    for (int i = 0; i < 4; ++i)
        pages[i]->setVisible(i + 1 == page);
    m_prevButton->setEnabled(prevEnabled);
    m_nextButton->setVisible(!finishShown);
    m_finishButton->setVisible(finishShown);
    (finishShown ? m_finishButton : m_nextButton)->setDefault(true);
    (finishShown ? m_nextButton : m_finishButton)->setDefault(false);
}

void DataSourceWizard::nextPage()
{
    if (m_page == 1 && m_externalSourceRadio->isChecked())
        showPage(2, true, false);
    else if (m_page == 1 && m_inventoryRadio->isChecked())
        showPage(3, true, true);
    else if (m_page == 2 && m_externalSourceRadio->isChecked())
        showPage(4, true, true);
}

void DataSourceWizard::previousPage()
{
    if (m_page == 2 || m_page == 3)
        showPage(1, false, false);
    else if (m_page == 4)
        showPage(2, true, false);
}

void DataSourceWizard::chooseSource()
{
    if (!m_connectionDialog)
        m_connectionDialog = new ConnectionDialog(this);
    m_connectionDialog->exec();
    const QString link = m_connectionDialog->linkString();
    if (link.isEmpty())
        return;
    // The string is kept even when the source cannot be opened now; Finish writes it.
    m_connectString = link;
    // A source that cannot be opened or listed leaves the lists as they were.
    if (!m_catalog.open(m_connectString))
        return;
    QStringList tables;
    if (!m_catalog.listTables(&tables))
        return;
    m_filling = true;
    m_customerTableCombo->clear();
    m_customerTableCombo->addItems(tables);
    m_customerTableCombo->setCurrentIndex(tables.isEmpty() ? -1 : 0);
    m_filling = false;
    customerTableChanged();
    m_filling = true;
    m_businessTableCombo->clear();
    m_businessTableCombo->addItems(tables);
    m_businessTableCombo->setCurrentIndex(-1);
    m_joinFieldCombo->clear();
    m_joinFieldCombo->addItems(m_catalog.fields(m_customerTableCombo->currentText()));
    m_filling = false;
}

void DataSourceWizard::customerTableChanged()
{
    const QString table = m_customerTableCombo->currentText();
    if (!m_catalog.isOpen() || table.isEmpty())
        return;
    // A typed name that is not a table gives no fields.
    const QStringList fields = m_catalog.fields(table);
    m_filling = true;
    m_joinFieldCombo->clear();
    m_joinFieldCombo->addItems(fields);
    m_filling = false;
    m_mapping.setCustomerTable(table, fields);
    fillFieldGrid();
}

void DataSourceWizard::businessTableChanged()
{
    const QString table = m_businessTableCombo->currentText();
    if (!m_catalog.isOpen() || table.isEmpty())
        return;
    m_mapping.setBusinessTable(table, m_catalog.fields(table));
    m_joinFieldCombo->hide();
    fillJoinGrid();
}

void DataSourceWizard::fillFieldGrid()
{
    m_filling = true;
    static const QIcon mark = markIcon();
    const QList<CustomerField>& fields = m_mapping.customerFields();
    m_fieldGrid->setRowCount(std::max<int>(int(fields.size()), 1));
    for (int r = 0; r < m_fieldGrid->rowCount(); ++r) {
        const CustomerField* field = r < fields.size() ? &fields.at(r) : nullptr;
        m_fieldGrid->setItem(r, 0, cell(field ? field->name : QString(), false, true));
        auto* shown = cell(QString(), false, false);
        auto* phone = cell(QString(), false, false);
        if (field && field->shown)
            shown->setIcon(mark);
        if (field && field->phone)
            phone->setIcon(mark);
        m_fieldGrid->setItem(r, 1, shown);
        m_fieldGrid->setItem(r, 2, phone);
        m_fieldGrid->setItem(r, 3, cell(field ? field->caption : QString(), field != nullptr, false));
    }
    m_filling = false;
}

void DataSourceWizard::fillJoinGrid()
{
    const QList<BusinessField>& fields = m_mapping.businessFields();
    m_joinGrid->setRowCount(std::max<int>(int(fields.size()), 1));
    for (int r = 0; r < m_joinGrid->rowCount(); ++r) {
        const BusinessField* field = r < fields.size() ? &fields.at(r) : nullptr;
        m_joinGrid->setItem(r, 0, cell(field ? field->name : QString(), false, true));
        m_joinGrid->setItem(r, 1, cell(field ? field->customerField : QString(), false, false));
    }
}

void DataSourceWizard::toggleFieldMark(int row, int column)
{
    const bool changed = column == 1 ? m_mapping.toggleShown(row) : column == 2 && m_mapping.togglePhone(row);
    if (changed)
        fillFieldGrid();
}

void DataSourceWizard::moveField(int step)
{
    const int row = m_fieldGrid->currentRow();
    const int moved = step < 0 ? m_mapping.moveUp(row) : m_mapping.moveDown(row);
    if (moved == row)
        return;
    fillFieldGrid();
    // The selection follows the moved field, so pressing again moves it further.
    m_fieldGrid->setCurrentCell(moved, std::max(m_fieldGrid->currentColumn(), 0));
}

void DataSourceWizard::editJoin(int row, int column)
{
    const QList<BusinessField>& fields = m_mapping.businessFields();
    if (row < 0 || row >= fields.size() || column != 1) {
        m_joinFieldCombo->hide();
        return;
    }
    m_filling = true;
    m_joinFieldCombo->setCurrentText(fields.at(row).customerField);
    m_filling = false;
    placeJoinFieldCombo();
}

void DataSourceWizard::placeJoinFieldCombo()
{
    const QRect rect = m_joinGrid->visualRect(m_joinGrid->model()->index(m_joinGrid->currentRow(), 1));
    if (!rect.isValid()) {
        m_joinFieldCombo->hide();
        return;
    }
    m_joinFieldCombo->setGeometry(rect);
    m_joinFieldCombo->show();
    m_joinFieldCombo->setFocus();
}

void DataSourceWizard::joinFieldChosen()
{
    const int r = m_joinGrid->currentRow();
    if (m_joinGrid->currentColumn() != 1 || !m_mapping.setJoin(r, m_joinFieldCombo->currentText()))
        return;
    m_joinGrid->item(r, 1)->setText(m_mapping.businessFields().at(r).customerField);
}

void DataSourceWizard::choosePath()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("选择晨拓进销存管理系统安装路径"),
                                                             m_inventoryPathEdit->text());
    if (folder.isEmpty()) {
        ShowInfoBox(QStringLiteral("没有选中路径！"));
        return;
    }
    openInventoryFolder(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

void DataSourceWizard::openInventoryFolder(const QString& folder)
{
    m_inventoryPathEdit->setText(folder);
    listAccountSets();
}

void DataSourceWizard::listAccountSets()
{
    QString error;
    QList<AccountSet> sets;
    const InventoryAccounts::ReadResult read = InventoryAccounts::read(m_inventoryPathEdit->text(), &sets, &error);
    if (read != InventoryAccounts::ReadResult::NoLoginDb)
        m_accountSets = sets;
    switch (read) {
    case InventoryAccounts::ReadResult::NoLoginDb:
        // Not an installation: the account sets listed before stay as they are.
        ShowWarningBox(QStringLiteral("路径错,请重新选择晨拓进销存安装路径!"));
        return;
    case InventoryAccounts::ReadResult::Damaged:
        fillAccountGrid();
        ShowWarningBox(QStringLiteral("晨拓进销存数据库可能被破坏!") + error);
        return;
    case InventoryAccounts::ReadResult::Listed:
        fillAccountGrid();
        return;
    }
}

void DataSourceWizard::fillAccountGrid()
{
    m_filling = true;
    m_accountSetGrid->setRowCount(int(m_accountSets.size()));
    for (int r = 0; r < m_accountSets.size(); ++r) {
        m_accountSetGrid->setItem(r, 0, cell(m_accountSets.at(r).name, false, false));
        m_accountSetGrid->setItem(r, 1, cell(m_accountSets.at(r).company, false, false));
    }
    m_filling = false;
    m_accountFileEdit->clear();
    if (!m_accountSets.isEmpty()) {
        m_accountSetGrid->setCurrentCell(0, 0);
        m_accountFileEdit->setText(m_accountSets.first().path);
    }
}

void DataSourceWizard::testAccountSet()
{
    switch (InventoryAccounts::check(m_accountFileEdit->text())) {
    case InventoryAccounts::Check::NoneChosen:
        ShowInfoBox(QStringLiteral("没有选择账套,请在列表框内选择!"));
        break;
    case InventoryAccounts::Check::Missing:
        ShowWarningBox(QStringLiteral("无效账套,请重新选择!"));
        break;
    case InventoryAccounts::Check::Valid:
        ShowInfoBox(QStringLiteral("有效账套!"));
        break;
    }
}

void DataSourceWizard::finish()
{
    DataSourceWriter writer(ProgramFolder::path());
    if (m_addressBookRadio->isChecked()) {
        writer.startFrom();
        writer.writeQueryType(1);
    } else if (m_inventoryRadio->isChecked()) {
        // A link without an account set would connect to nothing at every call.
        if (m_accountFileEdit->text().trimmed().isEmpty()) {
            ShowInfoBox(QStringLiteral("没有选择账套,请在列表框内选择!"));
            return;
        }
        writer.startFrom(ProgramFolder::file(QStringLiteral("Orvel.ini")));
        writer.writeConnectString(InventoryLink::accountSetString(m_accountFileEdit->text()));
    } else {
        const ExternalSource source = m_mapping.build(m_businessTableCombo->currentText());
        if (!source.complete) {
            ShowInfoBox(QStringLiteral("请正确指定电话号码字段与查看字段！"));
            return;
        }
        writer.startFrom();
        writer.writeExternalSource(m_connectString, source.customerSql, source.businessSql, source.labels);
    }
    QString error;
    if (!writer.commit(&error)) {
        // The old settings are still in place; saying "done" here would hide that.
        ShowWarningBox(QStringLiteral("设置保存失败：") + error);
        return;
    }
    ShowInfoBox(QStringLiteral("设置成功！重新启动程序设置生效！"));
    accept();
}
