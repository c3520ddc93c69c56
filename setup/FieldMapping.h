#pragma once

#include <QList>

struct StoredMapping;
#include <QString>
#include <QStringList>

// One field of the customer table as the mapping wizard's field grid shows it.
struct CustomerField
{
    QString name;
    bool shown = false; // shown in the caller window ("查看字段")
    bool phone = false; // matched against the caller's number ("电话号码")
    QString caption;    // the row label typed for it; empty for the field's own name
};

// One field of the business table and the customer field it is joined to ("" for none).
struct BusinessField
{
    QString name;
    QString customerField;
};

// What the wizard writes for an external database.
struct ExternalSource
{
    bool complete = false; // at least one shown and one phone-number field
    QString customerSql;
    QString businessSql;
    QStringList labels;
};

// How an external database maps onto the caller window: which customer fields are shown
// and in what order, which hold telephone numbers, what their rows are called, and how the
// business table joins the customer table. Rows are those of the wizard's two grids.
class FieldMapping
{
public:
    // A newly chosen table starts with none of its fields marked.
    void setCustomerTable(const QString& table, const QStringList& fields);
    void setBusinessTable(const QString& table, const QStringList& fields);
    void clear();
    // Marks, captions, order and joins as stored, on the tables set before. Names are matched
    // without regard to case, as databases give them in their own case; stored names that
    // are no field of the tables now are passed over.
    void restore(const StoredMapping& stored);

    const QString& customerTable() const { return m_customerTable; }
    const QString& businessTable() const { return m_businessTable; }
    const QList<CustomerField>& customerFields() const { return m_customerFields; }
    const QList<BusinessField>& businessFields() const { return m_businessFields; }
    int indexOfCustomerField(const QString& name) const;

    // Each returns false, changing nothing, for a row that holds no field.
    bool toggleShown(int row);
    bool togglePhone(int row);
    bool setCaption(int row, const QString& caption);
    bool setJoin(int row, const QString& customerField);

    // Moves a field one row and returns the row it is on afterwards (the same row where it
    // cannot move), so a selection can follow it.
    int moveUp(int row);
    int moveDown(int row);

    // The statements and row labels for the business table named `businessTable`, which is
    // what the wizard's combo box holds at the end, typed or chosen.
    ExternalSource build(const QString& businessTable) const;

private:
    bool isCustomerRow(int row) const { return row >= 0 && row < m_customerFields.size(); }

    QString m_customerTable;
    QString m_businessTable;
    QList<CustomerField> m_customerFields;
    QList<BusinessField> m_businessFields;
};
