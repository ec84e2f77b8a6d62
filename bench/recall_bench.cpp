// A dump of recorded values through recall_step (run by interpret_rx), in receive blocks.
// Reports values per second, for a dump without and with sub values.
#include "protocol/recall_step.h"
#include "rx_stream.h"

#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

constexpr int kValues = 1000000;

QByteArray dump(bool with_sub) {
    const int records = with_sub ? kValues / 2 : kValues;
    QByteArray s = QByteArray(kRecallHeader) + " 1bank," + QByteArray::number(records) +
                   "number,2024-03-01 09:05:07,1interval,DCVMfunction," +
                   (with_sub ? "ACV" : "NULL") + "Sfunction:";
    const qsizetype header = s.size();
    s.resize(header + qsizetype(kValues) * 4);
    for (int i = 0; i < kValues; ++i)
        qToLittleEndian(1.0f + float(i % 9973) * 1e-4f, s.data() + header + qsizetype(i) * 4);
    return s;
}

// range(0): with sub values; range(1): the first dump of the session (a fresh shared state,
// so the store's memory is new) or a later one (the store is reused, as in a running session).
void BM_RecallDump(benchmark::State& state) {
    const bool with_sub = state.range(0) != 0;
    const bool first = state.range(1) != 0;
    const std::vector<QByteArray> blocks = receive_blocks(dump(with_sub));
    auto session = std::make_unique<ALL_V>();
    session->dec_sep = QStringLiteral(".");
    if (!first) {
        CountingSink warm;
        for (const QByteArray& b : blocks)
            receive(*session, warm, b);
    }
    long long rows = 0;
    for (auto _ : state) {
        std::unique_ptr<ALL_V> fresh;
        if (first) {
            fresh = std::make_unique<ALL_V>();
            fresh->dec_sep = QStringLiteral(".");
        }
        ALL_V& v = first ? *fresh : *session;
        CountingSink sink;
        for (const QByteArray& b : blocks)
            receive(v, sink, b);
        rows = sink.rows;
    }
    if (rows != (with_sub ? kValues / 2 : kValues))
        state.SkipWithError("the dump did not complete");
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_RecallDump)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->ArgNames({"sub", "first"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

} // namespace
