#include "presentation/frame_timer.h"

#include <utility>

FrameTimer::FrameTimer(int interval_ms, std::function<void()> action) : interval_ms_(interval_ms) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, std::move(action));
    since_run_.start();
}

void FrameTimer::request() {
    if (timer_.isActive())
        return;
    const qint64 since = since_run_.elapsed();
    timer_.start(since >= interval_ms_ ? 0 : int(interval_ms_ - since));
}

void FrameTimer::ran() {
    timer_.stop();
    since_run_.restart();
}
