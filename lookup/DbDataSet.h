#pragma once

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

class DbConnection;
class QSqlQuery;

// A result held in full (a static cursor) with a current record. The moves keep the
// rules the caller window relies on: first() makes the first record current and sets
// at-beginning; next() on the last record sets at-end and keeps the last record current;
// prior() on the first record sets at-beginning; an empty result is at both ends.
// A closed result is at both ends; reading or moving it throws DbError.
class DbDataSet : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DbDataSet)

public:
    explicit DbDataSet(DbConnection* connection = nullptr, QObject* parent = nullptr);

    void setConnection(DbConnection* connection);
    DbConnection* connection() const { return m_connection; }

    bool isOpen() const { return m_open; }
    // Does nothing when already closed.
    void close();

    void first();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;

    // The result's columns in column order.
    QStringList fieldNames() const;
    // A value of the current record as text; empty for a null. Names ignore letter case.
    QString fieldText(const QString& name) const;
    QString fieldText(int column) const;

    // For result grids: all rows, and moving the current record to a row.
    int recordCount() const;
    int currentIndex() const;
    QString text(int row, int column) const;
    void moveTo(int row);

signals:
    // The result was opened or closed.
    void resultChanged();
    void currentChanged();

protected:
    // Runs a statement that returns rows and keeps them; throws DbError with the provider's
    // message. With values, the statement is prepared and they are bound to its '?' in order.
    void load(const QString& statement, const QVariantList& values = {});
    static QString valueText(const QVariant& value);

private:
    void checkOpen() const;
    void setCurrent(int row);

    DbConnection* m_connection = nullptr;
    bool m_open = false;
    QStringList m_fields;
    QList<QVariantList> m_rows;
    int m_current = 0;
    bool m_eof = true;
    bool m_bof = true;
};
