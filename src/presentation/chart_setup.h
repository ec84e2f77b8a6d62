#pragma once

#include <QString>

class QCustomPlot;

// Axis values as the chart labels them: fixed point, at most twelve decimals, no trailing
// zeros and no exponent ("0.############").
QString format_axis_value(double value);

// Gives the trend chart its fixed look: no legend or title, Series1 (red, left axis, shown) and
// Series2 (green, right axis, inactive until it holds points), fixed-point axis labels. Both
// lines are TrendGraphs, which draw the points of the chart's data model.
void setup_trend_chart(QCustomPlot& cht1);
