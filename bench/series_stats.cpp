// One chart line's value store at logger scale: the cost of appending a point (it runs per
// reading at wire speed), the bytes a point takes, and the statistics of the visible range of a
// 10-million-point line after wheel zooms, whose ranges cut the summary blocks at both ends.
#include "presentation/chart_math.h"
#include "presentation/series_store.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

namespace {

constexpr std::size_t kPoints = 10'000'000;

// A reading near 1,000,000.001 with noise in the last digits, the case that naive sums lose.
double reading(std::size_t i) {
    return 1'000'000.001 + 1e-6 * double((i * 2654435761u) % 1000);
}

void BM_SeriesAppend(benchmark::State& state) {
    const auto points = std::size_t(state.range(0));
    double bytes_per_point = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<SeriesStore>();
        state.ResumeTiming();
        for (std::size_t i = 0; i < points; ++i)
            store->append(reading(i));
        state.PauseTiming();
        bytes_per_point = double(store->memory_bytes()) / double(points);
        benchmark::DoNotOptimize(store->at(points - 1));
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(points));
    state.counters["bytes_per_point"] = bytes_per_point;
}
BENCHMARK(BM_SeriesAppend)->Arg(kPoints)->Unit(benchmark::kMillisecond)->Iterations(5);

const SeriesStore& ten_million() {
    static const SeriesStore* store = [] {
        auto* s = new SeriesStore;
        for (std::size_t i = 0; i < kPoints; ++i)
            s->append(reading(i));
        return s;
    }();
    return *store;
}

// The statistics of the points that the bottom axis shows after `notches` wheel notches
// forward from the fitted view of the whole line, as the chart's strip asks for them.
void BM_VisibleStats(benchmark::State& state) {
    const SeriesStore& s = ten_million();
    AxisSpan span = fitted_span(0, double(kPoints - 1));
    for (std::int64_t k = 0; k < state.range(0); ++k)
        span = zoomed_span(span, 101);
    const PointRange in_view = visible_points(span.lower, span.upper, s.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(s.stats(in_view.first, in_view.last));
    state.counters["first"] = double(in_view.first);
    state.counters["count"] = double(in_view.last - in_view.first);
}
BENCHMARK(BM_VisibleStats)
    ->Arg(0)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(300)
    ->Arg(600)
    ->Unit(benchmark::kMicrosecond);

// Ranges chosen to cut blocks badly: just past a block start at the front and just short of a
// block end at the back, so the walk reads the most single points and partial blocks.
void BM_StatsWorstCut(benchmark::State& state) {
    const SeriesStore& s = ten_million();
    const auto first = std::size_t(state.range(0));
    const auto last = std::size_t(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(s.stats(first, last));
    state.counters["count"] = double(last - first);
}
BENCHMARK(BM_StatsWorstCut)
    ->Args({1, kPoints - 1})
    ->Args({32769, 9'999'359})
    ->Args({1'048'577, 1'048'577 + 1'048'575})
    ->Args({123'457, 123'457 + 999})
    ->Unit(benchmark::kMicrosecond);

} // namespace
