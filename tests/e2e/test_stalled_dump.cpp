// A recording read back from an instrument that stops half way (a cable pulled, a reset): the
// dump announces more records than it carries. The records that came show within a few
// seconds, the reply memo says how many of how many, and readings land in the table again.
#include "e2e/e2e_window.h"

namespace {

class StalledDump : public E2eWindow, public ::testing::WithParamInterface<Link> {};

TEST_P(StalledDump, ShowsWhatArrivedAndReceptionGoesOn) {
    const Link link = GetParam();
    ASSERT_NO_FATAL_FAILURE(start(sim_args(
        link, {"--sequence", "--rate", "10", "--time-scale", "1000", "--dump-skew", "5"})));
    ASSERT_NO_FATAL_FAILURE(connect_to(link));
    ASSERT_NO_FATAL_FAILURE(quick_start(3));
    ASSERT_NO_FATAL_FAILURE(stop_readings());
    const int before = rows();

    // Three records, announced as eight.
    ASSERT_NO_FATAL_FAILURE(choose("cbb_target", QStringLiteral("SDcard")));
    ASSERT_NO_FATAL_FAILURE(type("edt_Number", "3"));
    ASSERT_NO_FATAL_FAILURE(type("edt_Interval", "1"));
    ASSERT_NO_FATAL_FAILURE(click("btn_Log"));
    QTest::qWait(500);
    ASSERT_NO_FATAL_FAILURE(send_line("SIM:DUMP"));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(wait_rows(before + 3, 6000)) << rows();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(rows(), before + 3);
    EXPECT_TRUE(memo().contains(QStringLiteral("RECALL ENDED: 3 of 8 records")))
        << memo().join('|').toStdString();
    EXPECT_GT(chart().point_count(TrendChart::kMain), 0u);

    // The next readings are readings again, not values of the dump.
    ASSERT_NO_FATAL_FAILURE(quick_start(before + 3 + 3));
    for (int r = before + 4; r <= rows(); ++r)
        EXPECT_EQ(cell(r, Col::ColMainFunc), QStringLiteral("DCV")) << r;
}

INSTANTIATE_TEST_SUITE_P(E2e, StalledDump, ::testing::Values(Link::Serial, Link::Network),
                         link_name);

} // namespace
