#include "presentation/series_store.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr SeriesStore::Range kNoRange{std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity()};

void widen(SeriesStore::Range& r, double lo, double hi) {
    r.lo = std::min(r.lo, lo);
    r.hi = std::max(r.hi, hi);
}

// Takes the statistics of a further `b` into `a` (Chan, Golub and LeVeque's pairwise update):
// the means' difference is weighed once instead of summing squares of large values, so nothing
// cancels however far the values lie from zero.
void merge(SeriesStore::Stats& a, const SeriesStore::Stats& b) {
    if (b.count == 0)
        return;
    if (a.count == 0) {
        a = b;
        return;
    }
    const double na = double(a.count), nb = double(b.count), n = na + nb;
    const double delta = b.mean - a.mean;
    a.mean += delta * (nb / n);
    a.m2 += b.m2 + delta * delta * (na * nb / n);
    a.min = std::min(a.min, b.min);
    a.max = std::max(a.max, b.max);
    a.count += b.count;
}

// Mean and sum of squared deviations of `n` values in a row (n > 0), in two passes: the mean
// about the first value (whose differences from nearby values are exact), then the deviations
// from it, corrected by what the first pass left over. Four running sums let the additions
// overlap instead of waiting on each other.
struct RowMoments {
    double mean, m2;
};
RowMoments row_moments(const double* y, std::size_t n) {
    const std::size_t whole = n - n % 4; // the rest goes to the first sums
    const double ref = y[0];
    double s[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < whole; i += 4)
        for (std::size_t k = 0; k < 4; ++k)
            s[k] += y[i + k] - ref;
    for (std::size_t i = whole; i < n; ++i)
        s[0] += y[i] - ref;
    const double count = double(n);
    const double mean = ref + ((s[0] + s[1]) + (s[2] + s[3])) / count;
    double d[4] = {0, 0, 0, 0}, q[4] = {0, 0, 0, 0};
    const auto deviate = [&](std::size_t i, std::size_t k) {
        const double dev = y[i] - mean;
        d[k] += dev;
        q[k] += dev * dev;
    };
    for (std::size_t i = 0; i < whole; i += 4)
        for (std::size_t k = 0; k < 4; ++k)
            deviate(i + k, k);
    for (std::size_t i = whole; i < n; ++i)
        deviate(i, 0);
    const double dev = (d[0] + d[1]) + (d[2] + d[3]);
    const double squares = (q[0] + q[1]) + (q[2] + q[3]);
    return {mean + dev / count, std::max(squares - dev * dev / count, 0.0)};
}

} // namespace

SeriesStore::SeriesStore() = default;
SeriesStore::~SeriesStore() = default;

void SeriesStore::append(double y) {
    if ((size_ & kChunkMask) == 0)
        chunks_.push_back(std::make_unique<double[]>(kChunkMask + 1));
    chunks_.back()[size_ & kChunkMask] = y;
    const std::size_t p = size_++;
    // Each level's block holding the new point takes it in. A level begins once the line
    // outgrows a single block of the level below; its first block summarises that one.
    for (std::size_t k = 0;; ++k) {
        const std::size_t block = p >> (kFanBits * int(k + 1));
        if (k == levels_.size()) {
            if (k > 0 && block == 0)
                break;
            levels_.emplace_back();
            if (k > 0) {
                Range below = kNoRange;
                for (std::size_t b = 0; b < (std::size_t{1} << kFanBits); ++b)
                    widen(below, levels_[k - 1][b].lo, levels_[k - 1][b].hi);
                levels_[k].push_back(below);
            }
        }
        std::vector<Range>& level = levels_[k];
        if (block == level.size())
            level.push_back({y, y});
        else
            widen(level[block], y, y);
        if (block == 0)
            break;
    }
    if ((size_ & (kMomentBlock - 1)) == 0)
        add_moments();
}

// The point just appended completed a block of 1024 points, and perhaps blocks of 32768 ...
// points above it: each gets its mean and sum of squared deviations. The 1024 points, which lie
// in one chunk, are read twice more (about a nanosecond a point); a larger block combines its
// 32 parts.
void SeriesStore::add_moments() {
    static_assert((kChunkMask + 1) % kMomentBlock == 0, "a block lies within one chunk");
    const std::size_t first = size_ - kMomentBlock;
    const RowMoments points =
        row_moments(&chunks_[first >> kChunkBits][first & kChunkMask], kMomentBlock);
    if (moments_.empty())
        moments_.emplace_back();
    moments_[0].push_back({points.mean, points.m2});
    constexpr std::size_t kFan = std::size_t{1} << kFanBits;
    std::size_t part = kMomentBlock; // points in a block of level j - 1
    for (std::size_t j = 1; size_ % (part * kFan) == 0; ++j) {
        if (j == moments_.size())
            moments_.emplace_back();
        const std::vector<Moments>& parts = moments_[j - 1];
        Stats whole;
        for (std::size_t b = parts.size() - kFan; b < parts.size(); ++b)
            merge(whole, {part, 0, 0, parts[b].mean, parts[b].m2});
        moments_[j].push_back({whole.mean, whole.m2});
        part *= kFan;
    }
}

void SeriesStore::clear() {
    std::vector<std::unique_ptr<double[]>>().swap(chunks_);
    std::vector<std::vector<Range>>().swap(levels_);
    std::vector<std::vector<Moments>>().swap(moments_);
    size_ = 0;
}

SeriesStore::Range SeriesStore::min_max(std::size_t first, std::size_t last) const {
    Range r = kNoRange;
    last = std::min(last, size_);
    std::size_t i = first;
    while (i < last) {
        // The largest summarised block that starts at i and ends by `last`.
        int k = -1;
        std::size_t span = 1;
        while (k + 1 < int(levels_.size())) {
            const std::size_t next = span << kFanBits;
            if (i % next != 0 || i + next > last)
                break;
            span = next;
            ++k;
        }
        if (k < 0) {
            const double y = at(i);
            widen(r, y, y);
        } else {
            const Range& block = levels_[std::size_t(k)][i >> (kFanBits * (k + 1))];
            widen(r, block.lo, block.hi);
        }
        i += span;
    }
    return r;
}

double SeriesStore::Stats::std_dev() const {
    return count > 1 ? std::sqrt(std::max(m2, 0.0) / double(count - 1)) : 0.0;
}

// Points [first, last) one by one; they lie within one block of moments, so within one chunk.
SeriesStore::Stats SeriesStore::point_stats(std::size_t first, std::size_t last) const {
    if (first >= last)
        return {};
    const RowMoments m =
        row_moments(&chunks_[first >> kChunkBits][first & kChunkMask], last - first);
    const Range r = min_max(first, last);
    return {last - first, r.lo, r.hi, m.mean, m.m2};
}

SeriesStore::Stats SeriesStore::stats(std::size_t first, std::size_t last) const {
    Stats s;
    last = std::min(last, size_);
    std::size_t i = first;
    while (i < last) {
        // The largest whole block of 1024 points or more that starts at i and ends by `last`.
        int j = -1;
        std::size_t span = 0;
        for (int t = 0; t < int(moments_.size()); ++t) {
            const std::size_t next = kMomentBlock << (kFanBits * t);
            if (i % next != 0 || i + next > last)
                break;
            span = next;
            j = t;
        }
        if (j < 0) {
            // Single points up to the next block start, or to the end of the range.
            const std::size_t end = std::min(last, (i / kMomentBlock + 1) * kMomentBlock);
            merge(s, point_stats(i, end));
            i = end;
            continue;
        }
        const std::size_t b = i / span;
        const Moments& m = moments_[std::size_t(j)][b];
        // The min/max level of this block size begins only once the line outgrows one block.
        const std::size_t k = std::size_t(j) + 1;
        const Range r = k < levels_.size() ? levels_[k][b] : min_max(i, i + span);
        merge(s, {span, r.lo, r.hi, m.mean, m.m2});
        i += span;
    }
    return s;
}

void SeriesStore::polyline(double x_lo, double x_hi, int columns, std::vector<Vertex>& out) const {
    if (size_ == 0 || columns < 1 || !(x_lo <= x_hi))
        return;
    const double top = double(size_ - 1);
    const auto first = std::size_t(std::clamp(std::floor(x_lo), 0.0, top));
    const auto last = std::size_t(std::clamp(std::ceil(x_hi), 0.0, top));
    const std::size_t count = last - first + 1;
    if (count <= 2 * std::size_t(columns)) {
        for (std::size_t i = first; i <= last; ++i)
            out.push_back({double(i), at(i)});
        return;
    }
    const auto cols = std::size_t(columns);
    for (std::size_t c = 0; c < cols; ++c) {
        const std::size_t begin = first + count * c / cols;
        const std::size_t end = first + count * (c + 1) / cols;
        const Range r = min_max(begin, end);
        // Keep the direction of travel, so that neighbouring columns join smoothly.
        const bool rising = at(begin) <= at(end - 1);
        out.push_back({double(begin), rising ? r.lo : r.hi});
        out.push_back({double(begin), rising ? r.hi : r.lo});
    }
}

std::size_t SeriesStore::memory_bytes() const {
    std::size_t bytes = chunks_.size() * (kChunkMask + 1) * sizeof(double);
    for (const std::vector<Range>& level : levels_)
        bytes += level.capacity() * sizeof(Range);
    for (const std::vector<Moments>& level : moments_)
        bytes += level.capacity() * sizeof(Moments);
    return bytes;
}
