#include "setup/MappingFields.h"

#include "lookup/DataSourceSettings.h"

CustomerField::CustomerField(QString fieldName, bool showFlag, bool phoneFlag, QString caption)
    : FieldName(std::move(fieldName))
    , ShowFlag(showFlag)
    , PhoneFlag(phoneFlag)
    , Caption(std::move(caption))
{
}

BusinessField::BusinessField(QString bizField, QString custField)
    : BizField(std::move(bizField))
    , CustField(std::move(custField))
{
}

ExternalSource BuildExternalSource(const QString& customerTable, const QString& businessTable,
                                   const CustomerFieldList& xFields, const BusinessFieldList& yFields)
{
    ExternalSource source;
    QStringList shown;
    QStringList phones;
    for (const auto& x : xFields) {
        if (x->ShowFlag) {
            shown << x->FieldName;
            source.labels << DataSourceSql::label(x->FieldName, x->Caption);
        }
        if (x->PhoneFlag)
            phones << x->FieldName;
    }
    source.complete = !shown.isEmpty() && !phones.isEmpty();
    if (!source.complete)
        return source;
    QList<QPair<QString, QString>> joins;
    for (const auto& y : yFields) {
        if (!y->CustField.isEmpty())
            joins << qMakePair(y->BizField, y->CustField);
    }
    source.customerSql = DataSourceSql::customerStatement(customerTable, shown, phones);
    source.businessSql = DataSourceSql::businessStatement(businessTable, customerTable, joins);
    return source;
}
