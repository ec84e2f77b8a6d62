#pragma once

#include "app/all_v.h"

#include <cstdint>

class ComIo;

// One receive block: what a single receive step takes from the link at most.
inline constexpr int kReceiveBlockSize = 4801;

// Reads one block from link `port` and appends it to the pending bytes of rx_buf. True when
// at least one byte was appended. rx_buf never overflows (see append_pending).
bool com_receive(ALL_V& v, ComIo& io, std::int32_t port);
