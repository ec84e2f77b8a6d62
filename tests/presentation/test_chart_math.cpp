#include "presentation/chart_math.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ChartMath, RouclassicCutsTowardsZeroAndRoundsUpFromAHalf) {
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 3},
        {2.49, 2},
        {-0.7, 0},
        {-1.2, -1},
        {-1.5, -1},
        {0.5, 1},
        {-0.5, 0},
        {0.0, 0},
        {7.0, 7},
        {-3.0, -3},
        {0.49999, 0},
        {1e12, 2147483647},
        {-1e12, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& [r, expected] : cases)
        EXPECT_EQ(rouclassic(r), expected) << r;
}

TEST(ChartMath, FourDecimalsWithTiesToEven) {
    const std::pair<double, double> cases[] = {
        {0.03125, 0.0312},   {0.09375, 0.0938},
        {-0.03125, -0.0312}, {1.23456, 1.2346},
        {2.5, 2.5},          {-7.77777, -7.7778},
        {1e300, 1e300},      {123456789.12345, 123456789.1234},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_DOUBLE_EQ(round_to_4_decimals(value), expected) << value;
}

TEST(ChartMath, ZoomMovesBothEndsByAPercentOfTheSpan) {
    const AxisSpan in = zoomed_span({0, 100}, 101);
    EXPECT_DOUBLE_EQ(in.lower, 1);
    EXPECT_DOUBLE_EQ(in.upper, 99);
    const AxisSpan out = zoomed_span({-10, 10}, 99);
    EXPECT_DOUBLE_EQ(out.lower, -10.2);
    EXPECT_DOUBLE_EQ(out.upper, 10.2);
}

TEST(ChartMath, FittedSpanKeepsASingleValueVisible) {
    for (double v : {0.0, 5.0, -2e-9}) {
        const AxisSpan s = fitted_span(v, v);
        EXPECT_LT(s.lower, v);
        EXPECT_GT(s.upper, v);
    }
    const AxisSpan s = fitted_span(0, 10);
    EXPECT_LE(s.lower, 0);
    EXPECT_GE(s.upper, 10);
}

// The points of a line of 10 (X 0..9) that an axis span shows: X inside [lower, upper].
TEST(ChartMath, VisiblePointsAreThoseWhoseXLiesInTheSpan) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double lower, upper;
        std::size_t first, last;
    };
    const Case cases[] = {
        {-0.45, 9.45, 0, 10},                               // the fitted view: every point
        {0, 9, 0, 10},                                      // the ends themselves count
        {1.2, 3.8, 2, 4},                                   // partial positions round inwards
        {2, 2, 2, 3},                                       // one point
        {2.1, 2.9, 0, 0},                                   // between two points
        {-5, -0.5, 0, 0},                                   // left of the line
        {9.5, 20, 0, 0},                                    // right of it
        {8.5, 1e30, 9, 10},                                 // far beyond the end
        {-inf, inf, 0, 10},   {nan, 5, 0, 0}, {5, 3, 0, 0}, // an inverted span
    };
    for (const Case& c : cases) {
        const PointRange r = visible_points(c.lower, c.upper, 10);
        EXPECT_EQ(r.first, c.first) << c.lower << ".." << c.upper;
        EXPECT_EQ(r.last, c.last) << c.lower << ".." << c.upper;
    }
    EXPECT_EQ(visible_points(-1, 1, 0).last, 0u); // an empty line
}

} // namespace
