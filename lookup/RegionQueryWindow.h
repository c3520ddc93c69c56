#pragma once

#include <QDialog>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class RegionTable;

// "号码归属查询": tells the region of a typed number from the main window's region table.
class RegionQueryWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegionQueryWindow)

public:
    // table belongs to the main window and outlives this window.
    explicit RegionQueryWindow(const RegionTable& table, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edtPhoneNum = nullptr;
    QLineEdit* edtDistrict = nullptr;
    QPushButton* btnQurey = nullptr;
    QPushButton* btnExit = nullptr;
    // "其他信息" needs the caller-information window; it stays disabled until the code
    // that connects callerInfoRequested to that window enables it.
    QPushButton* btnInfo = nullptr;

signals:
    // "其他信息": the entry without its leading zeros, to be looked up as an incoming call
    // without the arrival sound.
    void callerInfoRequested(const QString& number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key is swallowed: only digits and backspace reach the entry.
    bool edtPhoneNumKeyPress(const QKeyEvent* event) const;
    void btnQureyClick();
    void btnInfoClick();
    void btnExitClick();

    const RegionTable& m_table;
};

extern RegionQueryWindow* PhoneQryForm;
