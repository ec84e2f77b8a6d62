#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Runs an action at most once every `interval_ms`, however often it is asked for: what the
// screen shows (table rows, memo lines, the chart) keeps pace with the frames, while the data
// behind it changes at wire speed. A request arms a single-shot timer that fires in the next
// event-loop turn when the last run is at least an interval old, else once the interval is up.
class FrameTimer {
public:
    FrameTimer(int interval_ms, std::function<void()> action);

    // Asks for a run; nothing more while one is already armed.
    void request();
    bool armed() const { return timer_.isActive(); }
    // Disarms without counting a run (an action that found nothing to do).
    void cancel() { timer_.stop(); }
    // Counts a run now: disarms, and the next run is due an interval from here. The action
    // calls it when it runs, whoever started it.
    void ran();

private:
    int interval_ms_;
    QTimer timer_;
    QElapsedTimer since_run_;
};
