#pragma once

#include "state/record_store.h"

#include <QString>
#include <QStringList>

// Everything the response interpreter and the read-back show goes out through this interface:
// the main window implements it on its widgets, tests and benchmarks fake it. The interpreter
// calls it in the order in which things happen; the implementation must apply the calls in
// that order on the window thread.
class RxSink {
public:
    // The reply memo mmo_re holds at most this many lines. The interpreter only hands over new
    // lines; keeping the newest kReplyMemoLines (dropping the oldest), showing them and
    // scrolling to the end is the memo's own business, done once per frame however many lines
    // arrive.
    static constexpr int kReplyMemoLines = 200;

    virtual ~RxSink() = default;

    // Appends reply lines, oldest first, to mmo_re, which shows its newest lines.
    virtual void show_replies(const QStringList& lines) = 0;

    // One reading: grid_add_row with the seven texts of `r`, then chart_add_last with its
    // numbers, as one unit. The texts are borrowed for the call only.
    virtual void add_reading(const RecordView& r) = 0;

    // One traffic-log entry, time stamp included; called only while debug_on is true.
    virtual void log_traffic(const QString& entry) = 0;
};
