#pragma once

#include "presentation/frame_timer.h"
#include "presentation/trend_chart.h"

#include <QObject>

#include <memory>

class TrendGraph;
class QCustomPlot;
class QLabel;
class QWidget;

// Shows the trend chart's data on the QCustomPlot `cht1`: its two lines draw the points the
// model holds (nothing is copied into the plot), the titles go to their labels, and
// the plot is redrawn at most once per event-loop turn and about 30 times a second however
// fast readings arrive. While the data streams the axes follow it; a wheel zoom fixes them
// until the lines start again.
class TrendChartView : public QObject {
    Q_OBJECT

public:
    TrendChartView(QCustomPlot& cht1, QLabel& lbl_title_01, QLabel& lbl_title_02,
                   const MeasurementTable& table, const LanguageState& v);
    ~TrendChartView() override;

    TrendChart& model() { return *model_; }
    const TrendChart& model() const { return *model_; }
    TrendGraph& series1() const { return *series1_; }
    TrendGraph& series2() const { return *series2_; }

    void chart_add_last();
    void chart_add_last(const RecordView& r);
    bool chart_add_loaded();
    bool chart_add_loaded(const RecordStore& records);

    // Zooms all four axes by `percent` (101 narrows each by 1 % at each end, 99 widens).
    void zoom(int percent);
    // Whether the axes are fitted to the data at each redraw.
    bool follows_data() const { return follow_; }
    void set_follows_data(bool on);

    // Redraws now if a redraw is pending.
    void replot_now();
    // Brings the plot up to date now, shown or not, for a picture of it.
    void replot_for_picture();

    // The strip under the chart with the statistics of the points in view, one line per trace
    // in the trace's colour: shown while the chart has points, Series2's line while some of
    // its points are in view. Follows every redraw and every change of the bottom axis.
    void set_stats_strip(QWidget& pnl_stats, QLabel& lbl_stats1, QLabel& lbl_stats2);
    // Rewrites the strip now, as after a change of language.
    void show_stats();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show_state();
    void schedule_replot();
    void fit_axes();

    QCustomPlot& chart_;
    QLabel& title_01_;
    QLabel& title_02_;
    const LanguageState& v_;
    QWidget* stats_panel_ = nullptr;
    QLabel* stats_[2] = {nullptr, nullptr};
    TrendGraph* series1_;
    TrendGraph* series2_;
    std::unique_ptr<TrendChart> model_;
    FrameTimer frame_;
    bool replot_pending_ = false;
    bool follow_ = true;
    std::uint64_t clears_seen_ = 0;
};
