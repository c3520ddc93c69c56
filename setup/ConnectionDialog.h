#pragma once

#include "setup/SourceCatalog.h"

#include <QDialog>
#include <QString>

class ConnectionAttempt;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

// "数据库连接配置": the user describes an ODBC data source, an Access file or a SQLite file
// and gets its connection string ("" after Cancel), and may try the string out first. Its
// owner keeps it from one showing to the next, so every entry stays.
class ConnectionDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConnectionDialog)

public:
    explicit ConnectionDialog(QWidget* parent = nullptr);
    ~ConnectionDialog() override;

    // The string built by the last Finish or connection test; empty after Cancel and Esc. The
    // close box keeps what was there.
    const QString& linkString() const { return m_linkString; }
    // Puts the choice and the entries of a connection string in place, as the settings in use
    // describe the source; a string that does not read changes nothing.
    void showConnection(const QString& connectString);

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildForm();
    QWidget* buildTypePage();
    QWidget* buildParameterPage();
    QWidget* buildOdbcPanel(QWidget* parent);
    QWidget* buildAccessPanel(QWidget* parent);
    QWidget* buildSqlitePanel(QWidget* parent);
    QWidget* buildSqlServerPanel(QWidget* parent);
    QWidget* buildSybasePanel(QWidget* parent);
    void nameWidgets();
    void connectWidgets();
    // The string of the selected choice; false for the choices that build none.
    bool buildLinkString(QString* link) const;
    void finish();
    void cancel();
    // A data source behind a server is tried from a thread of its own; the dialog stays usable.
    void testConnection();
    void testEnded(SourceCatalog::TestResult result, const QString& error);
    void showTestResult(SourceCatalog::TestResult result, const QString& error);
    void browseAccessFile();
    void browseSqliteFile();
    void openOdbcAdministrator();
    void updateSqlPasswordEdit();
    void showParameterPanel();
    void fillDataSourceNames();

    QString m_linkString;
    ConnectionAttempt* m_connecting = nullptr;

    QTabWidget* m_pages = nullptr;
    QWidget* m_typePage = nullptr;
    QWidget* m_parameterPage = nullptr;
    QRadioButton* m_odbcRadio = nullptr;
    QRadioButton* m_accessRadio = nullptr;
    QRadioButton* m_sqliteRadio = nullptr;
    QRadioButton* m_sqlServerRadio = nullptr;
    QRadioButton* m_paradoxRadio = nullptr;
    QRadioButton* m_oracleRadio = nullptr;
    QRadioButton* m_sybaseRadio = nullptr;
    QRadioButton* m_interBaseRadio = nullptr;
    QWidget* m_odbcPanel = nullptr;
    QWidget* m_accessPanel = nullptr;
    QWidget* m_sqlitePanel = nullptr;
    QWidget* m_sqlServerPanel = nullptr;
    QWidget* m_paradoxPanel = nullptr;
    QWidget* m_oraclePanel = nullptr;
    QWidget* m_sybasePanel = nullptr;
    QWidget* m_interBasePanel = nullptr;
    QComboBox* m_dataSourceCombo = nullptr;
    QPushButton* m_newDataSourceButton = nullptr;
    QLineEdit* m_odbcUserEdit = nullptr;
    QLineEdit* m_odbcPasswordEdit = nullptr;
    QLineEdit* m_accessFileEdit = nullptr;
    QPushButton* m_accessFileButton = nullptr;
    QLineEdit* m_accessUserEdit = nullptr;
    QLineEdit* m_accessPasswordEdit = nullptr;
    QLineEdit* m_sqliteFileEdit = nullptr;
    QPushButton* m_sqliteFileButton = nullptr;
    QLineEdit* m_sqlServerEdit = nullptr;
    QLineEdit* m_sqlUserEdit = nullptr;
    QLineEdit* m_sqlPasswordEdit = nullptr;
    QCheckBox* m_sqlEmptyPasswordCheck = nullptr;
    QComboBox* m_sqlDatabaseCombo = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_testButton = nullptr;
    QLabel* m_connectionNote = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_finishButton = nullptr;
};
