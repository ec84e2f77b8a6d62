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
//   read a few thousand summaries instead of every point.
// A point costs 8 bytes plus about half a byte of summaries.
class SeriesStore {
public:
    struct Range {
        double lo, hi; // lo > hi: no value
        bool empty() const { return lo > hi; }
    };
    struct Vertex {
        double x, y;
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
    static constexpr int kFanBits = 5; // 32 points, then 32 blocks, per summary

    std::vector<std::unique_ptr<double[]>> chunks_;
    std::vector<std::vector<Range>> levels_; // level k: blocks of 32^(k+1) points
    std::size_t size_ = 0;
};
