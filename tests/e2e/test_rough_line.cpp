// The instrument on a rough line: everything it sends arrives in pieces of 7 bytes a few
// milliseconds apart, with control and 8-bit bytes inside the lines and junk lines between
// them. The readings (numbered 1, 2, 3, ... by the simulator) and a dump must come through
// whole, each once, in order.
#include "e2e/e2e_window.h"

namespace {

class RoughLine : public E2eWindow, public ::testing::WithParamInterface<Link> {};

TEST_P(RoughLine, ReadingsAndADumpComeThroughWhole) {
    const Link link = GetParam();
    ASSERT_NO_FATAL_FAILURE(
        start(sim_args(link, {"--sequence", "--chunk", "7", "--chunk-delay", "3", "--garbage",
                              "--rate", "10", "--time-scale", "1000"})));
    ASSERT_NO_FATAL_FAILURE(connect_to(link));
    // The identification arrives in pieces with garbage too; the fields are exact.
    ASSERT_NO_FATAL_FAILURE(quick_start(25));
    ASSERT_NO_FATAL_FAILURE(stop_readings());
    // The line was rough indeed: junk lines reached the reply memo.
    EXPECT_TRUE(memo().contains(QStringLiteral("Rjunk line")));

    const int readings = rows();
    for (int r = 1; r <= readings; ++r) {
        SCOPED_TRACE(::testing::Message() << "row " << r);
        ASSERT_EQ(cell(r, Col::ColMain), QString::number(r));
        EXPECT_EQ(cell(r, Col::ColMainFunc), QStringLiteral("DCV"));
        EXPECT_EQ(cell(r, Col::ColSubFunc), QStringLiteral("ACV"));
        const double sub = cell(r, Col::ColSub).toDouble();
        EXPECT_TRUE(sub >= 0.004 && sub <= 0.006) << cell(r, Col::ColSub).toStdString();
        EXPECT_TRUE(is_reading_clock(cell(r, Col::ColTime))) << cell(r, Col::ColTime).toStdString();
    }
    EXPECT_EQ(chart().point_count(TrendChart::kMain), std::size_t(readings));
    EXPECT_EQ(chart().point_count(TrendChart::kSub), std::size_t(readings));

    // 20 records 5 s apart, into the SD card; the dump is split into pieces as well. Its values
    // go on counting where the readings stopped.
    ASSERT_NO_FATAL_FAILURE(send_line("TIME:SET 2020-02-29-23-59"));
    ASSERT_NO_FATAL_FAILURE(choose("cbb_target", QStringLiteral("SDcard")));
    ASSERT_NO_FATAL_FAILURE(type("edt_Number", "20"));
    ASSERT_NO_FATAL_FAILURE(type("edt_Interval", "5"));
    ASSERT_NO_FATAL_FAILURE(click("btn_Log"));
    EXPECT_EQ(v.send_str, QStringLiteral("MMEM:SD 20,5"));
    QTest::qWait(1000);
    ASSERT_NO_FATAL_FAILURE(send_line("SIM:DUMP"));
    ASSERT_TRUE(wait_rows(readings + 20)) << rows();
    ASSERT_TRUE(wait_quiet());
    ASSERT_EQ(rows(), readings + 20);
    const QTime start = QTime::fromString(cell(readings + 1, Col::ColTime).section(u'.', 0, 0),
                                          QStringLiteral("hh:m:ss"));
    ASSERT_TRUE(start.isValid()) << cell(readings + 1, Col::ColTime).toStdString();
    EXPECT_GE(start, QTime(23, 59, 0));
    EXPECT_LE(start, QTime(23, 59, 10));
    for (int k = 0; k < 20; ++k) {
        SCOPED_TRACE(::testing::Message() << "record " << k);
        const int r = readings + 1 + k;
        EXPECT_EQ(cell(r, Col::ColMain), QString::number(readings + 1 + k));
        EXPECT_EQ(cell(r, Col::ColMainFunc), QStringLiteral("DCV"));
        EXPECT_EQ(cell(r, Col::ColSubFunc), QStringLiteral("ACV"));
        // The recording runs past midnight: the clock text wraps to 00.
        EXPECT_EQ(cell(r, Col::ColTime), reading_clock(start.addSecs(5 * k)));
    }
}

INSTANTIATE_TEST_SUITE_P(E2e, RoughLine, ::testing::Values(Link::Serial, Link::Network), link_name);

} // namespace
