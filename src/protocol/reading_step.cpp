// The reading step: turns framed reply lines into records of live_records and hands each
// completed record to the table and the chart.
#include "protocol/interpret_rx.h"
#include "protocol/reading_time.h"
#include "protocol/split_reading.h"
#include "state/text_fields.h"

#include <algorithm>

namespace {

constexpr qsizetype kReadingChars = 100;
static_assert(kGeneralTextMax <= kValueTextMax, "a slot holds every value text whole");

constexpr QByteArrayView kPending("Pending");

// The function of a reading: characters 32 to 126 only (framing keeps no others), so one
// byte each.
template <int N> void set_function(InlineText<N>& field, QStringView f) {
    char bytes[N];
    const qsizetype n = std::min<qsizetype>(f.size(), N);
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = char(f[i].unicode());
    field.assign(QByteArrayView(bytes, n));
}

void set_value(InlineText<kValueTextMax>& field, const SplitReading& s) {
    field.assign(QByteArrayView(s.value, s.value_size));
}

// A slot takes a new main value; what the slot held of an earlier record goes.
void start_record(real_Record& r, const SplitReading& s) {
    set_value(r.Main_No, s);
    r.main_value = s.number;
    set_function(r.Main_Range, s.function);
    r.Sub_No.clear();
    r.sub_value = kNoNumber;
    r.T_no.clear();
    r.T_Range.clear();
}

// Hands the filled slots to the sink and starts a new batch.
class Batch {
public:
    Batch(ALL_V& v, RxSink& sink) : v_(v), sink_(sink) {}

    void flush() {
        if (v_.live_count <= 0)
            return;
        if (time_size_ == 0)
            time_size_ = reading_time_text(second_of_day(v_.last_rx_time), time_);
        for (int i = 0; i < v_.live_count; ++i) {
            RecordView r = v_.live_records[i].view();
            r.Time = QByteArrayView(time_, time_size_);
            sink_.add_reading(r);
        }
        v_.live_count = 0;
        v_.start_time = v_.last_rx_time;
    }

    // The slot a new record goes into. A pass may carry more readings than there are slots:
    // the full batch goes out first, so every reading reaches the table, in order.
    real_Record& next_slot() {
        if (v_.live_count >= kLiveRecordCount)
            flush();
        return v_.live_records[v_.live_count];
    }

private:
    ALL_V& v_;
    RxSink& sink_;
    char time_[16];
    int time_size_ = 0;
};

} // namespace

void reading_step(ALL_V& v, RxSink& sink) {
    v.live_count = 0;
    qsizetype used = 0; // the last line used as a reading
    const QChar sep = v.separator();
    Batch batch(v, sink);
    SplitReading s;

    for (qsizetype j = 0; j < v.reply_lines.size(); ++j) {
        const QStringView line = v.reply_lines.at(j);
        if (trim_blanks(line).isEmpty())
            continue;
        const QStringView rest = trim_blanks(line.mid(1, kReadingChars));
        switch (line.front().unicode()) {
        case u'S': {
            // Completes the record that the last M line started, when it is this slot.
            if (v.live_count >= kLiveRecordCount ||
                !(v.live_records[v.live_count].Sub_range == kPending))
                break;
            if (!split_reading(rest, sep, s))
                break;
            real_Record& r = v.live_records[v.live_count];
            r.Index = v.live_count;
            set_value(r.Sub_No, s);
            r.sub_value = s.number;
            set_function(r.Sub_range, s.function);
            ++v.live_count;
            used = j;
            break;
        }
        case u'T': {
            // The third value of the last completed record of the batch.
            if (v.live_count <= 0 || !split_reading(rest, sep, s))
                break;
            real_Record& r = v.live_records[v.live_count - 1];
            set_value(r.T_no, s);
            set_function(r.T_Range, s.function);
            used = j;
            break;
        }
        case u'M': {
            if (!split_reading(rest, sep, s))
                break;
            real_Record& r = batch.next_slot();
            start_record(r, s);
            r.Sub_range.assign(kPending);
            break;
        }
        case u'R':
            break; // never a reading
        default: {
            // A plain line is a whole record with a main value only; it is split untrimmed.
            // The slot's third value belongs to an earlier record and goes too.
            if (!split_reading(line, sep, s))
                break;
            real_Record& r = batch.next_slot();
            r.Index = v.live_count;
            start_record(r, s);
            r.Sub_range.clear();
            ++v.live_count;
            used = j;
            break;
        }
        }
    }

    // The lines up to the last one used are done with, and at least the first line; an M line
    // after the last used one stays to be read again with its S line in the next pass.
    v.reply_lines.remove(0, std::min(used + 1, v.reply_lines.size()));
    batch.flush();
}
