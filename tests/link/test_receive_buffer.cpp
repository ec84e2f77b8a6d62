#include "link/com_io.h"
#include "link/com_receive.h"
#include "link/pcomm.h"
#include "link/receive_buffer.h"
#include "state/all_v.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

// A buffer of 10 bytes; '.' marks bytes that are not pending.
struct Case {
    const char* name;
    const char* before; // buffer content
    int pos, len;
    const char* incoming;
    const char* pending_after; // the pending bytes afterwards, in order
    int pos_after;
    int dropped;
};

TEST(AppendPending, NeverWritesPastTheEndAndKeepsTheNewestBytes) {
    const Case cases[] = {
        {"fits behind", "ab........", 0, 2, "cde", "abcde", 0, 0},
        {"fits exactly", "......abcd", 6, 4, "", "abcd", 6, 0},
        {"moves to the front", "......abcd", 6, 4, "efg", "abcdefg", 0, 0},
        {"drops the oldest", "..abcdefgh", 2, 8, "ijkl", "cdefghijkl", 0, 2},
        {"fills it", "abcdefg...", 0, 7, "hij", "abcdefghij", 0, 0},
        {"one too many", "abcdefghij", 0, 10, "k", "bcdefghijk", 0, 1},
        {"more than the whole buffer", "abc.......", 0, 3, "0123456789XY", "23456789XY", 0, 5},
        {"bad counters", "abcdefghij", 8, 5, "xy", "xy", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::array<std::uint8_t, 10 + 4> mem;
        mem.fill('#'); // guard bytes behind the buffer
        std::memcpy(mem.data(), c.before, 10);
        std::int32_t pos = c.pos;
        std::int32_t len = c.len;
        const int dropped = append_pending(mem.data(), 10, pos, len,
                                           reinterpret_cast<const std::uint8_t*>(c.incoming),
                                           static_cast<int>(std::strlen(c.incoming)));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(mem.data()) + pos, len), c.pending_after);
        EXPECT_EQ(pos, c.pos_after);
        EXPECT_EQ(dropped, c.dropped);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(mem.data()) + 10, 4), "####");
    }
}

TEST(ComReceive, AppendsOneBlockBehindThePendingBytes) {
    ALL_V v;
    PComm pcomm(v.port_table);
    ComIo io(v, pcomm, nullptr, nullptr);
    v.rx_buf[100] = 'A';
    v.rx_pos = 100;
    v.rx_len = 1;
    const QByteArray datagram(6000, 'x');
    std::memcpy(v.udp_buf.data(), datagram.constData(), datagram.size());
    v.udp_len = 6000;

    EXPECT_TRUE(com_receive(v, io, kNetworkLink));
    EXPECT_EQ(v.rx_pos, 100);
    EXPECT_EQ(v.rx_len, 1 + kReceiveBlockSize);
    EXPECT_EQ(v.rx_buf[100], 'A');
    EXPECT_EQ(v.udp_len, 6000 - kReceiveBlockSize);
    EXPECT_TRUE(com_receive(v, io, kNetworkLink));
    EXPECT_EQ(v.rx_len, 6001);
    EXPECT_FALSE(com_receive(v, io, kNetworkLink)); // network: nothing left
    EXPECT_FALSE(com_receive(v, io, 3));            // serial port that is not open
    EXPECT_FALSE(com_receive(v, io, kNoLink));
    EXPECT_EQ(v.rx_len, 6001);
}

TEST(ComReceive, AFullBufferKeepsTheNewestBytes) {
    ALL_V v;
    PComm pcomm(v.port_table);
    ComIo io(v, pcomm, nullptr, nullptr);
    std::memset(v.rx_buf.data(), 'o', kRxBufSize);
    v.rx_pos = 5000;
    v.rx_len = kRxBufSize - 5000;
    std::memset(v.udp_buf.data(), 'n', 4000);
    v.udp_len = 4000;
    EXPECT_TRUE(com_receive(v, io, kNetworkLink));
    EXPECT_EQ(v.rx_pos, 0);
    EXPECT_EQ(v.rx_len, kRxBufSize - 5000 + 4000);
    EXPECT_EQ(v.rx_buf[v.rx_len - 1], 'n');
    EXPECT_EQ(v.rx_buf[v.rx_len - 4001], 'o');
}

} // namespace
