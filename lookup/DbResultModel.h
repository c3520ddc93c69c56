#pragma once

#include <QAbstractTableModel>

class DbDataSet;

// A read-only grid model of an open query or table: all its columns, titled by field name,
// every value as text (empty for a null); it follows the data set as it opens and closes.
// A window that lets the grid choose the current record calls DbDataSet::moveTo() with the
// grid's row; a single-field view follows DbDataSet::currentChanged.
class DbResultModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DbResultModel)

public:
    explicit DbResultModel(DbDataSet* dataSet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    DbDataSet* m_dataSet;
};
