#pragma once

#include "lookup/DbConnection.h"
#include "lookup/DbTable.h"
#include "setup/MappingFields.h"

#include <QDialog>
#include <QString>

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
// Created once on first use and shown modally each time.
class DataSourceWizard final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DataSourceWizard)

public:
    explicit DataSourceWizard(QWidget* parent = nullptr);
    ~DataSourceWizard() override;

    CustomerFieldList XFields;
    BusinessFieldList YFields;
    QString CustTable;
    QString BizTable;
    QString ConnStr;
    int CurPage = 1;
    DbConnection ADOConnection1;
    DbConnection ADOConnection2;
    DbTable ADOTable1;

    QWidget* Panel3 = nullptr; // page 1: the three sources
    QWidget* Panel4 = nullptr; // page 2: customer table and fields
    QWidget* Panel6 = nullptr; // page 3: inventory account set
    QWidget* Panel8 = nullptr; // page 4: business table and join
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QPushButton* btnUp = nullptr;
    QPushButton* btnDown = nullptr;
    QLineEdit* PathEdit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QTableWidget* DBGrid1 = nullptr;
    QLineEdit* DBEdit1 = nullptr;
    QPushButton* Button2 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QTableWidget* StringGrid2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QPushButton* ButtonPrev = nullptr;
    QPushButton* ButtonNext = nullptr;
    QPushButton* ButtonFinish = nullptr;
    QPushButton* CancelBtn = nullptr;

    void ButtonNextClick();
    void ButtonPrevClick();
    void BitBtn1Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void StringGrid1Click(int row, int column);
    void btnUpClick();
    void btnDownClick();
    void StringGrid2Click(int row, int column);
    void ComboBox3Change();
    void ButtonFinishClick();
    void Button1Click();
    void Button2Click();
    void OpenAccountList();

protected:
    void showEvent(QShowEvent* event) override;

public slots:
    void done(int result) override;

private:
    void buildForm();
    void FormShow();
    void FormClose();
    void showPage(int page, bool prevEnabled, bool finishShown);
    void fillFieldGrid();
    void fillJoinGrid();
    void fillAccountGrid();
    void placeComboBox3();

    bool m_filling = false;
};

extern DataSourceWizard* DatabaseDlg;

// The tray menu's "设置数据源(&D)": the wizard, created on first use, shown modally.
void ShowDatabaseDlg(QWidget* parent);
