#include "protocol/recall_step.h"

#include "protocol/decimal_text.h"
#include "protocol/format_reading.h"
#include "protocol/reading_time.h"
#include "state/text_fields.h"

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
        // The store grows with the records that arrive, never with the count announced.
        v.recall_records.clear();
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
    const QChar sep = v.separator();
    const bool with_sub = v.recall_sfunction != QLatin1String("NULL");
    // The function names as the UTF-8 bytes the table and the chart take.
    const QByteArray mfunction = v.recall_mfunction.toUtf8();
    const QByteArray sfunction = v.recall_sfunction.toUtf8();
    // The time cursor: the record being completed is dated start + count × interval, counted
    // in 64 bits so that no count or interval can overflow it. Only its time of day goes into
    // the records, and that is defined however far the cursor runs; the date-time itself is
    // worked out once, at the end.
    std::int64_t offset = std::int64_t(v.recall_count) * v.recall_interval;
    const int start_second = wall_second_of_day(v.start_time, 0);
    char main_text[kFormatReadingMax];
    char sub_text[kFormatReadingMax];
    char time_text[16];

    int used = 0;
    const std::uint8_t* p = pending(v);
    while (v.rx_len - used >= 4 && !v.recall_state.isEmpty()) {
        const float value = value_at(p + used);
        used += 4;
        if (with_sub && !v.recall_pair_open) {
            // The main value of a pair: its sub value completes the record, perhaps in a
            // later pass.
            v.recall_pair_main = value;
            v.recall_pair_open = true;
        } else {
            RecordView r;
            r.Index = v.recall_count;
            const float main = with_sub ? v.recall_pair_main : value;
            r.Main_No =
                QByteArrayView(main_text, format_reading(main, sep, main_text, &r.main_value));
            r.Main_Range = mfunction;
            if (with_sub) {
                r.Sub_No =
                    QByteArrayView(sub_text, format_reading(value, sep, sub_text, &r.sub_value));
                r.Sub_range = sfunction;
            }
            r.Time = QByteArrayView(
                time_text, reading_time_text(wall_second_of_day(start_second, offset), time_text));
            v.recall_records.resize(std::size_t(v.recall_count)); // record k is entry k
            v.recall_records.push_back(r);
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

void complete(ALL_V& v, RxSink& sink) {
    for (std::int32_t i = 0; i < v.recall_count && std::size_t(i) < v.recall_records.size(); ++i)
        sink.add_reading(v.recall_records[std::size_t(i)]);
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

bool recall_stalled(const ALL_V& v, std::int64_t now_ms) {
    return !v.recall_state.isEmpty() && now_ms - v.last_rx_tick >= kRecallStallMs;
}

void recall_end(ALL_V& v, RxSink& sink) {
    if (v.recall_state.isEmpty())
        return;
    v.recall_state.clear();
    v.recall_pair_open = false;
    // What is pending is the start of a value or a field that will never be completed.
    v.rx_pos = 0;
    v.rx_len = 0;
    sink.show_replies({QStringLiteral("RECALL ENDED: %1 of %2 records")
                           .arg(v.recall_count)
                           .arg(v.recall_number)});
    complete(v, sink);
}
