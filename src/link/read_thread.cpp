#include "link/read_thread.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

// State that the posted step shares with the thread. A posted step may be delivered after the
// TReadThread is gone, so it keeps this alive by itself.
struct TReadThread::Shared {
    std::mutex m;
    std::condition_variable cv;
    bool stop = false;
    std::uint64_t requested = 0; // steps the thread asked for
    std::uint64_t finished = 0;  // steps the window thread has run
    Step step;
    Step failed;
    bool poll_failed = false; // the requested step is the failure report

    // On the window thread. The flag is tested there too, so once stop() has returned no
    // step starts, whatever is still queued.
    void run_step() {
        bool report_failure = false;
        {
            std::lock_guard lock(m);
            if (stop || finished == requested)
                return;
            report_failure = poll_failed;
        }
        if (!report_failure)
            step();
        else if (failed)
            failed();
        std::lock_guard lock(m);
        finished = requested;
        cv.notify_all();
    }

    // Both return false when stopped, at once.
    bool sleep(std::chrono::milliseconds d) {
        std::unique_lock lock(m);
        cv.wait_for(lock, d, [&] { return stop; });
        return !stop;
    }
    bool wait_finished(std::uint64_t ticket) {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return stop || finished >= ticket; });
        return !stop;
    }
};

namespace {

// Carries the thread's request into the window thread's event queue. Only the signal
// crosses; the data stays in Shared under its lock.
class StepRelay : public QObject {
    Q_OBJECT
signals:
    void step_requested();
};

} // namespace

TReadThread::TReadThread(QObject* window, Poll poll, Step step, Timing timing)
    : shared_(std::make_shared<Shared>()), relay_(std::make_unique<StepRelay>()),
      poll_(std::move(poll)), timing_(timing) {
    shared_->step = std::move(step);
    QObject::connect(
        static_cast<StepRelay*>(relay_.get()), &StepRelay::step_requested, window,
        [shared = shared_] { shared->run_step(); }, Qt::QueuedConnection);
}

void TReadThread::on_failure(Step failed) {
    shared_->failed = std::move(failed);
}

TReadThread::~TReadThread() {
    stop();
}

void TReadThread::start() {
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
}

void TReadThread::stop() {
    {
        std::lock_guard lock(shared_->m);
        shared_->stop = true;
        shared_->cv.notify_all();
    }
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void TReadThread::run() {
    Shared& s = *shared_;
    auto* relay = static_cast<StepRelay*>(relay_.get());
    while (s.sleep(timing_.poll)) {
        const int waiting = poll_();
        if (waiting == 0)
            continue;
        // A failed poll goes to the window thread the way a step does, and ends the thread
        // once it has been handled there.
        const bool failed = waiting < 0;
        if (!failed && !s.sleep(timing_.settle))
            break;
        std::uint64_t ticket = 0;
        {
            std::lock_guard lock(s.m);
            ticket = ++s.requested;
            s.poll_failed = failed;
        }
        emit relay->step_requested();
        if (!s.wait_finished(ticket) || failed)
            break;
        if (!s.sleep(timing_.pause))
            break;
    }
}

#include "read_thread.moc"
