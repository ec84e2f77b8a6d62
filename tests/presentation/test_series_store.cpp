#include "presentation/series_store.h"

#include <gtest/gtest.h>

#include <algorithm>
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

} // namespace
