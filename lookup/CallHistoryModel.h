#pragma once

#include "lookup/CallHistory.h"

#include <QAbstractTableModel>

// The calls of a CallHistory that a filter lets through, in the order of the column last
// sorted by (log order until then). Filtering and sorting work on row indexes, so a log
// of a hundred thousand calls is listed without copying a call.
class CallHistoryModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CallHistoryModel)

public:
    explicit CallHistoryModel(QObject* parent = nullptr);

    void setHistory(CallHistory history);
    const CallHistory& history() const { return m_history; }
    void setFilter(const CallFilter& filter);
    const CallFilter& filter() const { return m_filter; }
    // The listed calls as indexes into history(), in the listed order.
    const std::vector<qsizetype>& rows() const { return m_rows; }
    const CallHistory::Call& callAt(int row) const { return m_history.call(m_rows[size_t(row)]); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The text of a column as listed and exported.
    static QString columnTitle(CallHistory::Column column);
    QString text(int row, CallHistory::Column column) const;

private:
    void refilter();

    CallHistory m_history;
    CallFilter m_filter;
    std::vector<qsizetype> m_rows;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
