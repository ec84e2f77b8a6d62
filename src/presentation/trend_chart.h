#pragma once

#include "presentation/point_sources.h"
#include "presentation/series_store.h"
#include "state/language_state.h"
#include "state/record_store.h"

#include <QMetaObject>
#include <QString>

#include <array>
#include <cstdint>

class MeasurementTable;

// The trend chart's data: two lines plotted against the reading number, main values (Series1,
// left axis) and sub values (Series2, right axis), and the two titles. It plots rows of the
// measurement table: a point's X is its position in its own line, its Y the number in the
// row's value cell, and its label the row's time text, read from the table when asked for.
//
// The chart shows one measurement set-up at a time: a run is a stretch of consecutive rows
// with equal main and equal sub function texts, and a row that starts a new run clears both
// lines first.
class TrendChart {
public:
    static constexpr int kMain = 0; // Series1
    static constexpr int kSub = 1;  // Series2

    TrendChart(const MeasurementTable& table, const LanguageState& v);
    ~TrendChart();
    TrendChart(const TrendChart&) = delete;
    TrendChart& operator=(const TrendChart&) = delete;

    // Plots the last filled row of the table, whose values `r` carries as numbers (the record
    // the row was just written from). A value that is not a finite number (no number, or an
    // infinite one) skips its point, a main value also the rest of the row; it never stops the
    // caller.
    void chart_add_last(const RecordView& r);
    // The same, reading the row's value texts from the table.
    void chart_add_last();
    // After a file load: sets the titles from the last row and plots the table's last run after
    // the points already shown, with the numbers of `records` (record k is table row k).
    // Infinite values are skipped as live ones are. False when a value is not a number (the
    // points added before it stay) or the table has no data row.
    bool chart_add_loaded(const RecordStore& records);
    // The same, reading the value texts from the table.
    bool chart_add_loaded();

    // The Y values of Series1 (kMain) or Series2 (kSub), as the chart widget draws them.
    const SeriesStore& values(int line) const { return values_[line]; }
    std::size_t point_count(int line) const { return values_[line].size(); }
    double y(int line, std::size_t i) const { return values_[line].at(i); }
    QString label(int line, std::size_t i) const;

    const QString& title_01() const { return title_01_; }
    const QString& title_02() const { return title_02_; }
    // Series1 is always active; Series2 and its title exactly while it holds a point.
    bool series2_active() const { return point_count(kSub) > 0; }

    // Smallest and largest Y of a line (empty while the line is).
    SeriesStore::Range y_extent(int line) const { return values_[line].extent(); }
    // Counts the clearings of the lines, so a view can tell that a new run began.
    std::uint64_t clear_count() const { return clear_count_; }

    // Bytes the chart holds: values with their summaries, label runs and detached labels.
    std::size_t memory_bytes() const;

private:
    int last_filled_row() const;
    // A row's values: main, sub (NaN without one) and whether its sub text is not blank.
    struct RowValues {
        double main, sub;
        bool has_sub;
    };
    RowValues cell_values(int row) const;
    void plot_row(int row, const RowValues& values);
    template <class ValuesOf> bool plot_loaded(ValuesOf values_of);
    void add_point(int line, int row, double y);
    void clear_lines();
    void detach_labels();

    const MeasurementTable& table_;
    const LanguageState& v_;
    std::array<SeriesStore, 2> values_;
    std::array<PointSources, 2> sources_;
    DetachedLabels detached_;
    QString title_01_;
    QString title_02_;
    std::uint64_t clear_count_ = 0;
    QMetaObject::Connection table_reset_;
};
