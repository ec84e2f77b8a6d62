// Appends typical readings to the measurement table, as a week-long log would.
// Reports rows per second and the bytes the table holds per row.
#include "presentation/measurement_table.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

namespace {

struct Reading {
    QString time, main, sub;
};

std::vector<Reading> typical_readings(int n) {
    std::vector<Reading> r;
    r.reserve(n);
    for (int i = 0; i < n; ++i)
        r.push_back({QStringLiteral("%1:%2:%3.%4")
                         .arg(i / 36000 % 24)
                         .arg(i / 600 % 60)
                         .arg(i / 10 % 60, 2, 10, QChar('0'))
                         .arg(i % 10),
                     QString::number(1.23456 + (i % 1000) * 1e-4, 'f', 5),
                     QString::number(50.012 + (i % 7) * 1e-3, 'f', 3)});
    return r;
}

void BM_TableAppend(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::vector<Reading> readings = typical_readings(4096);
    const QString dcv = QStringLiteral("DCV"), hz = QStringLiteral("Hz");
    double bytes_per_row = 0;
    for (auto _ : state) {
        MeasurementTable table;
        for (int i = 0; i < rows; ++i) {
            const Reading& r = readings[i & 4095];
            table.grid_add_row(r.time, r.main, dcv, r.sub, hz, {}, {});
        }
        benchmark::DoNotOptimize(table.row_count());
        bytes_per_row = double(table.memory_bytes()) / rows;
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["bytes_per_row"] = bytes_per_row;
}
BENCHMARK(BM_TableAppend)->Arg(1000000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Readings as the interpreter hands them on (UTF-8 records), with whole values in scientific
// form as a multimeter measuring small currents sends them, and a sub value.
void BM_TableAppendWholeValues(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    std::vector<std::array<QByteArray, 3>> texts;
    for (int i = 0; i < 4096; ++i)
        texts.push_back({QStringLiteral("%1:%2:%3.%4")
                             .arg(i / 3600 % 24, 2, 10, QChar('0'))
                             .arg(i / 60 % 60)
                             .arg(i % 60, 2, 10, QChar('0'))
                             .arg(i % 60)
                             .toLatin1(),
                         "-1.23" + QByteArray::number(i % 997).rightJustified(3, '0') + "E-5",
                         QByteArray::number(50.012 + (i % 7) * 1e-3, 'f', 3)});
    double bytes_per_row = 0;
    for (auto _ : state) {
        MeasurementTable table;
        for (int i = 0; i < rows; ++i) {
            const auto& t = texts[std::size_t(i & 4095)];
            table.grid_add_row({i, t[0], t[1], "DCA", t[2], "Hz", "", "", 0, 0});
        }
        benchmark::DoNotOptimize(table.row_count());
        bytes_per_row = double(table.memory_bytes()) / rows;
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["bytes_per_row"] = bytes_per_row;
}
BENCHMARK(BM_TableAppendWholeValues)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

} // namespace
