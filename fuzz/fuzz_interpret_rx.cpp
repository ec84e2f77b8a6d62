// Feeds arbitrary bytes, cut into arbitrary blocks, through the response interpreter and the
// read-back, with readings on or off, either decimal separator and the traffic log on or off,
// and checks after every pass that the state stays sound.
//
// Input: byte 0 chooses the set-up, byte 1 the block size; the rest is what the instrument
// sends. A set-up bit starts the bytes with a dump header, so the read-back is reached often.

#include "protocol/interpret_rx.h"
#include "protocol/number_text.h"
#include "protocol/recall_step.h"
#include "state/all_v.h"

#include <QByteArray>
#include <QDateTime>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

class CheckingSink : public RxSink {
public:
    explicit CheckingSink(QChar dec_sep) : dec_sep_(dec_sep) {}

    void show_replies(const QStringList& lines) override {
        shown += lines.size();
        for (const QString& l : lines) {
            check(!l.isEmpty());
            for (QChar c : l)
                check(c.unicode() >= 32 && c.unicode() <= 126);
        }
    }

    void add_reading(const RecordView& r) override {
        check(r.Time.size() <= 15 && r.Main_Range.size() <= 35 && r.Sub_range.size() <= 35 &&
              r.T_Range.size() <= 35);
        check(whole_value(r.Main_No, r.main_value));
        check(r.Sub_No.isEmpty() ? std::isnan(r.sub_value) : whole_value(r.Sub_No, r.sub_value));
        ++rows;
    }

    void log_traffic(const QString& entry) override { check(!entry.isEmpty()); }

    qsizetype shown = 0; // reply lines shown
    int rows = 0;        // readings handed on

private:
    // A value arrives whole: its text reads back as exactly the number that came with it.
    bool whole_value(QByteArrayView text, double number) const {
        const QString t = QString::fromUtf8(text);
        if (t == QLatin1String("INF") || t == QLatin1String("-INF"))
            return std::isinf(number) && (number < 0) == t.startsWith(QLatin1Char('-'));
        double read = 0;
        return text_to_number(t, dec_sep_, read) && read == number;
    }

    QChar dec_sep_;
};

bool known_state(const QString& s) {
    for (const char* k :
         {"", "BANK", "Target", "Start", "interval", "Mfunction", "Sfunction", "Record", "RERR"})
        if (s == QLatin1String(k))
            return true;
    return false;
}

// The receive step's append: behind the pending bytes, moving them to the front when the block
// does not fit behind them, and dropping what still does not fit.
void append(ALL_V& v, const std::uint8_t* data, int n) {
    if (v.rx_pos + v.rx_len + n > kRxBufSize && v.rx_pos > 0) {
        std::memmove(v.rx_buf.data(), v.rx_buf.data() + v.rx_pos, std::size_t(v.rx_len));
        v.rx_pos = 0;
    }
    n = std::min(n, kRxBufSize - v.rx_pos - v.rx_len);
    std::memcpy(v.rx_buf.data() + v.rx_pos + v.rx_len, data, std::size_t(n));
    v.rx_len += n;
}

constexpr int kBlockSizes[] = {1, 2, 3, 7, 10, 64, 512, 4801};

// One shared state for all inputs (a fresh one costs more than most inputs do), with
// everything the interpreter and the read-back touch set back to how a session starts.
ALL_V& fresh_state() {
    static ALL_V* v = new ALL_V;
    v->rx_pos = v->rx_len = 0;
    v->live_records.fill(real_Record{});
    v->live_count = 0;
    v->reply_lines.clear();
    v->recall_state.clear();
    v->recall_number = v->recall_interval = v->recall_count = 0;
    v->recall_mfunction.clear();
    v->recall_sfunction.clear();
    v->recall_pair_open = false;
    v->recall_records.clear();
    return *v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t setup = data[0];
    const int block = kBlockSizes[data[1] % std::size(kBlockSizes)];
    QByteArray bytes;
    if (setup & 0x10)
        bytes = kRecallHeader;
    bytes.append(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    ALL_V* v = &fresh_state();
    v->dec_sep = (setup & 1) ? QStringLiteral(",") : QStringLiteral(".");
    v->goon_active = setup & 2;
    v->check_hold = setup & 4;
    v->debug_on = setup & 8;
    v->start_time = QDateTime(QDate(2012, 5, 6), QTime(14, 30));
    v->last_rx_time = v->start_time;
    CheckingSink sink(v->dec_sep.front());

    for (qsizetype i = 0; i < bytes.size(); i += block) {
        const int n = int(std::min<qsizetype>(block, bytes.size() - i));
        append(*v, reinterpret_cast<const std::uint8_t*>(bytes.constData()) + i, n);
        interpret_rx(*v, sink);
        // Check lifts its hold half way through, when the set-up asks for it.
        if ((setup & 0x20) && i >= bytes.size() / 2)
            v->check_hold = false;
        // The bytes stop for good two thirds through, when the set-up asks for it: a stalled
        // read-back ends with the records that arrived, and reception starts afresh.
        if ((setup & 0x40) && i < bytes.size() * 2 / 3 && i + block >= bytes.size() * 2 / 3) {
            const bool in_progress = !v->recall_state.isEmpty();
            const int completed = v->recall_count;
            const int rows_before = sink.rows;
            const qsizetype shown_before = sink.shown;
            const int pending_before = v->rx_len;
            recall_end(*v, sink);
            check(v->recall_state.isEmpty());
            // Without a read-back nothing ends: the bytes of a reply line wait on as they were.
            check(in_progress ? v->recall_count == 0 && v->rx_len == 0
                              : v->recall_count == completed && v->rx_len == pending_before);
            check(sink.rows == rows_before + (in_progress ? completed : 0));
            check(sink.shown == shown_before + (in_progress ? 1 : 0));
        }

        check(v->rx_pos >= 0 && v->rx_len >= 0 && v->rx_pos + v->rx_len <= kRxBufSize);
        check(v->live_count == 0);
        check(v->reply_lines.size() <= kReplyLinesKept);
        check(known_state(v->recall_state));
        check(v->recall_count >= 0);
        check(v->recall_state.isEmpty() || v->recall_state == QLatin1String("RERR") ||
              v->recall_count <= v->recall_number || v->recall_count == 0);
    }
    return 0;
}
