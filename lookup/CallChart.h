#pragma once

#include <QDate>
#include <QObject>
#include <QString>

#include <vector>

class QWidget;

// The chart of the history window's calls. It is drawn with Qt Charts, which the program
// resident in the tray should not carry, so it lives in the plugin "vornx_chart", loaded when
// the window is first shown. The program works out the counts and the titles; the chart only
// draws them.
class CallChart
{
public:
    virtual ~CallChart() = default;

    // One count per day, the first for `first`.
    virtual void showDays(QDate first, const std::vector<int>& counts, const QString& title) = 0;
    // One count per hour of a day, from midnight; 24 of them.
    virtual void showHours(const std::vector<int>& counts, const QString& title) = 0;
    // No calls to count: the title alone.
    virtual void showNone(const QString& title) = 0;
    // The chart's widget, to be put in a layout.
    virtual QWidget* widget() = 0;
};

// The plugin's root object.
class CallChartFactory
{
public:
    virtual ~CallChartFactory() = default;

    // A new chart whose widget is a child of parent.
    virtual CallChart* createChart(QWidget* parent) = 0;
};

#define CallChartFactory_iid "io.github.vornx.CallChartFactory/1.0"
Q_DECLARE_INTERFACE(CallChartFactory, CallChartFactory_iid)
