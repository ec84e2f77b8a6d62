#pragma once

#include "protocol/rx_sink.h"
#include "state/all_v.h"

#include <QStringView>

#include <cstdint>

// The first bytes of a dump of recorded data.
inline constexpr char kRecallHeader[] = "RECALL INTERNAL MEMORY:";
inline constexpr int kRecallHeaderSize = 23;
// A read-back that has received no byte for this long while it waits for more has stalled
// (a cable pulled, an instrument reset): it ends with what arrived.
inline constexpr std::int64_t kRecallStallMs = 3000;

// Where a dump header stands at the front of `bytes`, behind nothing but CR and LF bytes (the
// CR LF that every framed reply leaves pending): the number of bytes up to the end of the
// header. 0 when the bytes do not start that way (or the header is not complete yet).
int recall_header_length(const std::uint8_t* bytes, int count);

// One step of the read-back of a dump, at the start of every interpreter pass: recognises the
// header, reads the six header fields one state at a time, turns each group of four bytes into
// a value of a record, and once the announced number of records is complete hands them all to
// the sink. Nothing it meets in the bytes makes it throw: a field that does not convert keeps
// its preset and the read-back goes on.
void recall_step(ALL_V& v, RxSink& sink);

// True while a read-back is in progress and no byte has arrived for kRecallStallMs; `now_ms`
// is on the clock of last_rx_tick.
bool recall_stalled(const ALL_V& v, std::int64_t now_ms);

// Ends a read-back in progress, whatever it waits for: the records completed so far go to the
// sink exactly as a complete dump's would, a reply line tells how many of how many arrived,
// and the pending bytes (the start of a value or field that will never be completed) are
// dropped, so that the next bytes are framed as replies again. Nothing happens without a
// read-back in progress.
void recall_end(ALL_V& v, RxSink& sink);
