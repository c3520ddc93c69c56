#include "lookup/CallerRecord.h"

#include "lookup/CallLog.h"
#include "lookup/CallerLookup.h"

QString CallerRecord::rowText(int row) const
{
    return row >= 1 && row <= m_rows.size() ? m_rows.at(row - 1).value : QString();
}

void CallerRecord::setRowText(int row, const QString& text)
{
    // Values beyond the labelled rows are not shown, as in the grid.
    if (row >= 1 && row <= m_rows.size())
        m_rows[row - 1].value = text;
}

bool CallerRecord::canStepBack() const
{
    switch (m_source) {
    case Source::Database:
        return m_resultOpen && m_current > 0;
    case Source::AddressBook:
        return m_contactIndex > 0;
    case Source::None:
        break;
    }
    return false;
}

bool CallerRecord::canStepForward() const
{
    switch (m_source) {
    case Source::Database:
        return m_resultOpen && m_current + 1 < m_results.size();
    case Source::AddressBook:
        return m_contactIndex + 1 < m_contacts.size();
    case Source::None:
        break;
    }
    return false;
}

int CallerRecord::matchCount() const
{
    switch (m_source) {
    case Source::Database:
        return m_resultOpen ? int(m_results.size()) : 0;
    case Source::AddressBook:
        return int(m_contacts.size());
    case Source::None:
        break;
    }
    return 0;
}

int CallerRecord::matchNumber() const
{
    if (matchCount() == 0)
        return 0;
    return (m_source == Source::Database ? m_current : m_contactIndex) + 1;
}

void CallerRecord::stepBack()
{
    if (!canStepBack())
        return;
    if (m_source == Source::Database) {
        --m_current;
        showDatabaseRow();
    } else {
        --m_contactIndex;
        showContact();
    }
}

void CallerRecord::stepForward()
{
    if (!canStepForward())
        return;
    if (m_source == Source::Database) {
        ++m_current;
        showDatabaseRow();
    } else {
        ++m_contactIndex;
        showContact();
    }
}

QString CallerRecord::timeText() const
{
    return m_loggedTime.isEmpty() ? CallLog::timeText(m_now()) : m_loggedTime;
}

const ContactSummary* CallerRecord::currentContact() const
{
    if (m_source != Source::AddressBook || m_contactIndex < 0 || m_contactIndex >= m_contacts.size())
        return nullptr;
    return &m_contacts.at(m_contactIndex);
}

void CallerRecord::showDatabaseRow()
{
    // The time of a call now is that of the showing, so a step renews it.
    setRowText(1, m_numberText);
    setRowText(2, timeText());
    if (!m_resultOpen)
        return;
    if (m_results.isEmpty()) {
        setRowText(3, CallerLookup::databaseNotFoundText());
        return;
    }
    // Positional: the k-th column of the result goes to the row labelled FIELDk.
    const QStringList& values = m_results.at(m_current);
    for (int i = 0; i < values.size(); ++i)
        setRowText(i + 3, values.at(i));
}

void CallerRecord::showContact()
{
    const ContactSummary* entry = currentContact();
    if (!entry)
        return;
    const QStringList values = {entry->Name,   entry->HomeAddress, entry->BusinessAddress, entry->Company,
                                entry->Gender, entry->Birthday,    entry->EMail,           entry->Notes};
    for (int i = 0; i < values.size(); ++i)
        setRowText(i + 3, values.at(i));
}
