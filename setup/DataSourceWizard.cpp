#include "setup/DataSourceWizard.h"

#include "platform/Error.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "lookup/DataSourceSettings.h"
#include "setup/ConnectionDialog.h"
#include "setup/LinkStrings.h"

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

DataSourceWizard* DatabaseDlg = nullptr;

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

DataSourceWizard::DataSourceWizard(QWidget* parent)
    : QDialog(parent)
    , ADOTable1(&ADOConnection2)
{
    buildForm();
}

DataSourceWizard::~DataSourceWizard()
{
    if (DatabaseDlg == this)
        DatabaseDlg = nullptr;
}

void ShowDatabaseDlg(QWidget* parent)
{
    if (!DatabaseDlg)
        DatabaseDlg = new DataSourceWizard(parent);
    DatabaseDlg->exec();
}

void DataSourceWizard::buildForm()
{
    setWindowTitle(QStringLiteral("数据源设置向导"));
    auto* layout = new QVBoxLayout(this);

    // Page 1: the three sources.
    Panel3 = new QWidget(this);
    auto* p1 = new QHBoxLayout(Panel3);
    auto* picture = new QLabel(Panel3);
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    p1->addWidget(picture);
    auto* choices = new QVBoxLayout;
    auto* heading = new QLabel(QStringLiteral("请选择客户资料数据来源..."), Panel3);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    choices->addWidget(heading);
    choices->addWidget(new QLabel(QStringLiteral("当本系统监听到来电后，取得来电号码。再根据号码查询"), Panel3));
    choices->addWidget(new QLabel(QStringLiteral("在此指定数据源中的客户资料并显示。"), Panel3));
    RadioButton1 = new QRadioButton(QStringLiteral("本地Windows地址薄。查询Windows附件中的地址薄。(&W)"), Panel3);
    RadioButton2 = new QRadioButton(QStringLiteral("外部数据源。查询外部系统数据库或数据文件。(&O)"), Panel3);
    RadioButton3 = new QRadioButton(QStringLiteral("晨拓进销存数据源。（本软件作者提供的"), Panel3);
    choices->addSpacing(12);
    choices->addWidget(RadioButton1);
    choices->addWidget(RadioButton2);
    choices->addWidget(RadioButton3);
    auto* label6 = new QLabel(QStringLiteral("仓库管理软件）(&D)"), Panel3);
    label6->setBuddy(RadioButton3);
    label6->setContentsMargins(22, 0, 0, 0);
    choices->addWidget(label6);
    choices->addStretch();
    p1->addLayout(choices, 1);

    // Page 2: customer table and its fields.
    Panel4 = new QWidget(this);
    auto* p2 = new QVBoxLayout(Panel4);
    p2->addWidget(whiteHeader(QStringLiteral("选择数据源"), QString(), Panel4));
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(new QLabel(QStringLiteral("选择客户资料表:"), Panel4));
    ComboBox1 = new QComboBox(Panel4);
    ComboBox1->setEditable(true);
    tableRow->addWidget(ComboBox1, 1);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DirOpenIcon), QStringLiteral("选择数据源"), Panel4);
    tableRow->addWidget(BitBtn1);
    p2->addLayout(tableRow);
    auto* gridRow = new QHBoxLayout;
    StringGrid1 = new QTableWidget(1, 4, Panel4);
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("表字段"), QStringLiteral("查看字段"), QStringLiteral("电话号码"),
                                            QStringLiteral("映射字段名")});
    const int widths[] = {150, 70, 70, 150};
    for (int c = 0; c < 4; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    gridRow->addWidget(StringGrid1, 1);
    auto* moves = new QVBoxLayout;
    btnUp = new QPushButton(QStringLiteral("↑"), Panel4);
    btnDown = new QPushButton(QStringLiteral("↓"), Panel4);
    for (QPushButton* b : {btnUp, btnDown}) {
        b->setFixedWidth(32);
        moves->addWidget(b);
    }
    moves->addStretch();
    gridRow->addLayout(moves);
    p2->addLayout(gridRow, 1);

    // Page 3: an account set of the inventory product.
    Panel6 = new QWidget(this);
    auto* p3 = new QVBoxLayout(Panel6);
    p3->addWidget(whiteHeader(QStringLiteral("晨拓进销存系统账套选择"),
                              QStringLiteral("在此选择一个晨拓进销存系统的账套作为你的外部数据源"), Panel6));
    auto* pathGrid = new QGridLayout;
    pathGrid->addWidget(new QLabel(QStringLiteral("晨拓进销存安装路径："), Panel6), 0, 0);
    PathEdit1 = new QLineEdit(Panel6);
    PathEdit1->setReadOnly(true);
    PathEdit1->setBackgroundRole(QPalette::Button);
    pathGrid->addWidget(PathEdit1, 0, 1);
    Button1 = new QPushButton(QStringLiteral("选择路径"), Panel6);
    pathGrid->addWidget(Button1, 0, 2);
    pathGrid->addWidget(new QLabel(QStringLiteral("账   套   列   表："), Panel6), 1, 0, Qt::AlignTop);
    DBGrid1 = new QTableWidget(0, 2, Panel6);
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("账套名称"), QStringLiteral("公司名称")});
    DBGrid1->setColumnWidth(0, 100);
    DBGrid1->setColumnWidth(1, 150);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    pathGrid->addWidget(DBGrid1, 1, 1, 1, 2);
    DBEdit1 = new QLineEdit(Panel6);
    DBEdit1->setReadOnly(true);
    DBEdit1->setBackgroundRole(QPalette::Button);
    pathGrid->addWidget(DBEdit1, 2, 1);
    Button2 = new QPushButton(QStringLiteral("测试账套"), Panel6);
    pathGrid->addWidget(Button2, 2, 2);
    p3->addLayout(pathGrid, 1);

    // Page 4: business table and how it joins the customer table.
    Panel8 = new QWidget(this);
    auto* p4 = new QVBoxLayout(Panel8);
    p4->addWidget(whiteHeader(QStringLiteral("业务信息设置"), QStringLiteral("请在此配置来电时查看客户相关的业务信息"), Panel8));
    p4->addWidget(new QLabel(QStringLiteral("第一步：选择业务表(如出库记录表)"), Panel8));
    ComboBox2 = new QComboBox(Panel8);
    ComboBox2->setEditable(true);
    p4->addWidget(ComboBox2);
    p4->addWidget(new QLabel(QStringLiteral("第二步：设置业务表如客户资料表的关联关系"), Panel8));
    StringGrid2 = new QTableWidget(1, 2, Panel8);
    StringGrid2->setHorizontalHeaderLabels({QStringLiteral("业务表字段"), QStringLiteral("客户表字段")});
    StringGrid2->setColumnWidth(0, 200);
    StringGrid2->setColumnWidth(1, 200);
    StringGrid2->verticalHeader()->hide();
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid2->setSelectionMode(QAbstractItemView::SingleSelection);
    p4->addWidget(StringGrid2, 1);
    ComboBox3 = new QComboBox(StringGrid2->viewport());
    ComboBox3->setEditable(true);
    ComboBox3->hide();

    for (QWidget* page : {Panel3, Panel4, Panel6, Panel8})
        layout->addWidget(page, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ButtonPrev = new QPushButton(QStringLiteral("< 上一步(&B)"), this);
    ButtonNext = new QPushButton(QStringLiteral("下一步(&N) >"), this);
    ButtonFinish = new QPushButton(QStringLiteral("完成(&F)"), this);
    CancelBtn = new QPushButton(QStringLiteral("取消(&C)"), this);
    for (QPushButton* b : {ButtonPrev, ButtonNext, ButtonFinish, CancelBtn}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    // Only one page is ever in view, so the dialog keeps the size of one page.
    showPage(1, false, true);
    setFixedSize(600, 460);

    connect(RadioButton1, &QRadioButton::clicked, this, [this] { showPage(1, false, true); });
    connect(RadioButton2, &QRadioButton::clicked, this, [this] { showPage(1, false, false); });
    connect(RadioButton3, &QRadioButton::clicked, this, [this] { showPage(1, false, false); });
    connect(ButtonNext, &QPushButton::clicked, this, &DataSourceWizard::ButtonNextClick);
    connect(ButtonPrev, &QPushButton::clicked, this, &DataSourceWizard::ButtonPrevClick);
    connect(ButtonFinish, &QPushButton::clicked, this, &DataSourceWizard::ButtonFinishClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &DataSourceWizard::BitBtn1Click);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling)
            ComboBox1Change();
    });
    connect(ComboBox2, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling)
            ComboBox2Change();
    });
    connect(ComboBox3, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling)
            ComboBox3Change();
    });
    connect(StringGrid1, &QTableWidget::cellClicked, this, &DataSourceWizard::StringGrid1Click);
    connect(StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        // A typed caption belongs to its field and moves with it.
        if (m_filling || item->column() != 3 || item->row() >= int(XFields.size()))
            return;
        XFields[size_t(item->row())]->Caption = item->text().trimmed();
    });
    connect(btnUp, &QPushButton::clicked, this, &DataSourceWizard::btnUpClick);
    connect(btnDown, &QPushButton::clicked, this, &DataSourceWizard::btnDownClick);
    connect(StringGrid2, &QTableWidget::cellClicked, this, &DataSourceWizard::StringGrid2Click);
    connect(Button1, &QPushButton::clicked, this, &DataSourceWizard::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &DataSourceWizard::Button2Click);
    connect(DBGrid1, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (m_filling || !ADOTable1.isActive() || row < 0)
            return;
        ADOTable1.moveTo(row);
        DBEdit1->setText(ADOTable1.fieldText(QStringLiteral("Path")));
    });
}

void DataSourceWizard::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void DataSourceWizard::FormShow()
{
    XFields.clear();
    YFields.clear();
    RadioButton1->setChecked(true);
    showPage(1, false, true);
    fillFieldGrid();
    fillJoinGrid();

    // An inventory product installed in "Store" beside the program's folder is listed at once.
    PathEdit1->setText(ProgramFolder::path() + QStringLiteral("../Store/"));
    if (QFileInfo::exists(InventoryLink::loginDbFile(PathEdit1->text())))
        OpenAccountList();
    else
        PathEdit1->clear();
}

void DataSourceWizard::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void DataSourceWizard::FormClose()
{
    ADOConnection1.close();
    m_filling = true;
    ComboBox1->clear();
    ComboBox2->clear();
    ComboBox3->clear();
    ComboBox3->hide();
    m_filling = false;
    XFields.clear();
    YFields.clear();
}

void DataSourceWizard::showPage(int page, bool prevEnabled, bool finishShown)
{
    CurPage = page;
    QWidget* const pages[] = {Panel3, Panel4, Panel6, Panel8};
    for (int i = 0; i < 4; ++i)
        pages[i]->setVisible(i + 1 == page);
    ButtonPrev->setEnabled(prevEnabled);
    ButtonNext->setVisible(!finishShown);
    ButtonFinish->setVisible(finishShown);
    (finishShown ? ButtonFinish : ButtonNext)->setDefault(true);
    (finishShown ? ButtonNext : ButtonFinish)->setDefault(false);
}

void DataSourceWizard::ButtonNextClick()
{
    if (CurPage == 1 && RadioButton2->isChecked())
        showPage(2, true, false);
    else if (CurPage == 1 && RadioButton3->isChecked())
        showPage(3, true, true);
    else if (CurPage == 2 && RadioButton2->isChecked())
        showPage(4, true, true);
}

void DataSourceWizard::ButtonPrevClick()
{
    if (CurPage == 2 || CurPage == 3)
        showPage(1, false, false);
    else if (CurPage == 4)
        showPage(2, true, false);
}

void DataSourceWizard::BitBtn1Click()
{
    if (!DblinkForm)
        DblinkForm = new ConnectionDialog(this);
    DblinkForm->exec();
    const QString link = DblinkForm->LinkString;
    if (link.isEmpty())
        return;
    ConnStr = link;
    // A source that cannot be opened or listed leaves the lists as far as they were filled.
    try {
        ADOConnection1.close();
        ADOConnection1.setConnectionString(ConnStr);
        ADOConnection1.open();
        const QStringList tables = ADOConnection1.tableNames();
        m_filling = true;
        ComboBox1->clear();
        ComboBox1->addItems(tables);
        ComboBox1->setCurrentIndex(tables.isEmpty() ? -1 : 0);
        m_filling = false;
        ComboBox1Change();
        m_filling = true;
        ComboBox2->clear();
        ComboBox2->addItems(tables);
        ComboBox2->setCurrentIndex(-1);
        ComboBox3->clear();
        m_filling = false;
        if (!ComboBox1->currentText().isEmpty())
            ComboBox3->addItems(ADOConnection1.fieldNames(ComboBox1->currentText()));
    } catch (const Error&) {
        m_filling = false;
    }
}

void DataSourceWizard::ComboBox1Change()
{
    if (!ADOConnection1.connected() || ComboBox1->currentText().isEmpty())
        return;
    CustTable = ComboBox1->currentText();
    QStringList fields;
    try {
        fields = ADOConnection1.fieldNames(CustTable);
    } catch (const Error&) {
        // A typed name that is not a table gives no fields.
    }
    m_filling = true;
    ComboBox3->clear();
    ComboBox3->addItems(fields);
    m_filling = false;
    XFields.clear();
    for (const QString& f : fields)
        XFields.push_back(std::make_unique<CustomerField>(f, false, false, QString()));
    fillFieldGrid();
}

void DataSourceWizard::ComboBox2Change()
{
    if (!ADOConnection1.connected() || ComboBox2->currentText().isEmpty())
        return;
    BizTable = ComboBox2->currentText();
    QStringList fields;
    try {
        fields = ADOConnection1.fieldNames(BizTable);
    } catch (const Error&) {
    }
    YFields.clear();
    for (const QString& f : fields)
        YFields.push_back(std::make_unique<BusinessField>(f, QString()));
    ComboBox3->hide();
    fillJoinGrid();
}

void DataSourceWizard::fillFieldGrid()
{
    m_filling = true;
    static const QIcon mark = markIcon();
    StringGrid1->setRowCount(std::max<int>(int(XFields.size()), 1));
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        const CustomerField* x = r < int(XFields.size()) ? XFields[size_t(r)].get() : nullptr;
        StringGrid1->setItem(r, 0, cell(x ? x->FieldName : QString(), false, true));
        auto* show = cell(QString(), false, false);
        auto* phone = cell(QString(), false, false);
        if (x && x->ShowFlag)
            show->setIcon(mark);
        if (x && x->PhoneFlag)
            phone->setIcon(mark);
        StringGrid1->setItem(r, 1, show);
        StringGrid1->setItem(r, 2, phone);
        StringGrid1->setItem(r, 3, cell(x ? x->Caption : QString(), x != nullptr, false));
    }
    m_filling = false;
}

void DataSourceWizard::fillJoinGrid()
{
    StringGrid2->setRowCount(std::max<int>(int(YFields.size()), 1));
    for (int r = 0; r < StringGrid2->rowCount(); ++r) {
        const BusinessField* y = r < int(YFields.size()) ? YFields[size_t(r)].get() : nullptr;
        StringGrid2->setItem(r, 0, cell(y ? y->BizField : QString(), false, true));
        StringGrid2->setItem(r, 1, cell(y ? y->CustField : QString(), false, false));
    }
}

void DataSourceWizard::StringGrid1Click(int row, int column)
{
    if (XFields.empty() || row < 0 || row >= int(XFields.size()))
        return;
    CustomerField& x = *XFields[size_t(row)];
    if (column == 1)
        x.ShowFlag = !x.ShowFlag;
    else if (column == 2)
        x.PhoneFlag = !x.PhoneFlag;
    else
        return;
    fillFieldGrid();
}

void DataSourceWizard::btnUpClick()
{
    const int r = StringGrid1->currentRow();
    if (r < 1 || r >= int(XFields.size()))
        return;
    std::swap(XFields[size_t(r)], XFields[size_t(r - 1)]);
    fillFieldGrid();
    // The selection follows the moved field, so pressing again moves it further.
    StringGrid1->setCurrentCell(r - 1, std::max(StringGrid1->currentColumn(), 0));
}

void DataSourceWizard::btnDownClick()
{
    const int r = StringGrid1->currentRow();
    if (r < 0 || r + 1 >= int(XFields.size()))
        return;
    std::swap(XFields[size_t(r)], XFields[size_t(r + 1)]);
    fillFieldGrid();
    StringGrid1->setCurrentCell(r + 1, std::max(StringGrid1->currentColumn(), 0));
}

void DataSourceWizard::StringGrid2Click(int row, int column)
{
    if (YFields.empty() || row < 0 || row >= int(YFields.size()) || column != 1) {
        ComboBox3->hide();
        return;
    }
    m_filling = true;
    ComboBox3->setCurrentText(YFields[size_t(row)]->CustField);
    m_filling = false;
    placeComboBox3();
}

void DataSourceWizard::placeComboBox3()
{
    const QRect rect = StringGrid2->visualRect(StringGrid2->model()->index(StringGrid2->currentRow(), 1));
    if (!rect.isValid()) {
        ComboBox3->hide();
        return;
    }
    ComboBox3->setGeometry(rect);
    ComboBox3->show();
    ComboBox3->setFocus();
}

void DataSourceWizard::ComboBox3Change()
{
    const int r = StringGrid2->currentRow();
    if (YFields.empty() || r < 0 || r >= int(YFields.size()) || StringGrid2->currentColumn() != 1)
        return;
    YFields[size_t(r)]->CustField = ComboBox3->currentText().trimmed();
    StringGrid2->item(r, 1)->setText(YFields[size_t(r)]->CustField);
}

void DataSourceWizard::Button1Click()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("选择晨拓进销存管理系统安装路径"), PathEdit1->text());
    if (folder.isEmpty()) {
        ShowInfoBox(QStringLiteral("没有选中路径！"));
        return;
    }
    PathEdit1->setText(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    OpenAccountList();
}

void DataSourceWizard::OpenAccountList()
{
    if (!QFileInfo::exists(InventoryLink::loginDbFile(PathEdit1->text()))) {
        ShowWarningBox(QStringLiteral("路径错,请重新选择晨拓进销存安装路径!"));
        return;
    }
    try {
        ADOTable1.deactivate();
        ADOConnection2.close();
        ADOConnection2.setConnectionString(InventoryLink::loginDbString(PathEdit1->text()));
        ADOConnection2.open();
        ADOTable1.setTableName(QStringLiteral("Login"));
        ADOTable1.activate();
        fillAccountGrid();
    } catch (const Error& e) {
        ADOTable1.deactivate();
        fillAccountGrid();
        ShowWarningBox(QStringLiteral("晨拓进销存数据库可能被破坏!") + e.message());
    }
}

void DataSourceWizard::fillAccountGrid()
{
    m_filling = true;
    DBGrid1->setRowCount(ADOTable1.recordCount());
    for (int r = 0; r < ADOTable1.recordCount(); ++r) {
        ADOTable1.moveTo(r);
        DBGrid1->setItem(r, 0, cell(ADOTable1.fieldText(QStringLiteral("Name")), false, false));
        DBGrid1->setItem(r, 1, cell(ADOTable1.fieldText(QStringLiteral("CoName")), false, false));
    }
    m_filling = false;
    DBEdit1->clear();
    if (ADOTable1.recordCount() > 0) {
        DBGrid1->setCurrentCell(0, 0);
        ADOTable1.first();
        DBEdit1->setText(ADOTable1.fieldText(QStringLiteral("Path")));
    }
}

void DataSourceWizard::Button2Click()
{
    const QString path = DBEdit1->text();
    if (path.isEmpty())
        ShowInfoBox(QStringLiteral("没有选择账套,请在列表框内选择!"));
    else if (!QFileInfo::exists(path))
        ShowWarningBox(QStringLiteral("无效账套,请重新选择!"));
    else
        ShowInfoBox(QStringLiteral("有效账套!"));
}

void DataSourceWizard::ButtonFinishClick()
{
    DataSourceWriter writer(ProgramFolder::path());
    if (RadioButton1->isChecked()) {
        writer.startFrom();
        writer.writeQueryType(1);
    } else if (RadioButton3->isChecked()) {
        writer.startFrom(ProgramFolder::file(QStringLiteral("Orvel.ini")));
        writer.writeConnectString(InventoryLink::accountSetString(DBEdit1->text()));
    } else {
        const ExternalSource source = BuildExternalSource(CustTable, ComboBox2->currentText(), XFields, YFields);
        if (!source.complete) {
            ShowInfoBox(QStringLiteral("请正确指定电话号码字段与查看字段！"));
            return;
        }
        writer.startFrom();
        writer.writeExternalSource(ConnStr, source.customerSql, source.businessSql, source.labels);
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
