#pragma once

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// "Vornx.ini": where the caller window looks a caller up.
//   [QUERYTYPE] TYPE            1 address book, 2 external database, 3 inventory account set
//   [DBSET]     ConnectString   connection string of the lookup database
//               strSQL          customer statement, "#NO#" standing for the caller's number
//               strSQL1         first half of the business statement
//   [TABLESET]  FIELDNUM, FIELD0 ... FIELD(n-1)   labels of the customer statement's columns
struct DataSourceSettings
{
    Q_DECLARE_TR_FUNCTIONS(DataSourceSettings)

public:
    // More columns than any customer table the wizard maps; a larger FIELDNUM is a damaged
    // or hostile file, and would have every call build millions of empty rows.
    static constexpr int kMaxFields = 64;

    // TYPE and FIELDNUM that are not whole numbers read as 0 and clear these flags, so the
    // reader can ask the user to set the data source again.
    int queryType = 1;
    bool queryTypeValid = true;
    QString connectString;
    QString customerSql;
    QString businessSql; // already completed with the customer statement's condition
    int fieldCount = 0;
    bool fieldCountValid = true;
    QStringList labels; // fieldCount labels, "a" where a key is missing
    // What was wrong with the file, naming it (and the key), for the user; the values above
    // are then the defaults or the bounded ones.
    QString problem;

    // Reads the file with the buffer sizes of the original reader: 255 characters for the
    // connection string, the type and the labels, 511 for the two statements. The database
    // keys are read only for types 2 and 3. The file is read once.
    static DataSourceSettings read(const QString& iniFile);
};

// The statements and labels the mapping wizard writes, as plain functions. Table and field
// names that are not plain words (a blank, a hyphen, a leading digit) are put in double quotes.
namespace DataSourceSql {

// "select f1, f2 from T b where  b.p1 like '%#NO#' or b.p2 like '%#NO#' "
QString customerStatement(const QString& table, const QStringList& shownFields, const QStringList& phoneFields);

// "select a.* from B a,T b where  a.x=b.y and " for each (business field, customer field) pair.
QString businessStatement(const QString& businessTable, const QString& customerTable,
                          const QList<QPair<QString, QString>>& joins);

// The business statement completed with the customer statement's condition, appended in
// brackets. The condition starts after the clause customerStatement() writes (" b where  b."),
// so a table or field whose name holds "where" does not cut it in the wrong place; in a
// statement written by hand without that clause, after the first lower-case "where" (after
// its first four characters when there is none).
QString completedBusinessStatement(const QString& businessSql, const QString& customerSql);

// The caption typed for a field, or the field's name when none was typed.
QString label(const QString& fieldName, const QString& caption);

} // namespace DataSourceSql

// Writes a new "Vornx.ini" through "Vornx_temp.ini" in the same folder. commit() puts the new
// file in place with one rename, so either the old or the new settings are there at any moment.
// A value the reader would cut (longer than its buffer) or a write that failed spoils the whole
// new file: commit() then removes it, keeps the old "Vornx.ini" and returns the first error.
class DataSourceWriter
{
    Q_DECLARE_TR_FUNCTIONS(DataSourceWriter)

public:
    explicit DataSourceWriter(QString folder);

    QString fileName() const;
    QString tempFileName() const;

    // Starts the temporary file, empty or from a template (the inventory link's "Orvel.ini").
    // A template that cannot be copied is an error: the new file would lack its keys.
    bool startFrom(const QString& templateFile = QString());

    void writeQueryType(int type);
    void writeConnectString(const QString& connectString);
    // TYPE 2 with the connection string, both statements, the labels and their count, in
    // the order the wizard writes them.
    void writeExternalSource(const QString& connectString, const QString& customerSql, const QString& businessSql,
                             const QStringList& labels);

    // The first error so far; empty while every step worked.
    const QString& error() const { return m_error; }

    bool commit(QString* error = nullptr);

private:
    // `what` names the value for the user; `bufferSize` is the reader's buffer for the key.
    void write(const QString& section, const QString& key, const QString& value, const QString& what,
               int bufferSize);
    void fail(const QString& error);

    QString m_folder;
    QString m_error;
};
