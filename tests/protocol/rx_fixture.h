#pragma once

// A fresh shared state, a sink that records what the interpreter shows, and a feeder that
// appends bytes to rx_buf as the receive step does, then runs a pass.

#include "protocol/interpret_rx.h"
#include "protocol/rx_sink.h"
#include "state/all_v.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

using Row = std::array<QString, 7>;

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// The numbers that travelled with a row's main and sub value.
struct RowNumbers {
    double main, sub;
};

class RecordingSink : public RxSink {
public:
    QStringList shown;
    std::vector<Row> rows;
    std::vector<RowNumbers> numbers;
    QStringList log;

    void show_replies(const QStringList& lines) override { shown += lines; }
    void add_reading(const RecordView& r) override {
        const auto text = [](QByteArrayView b) { return QString::fromUtf8(b); };
        rows.push_back({text(r.Time), text(r.Main_No), text(r.Main_Range), text(r.Sub_No),
                        text(r.Sub_range), text(r.T_no), text(r.T_Range)});
        numbers.push_back({r.main_value, r.sub_value});
    }
    void log_traffic(const QString& entry) override { log << entry; }
};

// The receive step's append: bytes go behind the pending ones; what does not fit is dropped.
inline void append_rx(ALL_V& v, const QByteArray& block) {
    const int room = kRxBufSize - v.rx_pos - v.rx_len;
    const int n = std::min<int>(room, int(block.size()));
    std::memcpy(v.rx_buf.data() + v.rx_pos + v.rx_len, block.constData(), std::size_t(n));
    v.rx_len += n;
}

struct RxRig {
    ALL_V v;
    RecordingSink sink;

    explicit RxRig(QChar dec_sep = QLatin1Char('.')) {
        v.dec_sep = dec_sep;
        v.last_rx_time = QDateTime(QDate(2024, 3, 1), QTime(9, 5, 7));
    }

    // Readings on, as after Quick Start.
    RxRig& reading() {
        v.goon_active = true;
        v.check_hold = false;
        return *this;
    }

    // One receive step with this block.
    void pass(const QByteArray& block) {
        append_rx(v, block);
        interpret_rx(v, sink);
    }

    // The bytes cut into blocks of `size` (0: one block), one pass per block.
    void feed(const QByteArray& bytes, int size = 0) {
        if (size <= 0) {
            pass(bytes);
            return;
        }
        for (qsizetype i = 0; i < bytes.size(); i += size)
            pass(bytes.mid(i, size));
    }
};

// Block sizes every chunked test runs with: one block, then 1, 3 and 10 bytes.
inline constexpr int kBlockSizes[] = {0, 1, 3, 10};
