#include "protocol/interpret_rx.h"

#include "protocol/recall_step.h"
#include "state/text_fields.h"

#include <cstring>

namespace {

constexpr int kCompactAfter = 10000;

// The pending bytes must lie inside rx_buf. Whoever broke that has lost them already; the
// interpreter discards them rather than read or write outside the buffer.
void keep_pending_in_bounds(ALL_V& v) {
    if (v.rx_pos < 0 || v.rx_len < 0 || v.rx_pos > kRxBufSize || v.rx_len > kRxBufSize - v.rx_pos) {
        v.rx_pos = 0;
        v.rx_len = 0;
    }
}

void tidy(ALL_V& v) {
    if (v.rx_len < 1)
        v.rx_pos = 0;
    if (v.rx_pos > kCompactAfter) {
        std::memmove(v.rx_buf.data(), v.rx_buf.data() + v.rx_pos, std::size_t(v.rx_len));
        v.rx_pos = 0;
    }
}

} // namespace

void interpret_rx(ALL_V& v, RxSink& sink) {
    keep_pending_in_bounds(v);
    recall_step(v, sink);
    while (trim_blanks(v.recall_state).isEmpty()) {
        // A dump that follows a completed one in the same block starts at once, rather than
        // be framed as lines of junk.
        if (recall_header_length(v.rx_buf.data() + v.rx_pos, v.rx_len) > 0) {
            recall_step(v, sink);
            continue;
        }
        const int lines = frame_replies(v, sink);
        if (lines > 0 && !v.check_hold && v.goon_active)
            reading_step(v, sink);
        // Framing stops at a dump header that follows a reply in the same block: the dump
        // starts now rather than wait for bytes that may never come, and whatever follows a
        // complete dump is framed in this pass too. Each round consumes a header, so this ends.
        if (lines == 0 || recall_header_length(v.rx_buf.data() + v.rx_pos, v.rx_len) == 0)
            break;
        recall_step(v, sink);
    }
    tidy(v);
}
