#include "setup/DataSourceWizard.h"

#include "lookup/ConnectionString.h"
#include "lookup/DataSourceSettings.h"
#include "lookup/DbError.h"
#include "lookup/NumberIndex.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "setup/ConnectionAttempt.h"
#include "setup/ConnectionDialog.h"
#include "setup/LinkStrings.h"
#include "platform/ui/WindowPlacement.h"
#include "setup/StoredMapping.h"

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

DataSourceWizard::DataSourceWizard(QWidget* parent) : QDialog(parent), m_connecting(new ConnectionAttempt(this))
{
    WindowPlacement::centreWhenShown(this);
    buildForm();
    nameWidgets();
    connectWidgets();
}

DataSourceWizard::~DataSourceWizard() = default;

void DataSourceWizard::buildForm()
{
    setWindowTitle(tr("数据源设置向导"));
    auto* layout = new QVBoxLayout(this);

    // Page 1: the three sources.
    m_sourcePage = new QWidget(this);
    auto* p1 = new QHBoxLayout(m_sourcePage);
    auto* picture = new QLabel(m_sourcePage);
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    p1->addWidget(picture);
    auto* choices = new QVBoxLayout;
    auto* heading = new QLabel(tr("请选择客户资料数据来源..."), m_sourcePage);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    choices->addWidget(heading);
    choices->addWidget(new QLabel(tr("当本系统监听到来电后，取得来电号码。再根据号码查询"), m_sourcePage));
    choices->addWidget(new QLabel(tr("在此指定数据源中的客户资料并显示。"), m_sourcePage));
    m_addressBookRadio = new QRadioButton(tr("本地Windows地址薄。查询Windows附件中的地址薄。(&W)"), m_sourcePage);
    m_externalSourceRadio = new QRadioButton(tr("外部数据源。查询外部系统数据库或数据文件。(&O)"), m_sourcePage);
    m_inventoryRadio = new QRadioButton(tr("晨拓进销存数据源。（本软件作者提供的"), m_sourcePage);
    choices->addSpacing(12);
    choices->addWidget(m_addressBookRadio);
    choices->addWidget(m_externalSourceRadio);
    choices->addWidget(m_inventoryRadio);
    auto* inventoryContinuation = new QLabel(tr("仓库管理软件）(&D)"), m_sourcePage);
    inventoryContinuation->setBuddy(m_inventoryRadio);
    inventoryContinuation->setContentsMargins(22, 0, 0, 0);
    choices->addWidget(inventoryContinuation);
    choices->addStretch();
    p1->addLayout(choices, 1);

    // Page 2: customer table and its fields.
    m_customerTablePage = new QWidget(this);
    auto* p2 = new QVBoxLayout(m_customerTablePage);
    p2->addWidget(whiteHeader(tr("选择数据源"), QString(), m_customerTablePage));
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(new QLabel(tr("选择客户资料表:"), m_customerTablePage));
    m_customerTableCombo = new QComboBox(m_customerTablePage);
    m_customerTableCombo->setEditable(true);
    tableRow->addWidget(m_customerTableCombo, 1);
    m_chooseSourceButton =
        new QPushButton(style()->standardIcon(QStyle::SP_DirOpenIcon), tr("选择数据源"), m_customerTablePage);
    tableRow->addWidget(m_chooseSourceButton);
    p2->addLayout(tableRow);
    auto* gridRow = new QHBoxLayout;
    m_fieldGrid = new QTableWidget(1, 4, m_customerTablePage);
    m_fieldGrid->setHorizontalHeaderLabels({tr("表字段"), tr("查看字段"), tr("电话号码"), tr("映射字段名")});
    const int widths[] = {150, 70, 70, 150};
    for (int c = 0; c < 4; ++c)
        m_fieldGrid->setColumnWidth(c, widths[c]);
    m_fieldGrid->verticalHeader()->hide();
    m_fieldGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fieldGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    gridRow->addWidget(m_fieldGrid, 1);
    auto* moves = new QVBoxLayout;
    m_moveUpButton = new QPushButton(tr("↑"), m_customerTablePage);
    m_moveDownButton = new QPushButton(tr("↓"), m_customerTablePage);
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
    p3->addWidget(whiteHeader(tr("晨拓进销存系统账套选择"), tr("在此选择一个晨拓进销存系统的账套作为你的外部数据源"),
                              m_accountSetPage));
    auto* pathGrid = new QGridLayout;
    pathGrid->addWidget(new QLabel(tr("晨拓进销存安装路径："), m_accountSetPage), 0, 0);
    m_inventoryPathEdit = new QLineEdit(m_accountSetPage);
    m_inventoryPathEdit->setReadOnly(true);
    m_inventoryPathEdit->setBackgroundRole(QPalette::Button);
    pathGrid->addWidget(m_inventoryPathEdit, 0, 1);
    m_choosePathButton = new QPushButton(tr("选择路径"), m_accountSetPage);
    pathGrid->addWidget(m_choosePathButton, 0, 2);
    pathGrid->addWidget(new QLabel(tr("账   套   列   表："), m_accountSetPage), 1, 0, Qt::AlignTop);
    m_accountSetGrid = new QTableWidget(0, 2, m_accountSetPage);
    m_accountSetGrid->setHorizontalHeaderLabels({tr("账套名称"), tr("公司名称")});
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
    m_testAccountSetButton = new QPushButton(tr("测试账套"), m_accountSetPage);
    pathGrid->addWidget(m_testAccountSetButton, 2, 2);
    p3->addLayout(pathGrid, 1);

    // Page 4: business table and how it joins the customer table.
    m_businessTablePage = new QWidget(this);
    auto* p4 = new QVBoxLayout(m_businessTablePage);
    p4->addWidget(whiteHeader(tr("业务信息设置"), tr("请在此配置来电时查看客户相关的业务信息"), m_businessTablePage));
    p4->addWidget(new QLabel(tr("第一步：选择业务表(如出库记录表)"), m_businessTablePage));
    m_businessTableCombo = new QComboBox(m_businessTablePage);
    m_businessTableCombo->setEditable(true);
    p4->addWidget(m_businessTableCombo);
    p4->addWidget(new QLabel(tr("第二步：设置业务表如客户资料表的关联关系"), m_businessTablePage));
    m_joinGrid = new QTableWidget(1, 2, m_businessTablePage);
    m_joinGrid->setHorizontalHeaderLabels({tr("业务表字段"), tr("客户表字段")});
    m_joinGrid->setColumnWidth(0, 200);
    m_joinGrid->setColumnWidth(1, 200);
    m_joinGrid->verticalHeader()->hide();
    m_joinGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_joinGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    p4->addWidget(m_joinGrid, 1);
    m_joinFieldCombo = new QComboBox(m_joinGrid->viewport());
    m_joinFieldCombo->setEditable(true);
    m_joinFieldCombo->hide();
    // How the caller's number will be looked up in the mapped telephone fields.
    m_numberIndexNote = new QLabel(m_businessTablePage);
    m_numberIndexNote->setObjectName(QStringLiteral("numberIndexNote"));
    m_numberIndexNote->setWordWrap(true);
    p4->addWidget(m_numberIndexNote);

    for (QWidget* page : {m_sourcePage, m_customerTablePage, m_accountSetPage, m_businessTablePage})
        layout->addWidget(page, 1);

    auto* buttons = new QHBoxLayout;
    // Says that the chosen source is being reached, on whichever page is in view.
    m_connectionNote = new QLabel(this);
    m_connectionNote->setWordWrap(true);
    buttons->addWidget(m_connectionNote, 1);
    m_prevButton = new QPushButton(tr("< 上一步(&B)"), this);
    m_nextButton = new QPushButton(tr("下一步(&N) >"), this);
    m_finishButton = new QPushButton(tr("完成(&F)"), this);
    m_cancelButton = new QPushButton(tr("取消(&C)"), this);
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
        {m_connectionNote, "connectionNote"},
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
    connect(m_connecting, &ConnectionAttempt::finished, this, &DataSourceWizard::sourceReached);
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
    showPage(1, false, true);
    fillFieldGrid();
    fillJoinGrid();

    // An inventory product installed in "Store" beside the program's folder is listed at once.
    const QString store = ProgramFolder::path() + QStringLiteral("../Store/");
    if (QFileInfo::exists(InventoryLink::loginDbFile(store)))
        openInventoryFolder(store);
    else
        m_inventoryPathEdit->clear();
    openSettingsInUse();
}

void DataSourceWizard::openSettingsInUse()
{
    const DataSourceSettings settings = DataSourceSettings::read(ProgramFolder::file(QStringLiteral("Vornx.ini")));
    m_connectString.clear();
    if (settings.queryType == 2) {
        m_externalSourceRadio->setChecked(true);
        showPage(1, false, false);
        m_connectString = settings.connectString;
        if (m_connectionDialog)
            m_connectionDialog->showConnection(m_connectString);
        openSource(StoredMapping::parse(settings.customerSql, settings.businessSql, settings.labels));
    } else if (settings.queryType == 3) {
        m_inventoryRadio->setChecked(true);
        showPage(1, false, false);
        showAccountSet(settings.connectString);
    } else {
        m_addressBookRadio->setChecked(true);
    }
}

void DataSourceWizard::showAccountSet(const QString& connectString)
{
    QString file;
    try {
        file = ConnectionString::parse(connectString).dataSource();
    } catch (const DbError&) {
        return;
    }
    for (int r = 0; r < m_accountSets.size(); ++r) {
        if (m_accountSets.at(r).path == file) {
            m_accountSetGrid->setCurrentCell(r, 0);
            return;
        }
    }
    // Installed elsewhere than beside the program: the account set stays chosen all the same.
    m_accountFileEdit->setText(file);
}

void DataSourceWizard::done(int result)
{
    releaseSource();
    QDialog::done(result);
}

void DataSourceWizard::releaseSource()
{
    m_connecting->cancel();
    m_connectionNote->clear();
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
    else if (m_page == 2 && m_externalSourceRadio->isChecked()) {
        m_numberIndexNote->setText(NumberIndex::describe(m_mapping.build(QString()).customerSql));
        showPage(4, true, true);
    }
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
    if (!m_connectionDialog) {
        m_connectionDialog = new ConnectionDialog(this);
        m_connectionDialog->showConnection(m_connectString);
    }
    m_connectionDialog->exec();
    const QString link = m_connectionDialog->linkString();
    if (link.isEmpty())
        return;
    // The string is kept even when the source cannot be opened now; Finish writes it.
    m_connectString = link;
    openSource(StoredMapping());
}

void DataSourceWizard::openSource(const StoredMapping& stored)
{
    m_connecting->cancel();
    m_connectionNote->clear();
    if (!ConnectionAttempt::reachesServer(m_connectString)) {
        listSource(stored);
        return;
    }
    m_connectionNote->setText(tr("正在连接数据源…"));
    // The wizard's own connection is opened only once the server answered, which is then quick.
    m_reachingMapping = stored;
    m_connecting->start(m_connectString);
}

void DataSourceWizard::sourceReached(SourceCatalog::TestResult result, const QString& error)
{
    if (result != SourceCatalog::TestResult::Connected) {
        m_connectionNote->setText(tr("连接数据源失败：%1").arg(error));
        return;
    }
    m_connectionNote->clear();
    listSource(m_reachingMapping);
}

void DataSourceWizard::listSource(const StoredMapping& stored)
{
    // A source that cannot be opened or listed leaves the lists as they were.
    if (!m_catalog.open(m_connectString))
        return;
    QStringList tables;
    if (!m_catalog.listTables(&tables))
        return;
    // Names as the database spells them; a stored one it does not list stays as typed.
    auto choose = [](QComboBox* combo, const QString& table) {
        const int index = combo->findText(table, Qt::MatchFixedString);
        if (index >= 0)
            combo->setCurrentIndex(index);
        else
            combo->setCurrentText(table);
    };
    m_filling = true;
    m_customerTableCombo->clear();
    m_customerTableCombo->addItems(tables);
    if (stored.customerTable.isEmpty())
        m_customerTableCombo->setCurrentIndex(tables.isEmpty() ? -1 : 0);
    else
        choose(m_customerTableCombo, stored.customerTable);
    m_businessTableCombo->clear();
    m_businessTableCombo->addItems(tables);
    m_businessTableCombo->setCurrentIndex(-1);
    if (!stored.businessTable.isEmpty())
        choose(m_businessTableCombo, stored.businessTable);
    m_filling = false;
    customerTableChanged();
    // The joins listed are those of the table the combo box names, none when it names none.
    const QString businessTable = m_businessTableCombo->currentText();
    m_mapping.setBusinessTable(businessTable, m_catalog.fields(businessTable));
    m_mapping.restore(stored);
    fillFieldGrid();
    fillJoinGrid();
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
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("选择晨拓进销存管理系统安装路径"), m_inventoryPathEdit->text());
    if (folder.isEmpty()) {
        ShowInfoBox(tr("没有选中路径！"));
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
        ShowWarningBox(tr("路径错,请重新选择晨拓进销存安装路径!"));
        return;
    case InventoryAccounts::ReadResult::Damaged:
        fillAccountGrid();
        ShowWarningBox(tr("晨拓进销存数据库可能被破坏!") + error);
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
        ShowInfoBox(tr("没有选择账套,请在列表框内选择!"));
        break;
    case InventoryAccounts::Check::Missing:
        ShowWarningBox(tr("无效账套,请重新选择!"));
        break;
    case InventoryAccounts::Check::Valid:
        ShowInfoBox(tr("有效账套!"));
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
            ShowInfoBox(tr("没有选择账套,请在列表框内选择!"));
            return;
        }
        writer.startFrom(ProgramFolder::file(QStringLiteral("Orvel.ini")));
        writer.writeConnectString(InventoryLink::accountSetString(m_accountFileEdit->text()));
    } else {
        const ExternalSource source = m_mapping.build(m_businessTableCombo->currentText());
        if (!source.complete) {
            ShowInfoBox(tr("请正确指定电话号码字段与查看字段！"));
            return;
        }
        writer.startFrom();
        writer.writeExternalSource(m_connectString, source.customerSql, source.businessSql, source.labels);
    }
    QString error;
    if (!writer.commit(&error)) {
        // The old settings are still in place; saying "done" here would hide that.
        ShowWarningBox(tr("设置保存失败：") + error);
        return;
    }
    ShowInfoBox(tr("设置成功！新设置从下一次来电起生效。"));
    accept();
}
