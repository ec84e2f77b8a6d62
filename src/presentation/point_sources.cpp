#include "presentation/point_sources.h"

#include "presentation/measurement_table.h"

#include <algorithm>

std::uint32_t DetachedLabels::add(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    text_.insert(text_.end(), utf8.cbegin(), utf8.cend());
    ends_.push_back(text_.size());
    return static_cast<std::uint32_t>(ends_.size() - 1);
}

QString DetachedLabels::at(std::uint32_t i) const {
    if (i >= ends_.size())
        return {};
    const std::uint64_t begin = i == 0 ? 0 : ends_[i - 1];
    return QString::fromUtf8(text_.data() + begin, static_cast<qsizetype>(ends_[i] - begin));
}

void DetachedLabels::clear() {
    std::vector<char>().swap(text_);
    std::vector<std::uint64_t>().swap(ends_);
}

void PointSources::append(int row) {
    const auto source = static_cast<std::uint32_t>(row);
    if (!runs_.empty()) {
        const Run& last = runs_.back();
        if (!(last.source & kDetached) && last.source + (size_ - last.first_point) == source) {
            ++size_;
            return;
        }
    }
    runs_.push_back({static_cast<std::uint32_t>(size_), source});
    ++size_;
}

void PointSources::clear() {
    std::vector<Run>().swap(runs_);
    size_ = 0;
}

QString PointSources::label(std::size_t i, const MeasurementTable& table,
                            const DetachedLabels& detached) const {
    if (i >= size_)
        return {};
    const auto after =
        std::upper_bound(runs_.cbegin(), runs_.cend(), i,
                         [](std::size_t p, const Run& r) { return p < r.first_point; });
    const Run& run = *(after - 1);
    const auto offset = static_cast<std::uint32_t>(i - run.first_point);
    if (run.source & kDetached)
        return detached.at((run.source & ~kDetached) + offset);
    return table.cell(static_cast<int>(run.source + offset), MeasurementTable::ColTime);
}

void PointSources::detach(std::vector<PointSources*> lines, const MeasurementTable& table,
                          DetachedLabels& detached) {
    struct Span {
        std::uint32_t first_row, last_row;
        Run* run;
    };
    std::vector<Span> spans;
    for (PointSources* line : lines)
        for (std::size_t k = 0; k < line->runs_.size(); ++k) {
            Run& run = line->runs_[k];
            if (run.source & kDetached)
                continue;
            const auto length = static_cast<std::uint32_t>(line->run_end(k) - run.first_point);
            spans.push_back({run.source, run.source + length - 1, &run});
        }
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.first_row < b.first_row; });

    // Copy each stretch of rows once, however many runs share it.
    std::int64_t copied_first = 0, copied_last = -2;
    std::uint32_t base = 0;
    for (const Span& s : spans) {
        if (s.first_row > copied_last + 1) {
            copied_first = s.first_row;
            copied_last = std::int64_t{s.first_row} - 1;
            base = static_cast<std::uint32_t>(detached.size());
        }
        for (std::int64_t row = std::max<std::int64_t>(copied_last + 1, s.first_row);
             row <= s.last_row; ++row)
            detached.add(table.cell(static_cast<int>(row), MeasurementTable::ColTime));
        copied_last = std::max<std::int64_t>(copied_last, s.last_row);
        s.run->source = kDetached | (base + static_cast<std::uint32_t>(s.first_row - copied_first));
    }
}
