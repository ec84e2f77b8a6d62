#pragma once

#include <qcustomplot.h>

#include <vector>

#include "presentation/series_store.h"

// A line of the trend chart. It draws the points of a SeriesStore, which the chart's data model
// owns, instead of a copy in QCustomPlot's own container: a point is stored once, and a redraw
// reads at most a few summaries per pixel column however many points the line holds.
// QCustomPlot's one-dimensional data interface reports the store's points.
class TrendGraph : public QCPGraph {
    Q_OBJECT

public:
    TrendGraph(QCPAxis* key_axis, QCPAxis* value_axis);

    // The points to draw; null draws nothing. The store must outlive the graph or be detached.
    void set_store(const SeriesStore* store) { store_ = store; }

    int dataCount() const override;
    double dataMainKey(int index) const override;
    double dataSortKey(int index) const override;
    double dataMainValue(int index) const override;
    QCPRange dataValueRange(int index) const override;
    QPointF dataPixelPosition(int index) const override;
    int findBegin(double sortKey, bool expandedRange = true) const override;
    int findEnd(double sortKey, bool expandedRange = true) const override;
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                           const QCPRange& inKeyRange) const override;

protected:
    void draw(QCPPainter* painter) override;

private:
    const SeriesStore* store_ = nullptr;
    mutable std::vector<SeriesStore::Vertex> vertices_;
};
