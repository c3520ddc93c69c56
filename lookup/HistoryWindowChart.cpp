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
    setMinimumSize(320, 160);
    QChart* chart = this->chart();
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));

    m_countAxis = new QValueAxis;
    m_countAxis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(m_countAxis, Qt::AlignLeft);

    m_days = new QLineSeries;
    chart->addSeries(m_days);
    m_dayAxis = new QDateTimeAxis;
    chart->addAxis(m_dayAxis, Qt::AlignBottom);
    m_days->attachAxis(m_dayAxis);
    m_days->attachAxis(m_countAxis);

    m_callsPerHour = new QBarSet(tr("来电"));
    QStringList hours;
    for (int hour = 0; hour < 24; ++hour) {
        *m_callsPerHour << 0;
        hours << QString::number(hour);
    }
    m_hours = new QBarSeries;
    m_hours->append(m_callsPerHour);
    chart->addSeries(m_hours);
    m_hourAxis = new QBarCategoryAxis;
    m_hourAxis->append(hours);
    // Small enough for all 24 hours to be named in a narrow window.
    QFont small = m_hourAxis->labelsFont();
    small.setPixelSize(9);
    m_hourAxis->setLabelsFont(small);
    m_hourAxis->setTruncateLabels(false);
    chart->addAxis(m_hourAxis, Qt::AlignBottom);
    m_hours->attachAxis(m_hourAxis);
    m_hours->attachAxis(m_countAxis);
    showTimeline({});
}

void HistoryWindowChart::showTimeline(const CallHistory::Timeline& timeline)
{
    const bool any = !timeline.counts.empty();
    m_days->setVisible(any && !timeline.hourly);
    m_dayAxis->setVisible(any && !timeline.hourly);
    m_hours->setVisible(any && timeline.hourly);
    m_hourAxis->setVisible(any && timeline.hourly);
    m_countAxis->setVisible(any);
    if (!any) {
        chart()->setTitle(tr("没有来电"));
        return;
    }
    const int most = std::max(*std::max_element(timeline.counts.begin(), timeline.counts.end()), 1);
    m_countAxis->setRange(0, most);
    m_countAxis->setTickCount(std::min(most, 5) + 1);
    // Round steps: a count axis of 0, 203, 407, ... is hard to read.
    m_countAxis->applyNiceNumbers();
    if (timeline.hourly)
        showHours(timeline);
    else
        showDays(timeline);
}

void HistoryWindowChart::showHours(const CallHistory::Timeline& timeline)
{
    chart()->setTitle(tr("%1 每小时来电").arg(timeline.first.toString(QStringLiteral("yyyy-MM-dd"))));
    for (int hour = 0; hour < 24; ++hour)
        m_callsPerHour->replace(hour, timeline.counts[size_t(hour)]);
}

void HistoryWindowChart::showDays(const CallHistory::Timeline& timeline)
{
    chart()->setTitle(tr("每日来电"));
    // Each day at its noon, reckoned from the first day's: converting every day's local time
    // on its own reads the time zone once per day, and a daylight-saving hour moves a noon
    // nowhere near the day before or after.
    constexpr qint64 DayMs = 24 * 3600 * 1000;
    const qint64 firstNoon = timeline.first.startOfDay().toMSecsSinceEpoch() + DayMs / 2;
    QList<QPointF> points;
    points.reserve(qsizetype(timeline.counts.size()));
    for (size_t day = 0; day < timeline.counts.size(); ++day)
        points << QPointF(qreal(firstNoon + qint64(day) * DayMs), timeline.counts[day]);
    m_days->replace(points);
    m_dayAxis->setFormat(timeline.counts.size() > 366 ? QStringLiteral("yyyy-MM") : QStringLiteral("MM-dd"));
    m_dayAxis->setRange(QDateTime::fromMSecsSinceEpoch(firstNoon),
                        QDateTime::fromMSecsSinceEpoch(firstNoon + qint64(timeline.counts.size() - 1) * DayMs));
    m_dayAxis->setTickCount(int(std::clamp<size_t>(timeline.counts.size(), 2, 7)));
}
