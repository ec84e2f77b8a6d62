// Continuous readings (M/S pairs) through interpret_rx, into a counting sink, into the
// measurement table, and into the table and the trend chart as the window does. Reports
// records per second.
#include "presentation/measurement_table.h"
#include "presentation/trend_chart.h"
#include "rx_stream.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kPairs = 1000000;

QByteArray reading_stream(int pairs) {
    QByteArray s;
    s.reserve(qsizetype(pairs) * 40);
    for (int i = 0; i < pairs; ++i) {
        s += "M+" + QByteArray::number(1.0 + (i % 9973) * 1e-4, 'f', 4) + "E+00 DCV\r\n";
        s += "S+" + QByteArray::number(5.0 + (i % 127) * 1e-3, 'f', 3) + "E+01 HZ\r\n";
    }
    return s;
}

const std::vector<QByteArray>& blocks() {
    static const std::vector<QByteArray> b = receive_blocks(reading_stream(kPairs));
    return b;
}

void prepare(ALL_V& v) {
    v.dec_sep = QStringLiteral(".");
    v.goon_active = true;
    v.last_rx_time = QDateTime(QDate(2024, 3, 1), QTime(9, 5, 7));
}

void BM_ReadingsIntoCountingSink(benchmark::State& state) {
    blocks();
    long long rows = 0;
    for (auto _ : state) {
        auto v = std::make_unique<ALL_V>();
        prepare(*v);
        CountingSink sink;
        for (const QByteArray& b : blocks())
            receive(*v, sink, b);
        rows = sink.rows;
    }
    if (rows != kPairs)
        state.SkipWithError("not every pair became a record");
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ReadingsIntoCountingSink)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

class TableSink : public CountingSink {
public:
    MeasurementTable table;
    void add_reading(const RecordView& r) override { table.grid_add_row(r); }
};

void BM_ReadingsIntoTable(benchmark::State& state) {
    blocks();
    int rows = 0;
    for (auto _ : state) {
        auto v = std::make_unique<ALL_V>();
        prepare(*v);
        TableSink sink;
        for (const QByteArray& b : blocks())
            receive(*v, sink, b);
        rows = sink.table.row_count() - 1;
    }
    if (rows != kPairs)
        state.SkipWithError("not every pair became a row");
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ReadingsIntoTable)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// grid_add_row then chart_add_last for every reading: the whole path behind a receive step.
class TableAndChartSink : public TableSink {
public:
    explicit TableAndChartSink(const ALL_V& v) : chart(table, v) {}
    TrendChart chart;
    void add_reading(const RecordView& r) override {
        TableSink::add_reading(r);
        chart.chart_add_last(r);
    }
};

void BM_ReadingsIntoTableAndChart(benchmark::State& state) {
    blocks();
    std::size_t points = 0;
    for (auto _ : state) {
        auto v = std::make_unique<ALL_V>();
        prepare(*v);
        TableAndChartSink sink(*v);
        for (const QByteArray& b : blocks())
            receive(*v, sink, b);
        points = sink.chart.point_count(TrendChart::kMain);
    }
    if (points != std::size_t(kPairs))
        state.SkipWithError("not every pair became a chart point");
    state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_ReadingsIntoTableAndChart)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
