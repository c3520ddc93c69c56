#include "lookup/CallHistory.h"

#include "lookup/RegionQuery.h"

#include <algorithm>
#include <numeric>

namespace {
// The value of `count` digits at `at`, or -1 when any of them is not a digit.
int digitsAt(const QString& text, qsizetype at, int count)
{
    if (at + count > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The time text is parsed by hand: QDate::fromString costs far more, and is paid per call.
void readTime(const QString& text, qint64* day, int* hour)
{
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int dayOfMonth = digitsAt(text, 8, 2);
    if (year < 0 || month < 0 || dayOfMonth < 0 || text.at(4) != u'-' || text.at(7) != u'-')
        return;
    const QDate date(year, month, dayOfMonth);
    if (!date.isValid())
        return;
    *day = date.toJulianDay();
    const int h = text.size() > 10 && text.at(10) == u' ' ? digitsAt(text, 11, 2) : -1;
    *hour = h < 24 ? h : -1;
}

QString bare(const QString& number)
{
    return RegionQuery::withoutLeadingZeros(number.trimmed());
}
} // namespace

CallHistory::CallHistory(const QList<CallLog::Entry>& entries)
{
    QHash<QString, int> numberIds;
    QHash<QString, int> remarkIds;
    // A shop's log may hold as many callers as calls; growing the table as it fills costs
    // more than the lookups.
    numberIds.reserve(entries.size());
    m_calls.reserve(size_t(entries.size()));
    for (const CallLog::Entry& entry : entries) {
        Call call;
        call.time = entry.time;
        readTime(entry.time, &call.day, &call.hour);
        // Numbers a hand-edited log holds with blanks around them are the same caller.
        call.number = intern(entry.number.trimmed(), &numberIds, &m_numbers);
        call.remark = intern(entry.remark, &remarkIds, &m_remarks);
        m_calls.push_back(std::move(call));
    }
    m_callsPerNumber.assign(m_numbers.size(), 0);
    for (const Call& call : m_calls)
        ++m_callsPerNumber[size_t(call.number)];
    m_regions.assign(m_numbers.size(), QString());
    m_regionKnown.assign(m_numbers.size(), false);
}

int CallHistory::intern(const QString& text, QHash<QString, int>* ids, std::vector<QString>* texts)
{
    const auto found = ids->constFind(text);
    if (found != ids->cend())
        return found.value();
    const int id = int(texts->size());
    ids->insert(text, id);
    texts->push_back(text);
    return id;
}

QDate CallHistory::firstDay() const
{
    qint64 first = 0;
    for (const Call& call : m_calls)
        if (call.day != 0 && (first == 0 || call.day < first))
            first = call.day;
    return first ? QDate::fromJulianDay(first) : QDate();
}

QDate CallHistory::lastDay() const
{
    qint64 last = 0;
    for (const Call& call : m_calls)
        last = std::max(last, call.day);
    return last ? QDate::fromJulianDay(last) : QDate();
}

void CallHistory::setRegionLookup(RegionLookup lookup)
{
    m_regionLookup = std::move(lookup);
    m_regionKnown.assign(m_numbers.size(), false);
    m_sortKeys[RegionColumn].clear();
}

QString CallHistory::region(const Call& call) const
{
    const auto id = size_t(call.number);
    if (!m_regionKnown[id]) {
        const QString number = bare(m_numbers[id]);
        // As in the caller window: local numbers have no region.
        m_regions[id] = m_regionLookup && number.size() > 8 ? m_regionLookup(number) : QString();
        m_regionKnown[id] = true;
    }
    return m_regions[id];
}

std::vector<qsizetype> CallHistory::matching(const CallFilter& filter) const
{
    const QString text = filter.text.trimmed();
    // Times and numbers are digits: a text without letters is sought in them as it is,
    // which is several times faster than ignoring case.
    const Qt::CaseSensitivity digitsCase = text.toLower() == text.toUpper() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qint64 from = filter.from.isValid() ? filter.from.toJulianDay() : 0;
    const qint64 to = filter.to.isValid() ? filter.to.toJulianDay() : 0;
    const bool dated = from != 0 || to != 0;

    std::vector<char> numberHit(m_numbers.size(), 1);
    std::vector<char> remarkHit(m_remarks.size(), 1);
    if (!text.isEmpty()) {
        for (size_t i = 0; i < m_numbers.size(); ++i)
            numberHit[i] = m_numbers[i].contains(text, digitsCase);
        for (size_t i = 0; i < m_remarks.size(); ++i)
            remarkHit[i] = m_remarks[i].contains(text, Qt::CaseInsensitive);
    }

    std::vector<qsizetype> rows;
    rows.reserve(m_calls.size());
    for (size_t i = 0; i < m_calls.size(); ++i) {
        const Call& call = m_calls[i];
        // A line without a readable date cannot be said to lie in a range.
        if (dated && (call.day == 0 || (from && call.day < from) || (to && call.day > to)))
            continue;
        if (!text.isEmpty() && !numberHit[size_t(call.number)] && !remarkHit[size_t(call.remark)] &&
            !call.time.contains(text, digitsCase))
            continue;
        rows.push_back(qsizetype(i));
    }
    return rows;
}

std::vector<int> CallHistory::ranks(const std::vector<QString>& texts)
{
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return texts[size_t(a)] < texts[size_t(b)]; });
    std::vector<int> rank(texts.size());
    for (size_t place = 0; place < order.size(); ++place)
        rank[size_t(order[place])] = int(place);
    return rank;
}

const std::vector<int>& CallHistory::sortKey(Column column) const
{
    std::vector<int>& key = m_sortKeys[size_t(column)];
    if (!key.empty() || m_calls.empty())
        return key;
    key.resize(m_calls.size());
    switch (column) {
    case TimeColumn: {
        std::vector<int> order(m_calls.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return m_calls[size_t(a)].time < m_calls[size_t(b)].time; });
        // Equal times share a key, so they keep the rows' order.
        for (size_t place = 0; place < order.size(); ++place)
            key[size_t(order[place])] =
                place > 0 && m_calls[size_t(order[place])].time == m_calls[size_t(order[place - 1])].time
                    ? key[size_t(order[place - 1])]
                    : int(place);
        break;
    }
    case NumberColumn:
    case RemarkColumn: {
        const std::vector<int> rank = ranks(column == NumberColumn ? m_numbers : m_remarks);
        for (size_t i = 0; i < m_calls.size(); ++i)
            key[i] = rank[size_t(column == NumberColumn ? m_calls[i].number : m_calls[i].remark)];
        break;
    }
    case RegionColumn: {
        std::vector<QString> regions(m_numbers.size());
        for (const Call& c : m_calls)
            regions[size_t(c.number)] = region(c);
        const std::vector<int> rank = ranks(regions);
        for (size_t i = 0; i < m_calls.size(); ++i)
            key[i] = rank[size_t(m_calls[i].number)];
        break;
    }
    case CountColumn:
    case ColumnCount:
        for (size_t i = 0; i < m_calls.size(); ++i)
            key[i] = m_callsPerNumber[size_t(m_calls[i].number)];
        break;
    }
    return key;
}

void CallHistory::sort(std::vector<qsizetype>* rows, Column column, Qt::SortOrder order) const
{
    const std::vector<int>& key = sortKey(column);
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows->begin(), rows->end(),
                         [&](qsizetype a, qsizetype b) { return key[size_t(a)] < key[size_t(b)]; });
    else
        std::stable_sort(rows->begin(), rows->end(),
                         [&](qsizetype a, qsizetype b) { return key[size_t(a)] > key[size_t(b)]; });
}

CallHistory::Timeline CallHistory::timeline(const std::vector<qsizetype>& rows) const
{
    Timeline timeline;
    qint64 first = 0;
    qint64 last = 0;
    for (const qsizetype row : rows) {
        const qint64 day = call(row).day;
        if (day == 0)
            continue;
        first = first == 0 ? day : std::min(first, day);
        last = std::max(last, day);
    }
    if (first == 0)
        return timeline;
    timeline.first = QDate::fromJulianDay(first);
    timeline.hourly = first == last;
    timeline.counts.assign(timeline.hourly ? 24 : size_t(last - first + 1), 0);
    for (const qsizetype row : rows) {
        const Call& c = call(row);
        if (c.day == 0)
            continue;
        if (!timeline.hourly)
            ++timeline.counts[size_t(c.day - first)];
        else if (c.hour >= 0)
            ++timeline.counts[size_t(c.hour)];
    }
    return timeline;
}

std::vector<CallHistory::Caller> CallHistory::busiestCallers(const std::vector<qsizetype>& rows, int count) const
{
    std::vector<int> calls(m_numbers.size(), 0);
    for (const qsizetype row : rows)
        ++calls[size_t(call(row).number)];
    std::vector<int> ids;
    for (size_t id = 0; id < calls.size(); ++id)
        if (calls[id] > 0 && !m_numbers[id].isEmpty())
            ids.push_back(int(id));
    const size_t kept = std::min(ids.size(), size_t(std::max(count, 0)));
    // Ties by number, so that the list does not change order between two showings.
    std::partial_sort(ids.begin(), ids.begin() + qsizetype(kept), ids.end(), [&](int a, int b) {
        return calls[size_t(a)] != calls[size_t(b)] ? calls[size_t(a)] > calls[size_t(b)]
                                                    : m_numbers[size_t(a)] < m_numbers[size_t(b)];
    });
    std::vector<Caller> callers;
    for (size_t i = 0; i < kept; ++i)
        callers.push_back({m_numbers[size_t(ids[i])], calls[size_t(ids[i])]});
    return callers;
}
