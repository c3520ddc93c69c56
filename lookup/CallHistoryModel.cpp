#include "lookup/CallHistoryModel.h"

CallHistoryModel::CallHistoryModel(QObject* parent) : QAbstractTableModel(parent) {}

void CallHistoryModel::setHistory(CallHistory history)
{
    beginResetModel();
    m_history = std::move(history);
    m_rows = m_history.matching(m_filter);
    if (m_sortColumn >= 0)
        m_history.sort(&m_rows, CallHistory::Column(m_sortColumn), m_sortOrder);
    endResetModel();
}

void CallHistoryModel::setFilter(const CallFilter& filter)
{
    m_filter = filter;
    refilter();
}

void CallHistoryModel::refilter()
{
    beginResetModel();
    m_rows = m_history.matching(m_filter);
    if (m_sortColumn >= 0)
        m_history.sort(&m_rows, CallHistory::Column(m_sortColumn), m_sortOrder);
    endResetModel();
}

void CallHistoryModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= CallHistory::ColumnCount)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<qsizetype> previous;
    for (const QModelIndex& index : before)
        previous.push_back(m_rows[size_t(index.row())]);
    m_history.sort(&m_rows, CallHistory::Column(column), order);
    // The selected call stays selected wherever the sort puts it.
    if (!before.isEmpty()) {
        std::vector<int> rowOfCall(size_t(m_history.size()), -1);
        for (size_t row = 0; row < m_rows.size(); ++row)
            rowOfCall[size_t(m_rows[row])] = int(row);
        QModelIndexList after;
        for (size_t i = 0; i < previous.size(); ++i)
            after << index(rowOfCall[size_t(previous[i])], before.at(qsizetype(i)).column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CallHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CallHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : CallHistory::ColumnCount;
}

QString CallHistoryModel::text(int row, CallHistory::Column column) const
{
    const CallHistory::Call& call = callAt(row);
    switch (column) {
    case CallHistory::TimeColumn:
        return call.time;
    case CallHistory::NumberColumn:
        return m_history.number(call);
    case CallHistory::RegionColumn:
        return m_history.region(call);
    case CallHistory::RemarkColumn:
        return m_history.remark(call);
    case CallHistory::CountColumn:
        return QString::number(m_history.callsFromNumber(call));
    case CallHistory::ColumnCount:
        break;
    }
    return QString();
}

QVariant CallHistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), CallHistory::Column(index.column()));
    if (role == Qt::TextAlignmentRole && index.column() == CallHistory::CountColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CallHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= CallHistory::ColumnCount)
        return {};
    return columnTitle(CallHistory::Column(section));
}

QString CallHistoryModel::columnTitle(CallHistory::Column column)
{
    switch (column) {
    case CallHistory::TimeColumn:
        return tr("来电时间");
    case CallHistory::NumberColumn:
        return tr("来电号码");
    case CallHistory::RegionColumn:
        return tr("地区");
    case CallHistory::RemarkColumn:
        return tr("备注");
    case CallHistory::CountColumn:
        return tr("次数");
    case CallHistory::ColumnCount:
        break;
    }
    return QString();
}
