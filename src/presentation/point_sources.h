#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class MeasurementTable;

// Time texts that the chart had to keep for itself because the table rows they came from were
// about to be replaced (a file load rewrites the table while the chart keeps its points).
class DetachedLabels {
public:
    std::uint32_t add(const QString& text);
    QString at(std::uint32_t i) const;
    std::size_t size() const { return ends_.size(); }
    void clear();
    std::size_t memory_bytes() const { return text_.capacity() + ends_.capacity() * 8; }

private:
    std::vector<char> text_; // UTF-8, back to back
    std::vector<std::uint64_t> ends_;
};

// Where the label (the time text) of each point of one chart line comes from: a table row,
// or a detached copy. Points nearly always come from consecutive rows, so the mapping is kept
// as runs and a point costs nothing unless its row does not follow its predecessor's.
class PointSources {
public:
    void append(int row);
    void clear();
    std::size_t size() const { return size_; }
    std::size_t run_count() const { return runs_.size(); }
    std::size_t memory_bytes() const { return runs_.capacity() * sizeof(Run); }

    QString label(std::size_t i, const MeasurementTable& table,
                  const DetachedLabels& detached) const;

    // Copies the time texts of every point that still reads its label from the table into
    // `detached`, so that the table can be rewritten. `lines` are all lines sharing `detached`;
    // rows used by several lines are copied once.
    static void detach(std::vector<PointSources*> lines, const MeasurementTable& table,
                       DetachedLabels& detached);

private:
    static constexpr std::uint32_t kDetached = 0x80000000u;
    struct Run {
        std::uint32_t first_point; // position of the run's first point in the line
        std::uint32_t source;      // its table row, or kDetached | index into DetachedLabels
    };
    std::size_t run_end(std::size_t k) const {
        return k + 1 < runs_.size() ? runs_[k + 1].first_point : size_;
    }

    std::vector<Run> runs_;
    std::size_t size_ = 0;
};
