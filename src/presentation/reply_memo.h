#pragma once

#include "presentation/frame_timer.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>

class QPlainTextEdit;

// The reply memo: a read-only QPlainTextEdit that holds the newest `max_lines` reply lines,
// oldest first, scrolled to its end.
//
// Lines are taken at once but shown once per frame (at most one update every kShowIntervalMs).
// Each update of a text widget costs a text layout and, with an accessibility bridge on, a
// text-change event, so one update per received datagram costs more than the datagram itself
// when readings stream in. Between updates only the newest `max_lines` lines are kept: the
// older ones would be dropped by the memo anyway. An update with that many new lines replaces
// the memo's text; one with fewer appends them and lets the memo drop its oldest lines.
class ReplyMemo : public QObject {
    Q_OBJECT

public:
    // Shortest time between two updates: about as often as a screen shows a new frame.
    static constexpr int kShowIntervalMs = 30;

    ReplyMemo(QPlainTextEdit& memo, int max_lines);

    // Takes lines, oldest first; they appear with the next update.
    void append(const QStringList& lines);

    // Shows the lines taken since the last update now. Runs by itself after append: in the
    // next event-loop turn when the last update is at least kShowIntervalMs old, else once
    // that time is up.
    void show_pending();

private:
    QPlainTextEdit& memo_;
    const std::size_t max_lines_;
    std::deque<QString> pending_; // not shown yet, oldest first; never more than max_lines_
    FrameTimer frame_;
};
