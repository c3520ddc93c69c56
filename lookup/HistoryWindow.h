#pragma once

#include <QDialog>

struct HistoryLoad;
class QPushButton;
class QTableWidget;

// "历史记录": the calls of the call log, oldest first, as they were when the window was
// last shown. A listed call can be asked for again (the owner shows it in the caller
// window); the log can be deleted. Created once, on first use, and only hidden and shown
// afterwards. A big log is read in the background, and only its latest calls are listed.
class HistoryWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryWindow)

public:
    explicit HistoryWindow(QWidget* parent = nullptr);
    ~HistoryWindow() override;

signals:
    // "详细信息" or a double click: the selected call's number, without the blanks a
    // hand-edited log may hold around it, and the time it was logged, to be shown again
    // without the arrival sound.
    void callerRequested(const QString& number, const QString& loggedTime);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void reload();
    void fill(const HistoryLoad& load);
    void requestSelectedCaller();
    void clearHistory();

    QTableWidget* m_callList = nullptr;
    QPushButton* m_detailsButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QString m_title;
    // Bumped by each reload, so that a log read in the background for an earlier showing
    // is not put into the list.
    int m_loadGeneration = 0;
};
