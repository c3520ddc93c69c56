#include "setup/ConnectionDialog.h"

#include "lookup/DbConnection.h"
#include "platform/Error.h"
#include "platform/db/OdbcDataSources.h"
#include "platform/ui/MessageBoxes.h"
#include "setup/LinkStrings.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>

ConnectionDialog* DblinkForm = nullptr;

namespace {

QLabel* title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// The desktop's ODBC administrators that unixODBC's tools install.
QString odbcAdministrator()
{
    for (const char* name : {"ODBCManageDataSourcesQ5", "ODBCManageDataSourcesQ4"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace

ConnectionDialog::ConnectionDialog(QWidget* parent)
    : QDialog(parent)
{
    buildForm();
}

ConnectionDialog::~ConnectionDialog()
{
    if (DblinkForm == this)
        DblinkForm = nullptr;
}

void ConnectionDialog::buildForm()
{
    setWindowTitle(QStringLiteral("数据库连接配置"));
    auto* layout = new QVBoxLayout(this);
    auto* header = new QLabel(QStringLiteral("在此选择您已经存在的数据库系统"), this);
    header->setAutoFillBackground(true);
    header->setStyleSheet(QStringLiteral("background: white; padding: 12px;"));
    layout->addWidget(header);

    PageControl1 = new QTabWidget(this);
    layout->addWidget(PageControl1);

    TabSheet1 = new QWidget;
    auto* page1 = new QVBoxLayout(TabSheet1);
    auto* group = new QGroupBox(TabSheet1);
    auto* choices = new QVBoxLayout(group);
    const std::pair<QRadioButton**, const char*> radios[] = {
        {&RadioButton1, "ODBC连接配置"},      {&RadioButton2, "Microsoft Access (.mdb) 配置"},
        {&RadioButton7, "InterBase配置"},     {&RadioButton3, "Microsoft Sql Server 配置"},
        {&RadioButton4, "Paradox 配置"},      {&RadioButton5, "Oracle 配置"},
        {&RadioButton6, "Sybase 配置"},
    };
    for (const auto& [button, caption] : radios) {
        *button = new QRadioButton(QString::fromUtf8(caption), group);
        (*button)->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
        (*button)->setEnabled(*button == RadioButton1 || *button == RadioButton2);
        choices->addWidget(*button);
    }
    RadioButton1->setChecked(true);
    page1->addWidget(group);
    ButtonNext = new QPushButton(QStringLiteral("下一步>(&N)"), TabSheet1);
    page1->addWidget(ButtonNext, 0, Qt::AlignRight);
    PageControl1->addTab(TabSheet1, QStringLiteral("数据库类型"));

    TabSheet2 = new QWidget;
    auto* page2 = new QVBoxLayout(TabSheet2);

    Panel11 = new QWidget(TabSheet2);
    auto* odbc = new QFormLayout(Panel11);
    odbc->addRow(title(QStringLiteral("ODBC连接配置"), Panel11));
    ODBCComboBox1 = new QComboBox(Panel11);
    ODBCComboBox1->setEditable(true);
    ODBCButton1 = new QPushButton(QStringLiteral("新建(&E)..."), Panel11);
    auto* dsnRow = new QHBoxLayout;
    dsnRow->addWidget(ODBCComboBox1, 1);
    dsnRow->addWidget(ODBCButton1);
    auto* dsnLabel = new QLabel(QStringLiteral("用户/系统\nDSN:：(&M)"), Panel11);
    dsnLabel->setBuddy(ODBCComboBox1);
    odbc->addRow(dsnLabel, dsnRow);
    ODBCEdit1 = new QLineEdit(Panel11);
    ODBCEdit2 = new QLineEdit(Panel11);
    ODBCEdit2->setEchoMode(QLineEdit::Password);
    odbc->addRow(QStringLiteral("用户名："), ODBCEdit1);
    odbc->addRow(QStringLiteral("密     码："), ODBCEdit2);

    Panel12 = new QWidget(TabSheet2);
    auto* access = new QFormLayout(Panel12);
    access->addRow(title(QStringLiteral("Microsoft Access (.mdb) 配置"), Panel12));
    AccessEdit1 = new QLineEdit(Panel12);
    AccessButton1 = new QPushButton(QStringLiteral("..."), Panel12);
    AccessButton1->setFixedWidth(32);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(AccessEdit1, 1);
    fileRow->addWidget(AccessButton1);
    access->addRow(QStringLiteral("数据库文件名称："), fileRow);
    access->addRow(QString(), new QLabel(QStringLiteral("例：/home/user/Orvel/Data/LoginDB.mdb"), Panel12));
    AccessEdit2 = new QLineEdit(QStringLiteral("Admin"), Panel12);
    AccessEdit3 = new QLineEdit(Panel12);
    AccessEdit3->setEchoMode(QLineEdit::Password);
    access->addRow(QStringLiteral("用户名："), AccessEdit2);
    access->addRow(QStringLiteral("密    码："), AccessEdit3);

    Panel13 = new QWidget(TabSheet2);
    auto* sql = new QFormLayout(Panel13);
    sql->addRow(title(QStringLiteral("Microsoft Sql Server 配置"), Panel13));
    SqlEdit1 = new QLineEdit(Panel13);
    sql->addRow(QStringLiteral("服务器名称："), SqlEdit1);
    sql->addRow(QString(), new QLabel(QStringLiteral("例：192.168.0.1 或 (Local)"), Panel13));
    SqlEdit2 = new QLineEdit(Panel13);
    sql->addRow(QStringLiteral("用 户 名 称："), SqlEdit2);
    SqlEdit3 = new QLineEdit(Panel13);
    SqlEdit3->setEchoMode(QLineEdit::Password);
    SqlCheckBox1 = new QCheckBox(QStringLiteral("空密码"), Panel13);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(SqlEdit3, 1);
    passwordRow->addWidget(SqlCheckBox1);
    sql->addRow(QStringLiteral("登 陆 密 码："), passwordRow);
    SqlComboBox1 = new QComboBox(Panel13);
    sql->addRow(QStringLiteral("数 据 库 名："), SqlComboBox1);

    Panel16 = new QWidget(TabSheet2);
    auto* sybase = new QFormLayout(Panel16);
    sybase->addRow(title(QStringLiteral("Sybase 配置"), Panel16));
    sybase->addRow(QStringLiteral("服务器名称："), new QLineEdit(Panel16));
    sybase->addRow(QStringLiteral("用  户  名："), new QLineEdit(Panel16));
    sybase->addRow(QStringLiteral("登 陆 密 码："), new QLineEdit(Panel16));
    sybase->addRow(QString(), new QCheckBox(QStringLiteral("空密码"), Panel16));

    Panel14 = new QWidget(TabSheet2);
    Panel15 = new QWidget(TabSheet2);
    Panel17 = new QWidget(TabSheet2);
    for (QWidget* panel : {Panel11, Panel12, Panel13, Panel14, Panel15, Panel16, Panel17}) {
        panel->setFixedHeight(280);
        panel->hide();
        page2->addWidget(panel);
    }
    Button2 = new QPushButton(QStringLiteral("测试连接(&L)"), TabSheet2);
    page2->addWidget(Button2, 0, Qt::AlignRight);
    page2->addStretch();
    PageControl1->addTab(TabSheet2, QStringLiteral("参数配置"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    CancelBtn = new QPushButton(QStringLiteral("取消(&C)"), this);
    ButtonFinish = new QPushButton(QStringLiteral("完成(&F)"), this);
    ButtonFinish->setDefault(true);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(ButtonFinish);
    layout->addLayout(buttons);
    setFixedSize(480, 440);

    connect(ButtonNext, &QPushButton::clicked, this, [this] { PageControl1->setCurrentWidget(TabSheet2); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (PageControl1->currentWidget() == TabSheet2)
            TabSheet2Show();
    });
    connect(ButtonFinish, &QPushButton::clicked, this, &ConnectionDialog::ButtonFinishClick);
    connect(CancelBtn, &QPushButton::clicked, this, &ConnectionDialog::CancelBtnClick);
    connect(Button2, &QPushButton::clicked, this, &ConnectionDialog::Button2Click);
    connect(AccessButton1, &QPushButton::clicked, this, &ConnectionDialog::AccessButton1Click);
    connect(ODBCButton1, &QPushButton::clicked, this, &ConnectionDialog::ODBCButton1Click);
    connect(SqlCheckBox1, &QCheckBox::clicked, this, &ConnectionDialog::SqlCheckBox1Click);
}

bool ConnectionDialog::buildLinkString(QString* link) const
{
    if (RadioButton1->isChecked()) {
        *link = LinkStrings::odbc(ODBCEdit1->text(), ODBCEdit2->text(), ODBCComboBox1->currentText());
        return true;
    }
    if (RadioButton2->isChecked()) {
        *link = LinkStrings::access(AccessEdit2->text(), AccessEdit1->text(), AccessEdit3->text());
        return true;
    }
    return false;
}

void ConnectionDialog::ButtonFinishClick()
{
    buildLinkString(&LinkString);
    accept();
}

void ConnectionDialog::CancelBtnClick()
{
    LinkString.clear();
    reject();
}

void ConnectionDialog::Button2Click()
{
    buildLinkString(&LinkString);
    DbConnection connection;
    try {
        connection.setConnectionString(LinkString);
        connection.open();
        if (connection.connected())
            ShowInfoBox(QStringLiteral("测试连接成功!"));
        else
            ShowWarningBox(QStringLiteral("测试连接失败!"));
    } catch (const Error& e) {
        ShowWarningBox(QStringLiteral("测试连接失败：") + e.message());
    }
    connection.close();
}

void ConnectionDialog::AccessButton1Click()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择数据库文件"), QStringLiteral("*.mdb"),
                                                      QStringLiteral("Microsoft Access (*.mdb);;All Files (*)"));
    if (!file.isEmpty())
        AccessEdit1->setText(file);
}

void ConnectionDialog::ODBCButton1Click()
{
    // Starts the desktop's ODBC administrator where one is installed; the new data source
    // appears in the list at the next showing of the page.
    const QString administrator = odbcAdministrator();
    if (!administrator.isEmpty())
        QProcess::startDetached(administrator, {});
}

void ConnectionDialog::SqlCheckBox1Click()
{
    const bool empty = SqlCheckBox1->isChecked();
    SqlEdit3->setEnabled(!empty);
    SqlEdit3->setBackgroundRole(empty ? QPalette::Button : QPalette::Base);
}

void ConnectionDialog::TabSheet2Show()
{
    QWidget* const panels[] = {Panel11, Panel12, Panel13, Panel14, Panel15, Panel16, Panel17};
    for (QWidget* panel : panels)
        panel->hide();
    const QRadioButton* const choices[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4,
                                           RadioButton5, RadioButton6, RadioButton7};
    for (int i = 0; i < 7; ++i) {
        if (choices[i]->isChecked())
            panels[i]->show();
    }
    if (RadioButton1->isChecked())
        FillDsnList();
}

void ConnectionDialog::FillDsnList()
{
    // Filled afresh at each showing, so a name is listed once; what the user chose stays.
    const QString chosen = ODBCComboBox1->currentText();
    ODBCComboBox1->clear();
    ODBCComboBox1->addItems(OdbcDataSourceNames());
    if (!chosen.isEmpty())
        ODBCComboBox1->setCurrentText(chosen);
}
