#include "lookup/DataSetModel.h"

#include "lookup/DbDataSet.h"

DataSetModel::DataSetModel(DbDataSet* dataSet, QObject* parent) : QAbstractTableModel(parent), m_dataSet(dataSet)
{
    connect(m_dataSet, &DbDataSet::resultChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_dataSet->isOpen() ? 0 : m_dataSet->recordCount();
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_dataSet->isOpen() ? 0 : int(m_dataSet->fieldNames().size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_dataSet->text(index.row(), index.column());
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !m_dataSet->isOpen())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_dataSet->fieldNames().value(section);
}
