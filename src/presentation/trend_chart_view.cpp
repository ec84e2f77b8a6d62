#include "presentation/trend_chart_view.h"

#include "presentation/chart_math.h"
#include "presentation/stats_text.h"
#include "presentation/trend_graph.h"

#include <QEvent>
#include <QLabel>
#include <qcustomplot.h>

#include <algorithm>

namespace {

// About 30 redraws a second at most while readings stream in.
constexpr int kReplotIntervalMs = 33;

TrendGraph* graph_named(QCustomPlot& chart, const char* name) {
    for (int i = 0; i < chart.graphCount(); ++i)
        if (chart.graph(i)->objectName() == QLatin1String(name))
            return qobject_cast<TrendGraph*>(chart.graph(i));
    return nullptr;
}

void set_span(QCPAxis* axis, AxisSpan span) {
    axis->setRange(span.lower, span.upper);
}

} // namespace

TrendChartView::TrendChartView(QCustomPlot& cht1, QLabel& lbl_title_01, QLabel& lbl_title_02,
                               const MeasurementTable& table, const LanguageState& v)
    : chart_(cht1), title_01_(lbl_title_01), title_02_(lbl_title_02), v_(v),
      series1_(graph_named(cht1, "Series1")), series2_(graph_named(cht1, "Series2")),
      frame_(kReplotIntervalMs, [this] { replot_now(); }) {
    Q_ASSERT(series1_ && series2_);
    model_ = std::make_unique<TrendChart>(table, v);
    series1_->set_store(&model_->values(TrendChart::kMain));
    series2_->set_store(&model_->values(TrendChart::kSub));

    chart_.installEventFilter(this);
}

TrendChartView::~TrendChartView() {
    series1_->set_store(nullptr);
    series2_->set_store(nullptr);
}

void TrendChartView::chart_add_last() {
    model_->chart_add_last();
    show_state();
}

void TrendChartView::chart_add_last(const RecordView& r) {
    model_->chart_add_last(r);
    show_state();
}

bool TrendChartView::chart_add_loaded() {
    const bool ok = model_->chart_add_loaded();
    follow_ = true; // show what was loaded
    show_state();
    return ok;
}

bool TrendChartView::chart_add_loaded(const RecordStore& records) {
    const bool ok = model_->chart_add_loaded(records);
    follow_ = true; // show what was loaded
    show_state();
    return ok;
}

// Titles, the activity of Series2 and the right axis follow the data; the points themselves
// are already in the graphs.
void TrendChartView::show_state() {
    if (title_01_.text() != model_->title_01())
        title_01_.setText(model_->title_01());
    if (title_02_.text() != model_->title_02())
        title_02_.setText(model_->title_02());
    const bool sub = model_->series2_active();
    if (series2_->visible() != sub) {
        series2_->setVisible(sub);
        chart_.yAxis2->setVisible(sub);
    }
    title_02_.setVisible(sub);
    if (model_->clear_count() != clears_seen_) {
        clears_seen_ = model_->clear_count();
        follow_ = true; // a new run starts with a fitted view
    }
    schedule_replot();
}

void TrendChartView::schedule_replot() {
    replot_pending_ = true;
    frame_.request();
}

void TrendChartView::replot_now() {
    frame_.cancel();
    if (!replot_pending_)
        return;
    if (!chart_.isVisible())
        return; // drawn when it is shown again
    replot_pending_ = false;
    if (follow_)
        fit_axes();
    show_stats(); // new points in view change it even when the axes stay
    chart_.replot(QCustomPlot::rpQueuedRefresh);
    frame_.ran();
}

void TrendChartView::replot_for_picture() {
    if (follow_)
        fit_axes();
    chart_.replot(QCustomPlot::rpImmediateRefresh);
}

bool TrendChartView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &chart_ && event->type() == QEvent::Show && replot_pending_)
        schedule_replot();
    return QObject::eventFilter(watched, event);
}

void TrendChartView::fit_axes() {
    const std::size_t points =
        std::max(model_->point_count(TrendChart::kMain), model_->point_count(TrendChart::kSub));
    if (points == 0)
        return;
    const AxisSpan x = fitted_span(0, double(points - 1));
    set_span(chart_.xAxis, x);
    set_span(chart_.xAxis2, x);
    const SeriesStore::Range main = model_->y_extent(TrendChart::kMain);
    if (!main.empty())
        set_span(chart_.yAxis, fitted_span(main.lo, main.hi));
    const SeriesStore::Range sub = model_->y_extent(TrendChart::kSub);
    if (!sub.empty())
        set_span(chart_.yAxis2, fitted_span(sub.lo, sub.hi));
}

void TrendChartView::set_follows_data(bool on) {
    follow_ = on;
    schedule_replot();
}

void TrendChartView::zoom(int percent) {
    for (QCPAxis* axis : {chart_.yAxis, chart_.yAxis2, chart_.xAxis2, chart_.xAxis}) {
        const QCPRange r = axis->range();
        set_span(axis, zoomed_span({r.lower, r.upper}, percent));
    }
    follow_ = false;
    schedule_replot();
}

void TrendChartView::set_stats_strip(QWidget& pnl_stats, QLabel& lbl_stats1, QLabel& lbl_stats2) {
    stats_panel_ = &pnl_stats;
    stats_[TrendChart::kMain] = &lbl_stats1;
    stats_[TrendChart::kSub] = &lbl_stats2;
    // The strip keeps its room while hidden: the chart's height then stays the same when the
    // first point arrives or the sub line leaves the view, so the plot frame does not move
    // under the mouse and no resize forces a redraw beyond the paced ones.
    for (QWidget* w : {static_cast<QWidget*>(&pnl_stats), static_cast<QWidget*>(&lbl_stats1),
                       static_cast<QWidget*>(&lbl_stats2)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    const TrendGraph* graphs[] = {series1_, series2_};
    for (int line : {TrendChart::kMain, TrendChart::kSub}) {
        QLabel* label = stats_[line];
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true); // a line too long for the window wraps between items
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, graphs[line]->pen().color());
        label->setPalette(p);
    }
    // A zoom, a fit to new data, a pan: whatever moves the bottom axis moves the strip.
    connect(chart_.xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { show_stats(); });
    show_stats();
}

void TrendChartView::show_stats() {
    if (!stats_panel_)
        return;
    const bool any =
        model_->point_count(TrendChart::kMain) > 0 || model_->point_count(TrendChart::kSub) > 0;
    stats_panel_->setVisible(any);
    if (!any)
        return;
    const StatsWords words = stats_words(v_);
    const QCPRange shown = chart_.xAxis->range();
    const QLabel* titles[] = {&title_01_, &title_02_};
    for (int line : {TrendChart::kMain, TrendChart::kSub}) {
        const SeriesStore& values = model_->values(line);
        const PointRange in_view = visible_points(shown.lower, shown.upper, values.size());
        const SeriesStore::Stats s = values.stats(in_view.first, in_view.last);
        QLabel* label = stats_[line];
        const QString text = stats_line(titles[line]->text(), s, words, v_.separator());
        if (label->text() != text)
            label->setText(text);
        // Series1's line stays while the chart has points, saying when none is in view.
        label->setVisible(line == TrendChart::kMain || s.count > 0);
    }
}
