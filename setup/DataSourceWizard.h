#pragma once

#include "setup/FieldMapping.h"
#include "setup/InventoryAccounts.h"
#include "setup/SourceCatalog.h"
#include "setup/StoredMapping.h"

#include <QDialog>
#include <QList>
#include <QString>

class ConnectionAttempt;
class ConnectionDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

// "数据源设置向导": chooses where the caller window looks callers up (the address book, an
// external database mapped table by table and field by field, or an account set of the
// maker's inventory product) and writes the choice to "Vornx.ini" in the program folder.
// Its owner creates it once and shows it modally each time; the dialog is accepted only when
// new settings were written.
class DataSourceWizard final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DataSourceWizard)

public:
    explicit DataSourceWizard(QWidget* parent = nullptr);
    ~DataSourceWizard() override;

    // 1 the three sources, 2 the customer table, 3 the account sets, 4 the business table.
    int currentPage() const { return m_page; }
    const FieldMapping& mapping() const { return m_mapping; }
    // Lists the account sets of the inventory product installed in `folder`, as after
    // "选择路径"; the folder ends with a separator.
    void openInventoryFolder(const QString& folder);

protected:
    void showEvent(QShowEvent* event) override;

public slots:
    void done(int result) override;

private:
    void buildForm();
    void nameWidgets();
    void connectWidgets();
    // Each showing starts on the settings in use: the source chosen in "Vornx.ini", and for a
    // database its tables, marked fields, captions and join, read back from the statements.
    void reset();
    void openSettingsInUse();
    void showAccountSet(const QString& connectString);
    // Opens the chosen source and lists its tables, with the stored mapping on them. A data
    // source behind a server is first reached from a thread of its own, so a server that does
    // not answer leaves the window usable while the attempt runs.
    void openSource(const StoredMapping& stored);
    void sourceReached(SourceCatalog::TestResult result, const QString& error);
    void listSource(const StoredMapping& stored);
    void releaseSource();
    void showPage(int page, bool prevEnabled, bool finishShown);
    void nextPage();
    void previousPage();
    void chooseSource();
    void customerTableChanged();
    void businessTableChanged();
    void toggleFieldMark(int row, int column);
    void moveField(int step);
    void editJoin(int row, int column);
    void placeJoinFieldCombo();
    void joinFieldChosen();
    void choosePath();
    void listAccountSets();
    void testAccountSet();
    void finish();
    void fillFieldGrid();
    void fillJoinGrid();
    void fillAccountGrid();

    FieldMapping m_mapping;
    SourceCatalog m_catalog;
    QString m_connectString;
    QList<AccountSet> m_accountSets;
    int m_page = 1;
    ConnectionAttempt* m_connecting = nullptr;
    StoredMapping m_reachingMapping; // to be put on the source's tables once it is reached
    bool m_filling = false;
    ConnectionDialog* m_connectionDialog = nullptr; // created on first use, kept for its entries

    QWidget* m_sourcePage = nullptr;
    QWidget* m_customerTablePage = nullptr;
    QWidget* m_accountSetPage = nullptr;
    QWidget* m_businessTablePage = nullptr;
    QRadioButton* m_addressBookRadio = nullptr;
    QRadioButton* m_externalSourceRadio = nullptr;
    QRadioButton* m_inventoryRadio = nullptr;
    QComboBox* m_customerTableCombo = nullptr;
    QPushButton* m_chooseSourceButton = nullptr;
    QTableWidget* m_fieldGrid = nullptr;
    QPushButton* m_moveUpButton = nullptr;
    QPushButton* m_moveDownButton = nullptr;
    QLineEdit* m_inventoryPathEdit = nullptr;
    QPushButton* m_choosePathButton = nullptr;
    QTableWidget* m_accountSetGrid = nullptr;
    QLineEdit* m_accountFileEdit = nullptr;
    QPushButton* m_testAccountSetButton = nullptr;
    QComboBox* m_businessTableCombo = nullptr;
    QTableWidget* m_joinGrid = nullptr;
    QLabel* m_numberIndexNote = nullptr;
    QLabel* m_connectionNote = nullptr;
    QComboBox* m_joinFieldCombo = nullptr;
    QPushButton* m_prevButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_finishButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
