#include "presentation/trend_graph.h"

#include <algorithm>
#include <cmath>

TrendGraph::TrendGraph(QCPAxis* key_axis, QCPAxis* value_axis) : QCPGraph(key_axis, value_axis) {}

int TrendGraph::dataCount() const {
    return store_ ? int(store_->size()) : 0;
}

double TrendGraph::dataMainKey(int index) const {
    return index;
}

double TrendGraph::dataSortKey(int index) const {
    return index;
}

double TrendGraph::dataMainValue(int index) const {
    return store_ && index >= 0 && std::size_t(index) < store_->size() ? store_->at(index) : 0;
}

QCPRange TrendGraph::dataValueRange(int index) const {
    const double y = dataMainValue(index);
    return QCPRange(y, y);
}

QPointF TrendGraph::dataPixelPosition(int index) const {
    return coordsToPixels(index, dataMainValue(index));
}

// Keys are the positions 0 .. n-1, so the searches are arithmetic.
int TrendGraph::findBegin(double sortKey, bool expandedRange) const {
    const int n = dataCount();
    const int at = int(std::clamp(std::ceil(sortKey), 0.0, double(n)));
    return expandedRange && at > 0 ? at - 1 : at;
}

int TrendGraph::findEnd(double sortKey, bool expandedRange) const {
    const int n = dataCount();
    const int after = int(std::clamp(std::floor(sortKey) + 1, 0.0, double(n)));
    return expandedRange && after < n ? after + 1 : after;
}

// Ranges for rescaling; positions and values can be of either sign, so only the unrestricted
// domain is answered.
QCPRange TrendGraph::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const {
    foundRange = store_ && store_->size() > 0 && inSignDomain == QCP::sdBoth;
    return foundRange ? QCPRange(0, double(store_->size() - 1)) : QCPRange();
}

QCPRange TrendGraph::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                   const QCPRange& inKeyRange) const {
    foundRange = false;
    if (!store_ || store_->size() == 0 || inSignDomain != QCP::sdBoth)
        return {};
    std::size_t first = 0, last = store_->size();
    if (inKeyRange != QCPRange()) {
        first = std::size_t(std::clamp(std::ceil(inKeyRange.lower), 0.0, double(last)));
        last = std::size_t(std::clamp(std::floor(inKeyRange.upper) + 1, 0.0, double(last)));
    }
    const SeriesStore::Range r = store_->min_max(first, last);
    foundRange = !r.empty();
    return foundRange ? QCPRange(r.lo, r.hi) : QCPRange();
}

void TrendGraph::draw(QCPPainter* painter) {
    QCPAxis* key = keyAxis();
    QCPAxis* value = valueAxis();
    if (!store_ || store_->size() == 0 || !key || !value || key->range().size() <= 0)
        return;
    const QCPRange shown = key->range();
    const double from = key->coordToPixel(shown.lower);
    const double to = key->coordToPixel(shown.upper);
    const int columns = std::max(1, int(std::ceil(std::fabs(to - from))));
    vertices_.clear();
    store_->polyline(shown.lower, shown.upper, columns, vertices_);

    QVector<QPointF> lines;
    lines.reserve(qsizetype(vertices_.size()));
    for (const SeriesStore::Vertex& v : vertices_)
        lines.append(coordsToPixels(v.x, v.y));
    painter->setPen(pen());
    painter->setBrush(Qt::NoBrush);
    drawLinePlot(painter, lines);
}
