// The one main() of the benchmark programs: the Qt application object that their code needs
// (the table posts its view updates to an event loop, the read thread posts its receive steps
// to one), then the benchmarks. The chart's programs draw widgets and are built with
// TELVANE_BENCH_WIDGETS; they draw on the offscreen platform unless one is named.
#include <benchmark/benchmark.h>

#if TELVANE_BENCH_WIDGETS
#include <QApplication>
using BenchApplication = QApplication;
#else
#include <QCoreApplication>
using BenchApplication = QCoreApplication;
#endif

#include <cstdlib>

int main(int argc, char** argv) {
#if TELVANE_BENCH_WIDGETS
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    BenchApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
