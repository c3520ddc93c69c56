#pragma once

#include <QAbstractTableModel>

class DbDataSet;

// A read-only grid view of a result: every column, titled by its field name, every row.
class DataSetModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DataSetModel(DbDataSet* dataSet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    DbDataSet* m_dataSet;
};
