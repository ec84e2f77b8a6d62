#pragma once

#include "protocol/rx_sink.h"
#include "state/all_v.h"

// reply_lines keeps at most this many lines, the newest. While readings are off nothing else
// consumes them, and a week-long session must not fill the memory with them.
inline constexpr int kReplyLinesKept = 10000;

// One pass of the response interpreter over the pending bytes of rx_buf: the read-back looks
// at them first; without a read-back in progress, CR LF-terminated reply lines are framed into
// reply_lines and shown; while readings are on they become table rows; then the buffer is
// tidied. Runs after every block that reaches rx_buf; only one pass may run at a time.
// Nothing it meets in the bytes makes it throw.
void interpret_rx(ALL_V& v, RxSink& sink);

// The steps of a pass, each in its own file.
// Frames reply lines; returns how many lines it took.
int frame_replies(ALL_V& v, RxSink& sink);
// Turns reply_lines into records of live_records and hands them to the sink.
void reading_step(ALL_V& v, RxSink& sink);
