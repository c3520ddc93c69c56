#pragma once

#include "lookup/CallHistory.h"

#include <QChartView>

// Calls per day, or per hour when the listed calls fall on one day.
class HistoryWindowChart final : public QChartView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryWindowChart)

public:
    explicit HistoryWindowChart(QWidget* parent = nullptr);

    void showTimeline(const CallHistory::Timeline& timeline);
};
