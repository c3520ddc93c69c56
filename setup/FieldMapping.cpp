#include "setup/FieldMapping.h"

#include "lookup/DataSourceSettings.h"
#include "setup/StoredMapping.h"

#include <QPair>

#include <algorithm>

void FieldMapping::setCustomerTable(const QString& table, const QStringList& fields)
{
    m_customerTable = table;
    m_customerFields.clear();
    for (const QString& field : fields)
        m_customerFields << CustomerField{field, false, false, QString()};
}

void FieldMapping::setBusinessTable(const QString& table, const QStringList& fields)
{
    m_businessTable = table;
    m_businessFields.clear();
    for (const QString& field : fields)
        m_businessFields << BusinessField{field, QString()};
}

void FieldMapping::clear()
{
    m_customerFields.clear();
    m_businessFields.clear();
}

void FieldMapping::restore(const StoredMapping& stored)
{
    auto indexIn = [](const auto& fields, const QString& name) {
        for (int i = 0; i < fields.size(); ++i) {
            if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    };
    // The shown fields take the rows the shown fields have in the table, in the order of the
    // select list; the other fields keep their rows.
    QList<int> rows;
    QList<CustomerField> shown;
    for (int k = 0; k < stored.shownFields.size(); ++k) {
        const int i = indexIn(m_customerFields, stored.shownFields.at(k));
        if (i < 0 || rows.contains(i))
            continue;
        rows << i;
        CustomerField field = m_customerFields.at(i);
        field.shown = true;
        const QString label = stored.labels.value(k);
        field.caption = label == field.name ? QString() : label;
        shown << field;
    }
    std::sort(rows.begin(), rows.end());
    for (int k = 0; k < rows.size(); ++k)
        m_customerFields[rows.at(k)] = shown.at(k);
    for (const QString& phone : stored.phoneFields) {
        const int i = indexIn(m_customerFields, phone);
        if (i >= 0)
            m_customerFields[i].phone = true;
    }
    for (const auto& [businessField, customerField] : stored.joins) {
        const int i = indexIn(m_businessFields, businessField);
        const int j = indexIn(m_customerFields, customerField);
        if (i >= 0)
            m_businessFields[i].customerField = j >= 0 ? m_customerFields.at(j).name : customerField;
    }
}

int FieldMapping::indexOfCustomerField(const QString& name) const
{
    for (int i = 0; i < m_customerFields.size(); ++i) {
        if (m_customerFields.at(i).name == name)
            return i;
    }
    return -1;
}

bool FieldMapping::toggleShown(int row)
{
    if (!isCustomerRow(row))
        return false;
    m_customerFields[row].shown = !m_customerFields[row].shown;
    return true;
}

bool FieldMapping::togglePhone(int row)
{
    if (!isCustomerRow(row))
        return false;
    m_customerFields[row].phone = !m_customerFields[row].phone;
    return true;
}

bool FieldMapping::setCaption(int row, const QString& caption)
{
    if (!isCustomerRow(row))
        return false;
    m_customerFields[row].caption = caption.trimmed();
    return true;
}

bool FieldMapping::setJoin(int row, const QString& customerField)
{
    if (row < 0 || row >= m_businessFields.size())
        return false;
    m_businessFields[row].customerField = customerField.trimmed();
    return true;
}

int FieldMapping::moveUp(int row)
{
    if (row < 1 || row >= m_customerFields.size())
        return row;
    m_customerFields.swapItemsAt(row, row - 1);
    return row - 1;
}

int FieldMapping::moveDown(int row)
{
    if (row < 0 || row + 1 >= m_customerFields.size())
        return row;
    m_customerFields.swapItemsAt(row, row + 1);
    return row + 1;
}

ExternalSource FieldMapping::build(const QString& businessTable) const
{
    ExternalSource source;
    QStringList shown;
    QStringList phones;
    for (const CustomerField& field : m_customerFields) {
        if (field.shown) {
            shown << field.name;
            source.labels << DataSourceSql::label(field.name, field.caption);
        }
        if (field.phone)
            phones << field.name;
    }
    source.complete = !shown.isEmpty() && !phones.isEmpty();
    if (!source.complete)
        return source;
    QList<QPair<QString, QString>> joins;
    for (const BusinessField& field : m_businessFields) {
        if (!field.customerField.isEmpty())
            joins << qMakePair(field.name, field.customerField);
    }
    source.customerSql = DataSourceSql::customerStatement(m_customerTable, shown, phones);
    source.businessSql = DataSourceSql::businessStatement(businessTable, m_customerTable, joins);
    return source;
}
