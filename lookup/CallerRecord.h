#pragma once

#include "lookup/AddressBookIndex.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What the caller window shows for one number, held in memory so that nothing of the
// database stays busy: the rows (label and value; row 1 the number, with the region of a
// number longer than 8 digits, row 2 the time, rows 3.. the customer's fields or the text
// saying why there are none), the other matches the user may step to, and what the user is
// to be told about the lookup. Made by CallerLookup.
class CallerRecord
{
public:
    enum class Source { None, AddressBook, Database };

    struct Row
    {
        QString label;
        QString value;
    };

    // A message box the lookup asks for: an error ("错误提示"), a notice or a warning ("系统提示").
    struct Notice
    {
        enum Kind { Error, Information, Warning };
        Kind kind = Error;
        QString text;
    };

    CallerRecord() = default;

    Source source() const { return m_source; }
    const QString& number() const { return m_number; }
    // The number to call the caller back on: as the line delivered it, with the leading
    // zeros of a long-distance number that the shown number leaves out.
    const QString& dialNumber() const { return m_dialNumber.isEmpty() ? m_number : m_dialNumber; }
    const QList<Row>& rows() const { return m_rows; }
    // The value of row `row`, counted from 1; empty past the last row.
    QString rowText(int row) const;
    // The lookup could not tell whether the caller is known (the database could not be
    // opened or its statement failed); the same number is looked up again next time.
    bool failed() const { return m_failed; }
    const QList<Notice>& notices() const { return m_notices; }

    // Stepping through several matches, database rows or contacts, one by one; there is no
    // step before the first match or past the last.
    bool canStepBack() const;
    bool canStepForward() const;
    void stepBack();
    void stepForward();
    // How many matches there are, and which of them is shown (from 1; 0 when none).
    int matchCount() const;
    int matchNumber() const;

    // The contact now shown; nullptr when none.
    const ContactSummary* currentContact() const;

private:
    friend class CallerLookup;

    void setRowText(int row, const QString& text);
    void showDatabaseRow();
    void showContact();
    QString timeText() const;

    Source m_source = Source::None;
    QString m_number;
    QString m_numberText; // with the region
    QString m_dialNumber;
    // The time a call shown again from the call log was logged; empty for a call now.
    QString m_loggedTime;
    QList<Row> m_rows;
    bool m_failed = false;
    QList<Notice> m_notices;
    std::function<QDateTime()> m_now;

    // Database matches: every row of the result as text and the cursor over them.
    bool m_resultOpen = false;
    QList<QStringList> m_results;
    int m_current = 0;

    // Address-book matches.
    QList<ContactSummary> m_contacts;
    int m_contactIndex = 0;
};

// The business records of a caller (the second statement's result) for the window's
// unfolded grid: column names and every row as text.
struct BusinessRecords
{
    QStringList fields;
    QList<QStringList> rows;
};
