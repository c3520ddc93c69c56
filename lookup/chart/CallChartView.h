#pragma once

#include "lookup/CallChart.h"

#include <QChartView>

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

// Calls per day as a line, or per hour of one day as bars. Both series are made once and
// only refilled, since the chart follows every keystroke of a search.
class CallChartView final : public QChartView, public CallChart
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CallChartView)

public:
    explicit CallChartView(QWidget* parent = nullptr);

    void showDays(QDate first, const std::vector<int>& counts, const QString& title) override;
    void showHours(const std::vector<int>& counts, const QString& title) override;
    void showNone(const QString& title) override;
    QWidget* widget() override;

private:
    // Shows the series of days or the one of hours, with a count axis up to the largest count.
    void showSeries(bool hourly, const std::vector<int>& counts, const QString& title);

    QLineSeries* m_days = nullptr;
    QDateTimeAxis* m_dayAxis = nullptr;
    QBarSeries* m_hours = nullptr;
    QBarSet* m_callsPerHour = nullptr;
    QBarCategoryAxis* m_hourAxis = nullptr;
    QValueAxis* m_countAxis = nullptr;
};
