#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

// "历史记录": the calls of the call log, oldest first, as they were when the window was
// last shown. A listed call can be shown again in the caller window; the log can be
// deleted. Created once, on first use, and only hidden and shown afterwards.
class HistoryWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryWindow)

public:
    explicit HistoryWindow(QWidget* parent = nullptr);
    ~HistoryWindow() override;

    QTableWidget* ListView1 = nullptr;
    QPushButton* Button1 = nullptr; // 详细信息
    QPushButton* Button3 = nullptr; // 清除记录
    QPushButton* Button2 = nullptr; // 确定

    void ListView1DblClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

extern HistoryWindow* HistoryForm;

// Brings up the history window, created on first use with `owner` as its owner; not
// modal. A window already on screen only comes to the front.
void ShowHistoryForm(QWidget* owner);
