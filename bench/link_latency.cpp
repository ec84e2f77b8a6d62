// How long a serial answer takes from its first byte on the line to the receive step, through
// the real read thread and serial library on a pseudo-terminal; and what the read thread costs
// while it only polls. The 10 ms poll and 100 ms settle time put the first figure at roughly
// 110 to 130 ms.
#include "link/com_io.h"
#include "link/com_receive.h"
#include "link/pcomm.h"
#include "link/pty_pair.h"
#include "link/read_thread.h"
#include "state/all_v.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>

namespace {

void BM_SerialAnswerToReceiveStep(benchmark::State& state) {
    PtyPair pty;
    ALL_V v;
    v.port_table[1] = pty.path();
    PComm pcomm(v.port_table);
    ComIo io(v, pcomm, nullptr, nullptr);
    if (!pty.valid() || !io.com_open(1, 12)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    QObject window;
    QEventLoop loop;
    TReadThread reader(
        &window, [&] { return pcomm.sio_iqueue(1); },
        [&] {
            if (com_receive(v, io, 1)) {
                v.rx_pos = 0;
                v.rx_len = 0;
            }
            loop.quit();
        });
    QTimer give_up; // an answer that never arrives ends the wait all the same
    give_up.setSingleShot(true);
    QObject::connect(&give_up, &QTimer::timeout, &loop, &QEventLoop::quit);
    reader.start();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!pty.send("+1.2345E+00 DCV\r\n")) {
            state.SkipWithError("write failed");
            break;
        }
        give_up.start(2000);
        loop.exec();
        give_up.stop();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    reader.stop();
    io.com_close(1);
}
BENCHMARK(BM_SerialAnswerToReceiveStep)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

double process_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// CPU time the idle read thread spends per second of wall time, as a share of one core.
void BM_IdlePollingCost(benchmark::State& state) {
    PtyPair pty;
    ALL_V v;
    v.port_table[1] = pty.path();
    PComm pcomm(v.port_table);
    ComIo io(v, pcomm, nullptr, nullptr);
    if (!pty.valid() || !io.com_open(1, 12)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    QObject window;
    TReadThread reader(
        &window, [&] { return pcomm.sio_iqueue(1); }, [] {});
    reader.start();
    double share = 0;
    for (auto _ : state) {
        const double cpu = process_cpu_seconds();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        share = process_cpu_seconds() - cpu;
    }
    state.counters["core_share"] = share;
    reader.stop();
    io.com_close(1);
}
BENCHMARK(BM_IdlePollingCost)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
