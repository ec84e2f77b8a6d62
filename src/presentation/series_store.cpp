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
}

void SeriesStore::clear() {
    std::vector<std::unique_ptr<double[]>>().swap(chunks_);
    std::vector<std::vector<Range>>().swap(levels_);
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
    return bytes;
}
