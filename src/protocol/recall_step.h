#pragma once

#include "app/all_v.h"
#include "protocol/rx_sink.h"

#include <QStringView>

// The first bytes of a dump of recorded data.
inline constexpr char kRecallHeader[] = "RECALL INTERNAL MEMORY:";
inline constexpr int kRecallHeaderSize = 23;
// The store of recalled records grows in steps of this many rows and always keeps this many
// free beyond the record being completed.
inline constexpr int kRecallStoreStep = 10000;

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
