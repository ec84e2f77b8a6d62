#include "presentation/series_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Sizes around the block boundaries of the summaries (32, 1024, 32768 points).
const std::size_t kSizes[] = {1, 2, 31, 32, 33, 1023, 1024, 1025, 32767, 32768, 32769, 70001};

std::vector<double> random_walk(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> step(0, 1);
    std::vector<double> ys(n);
    double y = 0;
    for (double& v : ys)
        v = y += step(gen);
    return ys;
}

void fill(SeriesStore& s, const std::vector<double>& ys) {
    for (double y : ys)
        s.append(y);
}

TEST(SeriesStore, RangesMatchEveryPoint) {
    std::mt19937 gen(7);
    for (std::size_t n : kSizes) {
        SCOPED_TRACE(n);
        const std::vector<double> ys = random_walk(n, unsigned(n));
        SeriesStore s;
        fill(s, ys);
        ASSERT_EQ(s.size(), n);
        EXPECT_EQ(s.at(n - 1), ys.back());
        const auto [lo, hi] = std::minmax_element(ys.begin(), ys.end());
        EXPECT_EQ(s.extent().lo, *lo);
        EXPECT_EQ(s.extent().hi, *hi);
        std::uniform_int_distribution<std::size_t> pick(0, n);
        for (int k = 0; k < 200; ++k) {
            std::size_t a = pick(gen), b = pick(gen);
            if (a > b)
                std::swap(a, b);
            const SeriesStore::Range r = s.min_max(a, b);
            if (a == b) {
                EXPECT_TRUE(r.empty());
                continue;
            }
            const auto [l, h] = std::minmax_element(ys.begin() + long(a), ys.begin() + long(b));
            ASSERT_EQ(r.lo, *l) << a << ".." << b;
            ASSERT_EQ(r.hi, *h) << a << ".." << b;
        }
    }
}

// Whatever the view, each pixel column's drawn span is exactly the span of its points.
TEST(SeriesStore, PolylineCoversEachColumnExactly) {
    const std::vector<double> ys = random_walk(200000, 3);
    SeriesStore s;
    fill(s, ys);
    struct View {
        double lo, hi;
        int columns;
    };
    const View views[] = {{0, 199999, 800},
                          {-5000, 250000, 640},
                          {1234.5, 98765.25, 333},
                          {100.2, 180.7, 400},
                          {-3, 2, 50}};
    for (const View& view : views) {
        SCOPED_TRACE(view.lo);
        std::vector<SeriesStore::Vertex> out;
        s.polyline(view.lo, view.hi, view.columns, out);
        ASSERT_FALSE(out.empty());
        ASSERT_LE(out.size(), std::size_t(4 * view.columns) + 2);
        const auto first = std::size_t(std::clamp(std::floor(view.lo), 0.0, 199999.0));
        const auto last = std::size_t(std::clamp(std::ceil(view.hi), 0.0, 199999.0));
        EXPECT_EQ(out.front().x, double(first));
        if (last - first + 1 <= std::size_t(2 * view.columns)) {
            ASSERT_EQ(out.size(), last - first + 1); // few points: every one as it is
            for (const SeriesStore::Vertex& v : out)
                EXPECT_EQ(v.y, ys[std::size_t(v.x)]);
            continue;
        }
        // Vertices come in pairs per column; the points of a column run up to the next pair.
        for (std::size_t k = 0; k < out.size(); k += 2) {
            const auto begin = std::size_t(out[k].x);
            const std::size_t end = k + 2 < out.size() ? std::size_t(out[k + 2].x) : last + 1;
            const auto [l, h] =
                std::minmax_element(ys.begin() + long(begin), ys.begin() + long(end));
            EXPECT_EQ(std::min(out[k].y, out[k + 1].y), *l) << begin;
            EXPECT_EQ(std::max(out[k].y, out[k + 1].y), *h) << begin;
        }
    }
}

TEST(SeriesStore, ClearGivesTheMemoryBack) {
    SeriesStore s;
    fill(s, random_walk(100000, 1));
    EXPECT_GE(s.memory_bytes(), 100000 * sizeof(double));
    // 8 bytes a point, the unused end of the last chunk, and the summaries.
    EXPECT_LE(s.memory_bytes(), 100000 * 9 + 65536 * sizeof(double));
    s.clear();
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(s.memory_bytes(), 0u);
    EXPECT_TRUE(s.extent().empty());
    s.append(4.5);
    EXPECT_EQ(s.extent().lo, 4.5);
}

// The statistics of points [a, b) computed directly, in long double, for comparison.
struct Direct {
    std::size_t count = 0;
    double min = 0, max = 0;
    long double mean = 0, std_dev = 0; // std_dev: sample one, 0 below two points
};
Direct direct_stats(const std::vector<double>& ys, std::size_t a, std::size_t b) {
    Direct d;
    b = std::min(b, ys.size());
    if (a >= b)
        return d;
    d.count = b - a;
    const auto [lo, hi] = std::minmax_element(ys.begin() + long(a), ys.begin() + long(b));
    d.min = *lo;
    d.max = *hi;
    long double sum = 0;
    for (std::size_t i = a; i < b; ++i)
        sum += ys[i];
    d.mean = sum / (long double)d.count;
    long double squares = 0;
    for (std::size_t i = a; i < b; ++i)
        squares += (ys[i] - d.mean) * (ys[i] - d.mean);
    if (d.count > 1)
        d.std_dev = std::sqrt(squares / (long double)(d.count - 1));
    return d;
}

void expect_stats(const SeriesStore& s, const std::vector<double>& ys, std::size_t a, std::size_t b,
                  double rel = 1e-9) {
    SCOPED_TRACE(testing::Message() << a << ".." << b);
    const Direct want = direct_stats(ys, a, b);
    const SeriesStore::Stats got = s.stats(a, b);
    ASSERT_EQ(got.count, want.count);
    if (want.count == 0)
        return;
    EXPECT_EQ(got.min, want.min);
    EXPECT_EQ(got.max, want.max);
    const double scale = std::max(double(std::fabs(want.mean)), 1.0);
    EXPECT_NEAR(got.mean, double(want.mean), 1e-12 * scale);
    EXPECT_EQ(got.has_std_dev(), want.count > 1);
    if (want.count > 1) {
        EXPECT_NEAR(got.std_dev(), double(want.std_dev), rel * double(want.std_dev) + 1e-300);
    }
}

// Sizes around and across the block boundaries; ranges that cut blocks at both ends, a single
// point, an empty range, ranges beyond the line.
TEST(SeriesStore, StatsMatchADirectComputation) {
    std::mt19937 gen(11);
    const std::size_t sizes[] = {1,    2,    31,    32,    33,    1023,  1024,
                                 1025, 2048, 32767, 32768, 32769, 40000, 70001};
    for (std::size_t n : sizes) {
        SCOPED_TRACE(n);
        const std::vector<double> ys = random_walk(n, unsigned(n) + 5);
        SeriesStore s;
        fill(s, ys);
        expect_stats(s, ys, 0, n);
        expect_stats(s, ys, 1, n - 1);
        expect_stats(s, ys, n - 1, n);        // the last point alone
        expect_stats(s, ys, n / 2, n / 2);    // no point
        expect_stats(s, ys, n, n + 100);      // past the end
        expect_stats(s, ys, n / 3, n + 5000); // the end clipped
        std::uniform_int_distribution<std::size_t> pick(0, n);
        for (int k = 0; k < 100; ++k) {
            std::size_t a = pick(gen), b = pick(gen);
            if (a > b)
                std::swap(a, b);
            expect_stats(s, ys, a, b);
        }
    }
    // A range that cuts 32768-point blocks at both ends and spans whole ones between.
    const std::vector<double> ys = random_walk(200000, 9);
    SeriesStore s;
    fill(s, ys);
    for (const auto& [a, b] : {std::pair<std::size_t, std::size_t>{32767, 163841},
                               {1, 199999},
                               {1025, 131071},
                               {65536, 98304}})
        expect_stats(s, ys, a, b);
}

TEST(SeriesStore, StatsOfOnePointAndOfNone) {
    SeriesStore s;
    EXPECT_EQ(s.stats(0, 10).count, 0u);
    s.append(-2.5);
    const SeriesStore::Stats one = s.stats(0, 1);
    EXPECT_EQ(one.count, 1u);
    EXPECT_EQ(one.min, -2.5);
    EXPECT_EQ(one.max, -2.5);
    EXPECT_EQ(one.mean, -2.5);
    EXPECT_FALSE(one.has_std_dev());
    s.append(-2.5);
    EXPECT_EQ(s.stats(0, 2).std_dev(), 0.0);
}

// Readings like 1,000,000.001 with noise in the last digits over ten million points: sums of
// values and of squares would lose the noise entirely (their difference cancels to rounding).
TEST(SeriesStore, StatsKeepTheNoiseOfLargeOffsetReadings) {
    const std::size_t n = 10'000'000;
    std::vector<double> ys(n);
    std::mt19937_64 gen(5);
    std::normal_distribution<double> noise(0, 2e-6);
    for (double& y : ys)
        y = 1'000'000.001 + noise(gen);
    SeriesStore s;
    fill(s, ys);
    expect_stats(s, ys, 0, n, 1e-6);
    expect_stats(s, ys, 12345, 9'876'543, 1e-6);
    expect_stats(s, ys, 1'048'575, 1'048'577 + 32768, 1e-6);
    // What a plain sum of squares gives instead, to show the case bites.
    double sum = 0, squares = 0;
    for (double y : ys) {
        sum += y;
        squares += y * y;
    }
    const double naive = (squares - sum * sum / double(n)) / double(n - 1);
    const double std_dev = s.stats(0, n).std_dev();
    EXPECT_NEAR(std_dev, 2e-6, 2e-8);
    EXPECT_FALSE(std::fabs(std::sqrt(std::fabs(naive)) - std_dev) < 0.01 * std_dev);
}

TEST(SeriesStore, ANewRunStartsItsStatisticsAfresh) {
    SeriesStore s;
    fill(s, random_walk(5000, 2));
    s.clear();
    EXPECT_EQ(s.stats(0, 5000).count, 0u);
    const std::vector<double> ys = random_walk(2100, 4);
    fill(s, ys);
    expect_stats(s, ys, 0, 5000);
    expect_stats(s, ys, 3, 2050);
}

} // namespace
