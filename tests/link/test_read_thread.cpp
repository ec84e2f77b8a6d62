#include "link/read_thread.h"

#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct Counters {
    std::atomic<int> polls{0};
    std::atomic<int> waiting{0}; // what the poll reports
    int steps = 0;               // window thread only
    bool off_thread_step = false;
};

class ReadThreadTest : public ::testing::Test {
protected:
    std::unique_ptr<TReadThread> make(std::function<void()> extra = {}) {
        return std::make_unique<TReadThread>(
            &window,
            [this] {
                ++c.polls;
                return c.waiting.load();
            },
            [this, extra] {
                ++c.steps;
                c.off_thread_step |= std::this_thread::get_id() != window_thread;
                if (extra)
                    extra();
            });
    }
    QObject window;
    Counters c;
    std::thread::id window_thread = std::this_thread::get_id();
};

TEST_F(ReadThreadTest, NothingWaitingMeansNoStepAndNoSpinning) {
    auto t = make();
    t->start();
    QTest::qWait(300);
    t->stop();
    EXPECT_EQ(c.steps, 0);
    EXPECT_GE(c.polls, 1);
    EXPECT_LE(c.polls, 31); // one look every 10 ms at most
}

TEST_F(ReadThreadTest, StepsRunOnTheWindowThreadAtTheirPace) {
    c.waiting = 5;
    auto t = make();
    t->start();
    QTest::qWait(650);
    t->stop();
    EXPECT_GE(c.steps, 1);
    EXPECT_LE(c.steps, 5); // each step costs at least 10 + 100 + 20 ms
    EXPECT_FALSE(c.off_thread_step);
}

TEST_F(ReadThreadTest, StopWhileAStepIsQueuedDoesNotWaitForItAndItNeverRuns) {
    c.waiting = 1;
    auto t = make();
    t->start();
    // The window thread is busy: the thread has asked for a step and waits for it.
    std::this_thread::sleep_for(300ms);
    t->stop();
    EXPECT_FALSE(t->running());
    QTest::qWait(50);
    EXPECT_EQ(c.steps, 0);
}

TEST_F(ReadThreadTest, AStepMayStopItsOwnThread) {
    c.waiting = 1;
    std::unique_ptr<TReadThread> t;
    t = make([&] { t->stop(); });
    t->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.steps > 0; }, 2000));
    EXPECT_FALSE(t->running());
    QTest::qWait(300);
    EXPECT_EQ(c.steps, 1);
}

TEST_F(ReadThreadTest, AFailedPollIsReportedOnceOnTheWindowThreadAndEndsThePolling) {
    auto t = make();
    int failures = 0;
    bool off_thread_failure = false;
    t->on_failure([&] {
        ++failures;
        off_thread_failure |= std::this_thread::get_id() != window_thread;
    });
    t->start();
    QTest::qWait(50);
    c.waiting = -3;
    ASSERT_TRUE(QTest::qWaitFor([&] { return failures > 0; }, 1000));
    const int polls = c.polls;
    QTest::qWait(200);
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(off_thread_failure);
    EXPECT_EQ(c.polls, polls); // no more looks at a line that is gone
    EXPECT_EQ(c.steps, 0);
}

TEST_F(ReadThreadTest, AFailureReportStillQueuedAtStopNeverRuns) {
    c.waiting = -3;
    auto t = make();
    int failures = 0;
    t->on_failure([&] { ++failures; });
    t->start();
    std::this_thread::sleep_for(100ms); // reported, but the window thread has not looked yet
    t->stop();
    QTest::qWait(50);
    EXPECT_EQ(failures, 0);
}

TEST_F(ReadThreadTest, DestroyingTheThreadStopsIt) {
    c.waiting = 1;
    auto t = make();
    t->start();
    std::this_thread::sleep_for(200ms);
    t.reset();
    const int polls = c.polls;
    QTest::qWait(100);
    EXPECT_EQ(c.polls, polls);
    EXPECT_EQ(c.steps, 0);
}

} // namespace
