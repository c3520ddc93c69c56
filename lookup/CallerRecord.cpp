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
        return m_resultOpen && !m_bof;
    case Source::AddressBook:
        return m_contactIndex != 0;
    case Source::None:
        break;
    }
    return false;
}

bool CallerRecord::canStepForward() const
{
    switch (m_source) {
    case Source::Database:
        return m_resultOpen && !m_eof;
    case Source::AddressBook:
        return m_contactIndex < m_contacts.size() - 1;
    case Source::None:
        break;
    }
    return false;
}

void CallerRecord::stepBack()
{
    if (m_source == Source::Database) {
        if (!m_resultOpen)
            return;
        if (!m_bof) {
            m_eof = false;
            if (m_current == 0)
                m_bof = true;
            else
                --m_current;
        }
        showDatabaseRow();
    } else if (m_source == Source::AddressBook) {
        --m_contactIndex;
        showContact();
    }
}

void CallerRecord::stepForward()
{
    if (m_source == Source::Database) {
        if (!m_resultOpen)
            return;
        if (!m_eof) {
            m_bof = false;
            if (m_current + 1 >= m_results.size())
                m_eof = true;
            else
                ++m_current;
        }
        showDatabaseRow();
    } else if (m_source == Source::AddressBook) {
        ++m_contactIndex;
        showContact();
    }
}

const ContactSummary* CallerRecord::currentContact() const
{
    if (m_source != Source::AddressBook || m_contactIndex < 0 || m_contactIndex >= m_contacts.size())
        return nullptr;
    return &m_contacts.at(m_contactIndex);
}

void CallerRecord::showDatabaseRow()
{
    // The time is that of the showing, so a step renews it.
    setRowText(1, m_numberText);
    setRowText(2, CallLog::timeText(m_now()));
    if (!m_resultOpen)
        return;
    if (m_eof) {
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
