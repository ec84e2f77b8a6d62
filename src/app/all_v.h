#pragma once

// The process-wide shared state of the program: every variable that more than one subsystem
// touches, under the name the rest of the code uses for it. The program makes exactly one
// ALL_V and hands it around by reference; tests make their own fresh ones.

#include "app/fixed_text.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

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

// One row of measurement data. Field order differs from the table's column order
// (Index, Time, Main_Number, Main_Function, Sub_Number, Sub_Function, T_Number, T_Function).
struct real_Record {
    std::int64_t Index = 0;
    FixedText<10> Main_No;
    FixedText<10> Sub_No;
    FixedText<35> Main_Range;
    FixedText<35> Sub_range;
    FixedText<10> T_no;
    FixedText<35> T_Range;
    FixedText<15> Time;
};

using list_of_real_Record = std::vector<real_Record>;

// Link numbers held by port_no: a serial port number, the network link, or none.
inline constexpr std::int32_t kNoLink = 0;
inline constexpr std::int32_t kNetworkLink = -100;
inline constexpr int kPortCount = 100;       // serial port numbers 0..99
inline constexpr int kRxBufSize = 19201;     // rx_buf / udp_buf, indexes 0..19200
inline constexpr int kLiveRecordCount = 101; // live_records, indexes 0..100
inline constexpr int kLanTextSize = 20001;   // lan_text, indexes 0..20000

struct ALL_V {
    std::array<com_Status, kPortCount> com_state{};
    // Device path of each serial port number, filled by start-up from the port enumeration in
    // the order the port list shows them (port 1 is the first item). Empty: no such port.
    std::array<QString, kPortCount> port_table{};
    std::int32_t port_no = kNoLink;
    QString send_str;

    list_of_real_Record file_records;
    std::array<real_Record, kLiveRecordCount> live_records{};
    std::int32_t live_count = 0;
    list_of_real_Record recall_records;

    std::array<std::uint8_t, kRxBufSize> rx_buf{};
    std::int32_t rx_pos = 0;
    std::int32_t rx_len = 0;
    std::array<std::uint8_t, kRxBufSize> udp_buf{};
    std::int32_t udp_pos = 0;
    std::int32_t udp_len = 0;

    bool debug_on = false;
    std::vector<QString> lan_text = std::vector<QString>(kLanTextSize);
    std::int32_t lan_index = 0;
    QString dec_sep;

    QDateTime last_rx_time;
    QStringList reply_lines;
    std::int32_t samp_ratio = 0;
    bool goon_active = false;
    bool check_hold = false;
    QDateTime start_time;
    bool stop_read = false;

    QString recall_state;
    std::int32_t recall_number = 0;
    std::int32_t recall_interval = 0;
    QString recall_mfunction;
    QString recall_sfunction;
    std::int32_t recall_count = 0;
    // With sub values the read-back takes two values per record; true while the main value
    // of record recall_count has been read and its sub value is awaited, even across passes.
    bool recall_pair_open = false;

    bool cursor_on = false;
    bool wheel_ready = true;

    QString remote_ip;
    std::int32_t remote_port = 0;

    // Text k of the current language.
    const QString& text(int k) const { return lan_text.at(10000 + lan_index + k); }
};
