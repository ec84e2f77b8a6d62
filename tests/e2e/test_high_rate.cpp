// A long stream at a rate far above what the serial link's receive steps take: the simulator
// sends 100,000 readings numbered 1, 2, 3, ... as fast as the line takes them (a pseudo-terminal
// never drops; the sender waits). Every one must reach the table exactly once, in order, and
// the chart must hold them all.
#include "e2e/e2e_window.h"

#include <QElapsedTimer>

#include <iostream>

namespace {

constexpr int kReadings = 100000;

class HighRate : public E2eWindow {};

TEST_F(HighRate, EveryReadingReachesTheTableOnceInOrder) {
    ASSERT_NO_FATAL_FAILURE(
        start({"--pty", "--sequence", "--count", QString::number(kReadings), "--rate", "50000"}));
    ASSERT_NO_FATAL_FAILURE(connect_to(Link::Serial));
    // DC current readings are plain lines, the shortest the instrument sends.
    ASSERT_NO_FATAL_FAILURE(click("btn_DCA"));
    QElapsedTimer clock;
    clock.start();
    ASSERT_NO_FATAL_FAILURE(quick_start(1));
    ASSERT_TRUE(wait_rows(kReadings)) << rows() << " rows";
    const qint64 ms = clock.elapsed();
    ASSERT_TRUE(wait_quiet(1000));
    ASSERT_EQ(rows(), kReadings);
    std::cout << "[ info ] " << kReadings << " readings in " << ms << " ms ("
              << qint64(kReadings) * 1000 / std::max<qint64>(ms, 1) << " readings/s)\n";

    int wrong = 0, first_wrong = 0;
    for (int r = 1; r <= kReadings; ++r) {
        if (cell(r, Col::ColMain) != QString::number(r) ||
            cell(r, Col::ColMainFunc) != QLatin1String("DCA") || !cell(r, Col::ColSub).isEmpty()) {
            if (wrong++ == 0)
                first_wrong = r;
        }
    }
    EXPECT_EQ(wrong, 0) << "first at row " << first_wrong << ": "
                        << cell(first_wrong, Col::ColMain).toStdString() << " "
                        << cell(first_wrong, Col::ColMainFunc).toStdString();
    ASSERT_EQ(chart().point_count(TrendChart::kMain), std::size_t(kReadings));
    EXPECT_EQ(chart().point_count(TrendChart::kSub), 0u);
    EXPECT_EQ(chart().y(TrendChart::kMain, 0), 1.0);
    EXPECT_EQ(chart().y(TrendChart::kMain, kReadings - 1), double(kReadings));
}

} // namespace
