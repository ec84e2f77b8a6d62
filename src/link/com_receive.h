#pragma once

#include "state/reception_state.h"

#include <chrono>
#include <cstdint>

class ComIo;

// One receive block: what a single receive step takes from the link at most.
inline constexpr int kReceiveBlockSize = 4801;

// The clock of last_rx_tick: steady milliseconds.
inline std::int64_t steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Reads one block from link `port` and appends it to the pending bytes of rx_buf, stamping
// last_rx_tick. True when at least one byte was appended. rx_buf never overflows (see
// append_pending).
bool com_receive(ReceptionState& v, ComIo& io, std::int32_t port);
