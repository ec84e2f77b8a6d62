#pragma once

// What the instrument link shares: the serial ports, the chosen link and the network peer.

#include <QString>

#include <array>
#include <cstdint>

// Status of one serial port. Only is_open carries state; the other fields are kept because
// they belong to the record's layout but nothing reads or writes them.
struct com_Status {
    QString status;
    bool is_Activities = false;
    bool is_real = false;
    std::int32_t Activ_ID = 0;
    std::int32_t real_count = 0;
    std::int32_t err_count = 0;
    bool is_open = false;
};

// Link numbers held by port_no: a serial port number, the network link, or none.
inline constexpr std::int32_t kNoLink = 0;
inline constexpr std::int32_t kNetworkLink = -100;
inline constexpr int kPortCount = 100;   // serial port numbers 0..99
inline constexpr int kRxBufSize = 19201; // rx_buf / udp_buf, indexes 0..19200

struct LinkState {
    std::array<com_Status, kPortCount> com_state{};
    // Device path of each serial port number, filled by start-up from the port enumeration in
    // the order the port list shows them (port 1 is the first item). Empty: no such port.
    std::array<QString, kPortCount> port_table{};
    std::int32_t port_no = kNoLink;
    QString send_str;

    // Bytes the network listener took in and the receive step has not yet passed on.
    std::array<std::uint8_t, kRxBufSize> udp_buf{};
    std::int32_t udp_pos = 0;
    std::int32_t udp_len = 0;
    QString remote_ip;
    std::int32_t remote_port = 0;

    // While true, link and interpreter append every exchange to the traffic log.
    bool debug_on = false;
};
