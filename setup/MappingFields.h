#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One field of the customer table in the mapping wizard's field grid.
class CustomerField
{
public:
    CustomerField(QString fieldName, bool showFlag, bool phoneFlag, QString caption);

    QString FieldName;
    bool ShowFlag;  // shown in the caller window ("查看字段")
    bool PhoneFlag; // matched against the caller's number ("电话号码")
    QString Caption; // the row label typed for it; empty for the field's own name
};

// One field of the business table and the customer field it is joined to ("" for none).
class BusinessField
{
public:
    BusinessField(QString bizField, QString custField);

    QString BizField;
    QString CustField;
};

using CustomerFieldList = std::vector<std::unique_ptr<CustomerField>>;
using BusinessFieldList = std::vector<std::unique_ptr<BusinessField>>;

// What the wizard writes for an external database, built from its lists.
struct ExternalSource
{
    bool complete = false; // at least one shown and one phone-number field
    QString customerSql;
    QString businessSql;
    QStringList labels;
};

ExternalSource BuildExternalSource(const QString& customerTable, const QString& businessTable,
                                   const CustomerFieldList& xFields, const BusinessFieldList& yFields);
