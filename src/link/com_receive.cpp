#include "link/com_receive.h"

#include "link/com_io.h"
#include "link/receive_buffer.h"

#include <array>

bool com_receive(ReceptionState& v, ComIo& io, std::int32_t port) {
    std::array<std::uint8_t, kReceiveBlockSize> block;
    const std::int32_t n = io.com_read(port, block.data(), kReceiveBlockSize);
    if (n <= 0)
        return false;
    v.last_rx_tick = steady_ms();
    append_pending(v.rx_buf.data(), kRxBufSize, v.rx_pos, v.rx_len, block.data(), n);
    return true;
}
