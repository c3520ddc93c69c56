#pragma once

#include "lookup/CallExport.h"
#include "lookup/CallHistory.h"

#include <QDialog>

#include <functional>

struct HistoryLoad;
class CallHistoryModel;
class CallChart;
class QAction;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

// "历史记录": the calls of the call log, oldest first, as they were when the window was
// last shown, narrowed as the user types and by a date range, with how often each number
// called, a chart of the listed calls and their busiest callers. A listed call can be asked
// for again (the owner shows it in the caller window), blocked or unblocked (the owner
// keeps the block list); the listed calls can be exported; the log can be deleted.
// Created once, on first use, and only hidden and shown afterwards. A big log is read in
// the background.
class HistoryWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryWindow)

public:
    explicit HistoryWindow(QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // The region listed beside long numbers; none without it.
    void setRegionLookup(CallHistory::RegionLookup lookup);
    // Whether a number is on the block list, to offer only the entry that applies; both
    // entries are offered without it.
    void setBlockedTest(std::function<bool(const QString& number)> isBlocked);
    // Writes the listed calls to path; a failure is told to the user. True when written.
    bool exportCalls(const QString& path, CallExport::Format format);

    // At most this many of the latest calls are held; the title tells of any earlier ones.
    static constexpr qsizetype kMaxListed = 200000;

signals:
    // "详细信息" or a double click: the selected call's number, without the blanks a
    // hand-edited log may hold around it, and the time it was logged, to be shown again
    // without the arrival sound.
    void callerRequested(const QString& number, const QString& loggedTime);
    // The selected call's number, to be put on or taken off the block list.
    void blockRequested(const QString& number);
    void unblockRequested(const QString& number);
    // The block list editor is asked for.
    void blockListRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void reload();
    void fill(HistoryLoad& load);
    // The search text and, when it is on, the date range, as the window shows them.
    CallFilter currentFilter() const;
    void applyFilter();
    // The chart from its plugin, or where the plugin cannot be loaded, a line that says why.
    void makeChart();
    void showCounts();
    QString selectedNumber() const;
    void updateBlockActions();
    void showCallMenu(const QPoint& position);
    void requestSelectedCaller();
    void chooseExportFile();
    void clearHistory();

    CallHistoryModel* m_calls = nullptr;
    QTableView* m_callList = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QCheckBox* m_rangeCheck = nullptr;
    QDateEdit* m_fromEdit = nullptr;
    QDateEdit* m_toEdit = nullptr;
    QLabel* m_countLabel = nullptr;
    QWidget* m_chartPanel = nullptr;
    // Made when the window is first shown: the program need not carry a chart it may
    // never show. None when its plugin could not be loaded.
    CallChart* m_chart = nullptr;
    bool m_chartMade = false;
    QListWidget* m_busiestList = nullptr;
    QAction* m_blockAction = nullptr;
    QAction* m_unblockAction = nullptr;
    QAction* m_blockListAction = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_blockListButton = nullptr;
    QPushButton* m_detailsButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QString m_title;
    CallHistory::RegionLookup m_regionLookup;
    std::function<bool(const QString&)> m_isBlocked;
    // Bumped by each reload, so that a log read in the background for an earlier showing
    // is not put into the list.
    int m_loadGeneration = 0;
};
