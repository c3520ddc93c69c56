#include "lookup/chart/CallChartView.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace {
constexpr int HoursPerDay = 24;
}

CallChartView::CallChartView(QWidget* parent) : QChartView(parent)
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
    for (int hour = 0; hour < HoursPerDay; ++hour) {
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
    showNone(QString());
}

QWidget* CallChartView::widget()
{
    return this;
}

void CallChartView::showNone(const QString& title)
{
    showSeries(false, {}, title);
}

void CallChartView::showHours(const std::vector<int>& counts, const QString& title)
{
    showSeries(true, counts, title);
    // Hours not given count no calls.
    for (int hour = 0; hour < HoursPerDay; ++hour)
        m_callsPerHour->replace(hour, size_t(hour) < counts.size() ? counts[size_t(hour)] : 0);
}

void CallChartView::showDays(QDate first, const std::vector<int>& counts, const QString& title)
{
    showSeries(false, counts, title);
    if (counts.empty())
        return;
    // Each day at its noon, reckoned from the first day's: converting every day's local time
    // on its own reads the time zone once per day, and a daylight-saving hour moves a noon
    // nowhere near the day before or after.
    constexpr qint64 DayMs = 24 * 3600 * 1000;
    const qint64 firstNoon = first.startOfDay().toMSecsSinceEpoch() + DayMs / 2;
    QList<QPointF> points;
    points.reserve(qsizetype(counts.size()));
    for (size_t day = 0; day < counts.size(); ++day)
        points << QPointF(qreal(firstNoon + qint64(day) * DayMs), counts[day]);
    m_days->replace(points);
    m_dayAxis->setFormat(counts.size() > 366 ? QStringLiteral("yyyy-MM") : QStringLiteral("MM-dd"));
    m_dayAxis->setRange(QDateTime::fromMSecsSinceEpoch(firstNoon),
                        QDateTime::fromMSecsSinceEpoch(firstNoon + qint64(counts.size() - 1) * DayMs));
    m_dayAxis->setTickCount(int(std::clamp<size_t>(counts.size(), 2, 7)));
}

void CallChartView::showSeries(bool hourly, const std::vector<int>& counts, const QString& title)
{
    chart()->setTitle(title);
    const bool any = !counts.empty();
    m_days->setVisible(any && !hourly);
    m_dayAxis->setVisible(any && !hourly);
    m_hours->setVisible(any && hourly);
    m_hourAxis->setVisible(any && hourly);
    m_countAxis->setVisible(any);
    if (!any)
        return;
    const int most = std::max(*std::max_element(counts.begin(), counts.end()), 1);
    m_countAxis->setRange(0, most);
    m_countAxis->setTickCount(std::min(most, 5) + 1);
    // Round steps: a count axis of 0, 203, 407, ... is hard to read.
    m_countAxis->applyNiceNumbers();
}
