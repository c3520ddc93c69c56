#include "lookup/chart/CallChartPlugin.h"

#include "lookup/chart/CallChartView.h"

CallChart* CallChartPlugin::createChart(QWidget* parent)
{
    return new CallChartView(parent);
}
