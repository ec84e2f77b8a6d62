#pragma once

// The process-wide shared state of the program: every variable that more than one subsystem
// touches, under the name the rest of the code uses for it. The program makes exactly one
// ALL_V and hands it around by reference; tests make their own fresh ones.

#include "state/record_store.h"

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

// Bytes a value text can take in a slot of a live batch: the general text of any double fits.
inline constexpr int kValueTextMax = 32;

// One row of measurement data in a slot of the live batch, built up line by line (an M line
// gives the main value, its S line the sub value). Values keep their whole text beside the
// number it reads as; function texts of readings have at most 20 characters. Field order
// differs from the table's column order (Index, Time, Main_Number, Main_Function, Sub_Number,
// Sub_Function, T_Number, T_Function).
struct real_Record {
    std::int64_t Index = 0;
    InlineText<kValueTextMax> Main_No;
    InlineText<kValueTextMax> Sub_No;
    InlineText<35> Main_Range;
    InlineText<35> Sub_range;
    InlineText<kValueTextMax> T_no;
    InlineText<35> T_Range;
    InlineText<15> Time;
    double main_value = kNoNumber;
    double sub_value = kNoNumber;

    RecordView view() const {
        RecordView r;
        r.Index = Index;
        r.Time = Time.view();
        r.Main_No = Main_No.view();
        r.Main_Range = Main_Range.view();
        r.Sub_No = Sub_No.view();
        r.Sub_range = Sub_range.view();
        r.T_no = T_no.view();
        r.T_Range = T_Range.view();
        r.main_value = main_value;
        r.sub_value = sub_value;
        return r;
    }
};

// The stores of many records (a loaded file, a read-back) hold them compactly.
using list_of_real_Record = RecordStore;

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
    // Steady-clock milliseconds at which the last block of bytes arrived: a read-back that
    // waits for bytes that stopped coming ends after a while.
    std::int64_t last_rx_tick = 0;
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
    float recall_pair_main = 0; // the main value of that open pair

    bool cursor_on = false;
    bool wheel_ready = true;

    QString remote_ip;
    std::int32_t remote_port = 0;

    // Text k of the current language.
    const QString& text(int k) const { return lan_text.at(10000 + lan_index + k); }
};
