#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The Y values of one chart line, X being a point's position in the line. A logger line can
// hold millions of points, so:
// - values live in fixed chunks that never move once written (appending never copies), and
// - a min/max summary of every block of 32, 1024, 32768 ... points lets a redraw or an extent
//   read a few thousand summaries instead of every point, and
// - every whole block of 1024, 32768 ... points also keeps its mean and its sum of squared
//   deviations from that mean, so the statistics of any range combine a few dozen blocks and
//   read at most 1023 points at each end. Kept about the block's own mean (and combined with
//   Chan's pairwise formula), they stay accurate for values like 1,000,000.001 with noise in
//   the last digits, where plain sums of values and squares would cancel to nothing.
// A point costs 8 bytes plus about 0.53 bytes of summaries.
class SeriesStore {
public:
    struct Range {
        double lo, hi; // lo > hi: no value
        bool empty() const { return lo > hi; }
    };
    struct Vertex {
        double x, y;
    };
    // Count, smallest, largest and mean of a range of points, and the sum of the squared
    // deviations from that mean (from which the variance follows).
    struct Stats {
        std::size_t count = 0;
        double min = 0, max = 0, mean = 0, m2 = 0; // meaningless while count is 0
        // The sample standard deviation (n - 1 in the divisor); one point has none.
        bool has_std_dev() const { return count > 1; }
        double std_dev() const;
    };

    SeriesStore();
    ~SeriesStore();
    SeriesStore(const SeriesStore&) = delete;
    SeriesStore& operator=(const SeriesStore&) = delete;

    std::size_t size() const { return size_; }
    double at(std::size_t i) const { return chunks_[i >> kChunkBits][i & kChunkMask]; }
    void append(double y);
    void clear();

    // Smallest and largest value of points [first, last).
    Range min_max(std::size_t first, std::size_t last) const;
    Range extent() const { return min_max(0, size_); }
    // Count, extremes, mean and sum of squared deviations of points [first, last), `last`
    // clipped to the line's end. The cost does not grow with the range: whole blocks come from
    // their summaries, fewer than 1024 points at each end are read one by one.
    Stats stats(std::size_t first, std::size_t last) const;

    // The line's vertices for a view of X from `x_lo` to `x_hi` that is `columns` pixels wide,
    // appended to `out`. Up to two points per column, every point in view is drawn as it is
    // (with one more at each side, so the line reaches the edges); beyond that each column
    // gets the smallest and largest value of its points, so the drawn line covers exactly what
    // every point would, at a cost that does not grow with the number of points.
    void polyline(double x_lo, double x_hi, int columns, std::vector<Vertex>& out) const;

    std::size_t memory_bytes() const;

private:
    static constexpr int kChunkBits = 16;
    static constexpr std::size_t kChunkMask = (std::size_t{1} << kChunkBits) - 1;
    static constexpr int kFanBits = 5;                // 32 points, then 32 blocks, per summary
    static constexpr std::size_t kMomentBlock = 1024; // the smallest block with moments

    std::vector<std::unique_ptr<double[]>> chunks_;
    struct Moments {
        double mean, m2; // of a whole block; its count is the block's size
    };
    void add_moments();
    Stats point_stats(std::size_t first, std::size_t last) const;

    std::vector<std::vector<Range>> levels_; // level k: blocks of 32^(k+1) points
    // moments_[j]: the whole blocks of level j + 1 (1024 points, 32768 ...), in order; a block
    // gets its entry when its last point arrives.
    std::vector<std::vector<Moments>> moments_;
    std::size_t size_ = 0;
};
