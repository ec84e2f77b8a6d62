#pragma once

// What reception shares: the received bytes waiting for the interpreter, the readings and
// read-back in progress, and the stores of records.

#include "state/link_state.h"
#include "state/record_store.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

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

inline constexpr int kLiveRecordCount = 101; // live_records, indexes 0..100

struct ReceptionState {
    // Received bytes that the interpreter has not consumed: rx_len bytes from rx_pos.
    std::array<std::uint8_t, kRxBufSize> rx_buf{};
    std::int32_t rx_pos = 0;
    std::int32_t rx_len = 0;
    QDateTime last_rx_time;
    // Steady-clock milliseconds at which the last block of bytes arrived: a read-back that
    // waits for bytes that stopped coming ends after a while.
    std::int64_t last_rx_tick = 0;
    QStringList reply_lines;

    list_of_real_Record file_records;
    std::array<real_Record, kLiveRecordCount> live_records{};
    std::int32_t live_count = 0;

    bool goon_active = false;
    bool check_hold = false;
    QDateTime start_time;

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
    list_of_real_Record recall_records;
};
