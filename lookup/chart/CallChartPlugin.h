#pragma once

#include "lookup/CallChart.h"

#include <QObject>

// The root object of the plugin "vornx_chart": it makes the history window's charts.
class CallChartPlugin final : public QObject, public CallChartFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID CallChartFactory_iid)
    Q_INTERFACES(CallChartFactory)
    Q_DISABLE_COPY_MOVE(CallChartPlugin)

public:
    CallChartPlugin() = default;

    CallChart* createChart(QWidget* parent) override;
};
