// The reading step: turns framed reply lines into records of live_records and hands each
// completed record to the table and the chart.
#include "protocol/interpret_rx.h"
#include "protocol/reading_time.h"
#include "protocol/split_reading.h"
#include "protocol/text_trim.h"

#include <algorithm>

namespace {

constexpr qsizetype kReadingChars = 100;

const FixedText<35>& pending_mark() {
    static const FixedText<35> mark(QStringLiteral("Pending"));
    return mark;
}

QChar separator_of(const ALL_V& v) {
    return v.dec_sep.isEmpty() ? QLatin1Char('.') : v.dec_sep.front();
}

// The function texts of consecutive readings are nearly always the same: the last one is kept
// as a QString so that handing it on costs no new text.
template <int N> class LastText {
public:
    const QString& of(const FixedText<N>& f) {
        if (!(f == key_) || text_.isNull()) {
            key_ = f;
            text_ = f.str();
        }
        return text_;
    }

private:
    FixedText<N> key_;
    QString text_;
};

// Hands the filled slots to the sink and starts a new batch.
class Batch {
public:
    Batch(ALL_V& v, RxSink& sink) : v_(v), sink_(sink) {}

    void flush() {
        if (v_.live_count <= 0)
            return;
        if (time_.isNull())
            time_ = reading_time_text(v_.last_rx_time);
        for (int i = 0; i < v_.live_count; ++i) {
            const real_Record& r = v_.live_records[i];
            sink_.add_reading(time_, r.Main_No, main_range_.of(r.Main_Range), r.Sub_No,
                              sub_range_.of(r.Sub_range), r.T_no, t_range_.of(r.T_Range));
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
    QString time_;
    LastText<35> main_range_, sub_range_, t_range_;
};

} // namespace

void reading_step(ALL_V& v, RxSink& sink) {
    v.live_count = 0;
    qsizetype used = 0; // the last line used as a reading
    const QChar sep = separator_of(v);
    Batch batch(v, sink);
    QString value, function;

    for (qsizetype j = 0; j < v.reply_lines.size(); ++j) {
        const QStringView line = v.reply_lines.at(j);
        if (trim_blanks(line).isEmpty())
            continue;
        const QStringView rest = trim_blanks(line.mid(1, kReadingChars));
        switch (line.front().unicode()) {
        case u'S': {
            // Completes the record that the last M line started, when it is this slot.
            if (v.live_count >= kLiveRecordCount ||
                !(v.live_records[v.live_count].Sub_range == pending_mark()))
                break;
            if (!split_reading(rest, sep, value, function))
                break;
            real_Record& r = v.live_records[v.live_count];
            r.Index = v.live_count;
            r.Sub_No = value;
            r.Sub_range = function;
            ++v.live_count;
            used = j;
            break;
        }
        case u'T': {
            // The third value of the last completed record of the batch.
            if (v.live_count <= 0 || !split_reading(rest, sep, value, function))
                break;
            real_Record& r = v.live_records[v.live_count - 1];
            r.T_no = value;
            r.T_Range = function;
            used = j;
            break;
        }
        case u'M': {
            if (!split_reading(rest, sep, value, function))
                break;
            real_Record& r = batch.next_slot();
            r.Main_No = value;
            r.Main_Range = function;
            r.Sub_No = QString();
            r.T_no = QString();
            r.T_Range = QString();
            r.Sub_range = pending_mark();
            break;
        }
        case u'R':
            break; // never a reading
        default: {
            // A plain line is a whole record with a main value only; it is split untrimmed.
            // The slot's third value belongs to an earlier record and goes too.
            if (!split_reading(line, sep, value, function))
                break;
            real_Record& r = batch.next_slot();
            r.Index = v.live_count;
            r.Main_No = value;
            r.Main_Range = function;
            r.Sub_No = QString();
            r.Sub_range = QString();
            r.T_no = QString();
            r.T_Range = QString();
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
