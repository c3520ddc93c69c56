#include "setup/ConnectionDialog.h"

#include "platform/db/OdbcDataSources.h"
#include "platform/ui/MessageBoxes.h"
#include "setup/LinkStrings.h"
#include "setup/SourceCatalog.h"
#include "platform/ui/WindowPlacement.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>

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

ConnectionDialog::ConnectionDialog(QWidget* parent) : QDialog(parent)
{
    WindowPlacement::centreWhenShown(this);
    buildForm();
}

ConnectionDialog::~ConnectionDialog() = default;

void ConnectionDialog::buildForm()
{
    setWindowTitle(QStringLiteral("数据库连接配置"));
    auto* layout = new QVBoxLayout(this);
    auto* header = new QLabel(QStringLiteral("在此选择您已经存在的数据库系统"), this);
    header->setAutoFillBackground(true);
    header->setStyleSheet(QStringLiteral("background: white; padding: 12px;"));
    layout->addWidget(header);

    m_pages = new QTabWidget(this);
    layout->addWidget(m_pages);

    m_typePage = new QWidget;
    auto* page1 = new QVBoxLayout(m_typePage);
    auto* group = new QGroupBox(m_typePage);
    auto* choices = new QVBoxLayout(group);
    const std::pair<QRadioButton**, const char*> radios[] = {
        {&m_odbcRadio, "ODBC连接配置"},       {&m_accessRadio, "Microsoft Access (.mdb) 配置"},
        {&m_interBaseRadio, "InterBase配置"}, {&m_sqlServerRadio, "Microsoft Sql Server 配置"},
        {&m_paradoxRadio, "Paradox 配置"},    {&m_oracleRadio, "Oracle 配置"},
        {&m_sybaseRadio, "Sybase 配置"},
    };
    for (const auto& [button, caption] : radios) {
        *button = new QRadioButton(QString::fromUtf8(caption), group);
        (*button)->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
        (*button)->setEnabled(*button == m_odbcRadio || *button == m_accessRadio);
        choices->addWidget(*button);
    }
    m_odbcRadio->setChecked(true);
    page1->addWidget(group);
    m_nextButton = new QPushButton(QStringLiteral("下一步>(&N)"), m_typePage);
    page1->addWidget(m_nextButton, 0, Qt::AlignRight);
    m_pages->addTab(m_typePage, QStringLiteral("数据库类型"));

    m_parameterPage = new QWidget;
    auto* page2 = new QVBoxLayout(m_parameterPage);

    m_odbcPanel = new QWidget(m_parameterPage);
    auto* odbc = new QFormLayout(m_odbcPanel);
    odbc->addRow(title(QStringLiteral("ODBC连接配置"), m_odbcPanel));
    m_dataSourceCombo = new QComboBox(m_odbcPanel);
    m_dataSourceCombo->setEditable(true);
    m_newDataSourceButton = new QPushButton(QStringLiteral("新建(&E)..."), m_odbcPanel);
    auto* dsnRow = new QHBoxLayout;
    dsnRow->addWidget(m_dataSourceCombo, 1);
    dsnRow->addWidget(m_newDataSourceButton);
    auto* dsnLabel = new QLabel(QStringLiteral("用户/系统\nDSN:：(&M)"), m_odbcPanel);
    dsnLabel->setBuddy(m_dataSourceCombo);
    odbc->addRow(dsnLabel, dsnRow);
    m_odbcUserEdit = new QLineEdit(m_odbcPanel);
    m_odbcPasswordEdit = new QLineEdit(m_odbcPanel);
    m_odbcPasswordEdit->setEchoMode(QLineEdit::Password);
    odbc->addRow(QStringLiteral("用户名："), m_odbcUserEdit);
    odbc->addRow(QStringLiteral("密     码："), m_odbcPasswordEdit);

    m_accessPanel = new QWidget(m_parameterPage);
    auto* access = new QFormLayout(m_accessPanel);
    access->addRow(title(QStringLiteral("Microsoft Access (.mdb) 配置"), m_accessPanel));
    m_accessFileEdit = new QLineEdit(m_accessPanel);
    m_accessFileButton = new QPushButton(QStringLiteral("..."), m_accessPanel);
    m_accessFileButton->setFixedWidth(32);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_accessFileEdit, 1);
    fileRow->addWidget(m_accessFileButton);
    access->addRow(QStringLiteral("数据库文件名称："), fileRow);
    access->addRow(QString(), new QLabel(QStringLiteral("例：/home/user/Orvel/Data/LoginDB.mdb"), m_accessPanel));
    m_accessUserEdit = new QLineEdit(QStringLiteral("Admin"), m_accessPanel);
    m_accessPasswordEdit = new QLineEdit(m_accessPanel);
    m_accessPasswordEdit->setEchoMode(QLineEdit::Password);
    access->addRow(QStringLiteral("用户名："), m_accessUserEdit);
    access->addRow(QStringLiteral("密    码："), m_accessPasswordEdit);

    m_sqlServerPanel = new QWidget(m_parameterPage);
    auto* sql = new QFormLayout(m_sqlServerPanel);
    sql->addRow(title(QStringLiteral("Microsoft Sql Server 配置"), m_sqlServerPanel));
    m_sqlServerEdit = new QLineEdit(m_sqlServerPanel);
    sql->addRow(QStringLiteral("服务器名称："), m_sqlServerEdit);
    sql->addRow(QString(), new QLabel(QStringLiteral("例：192.168.0.1 或 (Local)"), m_sqlServerPanel));
    m_sqlUserEdit = new QLineEdit(m_sqlServerPanel);
    sql->addRow(QStringLiteral("用 户 名 称："), m_sqlUserEdit);
    m_sqlPasswordEdit = new QLineEdit(m_sqlServerPanel);
    m_sqlPasswordEdit->setEchoMode(QLineEdit::Password);
    m_sqlEmptyPasswordCheck = new QCheckBox(QStringLiteral("空密码"), m_sqlServerPanel);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(m_sqlPasswordEdit, 1);
    passwordRow->addWidget(m_sqlEmptyPasswordCheck);
    sql->addRow(QStringLiteral("登 陆 密 码："), passwordRow);
    m_sqlDatabaseCombo = new QComboBox(m_sqlServerPanel);
    sql->addRow(QStringLiteral("数 据 库 名："), m_sqlDatabaseCombo);

    m_sybasePanel = new QWidget(m_parameterPage);
    auto* sybase = new QFormLayout(m_sybasePanel);
    sybase->addRow(title(QStringLiteral("Sybase 配置"), m_sybasePanel));
    sybase->addRow(QStringLiteral("服务器名称："), new QLineEdit(m_sybasePanel));
    sybase->addRow(QStringLiteral("用  户  名："), new QLineEdit(m_sybasePanel));
    sybase->addRow(QStringLiteral("登 陆 密 码："), new QLineEdit(m_sybasePanel));
    sybase->addRow(QString(), new QCheckBox(QStringLiteral("空密码"), m_sybasePanel));

    m_paradoxPanel = new QWidget(m_parameterPage);
    m_oraclePanel = new QWidget(m_parameterPage);
    m_interBasePanel = new QWidget(m_parameterPage);
    for (QWidget* panel : {m_odbcPanel, m_accessPanel, m_sqlServerPanel, m_paradoxPanel, m_oraclePanel, m_sybasePanel,
                           m_interBasePanel}) {
        panel->setFixedHeight(280);
        panel->hide();
        page2->addWidget(panel);
    }
    m_testButton = new QPushButton(QStringLiteral("测试连接(&L)"), m_parameterPage);
    page2->addWidget(m_testButton, 0, Qt::AlignRight);
    page2->addStretch();
    m_pages->addTab(m_parameterPage, QStringLiteral("参数配置"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cancelButton = new QPushButton(QStringLiteral("取消(&C)"), this);
    m_finishButton = new QPushButton(QStringLiteral("完成(&F)"), this);
    m_finishButton->setDefault(true);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_finishButton);
    layout->addLayout(buttons);
    setFixedSize(480, 440);

    // Each widget is named as its member, for tests that reach it with findChild.
    const std::pair<QWidget*, const char*> named[] = {
        {m_pages, "pages"},
        {m_typePage, "typePage"},
        {m_parameterPage, "parameterPage"},
        {m_odbcRadio, "odbcRadio"},
        {m_accessRadio, "accessRadio"},
        {m_sqlServerRadio, "sqlServerRadio"},
        {m_paradoxRadio, "paradoxRadio"},
        {m_oracleRadio, "oracleRadio"},
        {m_sybaseRadio, "sybaseRadio"},
        {m_interBaseRadio, "interBaseRadio"},
        {m_odbcPanel, "odbcPanel"},
        {m_accessPanel, "accessPanel"},
        {m_sqlServerPanel, "sqlServerPanel"},
        {m_paradoxPanel, "paradoxPanel"},
        {m_oraclePanel, "oraclePanel"},
        {m_sybasePanel, "sybasePanel"},
        {m_interBasePanel, "interBasePanel"},
        {m_dataSourceCombo, "dataSourceCombo"},
        {m_newDataSourceButton, "newDataSourceButton"},
        {m_odbcUserEdit, "odbcUserEdit"},
        {m_odbcPasswordEdit, "odbcPasswordEdit"},
        {m_accessFileEdit, "accessFileEdit"},
        {m_accessFileButton, "accessFileButton"},
        {m_accessUserEdit, "accessUserEdit"},
        {m_accessPasswordEdit, "accessPasswordEdit"},
        {m_sqlServerEdit, "sqlServerEdit"},
        {m_sqlUserEdit, "sqlUserEdit"},
        {m_sqlPasswordEdit, "sqlPasswordEdit"},
        {m_sqlEmptyPasswordCheck, "sqlEmptyPasswordCheck"},
        {m_sqlDatabaseCombo, "sqlDatabaseCombo"},
        {m_nextButton, "nextButton"},
        {m_testButton, "testButton"},
        {m_cancelButton, "cancelButton"},
        {m_finishButton, "finishButton"},
    };
    for (const auto& [widget, name] : named)
        widget->setObjectName(QLatin1String(name));

    connect(m_nextButton, &QPushButton::clicked, this, [this] { m_pages->setCurrentWidget(m_parameterPage); });
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (m_pages->currentWidget() == m_parameterPage)
            showParameterPanel();
    });
    connect(m_finishButton, &QPushButton::clicked, this, &ConnectionDialog::finish);
    connect(m_cancelButton, &QPushButton::clicked, this, &ConnectionDialog::cancel);
    connect(m_testButton, &QPushButton::clicked, this, &ConnectionDialog::testConnection);
    connect(m_accessFileButton, &QPushButton::clicked, this, &ConnectionDialog::browseAccessFile);
    connect(m_newDataSourceButton, &QPushButton::clicked, this, &ConnectionDialog::openOdbcAdministrator);
    connect(m_sqlEmptyPasswordCheck, &QCheckBox::clicked, this, &ConnectionDialog::updateSqlPasswordEdit);
}

bool ConnectionDialog::buildLinkString(QString* link) const
{
    if (m_odbcRadio->isChecked()) {
        *link = LinkStrings::odbc(m_odbcUserEdit->text(), m_odbcPasswordEdit->text(), m_dataSourceCombo->currentText());
        return true;
    }
    if (m_accessRadio->isChecked()) {
        *link = LinkStrings::access(m_accessUserEdit->text(), m_accessFileEdit->text(), m_accessPasswordEdit->text());
        return true;
    }
    return false;
}

void ConnectionDialog::finish()
{
    buildLinkString(&m_linkString);
    accept();
}

void ConnectionDialog::cancel()
{
    m_linkString.clear();
    reject();
}

void ConnectionDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc is the keyboard's Cancel: the caller must not go on with a string the user dropped.
    if (event->matches(QKeySequence::Cancel)) {
        cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ConnectionDialog::testConnection()
{
    buildLinkString(&m_linkString);
    QString error;
    switch (SourceCatalog::test(m_linkString, &error)) {
    case SourceCatalog::TestResult::Connected:
        ShowInfoBox(QStringLiteral("测试连接成功!"));
        break;
    case SourceCatalog::TestResult::NotConnected:
        ShowWarningBox(QStringLiteral("测试连接失败!"));
        break;
    case SourceCatalog::TestResult::Failed:
        ShowWarningBox(QStringLiteral("测试连接失败：") + error);
        break;
    }
}

void ConnectionDialog::browseAccessFile()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择数据库文件"), QStringLiteral("*.mdb"),
                                                      QStringLiteral("Microsoft Access (*.mdb);;All Files (*)"));
    if (!file.isEmpty())
        m_accessFileEdit->setText(file);
}

void ConnectionDialog::openOdbcAdministrator()
{
    // Starts the desktop's ODBC administrator where one is installed; the new data source
    // appears in the list at the next showing of the page.
    const QString administrator = odbcAdministrator();
    if (!administrator.isEmpty())
        QProcess::startDetached(administrator, {});
}

void ConnectionDialog::updateSqlPasswordEdit()
{
    const bool empty = m_sqlEmptyPasswordCheck->isChecked();
    m_sqlPasswordEdit->setEnabled(!empty);
    m_sqlPasswordEdit->setBackgroundRole(empty ? QPalette::Button : QPalette::Base);
}

void ConnectionDialog::showParameterPanel()
{
    QWidget* const panels[] = {m_odbcPanel,   m_accessPanel, m_sqlServerPanel, m_paradoxPanel,
                               m_oraclePanel, m_sybasePanel, m_interBasePanel};
    for (QWidget* panel : panels)
        panel->hide();
    const QRadioButton* const choices[] = {m_odbcRadio,   m_accessRadio, m_sqlServerRadio, m_paradoxRadio,
                                           m_oracleRadio, m_sybaseRadio, m_interBaseRadio};
    for (int i = 0; i < 7; ++i) {
        if (choices[i]->isChecked())
            panels[i]->show();
    }
    if (m_odbcRadio->isChecked())
        fillDataSourceNames();
}

void ConnectionDialog::fillDataSourceNames()
{
    // Filled afresh at each showing, so a name is listed once; what the user chose stays.
    const QString chosen = m_dataSourceCombo->currentText();
    m_dataSourceCombo->clear();
    m_dataSourceCombo->addItems(OdbcDataSourceNames());
    if (!chosen.isEmpty())
        m_dataSourceCombo->setCurrentText(chosen);
}
