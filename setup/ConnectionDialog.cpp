#include "setup/ConnectionDialog.h"

#include "lookup/ConnectionString.h"
#include "lookup/DbError.h"
#include "platform/ProgramFolder.h"
#include "platform/db/OdbcDataSources.h"
#include "platform/ui/MessageBoxes.h"
#include "setup/ConnectionAttempt.h"
#include "setup/LinkStrings.h"
#include "setup/OdbcSetupHelp.h"
#include "setup/SourceCatalog.h"
#include "platform/ui/WindowPlacement.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
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

// A file name edit with its "..." button beside it.
QHBoxLayout* fileRow(QLineEdit* edit, QPushButton* button)
{
    button->setFixedWidth(32);
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(button);
    return row;
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

ConnectionDialog::ConnectionDialog(QWidget* parent) : QDialog(parent), m_connecting(new ConnectionAttempt(this))
{
    WindowPlacement::centreWhenShown(this);
    buildForm();
    nameWidgets();
    connectWidgets();
}

ConnectionDialog::~ConnectionDialog() = default;

void ConnectionDialog::buildForm()
{
    setWindowTitle(tr("数据库连接配置"));
    auto* layout = new QVBoxLayout(this);
    auto* header = new QLabel(tr("在此选择您已经存在的数据库系统"), this);
    header->setAutoFillBackground(true);
    header->setStyleSheet(QStringLiteral("background: white; padding: 12px;"));
    layout->addWidget(header);

    m_pages = new QTabWidget(this);
    m_pages->addTab(buildTypePage(), tr("数据库类型"));
    m_pages->addTab(buildParameterPage(), tr("参数配置"));
    layout->addWidget(m_pages);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cancelButton = new QPushButton(tr("取消(&C)"), this);
    m_finishButton = new QPushButton(tr("完成(&F)"), this);
    m_finishButton->setDefault(true);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_finishButton);
    layout->addLayout(buttons);
    setMinimumSize(480, 440);
}

QWidget* ConnectionDialog::buildTypePage()
{
    m_typePage = new QWidget;
    auto* page = new QVBoxLayout(m_typePage);
    auto* group = new QGroupBox(m_typePage);
    auto* choices = new QVBoxLayout(group);
    const std::pair<QRadioButton**, const char*> radios[] = {
        {&m_odbcRadio, QT_TR_NOOP("ODBC连接配置")},
        {&m_accessRadio, QT_TR_NOOP("Microsoft Access (.mdb) 配置")},
        {&m_sqliteRadio, QT_TR_NOOP("SQLite 数据库文件配置")},
        {&m_interBaseRadio, QT_TR_NOOP("InterBase配置")},
        {&m_sqlServerRadio, QT_TR_NOOP("Microsoft Sql Server 配置")},
        {&m_paradoxRadio, QT_TR_NOOP("Paradox 配置")},
        {&m_oracleRadio, QT_TR_NOOP("Oracle 配置")},
        {&m_sybaseRadio, QT_TR_NOOP("Sybase 配置")},
    };
    for (const auto& [button, caption] : radios) {
        *button = new QRadioButton(tr(caption), group);
        (*button)->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
        (*button)->setEnabled(*button == m_odbcRadio || *button == m_accessRadio || *button == m_sqliteRadio);
        choices->addWidget(*button);
    }
    m_odbcRadio->setChecked(true);
    page->addWidget(group);
    m_nextButton = new QPushButton(tr("下一步>(&N)"), m_typePage);
    page->addWidget(m_nextButton, 0, Qt::AlignRight);
    return m_typePage;
}

QWidget* ConnectionDialog::buildParameterPage()
{
    m_parameterPage = new QWidget;
    auto* page = new QVBoxLayout(m_parameterPage);
    m_odbcPanel = buildOdbcPanel(m_parameterPage);
    m_accessPanel = buildAccessPanel(m_parameterPage);
    m_sqlitePanel = buildSqlitePanel(m_parameterPage);
    m_sqlServerPanel = buildSqlServerPanel(m_parameterPage);
    m_sybasePanel = buildSybasePanel(m_parameterPage);
    m_paradoxPanel = new QWidget(m_parameterPage);
    m_oraclePanel = new QWidget(m_parameterPage);
    m_interBasePanel = new QWidget(m_parameterPage);
    for (QWidget* panel : {m_odbcPanel, m_accessPanel, m_sqlitePanel, m_sqlServerPanel, m_paradoxPanel, m_oraclePanel,
                           m_sybasePanel, m_interBasePanel}) {
        panel->setFixedHeight(280);
        panel->hide();
        page->addWidget(panel);
    }
    auto* testRow = new QHBoxLayout;
    // Says that a test is reaching the data source's server.
    m_connectionNote = new QLabel(m_parameterPage);
    testRow->addWidget(m_connectionNote, 1);
    m_testButton = new QPushButton(tr("测试连接(&L)"), m_parameterPage);
    testRow->addWidget(m_testButton);
    page->addLayout(testRow);
    page->addStretch();
    return m_parameterPage;
}

QWidget* ConnectionDialog::buildOdbcPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* form = new QFormLayout(panel);
    form->addRow(title(tr("ODBC连接配置"), panel));
    m_dataSourceCombo = new QComboBox(panel);
    m_dataSourceCombo->setEditable(true);
    m_newDataSourceButton = new QPushButton(tr("新建(&E)..."), panel);
    auto* dsnRow = new QHBoxLayout;
    dsnRow->addWidget(m_dataSourceCombo, 1);
    dsnRow->addWidget(m_newDataSourceButton);
    auto* dsnLabel = new QLabel(tr("用户/系统\nDSN:：(&M)"), panel);
    dsnLabel->setBuddy(m_dataSourceCombo);
    form->addRow(dsnLabel, dsnRow);
    m_odbcUserEdit = new QLineEdit(panel);
    m_odbcPasswordEdit = new QLineEdit(panel);
    m_odbcPasswordEdit->setEchoMode(QLineEdit::Password);
    form->addRow(tr("用户名："), m_odbcUserEdit);
    form->addRow(tr("密     码："), m_odbcPasswordEdit);
    return panel;
}

QWidget* ConnectionDialog::buildAccessPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* form = new QFormLayout(panel);
    form->addRow(title(tr("Microsoft Access (.mdb) 配置"), panel));
    m_accessFileEdit = new QLineEdit(panel);
    m_accessFileButton = new QPushButton(QStringLiteral("..."), panel);
    form->addRow(tr("数据库文件名称："), fileRow(m_accessFileEdit, m_accessFileButton));
    form->addRow(QString(), new QLabel(tr("例：/home/user/Orvel/Data/LoginDB.mdb"), panel));
    m_accessUserEdit = new QLineEdit(QStringLiteral("Admin"), panel);
    m_accessPasswordEdit = new QLineEdit(panel);
    m_accessPasswordEdit->setEchoMode(QLineEdit::Password);
    form->addRow(tr("用户名："), m_accessUserEdit);
    form->addRow(tr("密    码："), m_accessPasswordEdit);
    return panel;
}

QWidget* ConnectionDialog::buildSqlitePanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* form = new QFormLayout(panel);
    form->addRow(title(tr("SQLite 数据库文件配置"), panel));
    m_sqliteFileEdit = new QLineEdit(panel);
    m_sqliteFileButton = new QPushButton(QStringLiteral("..."), panel);
    form->addRow(tr("数据库文件名称："), fileRow(m_sqliteFileEdit, m_sqliteFileButton));
    form->addRow(QString(), new QLabel(tr("例：/home/user/客户资料.db\n只写文件名时，指程序文件夹中的文件。"), panel));
    return panel;
}

QWidget* ConnectionDialog::buildSqlServerPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* form = new QFormLayout(panel);
    form->addRow(title(tr("Microsoft Sql Server 配置"), panel));
    m_sqlServerEdit = new QLineEdit(panel);
    form->addRow(tr("服务器名称："), m_sqlServerEdit);
    form->addRow(QString(), new QLabel(tr("例：192.168.0.1 或 (Local)"), panel));
    m_sqlUserEdit = new QLineEdit(panel);
    form->addRow(tr("用 户 名 称："), m_sqlUserEdit);
    m_sqlPasswordEdit = new QLineEdit(panel);
    m_sqlPasswordEdit->setEchoMode(QLineEdit::Password);
    m_sqlEmptyPasswordCheck = new QCheckBox(tr("空密码"), panel);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(m_sqlPasswordEdit, 1);
    passwordRow->addWidget(m_sqlEmptyPasswordCheck);
    form->addRow(tr("登 陆 密 码："), passwordRow);
    m_sqlDatabaseCombo = new QComboBox(panel);
    form->addRow(tr("数 据 库 名："), m_sqlDatabaseCombo);
    return panel;
}

QWidget* ConnectionDialog::buildSybasePanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* form = new QFormLayout(panel);
    form->addRow(title(tr("Sybase 配置"), panel));
    form->addRow(tr("服务器名称："), new QLineEdit(panel));
    form->addRow(tr("用  户  名："), new QLineEdit(panel));
    form->addRow(tr("登 陆 密 码："), new QLineEdit(panel));
    form->addRow(QString(), new QCheckBox(tr("空密码"), panel));
    return panel;
}

void ConnectionDialog::nameWidgets()
{
    // Each widget is named as its member, for tests that reach it with findChild.
    const std::pair<QWidget*, const char*> named[] = {
        {m_pages, "pages"},
        {m_typePage, "typePage"},
        {m_parameterPage, "parameterPage"},
        {m_odbcRadio, "odbcRadio"},
        {m_accessRadio, "accessRadio"},
        {m_sqliteRadio, "sqliteRadio"},
        {m_sqlServerRadio, "sqlServerRadio"},
        {m_paradoxRadio, "paradoxRadio"},
        {m_oracleRadio, "oracleRadio"},
        {m_sybaseRadio, "sybaseRadio"},
        {m_interBaseRadio, "interBaseRadio"},
        {m_odbcPanel, "odbcPanel"},
        {m_accessPanel, "accessPanel"},
        {m_sqlitePanel, "sqlitePanel"},
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
        {m_sqliteFileEdit, "sqliteFileEdit"},
        {m_sqliteFileButton, "sqliteFileButton"},
        {m_sqlServerEdit, "sqlServerEdit"},
        {m_sqlUserEdit, "sqlUserEdit"},
        {m_sqlPasswordEdit, "sqlPasswordEdit"},
        {m_sqlEmptyPasswordCheck, "sqlEmptyPasswordCheck"},
        {m_sqlDatabaseCombo, "sqlDatabaseCombo"},
        {m_nextButton, "nextButton"},
        {m_testButton, "testButton"},
        {m_connectionNote, "connectionNote"},
        {m_cancelButton, "cancelButton"},
        {m_finishButton, "finishButton"},
    };
    for (const auto& [widget, name] : named)
        widget->setObjectName(QLatin1String(name));
}

void ConnectionDialog::connectWidgets()
{
    connect(m_nextButton, &QPushButton::clicked, this, [this] { m_pages->setCurrentWidget(m_parameterPage); });
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (m_pages->currentWidget() == m_parameterPage)
            showParameterPanel();
    });
    connect(m_finishButton, &QPushButton::clicked, this, &ConnectionDialog::finish);
    connect(m_cancelButton, &QPushButton::clicked, this, &ConnectionDialog::cancel);
    connect(m_testButton, &QPushButton::clicked, this, &ConnectionDialog::testConnection);
    connect(m_connecting, &ConnectionAttempt::finished, this, &ConnectionDialog::testEnded);
    connect(m_accessFileButton, &QPushButton::clicked, this, &ConnectionDialog::browseAccessFile);
    connect(m_sqliteFileButton, &QPushButton::clicked, this, &ConnectionDialog::browseSqliteFile);
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
    if (m_sqliteRadio->isChecked()) {
        *link = LinkStrings::sqlite(m_sqliteFileEdit->text());
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

void ConnectionDialog::done(int result)
{
    // A test still running when the dialog closes ends unheard.
    m_connecting->cancel();
    m_connectionNote->clear();
    m_testButton->setEnabled(true);
    QDialog::done(result);
}

void ConnectionDialog::testConnection()
{
    buildLinkString(&m_linkString);
    if (!ConnectionAttempt::reachesServer(m_linkString)) {
        QString error;
        showTestResult(SourceCatalog::test(m_linkString, &error), error);
        return;
    }
    m_testButton->setEnabled(false);
    m_connectionNote->setText(tr("正在连接数据源…"));
    m_connecting->start(m_linkString);
}

void ConnectionDialog::testEnded(SourceCatalog::TestResult result, const QString& error)
{
    m_connectionNote->clear();
    m_testButton->setEnabled(true);
    // Disabled, the button passed the focus on, and Enter would act on another button.
    m_testButton->setFocus();
    showTestResult(result, error);
}

void ConnectionDialog::showTestResult(SourceCatalog::TestResult result, const QString& error)
{
    switch (result) {
    case SourceCatalog::TestResult::Connected:
        ShowInfoBox(tr("测试连接成功!"));
        break;
    case SourceCatalog::TestResult::NotConnected:
        ShowWarningBox(tr("测试连接失败!"));
        break;
    case SourceCatalog::TestResult::Failed:
        ShowWarningBox(tr("测试连接失败：") + error);
        break;
    }
}

void ConnectionDialog::browseAccessFile()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("选择数据库文件"), QStringLiteral("*.mdb"),
                                                      tr("Microsoft Access (*.mdb);;所有文件 (*)"));
    if (!file.isEmpty())
        m_accessFileEdit->setText(file);
}

void ConnectionDialog::browseSqliteFile()
{
    // A name without a folder is a file of the program folder, as the lookup opens it.
    const QString current = m_sqliteFileEdit->text().trimmed();
    const QString folder = current.isEmpty()                 ? ProgramFolder::path()
                           : QFileInfo(current).isAbsolute() ? QFileInfo(current).absolutePath()
                                                             : QFileInfo(ProgramFolder::file(current)).absolutePath();
    const QString file = QFileDialog::getOpenFileName(this, tr("选择数据库文件"), folder,
                                                      tr("SQLite 数据库 (*.db *.sqlite *.sqlite3);;所有文件 (*)"));
    if (!file.isEmpty())
        m_sqliteFileEdit->setText(file);
}

void ConnectionDialog::openOdbcAdministrator()
{
    // Starts the desktop's ODBC administrator where one is installed, else tells how to add a
    // data source by hand; either way the new one appears at the next showing of the page.
    const QString administrator = odbcAdministrator();
    if (!administrator.isEmpty() && QProcess::startDetached(administrator, {}))
        return;
    ShowInfoBox(OdbcSetupHelp::text(OdbcUserSourcesFile(), OdbcSystemSourcesFile(), OdbcDriverNames()));
}

void ConnectionDialog::updateSqlPasswordEdit()
{
    const bool empty = m_sqlEmptyPasswordCheck->isChecked();
    m_sqlPasswordEdit->setEnabled(!empty);
    m_sqlPasswordEdit->setBackgroundRole(empty ? QPalette::Button : QPalette::Base);
}

void ConnectionDialog::showParameterPanel()
{
    QWidget* const panels[] = {m_odbcPanel,    m_accessPanel, m_sqlitePanel, m_sqlServerPanel,
                               m_paradoxPanel, m_oraclePanel, m_sybasePanel, m_interBasePanel};
    for (QWidget* panel : panels)
        panel->hide();
    const QRadioButton* const choices[] = {m_odbcRadio,    m_accessRadio, m_sqliteRadio, m_sqlServerRadio,
                                           m_paradoxRadio, m_oracleRadio, m_sybaseRadio, m_interBaseRadio};
    for (int i = 0; i < 8; ++i) {
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

void ConnectionDialog::showConnection(const QString& connectString)
{
    ConnectionString source;
    try {
        source = ConnectionString::parse(connectString);
    } catch (const DbError&) {
        return;
    }
    switch (source.kind()) {
    case ConnectionString::Kind::Odbc:
        m_odbcRadio->setChecked(true);
        m_dataSourceCombo->setCurrentText(source.dataSource());
        m_odbcUserEdit->setText(source.userId());
        m_odbcPasswordEdit->setText(source.password());
        break;
    case ConnectionString::Kind::Access:
        m_accessRadio->setChecked(true);
        m_accessFileEdit->setText(source.dataSource());
        m_accessUserEdit->setText(source.userId());
        m_accessPasswordEdit->setText(source.databasePassword());
        break;
    case ConnectionString::Kind::Sqlite:
        m_sqliteRadio->setChecked(true);
        m_sqliteFileEdit->setText(source.dataSource());
        break;
    }
    if (m_pages->currentWidget() == m_parameterPage)
        showParameterPanel();
}
