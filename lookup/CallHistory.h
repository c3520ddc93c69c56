#pragma once

#include "lookup/CallLog.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <vector>

// What the history window lists a call by: search text and an inclusive date range.
struct CallFilter
{
    QString text; // found in the number, the remark or the time text, any case; blank = all
    // Either may be left invalid for no bound.
    QDate from = {};
    QDate to = {};
};

// The calls of the call log held for searching and counting. Numbers and remarks repeat a
// lot in a shop's log, so each distinct text is held once and calls refer to it by index;
// a search then looks at each distinct text once instead of once per call.
class CallHistory
{
public:
    enum Column
    {
        TimeColumn,
        NumberColumn,
        RegionColumn,
        RemarkColumn,
        CountColumn,
        ColumnCount
    };

    struct Call
    {
        QString time;
        qint64 day = 0; // Julian day of the time text; 0 when the line holds no readable date
        int hour = -1;
        int number = 0; // index into the distinct numbers
        int remark = 0; // index into the distinct remarks
    };

    // Per day from the first to the last day of the counted calls, days without calls
    // included; or per hour of the day (24 counts) when they all fall on one day.
    struct Timeline
    {
        bool hourly = false;
        QDate first;
        std::vector<int> counts;
    };

    struct Caller
    {
        QString number;
        int calls = 0;
    };

    // The region of a number as the caller window shows it beside long numbers.
    using RegionLookup = std::function<QString(const QString& number)>;

    CallHistory() = default;
    explicit CallHistory(const QList<CallLog::Entry>& entries);

    qsizetype size() const { return qsizetype(m_calls.size()); }
    const Call& call(qsizetype index) const { return m_calls[size_t(index)]; }
    const QString& number(const Call& call) const { return m_numbers[size_t(call.number)]; }
    const QString& remark(const Call& call) const { return m_remarks[size_t(call.remark)]; }
    // How many calls of the whole log came from the call's number.
    int callsFromNumber(const Call& call) const { return m_callsPerNumber[size_t(call.number)]; }
    QDate firstDay() const;
    QDate lastDay() const;

    void setRegionLookup(RegionLookup lookup);
    // Looked up on first use and kept: only the listed rows need it.
    QString region(const Call& call) const;

    // The indexes of the calls the filter lets through, in log order.
    std::vector<qsizetype> matching(const CallFilter& filter) const;
    // Orders rows by a column; calls that compare equal keep their order. The first sort by
    // a column ranks every call once, so that sorting again as the filter changes only
    // compares integers.
    void sort(std::vector<qsizetype>* rows, Column column, Qt::SortOrder order) const;

    Timeline timeline(const std::vector<qsizetype>& rows) const;
    // The numbers most of the rows came from, most calls first, at most `count` of them.
    std::vector<Caller> busiestCallers(const std::vector<qsizetype>& rows, int count) const;

private:
    int intern(const QString& text, QHash<QString, int>* ids, std::vector<QString>* texts);
    // Each distinct text's place in the texts' order, to sort calls by comparing integers.
    static std::vector<int> ranks(const std::vector<QString>& texts);
    // Per call, its place in the order of a column; equal values share one.
    const std::vector<int>& sortKey(Column column) const;

    std::vector<Call> m_calls;
    std::vector<QString> m_numbers;
    std::vector<QString> m_remarks;
    std::vector<int> m_callsPerNumber;
    RegionLookup m_regionLookup;
    mutable std::vector<QString> m_regions;
    mutable std::vector<bool> m_regionKnown;
    mutable std::array<std::vector<int>, ColumnCount> m_sortKeys;
};
