#pragma once

#include "lookup/CallHistory.h"

#include <QChartView>

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

// Calls per day, or per hour when the listed calls fall on one day. Both series are made
// once and only refilled, since the chart follows every keystroke of a search.
class HistoryWindowChart final : public QChartView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryWindowChart)

public:
    explicit HistoryWindowChart(QWidget* parent = nullptr);

    void showTimeline(const CallHistory::Timeline& timeline);

private:
    void showDays(const CallHistory::Timeline& timeline);
    void showHours(const CallHistory::Timeline& timeline);

    QLineSeries* m_days = nullptr;
    QDateTimeAxis* m_dayAxis = nullptr;
    QBarSeries* m_hours = nullptr;
    QBarSet* m_callsPerHour = nullptr;
    QBarCategoryAxis* m_hourAxis = nullptr;
    QValueAxis* m_countAxis = nullptr;
};
