#pragma once

#include <cstdint>

// The pending bytes of a receive buffer (rx_buf, udp_buf) are the `len` bytes that begin at
// index `pos`; new bytes go behind them. Appends never write past `capacity`:
//  - when the bytes do not fit behind the pending ones, the pending bytes move to the front;
//  - when even that leaves too little room, the oldest pending bytes are dropped, so the
//    buffer holds the newest bytes in their order. Whatever the reader failed to consume
//    by then is stale (a line that never ended, a dump held back), while the new bytes are
//    what the instrument says now; framing picks up again at the next line end.
//  - bytes beyond a whole buffer's worth in one append keep only their last `capacity`.
// Returns the number of bytes dropped (old and new together).
int append_pending(std::uint8_t* buf, int capacity, std::int32_t& pos, std::int32_t& len,
                   const std::uint8_t* data, int n);
