#pragma once

#include "lookup/AddressBookIndex.h"
#include "lookup/CallerRecord.h"
#include "lookup/DbConnection.h"
#include "lookup/DbQuery.h"
#include "lookup/NumberIndexer.h"
#include "lookup/StatementRunner.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

struct DataSourceSettings;

// Finds who is calling in the data source of "Vornx.ini": the address book (type 1) or a
// customer database (types 2 and 3) with its customer and business statements. The source
// is opened when the lookup is made; a database that cannot be opened then is tried again
// at each call, and a statement that fails closes the connection so that the next call
// opens it afresh. Each lookup gives a CallerRecord that holds its result in memory.
// A customer statement of the wizard's shape is looked up through a number index of its
// telephone fields first (NumberIndexer), so that numbers stored with blanks, dashes or
// +86 are found; the statement as written runs when the index finds nobody.
class CallerLookup
{
    Q_DECLARE_TR_FUNCTIONS(CallerLookup)
    Q_DISABLE_COPY_MOVE(CallerLookup)

public:
    // The region of a number as received ("" when none).
    using RegionLookup = std::function<QString(const QString& number)>;

    // folder is the program folder: "Phone.Log", the monthly statement logs and the address
    // book are found there. A customer statement of the wizard's shape gets a number index,
    // built in the background from the values indexLoader reads (by default the database's).
    CallerLookup(const DataSourceSettings& settings, RegionLookup region, QString folder,
                 std::function<QDateTime()> now = &QDateTime::currentDateTime,
                 NumberIndexer::Loader indexLoader = {});
    ~CallerLookup();

    CallerRecord::Source source() const { return m_source; }
    // What opening the source had to tell: settings that do not read, contacts skipped.
    const QList<CallerRecord::Notice>& openingNotices() const { return m_openingNotices; }

    // The rows before any call: their labels, no values.
    CallerRecord blankRecord() const;
    // Looks the number up. Only a number of digits reaches a statement, and a number of
    // fewer than 3 digits is looked up nowhere. The time row is loggedTime, or now when that
    // is empty.
    CallerRecord lookUp(const QString& number, const QString& loggedTime = QString());

    // A call's number arriving from the line: nothing when it repeats the number of the call
    // still ringing (its record stands where the user stepped to); otherwise its record,
    // logged in "Phone.Log" with row 3's text whatever the lookup found, and traced to
    // VORNX_CALLER_LOG when that is set. delivered is the number as the line gave it, to
    // call back on. A failed lookup is done again when the line repeats the number, without
    // a second log line.
    std::optional<CallerRecord> arrive(const QString& number, const QString& delivered = QString());
    // A call's number that the block list names: logged in "Phone.Log" with the remark
    // "黑名单", looked up nowhere. True for a new call, false for a repeat of the call still
    // ringing (logged once). A failed log write comes back in *error.
    bool turnAway(const QString& number, QString* error = nullptr);
    // The call still ringing is one turned away: its rings are not announced.
    bool ringingCallTurnedAway() const;
    // The line rang: the call whose number was shown last goes on.
    void ringing();
    // A number shown again at the user's asking (a call of the call log, a number typed in
    // the region query): looked up and traced but not logged, since no call came; the time
    // row is the time the call was logged, or now when loggedTime is empty.
    CallerRecord reopen(const QString& number, const QString& loggedTime);

    // The business records of a number (the second statement), read afresh. Nothing when
    // there is no statement for the number or it failed; *error then holds the notice for
    // a failure.
    std::optional<BusinessRecords> businessRecords(const QString& number, QString* error = nullptr);

    // The address book's dialogs for the contact the record shows and for a new contact.
    // A new identifier the details dialog gives a contact is taken on by the record and the
    // index, so that the dialog opens again.
    AddressBookDialogs::Result showContactDetails(CallerRecord& record, AddressBookDialogs& dialogs);
    AddressBookDialogs::Result newContact(AddressBookDialogs& dialogs);

    // The number index of the customer statement; null when the statement is not of a shape
    // the index understands, or the source is no database.
    NumberIndexer* numberIndexer() const { return m_numberIndexer.get(); }

    // Row 3 when the caller was not found, or when the lookup failed.
    static QString databaseNotFoundText();
    static QString addressBookNotFoundText();
    static QString connectFailedText();
    static QString statementFailedText();

private:
    bool openConnection(QString* error);
    void lookUpInDatabase(CallerRecord& record);
    bool runThroughIndex(const QString& number, const NumberIndex& index);
    void lookUpInAddressBook(CallerRecord& record);
    void showFailure(CallerRecord& record, const QString& text) const;
    QString numberText(const QString& number) const;
    void trace(const CallerRecord& record) const;

    // Whether now is still within the call last seen (its number or its ringing).
    bool withinCall(const QDateTime& now) const;
    bool logCall(const QString& number, const QString& remark, QString* error) const;

    CallerRecord::Source m_source = CallerRecord::Source::None;
    RegionLookup m_region;
    QString m_folder;
    std::function<QDateTime()> m_now;
    QList<CallerRecord::Row> m_labels;
    QList<CallerRecord::Notice> m_openingNotices;

    QString m_customerSql;
    QString m_businessSql;
    DbConnection m_connection;
    DbQuery m_customerQuery;
    DbQuery m_businessQuery;
    StatementRunner m_statements;
    std::unique_ptr<NumberIndexer> m_numberIndexer;
    QString m_creationConnectError;

    AddressBookIndex m_addressBook;
    QString m_shownNumber;
    bool m_shownFailed = false;
    bool m_shownBlocked = false;
    QDateTime m_lastActivity;
};
