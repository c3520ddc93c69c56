#include "lookup/HistoryWindowChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

HistoryWindowChart::HistoryWindowChart(QWidget* parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("callChart"));
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->hide();
    chart()->setMargins(QMargins(4, 4, 4, 4));
    setMinimumSize(320, 160);
}

void HistoryWindowChart::showTimeline(const CallHistory::Timeline& timeline)
{
    QChart* chart = this->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    if (timeline.counts.empty()) {
        chart->setTitle(tr("没有来电"));
        return;
    }
    const int most = *std::max_element(timeline.counts.begin(), timeline.counts.end());
    auto* countAxis = new QValueAxis;
    countAxis->setLabelFormat(QStringLiteral("%d"));
    countAxis->setRange(0, std::max(most, 1));
    countAxis->setTickCount(std::min(std::max(most, 1), 5) + 1);

    if (timeline.hourly) {
        chart->setTitle(tr("%1 每小时来电").arg(timeline.first.toString(QStringLiteral("yyyy-MM-dd"))));
        auto* calls = new QBarSet(tr("来电"));
        QStringList hours;
        for (size_t hour = 0; hour < timeline.counts.size(); ++hour) {
            *calls << timeline.counts[hour];
            hours << QString::number(hour);
        }
        auto* series = new QBarSeries;
        series->append(calls);
        chart->addSeries(series);
        auto* hourAxis = new QBarCategoryAxis;
        hourAxis->append(hours);
        chart->addAxis(hourAxis, Qt::AlignBottom);
        series->attachAxis(hourAxis);
        chart->addAxis(countAxis, Qt::AlignLeft);
        series->attachAxis(countAxis);
        return;
    }

    chart->setTitle(tr("每日来电"));
    QList<QPointF> points;
    points.reserve(qsizetype(timeline.counts.size()));
    for (size_t day = 0; day < timeline.counts.size(); ++day) {
        const QDateTime midnight = timeline.first.addDays(qint64(day)).startOfDay();
        points << QPointF(qreal(midnight.toMSecsSinceEpoch()), timeline.counts[day]);
    }
    auto* series = new QLineSeries;
    series->replace(points);
    chart->addSeries(series);
    auto* dayAxis = new QDateTimeAxis;
    dayAxis->setFormat(timeline.counts.size() > 366 ? QStringLiteral("yyyy-MM") : QStringLiteral("MM-dd"));
    dayAxis->setRange(timeline.first.startOfDay(), timeline.first.addDays(qint64(timeline.counts.size()) - 1).startOfDay());
    dayAxis->setTickCount(int(std::min<size_t>(timeline.counts.size(), 7)));
    chart->addAxis(dayAxis, Qt::AlignBottom);
    series->attachAxis(dayAxis);
    chart->addAxis(countAxis, Qt::AlignLeft);
    series->attachAxis(countAxis);
}
