// Saving, loading and exporting a table of a million typical readings.
// Reports the time of each and, for the exports, the memory they need beyond the table.
#include "app/app_load.h"
#include "files/csv_save.h"
#include "files/export_xls.h"
#include "files/export_xlsx.h"
#include "files/native_spreadsheet.h"
#include "files/text_data_file.h"
#include "presentation/measurement_table.h"
#include "protocol/number_text.h"
#include "state/all_v.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
const IdentTexts kLabels = {"Manufacturers", "Model", "Serial number", "Info"};
const IdentTexts kFields = {"ACME", "X1", "SN0042", "fw 1.0"};

// Values written with `sep`, as a user with that decimal separator sees them.
void fill(MeasurementTable& table, int rows, QChar sep = u'.') {
    ALL_V v;
    app_load(v, {}, table, QLocale::c());
    const QString dcv = QStringLiteral("DCV"), hz = QStringLiteral("Hz");
    for (int i = 0; i < rows; ++i)
        table.grid_add_row(QStringLiteral("%1:%2:%3.%4")
                               .arg(i / 36000 % 24)
                               .arg(i / 600 % 60)
                               .arg(i / 10 % 60, 2, 10, QChar('0'))
                               .arg(i % 10),
                           QString::number(1.23456 + (i % 1000) * 1e-4, 'f', 5).replace(u'.', sep),
                           dcv, QString::number(50.012 + (i % 7) * 1e-3, 'f', 3).replace(u'.', sep),
                           hz, {}, {});
}

long proc_kb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::string(key).size()));
    return 0;
}

// CPU seconds of the whole process, every thread included: on a busy machine the figure that
// wall time hides.
double process_cpu_s() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Lets the peak resident size (VmHWM) start again from the current size.
void reset_peak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

MeasurementTable& big_table() {
    static MeasurementTable table;
    if (table.row_count() < kRows)
        fill(table, kRows);
    return table;
}

MeasurementTable& big_comma_table() {
    static MeasurementTable table;
    if (table.row_count() < kRows)
        fill(table, kRows, u',');
    return table;
}

QTemporaryDir& dir() {
    static QTemporaryDir d;
    return d;
}

void BM_SaveText(benchmark::State& state) {
    const MeasurementTable& table = big_table();
    const QString file = dir().filePath("save.txt");
    for (auto _ : state)
        if (!save_text_file(file, kLabels, kFields, table))
            state.SkipWithError("save failed");
    state.counters["MB"] = double(QFile(file).size()) / 1e6;
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SaveText)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The load with its table rebuild; the chart step is stood in for by a pass that converts
// every main and sub value of the loaded table, as plotting the loaded run does.
void BM_LoadText(benchmark::State& state) {
    const QString file = dir().filePath("load.txt");
    if (!QFile::exists(file) && !save_text_file(file, kLabels, kFields, big_table()))
        state.SkipWithError("no file to load");
    ALL_V v;
    MeasurementTable table;
    app_load(v, {}, table, QLocale::c());
    const auto chart = [&] {
        double sum = 0, x;
        for (int r = 1; r < table.row_count(); ++r) {
            if (!text_to_number(table.cell(r, 2), u'.', x))
                return false;
            sum += x;
            if (text_to_number(table.cell(r, 4), u'.', x))
                sum += x;
        }
        benchmark::DoNotOptimize(sum);
        return true;
    };
    for (auto _ : state) {
        LoadTarget target{u'.', v.file_records, table, [](const IdentTexts&) {}, chart};
        if (!load_text_file(file, target))
            state.SkipWithError("load failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_LoadText)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ExportXls(benchmark::State& state) {
    const MeasurementTable& table = big_table();
    const QString file = dir().filePath("export.xls");
    double extra_mb = 0;
    for (auto _ : state) {
        const long before = proc_kb("VmRSS:");
        reset_peak();
        NativeSpreadsheetPlatform platform(u'.');
        if (!export_xls(file, table, platform, [] {}))
            state.SkipWithError("export failed");
        extra_mb = std::max(extra_mb, double(proc_kb("VmHWM:") - before) / 1024);
    }
    state.counters["extra_MB"] = extra_mb;
    state.counters["file_MB"] = double(QFile(file).size()) / 1e6;
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ExportXls)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Under a comma the value texts are read as numbers to get their separator swapped.
void BM_SaveCsv(benchmark::State& state) {
    const QChar sep = state.range(0) ? u',' : u'.';
    const MeasurementTable& table = sep == u',' ? big_comma_table() : big_table();
    const QString file = dir().filePath("save.csv");
    for (auto _ : state)
        if (!save_csv_file(file, table, sep))
            state.SkipWithError("save failed");
    state.counters["MB"] = double(QFile(file).size()) / 1e6;
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SaveCsv)
    ->ArgName("comma")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_ExportXlsx(benchmark::State& state) {
    const MeasurementTable& table = big_table();
    const QString file = dir().filePath("export.xlsx");
    double extra_mb = 0;
    const double cpu_before = process_cpu_s();
    for (auto _ : state) {
        const long before = proc_kb("VmRSS:");
        reset_peak();
        if (!export_xlsx(file, table, u'.'))
            state.SkipWithError("export failed");
        extra_mb = std::max(extra_mb, double(proc_kb("VmHWM:") - before) / 1024);
    }
    state.counters["process_cpu_s"] = (process_cpu_s() - cpu_before) / double(state.iterations());
    state.counters["extra_MB"] = extra_mb;
    state.counters["file_MB"] = double(QFile(file).size()) / 1e6;
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
