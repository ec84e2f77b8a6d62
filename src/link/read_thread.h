#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// Watches a serial port for incoming bytes. The thread itself only polls and sleeps: every
// 10 ms it asks how many bytes are waiting; when there are some it lets the rest of the answer
// arrive for 100 ms, has the receive step run on the window thread and waits for it, then
// pauses 20 ms. Running the step on the window thread keeps receive steps in order with
// everything else the window does, and keeps all window changes on that thread.
//
// When the poll fails (negative: the device hung up or reports an error) the thread reports
// it once on the window thread and ends, so a lost line costs no more polling.
//
// stop() ends the thread from the window thread without deadlock, also while the thread is
// waiting for a step that the window has not run yet; that step then never runs, nor does a
// failure report still queued.
struct ReadThreadTiming {
    std::chrono::milliseconds poll{10};    // between two looks at the input queue
    std::chrono::milliseconds settle{100}; // lets the rest of an answer arrive
    std::chrono::milliseconds pause{20};   // after each receive step
};

class TReadThread {
public:
    using Poll = std::function<int()>;  // bytes waiting, negative on failure; read thread
    using Step = std::function<void()>; // the receive step; runs on the window thread
    using Timing = ReadThreadTiming;

    // `window` is an object of the window thread: steps are delivered through its event queue.
    TReadThread(QObject* window, Poll poll, Step step, Timing timing = {});
    ~TReadThread(); // stops
    TReadThread(const TReadThread&) = delete;
    TReadThread& operator=(const TReadThread&) = delete;

    // What runs on the window thread when the poll fails; set before start().
    void on_failure(Step failed);
    void start();
    // Call on the window thread. When it returns the thread has ended and no step of it runs
    // any more.
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    struct Shared;
    void run();

    std::shared_ptr<Shared> shared_;
    std::unique_ptr<QObject> relay_;
    Poll poll_;
    Timing timing_;
    std::thread thread_;
};
