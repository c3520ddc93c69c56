#include "lookup/DbResultModel.h"

#include "lookup/DbDataSet.h"

DbResultModel::DbResultModel(DbDataSet* dataSet, QObject* parent)
    : QAbstractTableModel(parent)
    , m_dataSet(dataSet)
{
    // Opening or closing replaces the whole result.
    connect(m_dataSet, &DbDataSet::resultChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int DbResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_dataSet->recordCount();
}

int DbResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_dataSet->isOpen() ? 0 : int(m_dataSet->fieldNames().size());
}

QVariant DbResultModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return m_dataSet->text(index.row(), index.column());
}

QVariant DbResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !m_dataSet->isOpen())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_dataSet->fieldNames().value(section);
}
