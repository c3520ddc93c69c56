#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

// "数据库连接配置": the user describes an ODBC data source or an Access file and gets its
// connection string in LinkString ("" after Cancel), and may try the string out first.
// Created once and kept, so every entry stays from one showing to the next.
class ConnectionDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConnectionDialog)

public:
    explicit ConnectionDialog(QWidget* parent = nullptr);
    ~ConnectionDialog() override;

    QString LinkString;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // ODBC
    QRadioButton* RadioButton2 = nullptr; // Access
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QRadioButton* RadioButton7 = nullptr;
    QWidget* Panel11 = nullptr;
    QWidget* Panel12 = nullptr;
    QWidget* Panel13 = nullptr;
    QWidget* Panel14 = nullptr;
    QWidget* Panel15 = nullptr;
    QWidget* Panel16 = nullptr;
    QWidget* Panel17 = nullptr;
    QComboBox* ODBCComboBox1 = nullptr;
    QPushButton* ODBCButton1 = nullptr;
    QLineEdit* ODBCEdit1 = nullptr;
    QLineEdit* ODBCEdit2 = nullptr;
    QLineEdit* AccessEdit1 = nullptr;
    QPushButton* AccessButton1 = nullptr;
    QLineEdit* AccessEdit2 = nullptr;
    QLineEdit* AccessEdit3 = nullptr;
    QLineEdit* SqlEdit1 = nullptr;
    QLineEdit* SqlEdit2 = nullptr;
    QLineEdit* SqlEdit3 = nullptr;
    QCheckBox* SqlCheckBox1 = nullptr;
    QComboBox* SqlComboBox1 = nullptr;
    QPushButton* ButtonNext = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* ButtonFinish = nullptr;

    void ButtonFinishClick();
    void CancelBtnClick();
    void Button2Click();
    void AccessButton1Click();
    void ODBCButton1Click();
    void SqlCheckBox1Click();
    void TabSheet2Show();
    void FillDsnList();

private:
    void buildForm();
    // The string of the selected choice; false for the choices that build none.
    bool buildLinkString(QString* link) const;
};

extern ConnectionDialog* DblinkForm;
