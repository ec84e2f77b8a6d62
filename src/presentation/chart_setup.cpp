#include "presentation/chart_setup.h"

#include "presentation/trend_graph.h"

#include <qcustomplot.h>

#include <cmath>

namespace {

class FixedPointTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale& /*locale*/, QChar /*formatChar*/,
                         int /*precision*/) override {
        return format_axis_value(tick);
    }
};

} // namespace

QString format_axis_value(double value) {
    if (!std::isfinite(value))
        return QString::number(value);
    QString s = QLocale().toString(value, 'f', 12);
    const QChar point = QLocale().decimalPoint().at(0);
    const qsizetype dot = s.indexOf(point);
    if (dot >= 0) {
        qsizetype end = s.size();
        while (end > dot + 1 && s.at(end - 1) == QLatin1Char('0'))
            --end;
        if (end == dot + 1)
            --end;
        s.truncate(end);
    }
    // Grouping separators are not part of the format.
    s.remove(QLocale().groupSeparator());
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

void setup_trend_chart(QCustomPlot& cht1) {
    cht1.legend->setVisible(false);
    cht1.setNoAntialiasingOnDrag(true);
    cht1.setPlottingHints(QCP::phCacheLabels | QCP::phFastPolylines);

    QSharedPointer<QCPAxisTicker> ticker(new FixedPointTicker);
    cht1.yAxis->setTicker(ticker);
    cht1.yAxis->setTickLength(0, 2);
    cht1.yAxis->setSubTickLength(0, 1);
    cht1.yAxis2->setTicker(QSharedPointer<QCPAxisTicker>(new FixedPointTicker));
    cht1.xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new FixedPointTicker));
    cht1.yAxis2->setVisible(false);

    QCPGraph* s1 = new TrendGraph(cht1.xAxis, cht1.yAxis); // the plot takes ownership
    s1->setObjectName(QStringLiteral("Series1"));
    s1->setName(QStringLiteral("Series1"));
    s1->setPen(QPen(Qt::red));
    s1->setLineStyle(QCPGraph::lsLine);
    s1->setScatterStyle(QCPScatterStyle::ssNone);
    s1->setAdaptiveSampling(true);

    QCPGraph* s2 = new TrendGraph(cht1.xAxis, cht1.yAxis2);
    s2->setObjectName(QStringLiteral("Series2"));
    s2->setName(QStringLiteral("Series2"));
    s2->setPen(QPen(Qt::green));
    s2->setLineStyle(QCPGraph::lsLine);
    s2->setScatterStyle(QCPScatterStyle::ssNone);
    s2->setAdaptiveSampling(true);
    s2->setVisible(false); // inactive until it holds points
}
