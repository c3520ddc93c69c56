#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The mapping that "Vornx.ini" holds, read back from the statements the mapping wizard
// writes, so that the wizard opens on the settings in use. Statements of another shape
// (written by hand, or a template's) give what can be read of them, at worst nothing.
struct StoredMapping
{
    QString customerTable;
    QStringList shownFields; // in the order of the select list
    QStringList labels;      // the row label of each shown field
    QStringList phoneFields;
    QString businessTable;
    QList<QPair<QString, QString>> joins; // business field, customer field

    // customerSql is the customer statement, businessSql the business statement as stored or
    // as completed by the reader (the condition in brackets is passed over).
    static StoredMapping parse(const QString& customerSql, const QString& businessSql, const QStringList& labels);
};
