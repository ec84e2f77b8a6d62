// The trend chart at logger scale: appending points to both lines, plotting readings from the
// table, and redrawing the widget over the full range with millions of points per line.
// Reports points per second, memory per point and milliseconds per redraw.
#include "app/app_load.h"
#include "presentation/chart_setup.h"
#include "presentation/measurement_table.h"
#include "presentation/point_sources.h"
#include "presentation/series_store.h"
#include "presentation/trend_chart.h"
#include "presentation/trend_graph.h"
#include "state/all_v.h"

#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

// A reading's value: a slow wave with noise, as a drifting measurement looks.
double reading(std::size_t i) {
    return 1.2 + 0.3 * std::sin(double(i) * 1e-4) + 0.01 * double((i * 2654435761u) % 1000) / 1000;
}

std::size_t resident_bytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * std::size_t(sysconf(_SC_PAGESIZE));
}

std::unique_ptr<QCustomPlot> make_chart(const SeriesStore& main, const SeriesStore& sub) {
    auto chart = std::make_unique<QCustomPlot>();
    setup_trend_chart(*chart);
    chart->resize(880, 520); // the chart page of the main window at its opening size
    chart->show();
    qobject_cast<TrendGraph*>(chart->graph(0))->set_store(&main);
    qobject_cast<TrendGraph*>(chart->graph(1))->set_store(&sub);
    chart->graph(1)->setVisible(true);
    chart->yAxis2->setVisible(true);
    return chart;
}

// Both lines through their value stores and label runs, as the chart appends a reading.
void BM_ChartAppend(benchmark::State& state) {
    const auto per_line = std::size_t(state.range(0));
    double bytes_per_point = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto main = std::make_unique<SeriesStore>(), sub = std::make_unique<SeriesStore>();
        PointSources main_rows, sub_rows;
        const std::size_t before = resident_bytes();
        state.ResumeTiming();
        for (std::size_t i = 0; i < per_line; ++i) {
            const double y = reading(i);
            main->append(y);
            main_rows.append(int(i) + 1);
            sub->append(y * 40);
            sub_rows.append(int(i) + 1);
        }
        state.PauseTiming();
        bytes_per_point = double(resident_bytes() - before) / double(2 * per_line);
        benchmark::DoNotOptimize(main->at(per_line - 1));
        main.reset();
        sub.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(2 * per_line));
    state.counters["resident_bytes_per_point"] = bytes_per_point;
}
BENCHMARK(BM_ChartAppend)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Full-range redraw of the widget with `per_line` points in each of the two lines.
void BM_ChartReplot(benchmark::State& state) {
    const auto per_line = std::size_t(state.range(0));
    SeriesStore main, sub;
    for (std::size_t i = 0; i < per_line; ++i) {
        main.append(reading(i));
        sub.append(reading(i) * 40);
    }
    auto chart = make_chart(main, sub);
    chart->rescaleAxes();
    chart->replot(QCustomPlot::rpImmediateRefresh);
    for (auto _ : state)
        chart->replot(QCustomPlot::rpImmediateRefresh);
    state.counters["points_per_line"] = double(per_line);
}
BENCHMARK(BM_ChartReplot)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// Live readings: a table row, then chart_add_last, with a main and a sub value each.
void BM_ChartAddLast(benchmark::State& state) {
    const int rows = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ALL_V v;
        MeasurementTable table;
        app_load(v, {}, table);
        v.dec_sep = QStringLiteral(".");
        TrendChart chart(table, v);
        const QString dcv = QStringLiteral("DCV"), hz = QStringLiteral("Hz");
        const QString time = QStringLiteral("10:5:07.3");
        std::vector<QString> values;
        for (int i = 0; i < 4096; ++i)
            values.push_back(QString::number(reading(std::size_t(i)), 'f', 5));
        state.ResumeTiming();
        for (int i = 0; i < rows; ++i) {
            table.grid_add_row(time, values[i & 4095], dcv, values[(i + 7) & 4095], hz, {}, {});
            chart.chart_add_last();
        }
        benchmark::DoNotOptimize(chart.point_count(TrendChart::kSub));
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ChartAddLast)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A loaded table of `rows` readings, each with a main and a sub value, plotted at once.
void BM_ChartAddLoaded(benchmark::State& state) {
    const int rows = int(state.range(0));
    ALL_V v;
    MeasurementTable table;
    app_load(v, {}, table);
    v.dec_sep = QStringLiteral(".");
    table.set_row_count(rows + 1);
    for (int r = 1; r <= rows; ++r)
        table.set_row(r, r,
                      {QStringLiteral("10:5:07.3"),
                       QString::number(reading(r), 'f', 5),
                       "DCV",
                       QString::number(reading(r) * 40, 'f', 3),
                       "Hz",
                       {},
                       {}});
    for (auto _ : state) {
        state.PauseTiming();
        TrendChart chart(table, v);
        state.ResumeTiming();
        if (!chart.chart_add_loaded())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(chart.point_count(TrendChart::kSub));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(2) * rows);
}
BENCHMARK(BM_ChartAddLoaded)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
