#pragma once

// Byte streams as an instrument sends them, cut into receive blocks of at most 4801 bytes the
// way the receive step reads them (block edges fall anywhere, also inside a line).

#include "protocol/interpret_rx.h"
#include "state/all_v.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <vector>

inline constexpr int kReceiveBlock = 4801;

inline std::vector<QByteArray> receive_blocks(const QByteArray& stream) {
    std::vector<QByteArray> blocks;
    for (qsizetype i = 0; i < stream.size(); i += kReceiveBlock)
        blocks.push_back(stream.mid(i, kReceiveBlock));
    return blocks;
}

// The receive step's part: append one block behind the pending bytes, then one pass.
inline void receive(ALL_V& v, RxSink& sink, const QByteArray& block) {
    if (v.rx_pos + v.rx_len + block.size() > kRxBufSize) {
        std::memmove(v.rx_buf.data(), v.rx_buf.data() + v.rx_pos, std::size_t(v.rx_len));
        v.rx_pos = 0;
    }
    const int n = std::min<int>(int(block.size()), kRxBufSize - v.rx_pos - v.rx_len);
    std::memcpy(v.rx_buf.data() + v.rx_pos + v.rx_len, block.constData(), std::size_t(n));
    v.rx_len += n;
    interpret_rx(v, sink);
}

// Counts what the interpreter hands out and keeps nothing.
class CountingSink : public RxSink {
public:
    long long lines = 0, rows = 0, text_chars = 0;
    void show_replies(const QStringList& l) override { lines += l.size(); }
    void add_reading(const RecordView& r) override {
        ++rows;
        text_chars += r.Time.size() + r.Main_No.size() + r.Sub_No.size();
    }
    void log_traffic(const QString&) override {}
};
