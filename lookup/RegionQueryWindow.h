#pragma once

#include <QDialog>

class QKeyEvent;
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

    // "其他信息" needs the caller window; it stays disabled until the owner that connects
    // callerInfoRequested to that window enables it.
    void enableCallerInfo();

signals:
    // "其他信息": the entry without its leading zeros, to be looked up as an incoming call
    // without the arrival sound.
    void callerInfoRequested(const QString& number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key is swallowed: only digits and backspace reach the entry.
    bool swallowsKey(const QKeyEvent* event) const;
    void query();
    void requestCallerInfo();

    const RegionTable& m_table;
    QLineEdit* m_numberEdit = nullptr;
    QLineEdit* m_regionEdit = nullptr;
    QPushButton* m_queryButton = nullptr;
    QPushButton* m_callerInfoButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};
