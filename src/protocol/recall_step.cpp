#include "protocol/recall_step.h"

#include "protocol/decimal_text.h"
#include "protocol/format_reading.h"
#include "protocol/reading_time.h"
#include "protocol/text_trim.h"

#include <QStringList>

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint8_t kCR = 13;
constexpr std::uint8_t kLF = 10;

const std::uint8_t* pending(const ALL_V& v) {
    return v.rx_buf.data() + v.rx_pos;
}

void consume(ALL_V& v, int n) {
    v.rx_pos += n;
    v.rx_len -= n;
}

QChar separator_of(const ALL_V& v) {
    return v.dec_sep.isEmpty() ? QLatin1Char('.') : v.dec_sep.front();
}

struct FieldRow {
    const char* state;
    int more_than; // pending bytes needed: more than this
    char terminator;
    int max_len; // terminator included
    const char* next;
};

enum Field { Bank, Target, Start, Interval, MFunction, SFunction };

constexpr FieldRow kFields[] = {
    {"BANK", 30, ',', 22, "Target"},         {"Target", 30, ',', 22, "Start"},
    {"Start", 30, ',', 30, "interval"},      {"interval", 20, ',', 20, "Mfunction"},
    {"Mfunction", 20, ',', 20, "Sfunction"}, {"Sfunction", 20, ':', 20, "Record"},
};

// Takes a field from the front: up to and including the first terminator within the field's
// maximum length, or exactly that length when none is there. Returns its bytes as Latin-1
// text, terminator included, and consumes them.
QString take_field(ALL_V& v, const FieldRow& row) {
    const std::uint8_t* p = pending(v);
    int n = row.max_len;
    for (int i = 0; i < row.max_len; ++i)
        if (p[i] == std::uint8_t(row.terminator)) {
            n = i + 1;
            break;
        }
    QString text = QString::fromLatin1(reinterpret_cast<const char*>(p), n);
    consume(v, n);
    return text;
}

// The text before a keyword, trimmed; empty when the keyword is missing.
QString before_keyword(const QString& field, QLatin1String keyword) {
    const qsizetype at = field.indexOf(keyword);
    return at < 0 ? QString() : trim_blanks(QStringView(field).left(at)).toString();
}

// Room for the announced records up front, so that growing the store in its steps never
// copies the records already read. An absurd announcement reserves no more than a limit;
// beyond it the store grows as the records arrive.
constexpr std::size_t kReserveLimit = 1'000'000;

void reserve_store(ALL_V& v) {
    if (v.recall_number <= 0)
        return;
    const std::size_t want =
        std::min<std::size_t>(std::size_t(v.recall_number), kReserveLimit) + kRecallStoreStep;
    if (v.recall_records.capacity() < want)
        v.recall_records.reserve(want);
}

void process_field(ALL_V& v, Field f, const QString& field) {
    switch (f) {
    case Bank:
        break; // the bank designation is not used
    case Target: {
        v.recall_number = 0;
        read_decimal_int(before_keyword(field, QLatin1String("number")), v.recall_number);
        break;
    }
    case Start: {
        // Without its terminator the field must be the 19 characters of a date and time;
        // otherwise the dump is dated from the start time already held.
        QStringView text(field);
        if (text.endsWith(QLatin1Char(',')))
            text.chop(1);
        read_dump_date_time(text, v.start_time);
        break;
    }
    case Interval:
        v.recall_interval = 1;
        read_decimal_int(before_keyword(field, QLatin1String("interval")), v.recall_interval);
        break;
    case MFunction:
        v.recall_mfunction = before_keyword(field, QLatin1String("Mfunction"));
        break;
    case SFunction:
        v.recall_sfunction = before_keyword(field, QLatin1String("Sfunction"));
        v.recall_count = 0;
        v.recall_pair_open = false;
        reserve_store(v);
        break;
    }
}

void read_header_fields(ALL_V& v) {
    for (int f = Bank; f <= SFunction; ++f) {
        const FieldRow& row = kFields[f];
        if (v.recall_state == QLatin1String(row.state) && v.rx_len > row.more_than) {
            process_field(v, Field(f), take_field(v, row));
            v.recall_state = QLatin1String(row.next);
        }
    }
}

// A dump that announced no records: its bytes are skipped up to the next CR LF, whose LF
// stays pending for the framing to begin its next line with.
void skip_error(ALL_V& v) {
    v.recall_state = QStringLiteral("RERR");
    const std::uint8_t* p = pending(v);
    for (int i = 0; i + 1 < v.rx_len; ++i)
        if (p[i] == kCR && p[i + 1] == kLF) {
            consume(v, i + 1);
            v.recall_state.clear();
            return;
        }
    consume(v, v.rx_len - 1); // the last byte may be the CR of a pair the next block completes
}

float value_at(const std::uint8_t* p) {
    const std::uint32_t bits = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                               std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    return std::bit_cast<float>(bits);
}

void read_records(ALL_V& v) {
    const QChar sep = separator_of(v);
    const bool with_sub = v.recall_sfunction != QLatin1String("NULL");
    const FixedText<35> mfunction(v.recall_mfunction);
    const FixedText<35> sfunction(v.recall_sfunction);
    // The time cursor: the record being completed is dated start + count × interval, counted
    // in 64 bits so that no count or interval can overflow it. Only its time of day goes into
    // the records, and that is defined however far the cursor runs; the date-time itself is
    // worked out once, at the end.
    std::int64_t offset = std::int64_t(v.recall_count) * v.recall_interval;
    const int start_second = wall_second_of_day(v.start_time, 0);
    char16_t text[kFormatReadingMax];

    int used = 0;
    const std::uint8_t* p = pending(v);
    while (v.rx_len - used >= 4 && !v.recall_state.isEmpty()) {
        if (v.recall_records.size() < std::size_t(v.recall_count) + kRecallStoreStep)
            v.recall_records.resize(v.recall_records.size() + kRecallStoreStep);
        const float value = value_at(p + used);
        used += 4;
        real_Record& r = v.recall_records[std::size_t(v.recall_count)];
        const bool main_value = !with_sub || !v.recall_pair_open;
        const QStringView formatted(text, format_reading(value, sep, text));
        if (main_value) {
            r.Index = v.recall_count;
            r.Main_No = formatted;
            r.Main_Range = mfunction;
            r.Sub_No.clear();
            r.Sub_range.clear();
            r.T_no.clear();
            r.T_Range.clear();
        } else {
            r.Sub_No = formatted;
            r.Sub_range = sfunction;
        }
        if (with_sub && main_value) {
            v.recall_pair_open = true; // the sub value completes it, perhaps in a later pass
        } else {
            r.Time = QStringView(text,
                                 reading_time_text(wall_second_of_day(start_second, offset), text));
            v.recall_pair_open = false;
            ++v.recall_count;
            offset += v.recall_interval;
        }
        if (v.recall_count >= v.recall_number)
            v.recall_state.clear();
    }
    consume(v, used);
    // A date beyond what a date-time holds leaves the cursor invalid, not a failure.
    v.last_rx_time = add_wall_seconds(v.start_time, offset);
}

// The function texts of a dump are the same for every record: one QString each.
class LastFunction {
public:
    const QString& of(const FixedText<35>& f) {
        if (!(f == key_) || text_.isNull()) {
            key_ = f;
            text_ = f.str();
        }
        return text_;
    }

private:
    FixedText<35> key_;
    QString text_;
};

void complete(ALL_V& v, RxSink& sink) {
    LastFunction main_range, sub_range;
    for (std::int32_t i = 0; i < v.recall_count; ++i) {
        const real_Record& r = v.recall_records[std::size_t(i)];
        sink.add_reading(r.Time, r.Main_No, main_range.of(r.Main_Range), r.Sub_No,
                         sub_range.of(r.Sub_range), r.T_no, r.T_Range);
    }
    v.recall_count = 0;
    v.recall_number = 0;
}

} // namespace

int recall_header_length(const std::uint8_t* bytes, int count) {
    int skip = 0;
    while (skip < count && (bytes[skip] == kCR || bytes[skip] == kLF))
        ++skip;
    if (count - skip < kRecallHeaderSize ||
        std::memcmp(bytes + skip, kRecallHeader, kRecallHeaderSize) != 0)
        return 0;
    return skip + kRecallHeaderSize;
}

void recall_step(ALL_V& v, RxSink& sink) {
    if (v.recall_state.isEmpty()) {
        if (const int n = recall_header_length(pending(v), v.rx_len)) {
            v.recall_state = QStringLiteral("BANK");
            sink.show_replies({QStringLiteral("RECALL INTERNAL MEMORY...")});
            v.live_count = 0;
            v.reply_lines.clear();
            consume(v, n);
        }
    }
    if (v.rx_len <= 0 || v.check_hold)
        return;

    read_header_fields(v);

    if ((v.recall_state == QLatin1String("Record") && v.rx_len > 1 && v.recall_number == 0) ||
        v.recall_state == QLatin1String("RERR"))
        skip_error(v);

    if (v.recall_state == QLatin1String("Record") && v.rx_len > 3)
        read_records(v);

    if (v.recall_state.isEmpty() && v.recall_count > 0)
        complete(v, sink);
}
