#include "lookup/CallerLookup.h"

#include "lookup/BlockList.h"
#include "lookup/CallLog.h"
#include "lookup/CallerStatement.h"
#include "lookup/DataSourceSettings.h"
#include "lookup/DbError.h"
#include "platform/addressbook/AddressBookLocation.h"

#include <QFile>

#include <chrono>

namespace {
// A caller ID sent again during one ringing call (some exchanges and modems repeat it) is
// the same call while the line rang or delivered the number this recently.
constexpr qint64 SameCallMs = 10000;
// Fewer digits than this match the end of too many stored numbers to name a caller.
constexpr int MinLookupDigits = 3;
// A number that ends more stored values than this is looked up by the statement as written.
constexpr int MaxIndexedValues = 200;

int digitCount(const QString& number)
{
    int digits = 0;
    for (const QChar c : number)
        digits += c.isDigit() ? 1 : 0;
    return digits;
}

QString inFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}
} // namespace

CallerLookup::CallerLookup(const DataSourceSettings& settings, RegionLookup region, QString folder,
                           std::function<QDateTime()> now, NumberIndexer::Loader indexLoader)
    : m_region(std::move(region)), m_folder(std::move(folder)), m_now(std::move(now)),
      m_customerQuery(&m_connection), m_businessQuery(&m_connection), m_statements(m_folder, m_now),
      m_addressBook(AddressBookLocation::storePath(m_folder), nullptr)
{
    // The file is written by the mapping wizard; a hand-edited number that does not read
    // is taken as 0 after telling the user.
    if (!settings.queryTypeValid || !settings.fieldCountValid)
        m_openingNotices.append({CallerRecord::Notice::Error, tr("请重新设置数据源参数！")});
    // A file that could not be read, or a count out of bounds, named for the user once.
    if (!settings.problem.isEmpty())
        m_openingNotices.append({CallerRecord::Notice::Warning, settings.problem});

    // Two rows until a source says otherwise, unlabelled.
    m_labels = {{}, {}};
    if (settings.queryType == 2 || settings.queryType == 3) {
        m_source = CallerRecord::Source::Database;
        m_customerSql = settings.customerSql;
        m_businessSql = settings.businessSql;
        // Row 3 is there even without a labelled field: it tells the first column or why
        // there is none, and it is what the call log keeps.
        m_labels.resize(std::max(settings.fieldCount, 1) + 2);
        m_labels[0].label = tr("来电号码");
        m_labels[1].label = tr("来电时间");
        for (int k = 0; k < settings.fieldCount; ++k)
            m_labels[k + 2].label = settings.labels.value(k);
        m_connection.setConnectionString(settings.connectString);
        // A database that cannot be opened now is tried again at each call, and the user is
        // told with the first one.
        openConnection(&m_creationConnectError);
        if (std::optional<IndexedStatement> indexed = IndexedStatement::parse(m_customerSql))
            m_numberIndexer = std::make_unique<NumberIndexer>(settings.connectString, std::move(*indexed),
                                                              std::move(indexLoader));
    } else if (settings.queryType == 1) {
        m_source = CallerRecord::Source::AddressBook;
        m_labels.clear();
        for (const QString& label : {tr("来电号码"), tr("来电时间"), tr("客户姓名"), tr("家庭地址"), tr("公司地址"),
                                     tr("公司名称"), tr("性    别"), tr("生    日"), tr("邮件地址"), tr("附    注")})
            m_labels.append({label, QString()});
        // An address book that cannot be read is named once; the calls then find nobody.
        if (m_addressBook.open() != 0)
            m_openingNotices.append({CallerRecord::Notice::Warning, m_addressBook.error});
        // The readable contacts are used; the user learns that some could not be read.
        if (m_addressBook.skippedCards > 0)
            m_openingNotices.append({CallerRecord::Notice::Warning,
                                     tr("通讯薄文件中有%1张名片无法读取，已跳过。").arg(m_addressBook.skippedCards)});
    }
}

CallerLookup::~CallerLookup() = default;

QString CallerLookup::databaseNotFoundText()
{
    return tr("数据库中没有对应来电的通讯资料信息！");
}

QString CallerLookup::addressBookNotFoundText()
{
    return tr("通讯薄中没有对应来电的通讯资料信息！");
}

QString CallerLookup::connectFailedText()
{
    return tr("数据库无法打开，未能查找来电资料！");
}

QString CallerLookup::statementFailedText()
{
    return tr("数据库操作失败，未能查找来电资料！");
}

bool CallerLookup::openConnection(QString* error)
{
    try {
        m_connection.open();
        return true;
    } catch (const DbError& e) {
        *error = e.message();
        return false;
    }
}

CallerRecord CallerLookup::blankRecord() const
{
    CallerRecord record;
    record.m_source = m_source;
    record.m_rows = m_labels;
    record.m_now = m_now;
    return record;
}

CallerRecord CallerLookup::lookUp(const QString& number, const QString& loggedTime)
{
    CallerRecord record = blankRecord();
    record.m_loggedTime = loggedTime;
    record.m_number = number;
    record.m_numberText = numberText(number);
    if (m_source == CallerRecord::Source::Database)
        lookUpInDatabase(record);
    else if (m_source == CallerRecord::Source::AddressBook)
        lookUpInAddressBook(record);
    return record;
}

void CallerLookup::showFailure(CallerRecord& record, const QString& text) const
{
    record.m_resultOpen = false;
    record.setRowText(1, record.m_numberText);
    record.setRowText(2, record.timeText());
    record.setRowText(3, text);
}

void CallerLookup::lookUpInDatabase(CallerRecord& record)
{
    // A number too short to name a caller claims no customer and needs no connection.
    if (digitCount(record.m_number) < MinLookupDigits) {
        showFailure(record, databaseNotFoundText());
        return;
    }
    if (!m_connection.connected()) {
        QString error = m_creationConnectError;
        m_creationConnectError.clear();
        if (!error.isEmpty() || !openConnection(&error)) {
            showFailure(record, connectFailedText());
            record.m_failed = true;
            record.m_notices.append({CallerRecord::Notice::Error, error});
            return;
        }
    }

    const std::optional<QString> statement = CallerStatement::withNumber(m_customerSql, record.m_number);
    if (!statement) {
        showFailure(record, databaseNotFoundText());
        return;
    }
    // A failed statement may mean the server went away; the connection then stays broken
    // although it still counts as open, so it is closed and the next call opens it afresh.
    auto fail = [&](const CallerRecord::Notice& notice) {
        showFailure(record, statementFailedText());
        record.m_failed = true;
        record.m_notices.append(notice);
        m_connection.close();
    };
    const std::shared_ptr<const NumberIndex> index = m_numberIndexer ? m_numberIndexer->current() : nullptr;
    try {
        QString error;
        // The statement as written finds what the index cannot: numbers it knows nothing ending
        // with, and everything while there is no index.
        if ((!index || !runThroughIndex(record.m_number, *index))
            && !m_statements.run(*statement, true, m_customerQuery, &error)) {
            fail({CallerRecord::Notice::Information, error});
            return;
        }
        m_customerQuery.first();
        // The result is copied out, so that nothing of the database stays in use.
        const int columns = int(m_customerQuery.fieldNames().size());
        record.m_results.reserve(m_customerQuery.recordCount());
        for (int row = 0; row < m_customerQuery.recordCount(); ++row) {
            QStringList values;
            for (int column = 0; column < columns; ++column)
                values << m_customerQuery.text(row, column);
            record.m_results << values;
        }
        m_customerQuery.close();
        // Perhaps the caller was stored in a way the index has not seen yet.
        if (record.m_results.isEmpty() && index)
            m_numberIndexer->refresh();
    } catch (const std::exception&) {
        m_customerQuery.close();
        fail({CallerRecord::Notice::Error, tr("数据库操作失败")});
        return;
    }
    record.m_resultOpen = true;
    record.m_current = 0;
    record.showDatabaseRow();
}

// The customers whose stored numbers, as the index has them, end with the number, and those
// who have the number itself stored as its plain digits (perhaps added since the index was
// built, which the statement as written would find): the customer statement run for exactly
// those values (and, where rows have keys, the rows the index names and those added since), so
// that the rows come in its own order. False when the index knows no such value or the
// statement found none of them any more.
bool CallerLookup::runThroughIndex(const QString& number, const NumberIndex& index)
{
    const NumberIndex::Matches matches = index.find(number);
    if (matches.values.isEmpty() || matches.values.size() > MaxIndexedValues || matches.rowIds.size() > MaxIndexedValues)
        return false;
    QStringList values = matches.values;
    if (!values.contains(number))
        values << number;
    const IndexedStatement& statement = m_numberIndexer->statement();
    const IndexedStatement::RowKey key = m_numberIndexer->rowKey();
    const QString sql = statement.exactStatement(int(values.size()), int(matches.rowIds.size()), key);
    const QVariantList bound = statement.exactValues(values, matches.rowIds, key, index.lastRowId());
    return m_statements.runWithValues(sql, bound, m_customerQuery) && m_customerQuery.recordCount() > 0;
}

void CallerLookup::lookUpInAddressBook(CallerRecord& record)
{
    record.setRowText(1, record.m_numberText);
    record.setRowText(2, record.timeText());
    // The index compares numbers as text, so a number with a '+' or blanks is looked up as
    // it is; a number too short would end too many stored numbers, and '|' separates them.
    if (digitCount(record.m_number) >= MinLookupDigits && !record.m_number.contains(QLatin1Char('|'))) {
        for (const ContactSummary* match : m_addressBook.findByPhone(record.m_number))
            record.m_contacts << *match;
    }
    record.m_contactIndex = 0;
    if (record.m_contacts.isEmpty())
        record.setRowText(3, addressBookNotFoundText());
    else
        record.showContact();
}

std::optional<CallerRecord> CallerLookup::arrive(const QString& number, const QString& delivered)
{
    const QDateTime now = m_now();
    const bool sameCall = !m_shownNumber.isNull() && number == m_shownNumber && withinCall(now);
    m_lastActivity = now;
    // A repeat leaves the record where the user stepped to; only a failed lookup is tried
    // again, and the call is still logged once.
    if (sameCall && !m_shownFailed && !m_shownBlocked)
        return std::nullopt;
    CallerRecord record = lookUp(number);
    record.m_dialNumber = delivered;
    m_shownNumber = number;
    m_shownFailed = record.failed();
    m_shownBlocked = false;
    if (!sameCall) {
        QString error;
        if (!logCall(number, record.rowText(3), &error))
            record.m_notices.append({CallerRecord::Notice::Error, error});
    }
    trace(record);
    return record;
}

bool CallerLookup::turnAway(const QString& number, QString* error)
{
    const QDateTime now = m_now();
    const bool sameCall = m_shownBlocked && number == m_shownNumber && withinCall(now);
    m_lastActivity = now;
    if (sameCall)
        return false;
    m_shownNumber = number;
    m_shownFailed = false;
    m_shownBlocked = true;
    logCall(number, BlockList::logRemark(), error);
    return true;
}

bool CallerLookup::ringingCallTurnedAway() const
{
    return m_shownBlocked && withinCall(m_now());
}

bool CallerLookup::withinCall(const QDateTime& now) const
{
    const qint64 sinceLast = m_lastActivity.isValid() ? m_lastActivity.msecsTo(now) : -1;
    return sinceLast >= 0 && sinceLast <= SameCallMs;
}

bool CallerLookup::logCall(const QString& number, const QString& remark, QString* error) const
{
    return CallLog(inFolder(m_folder, QStringLiteral("Phone.Log")), m_now).append(number, remark, error);
}

void CallerLookup::ringing()
{
    if (!m_shownNumber.isNull())
        m_lastActivity = m_now();
}

CallerRecord CallerLookup::reopen(const QString& number, const QString& loggedTime)
{
    CallerRecord record = lookUp(number, loggedTime);
    trace(record);
    return record;
}

// With VORNX_CALLER_LOG set (end-to-end runs and the latency benchmark), each record shown is
// appended to that file: "shown <steady clock in µs>", then "label<TAB>value" per row, then
// an empty line.
void CallerLookup::trace(const CallerRecord& record) const
{
    const QString path = qEnvironmentVariable("VORNX_CALLER_LOG");
    if (path.isEmpty())
        return;
    QByteArray text = "shown " +
                      QByteArray::number(qint64(std::chrono::duration_cast<std::chrono::microseconds>(
                                                    std::chrono::steady_clock::now().time_since_epoch())
                                                    .count())) +
                      '\n';
    for (const CallerRecord::Row& row : record.rows())
        text += (row.label + QLatin1Char('\t') + row.value).toUtf8() + '\n';
    QFile log(path);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(text + '\n');
}

std::optional<BusinessRecords> CallerLookup::businessRecords(const QString& number, QString* error)
{
    const std::optional<QString> statement = CallerStatement::withNumber(m_businessSql, number);
    if (!statement || !m_statements.run(*statement, true, m_businessQuery, error))
        return std::nullopt;
    BusinessRecords records;
    records.fields = m_businessQuery.fieldNames();
    for (int row = 0; row < m_businessQuery.recordCount(); ++row) {
        QStringList values;
        for (int column = 0; column < records.fields.size(); ++column)
            values << m_businessQuery.text(row, column);
        records.rows << values;
    }
    m_businessQuery.close();
    return records;
}

AddressBookDialogs::Result CallerLookup::showContactDetails(CallerRecord& record, AddressBookDialogs& dialogs)
{
    const ContactSummary* shown = record.currentContact();
    if (!shown || shown->EntryID.isEmpty())
        return AddressBookDialogs::NotFound;
    const QByteArray old = shown->EntryID;
    QByteArray current = old;
    const AddressBookDialogs::Result result = dialogs.details(m_addressBook.storePath, current);
    if (current != old) {
        for (ContactSummary& entry : m_addressBook.entries) {
            if (entry.EntryID == old)
                entry.EntryID = current;
        }
        for (ContactSummary& contact : record.m_contacts) {
            if (contact.EntryID == old)
                contact.EntryID = current;
        }
    }
    return result;
}

AddressBookDialogs::Result CallerLookup::newContact(AddressBookDialogs& dialogs)
{
    return dialogs.newContact(m_addressBook.storePath);
}

QString CallerLookup::numberText(const QString& number) const
{
    if (number.size() > 8 && m_region) {
        const QString district = m_region(number);
        if (!district.isEmpty())
            return number + QLatin1Char('(') + district + QLatin1Char(')');
    }
    return number;
}
