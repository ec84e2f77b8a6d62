#include "presentation/trend_chart.h"

#include "presentation/measurement_table.h"
#include "protocol/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

bool blank(const QString& s) {
    return s.trimmed().isEmpty();
}

} // namespace

TrendChart::TrendChart(const MeasurementTable& table, const LanguageState& v)
    : table_(table), v_(v) {
    // Labels are read from the table rows; before a load rewrites those rows, the labels of
    // the points already shown are kept aside so that they still read their own times.
    table_reset_ = QObject::connect(&table, &QAbstractItemModel::modelAboutToBeReset,
                                    [this] { detach_labels(); });
}

TrendChart::~TrendChart() {
    QObject::disconnect(table_reset_);
}

QString TrendChart::label(int line, std::size_t i) const {
    return sources_[line].label(i, table_, detached_);
}

std::size_t TrendChart::memory_bytes() const {
    return values_[kMain].memory_bytes() + values_[kSub].memory_bytes() +
           sources_[kMain].memory_bytes() + sources_[kSub].memory_bytes() +
           detached_.memory_bytes();
}

// The last row whose index cell is filled; 0 (the header) when there is none.
int TrendChart::last_filled_row() const {
    const int last = table_.row_count() - 1;
    if (table_.row_filled(last))
        return last;
    if (!table_.row_filled(1))
        return 0;
    int r = last - 1;
    while (r > 1 && !table_.row_filled(r))
        --r;
    return r;
}

namespace {

bool blank(QByteArrayView s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) > 0x20)
            return false;
    return true;
}

// A point is drawn only for a finite value: an infinite reading (an overload read back from a
// recording) stays in the table but has no place on an axis.
bool plottable(double y) {
    return std::isfinite(y);
}

} // namespace

TrendChart::RowValues TrendChart::cell_values(int row) const {
    RowValues r{kNoNumber, kNoNumber, false};
    double y = 0;
    if (text_to_number(table_.cell(row, MeasurementTable::ColMain), v_.separator(), y))
        r.main = y;
    const QString sub = table_.cell(row, MeasurementTable::ColSub);
    r.has_sub = !blank(sub);
    if (r.has_sub && text_to_number(sub, v_.separator(), y))
        r.sub = y;
    return r;
}

void TrendChart::add_point(int line, int row, double y) {
    values_[line].append(y);
    sources_[line].append(row);
}

void TrendChart::plot_row(int r, const RowValues& values) {
    if (r > 1 && !table_.same_functions(r, r - 1))
        clear_lines();
    if (!plottable(values.main))
        return;
    add_point(kMain, r, values.main);
    title_01_ = table_.cell(r, MeasurementTable::ColMainFunc);
    if (values.has_sub && plottable(values.sub)) {
        add_point(kSub, r, values.sub);
        title_02_ = table_.cell(r, MeasurementTable::ColSubFunc);
    }
}

void TrendChart::clear_lines() {
    for (int line : {kMain, kSub}) {
        values_[line].clear();
        sources_[line].clear();
    }
    detached_.clear(); // nothing refers to it any more
    ++clear_count_;
}

void TrendChart::detach_labels() {
    PointSources::detach({&sources_[kMain], &sources_[kSub]}, table_, detached_);
}

void TrendChart::chart_add_last(const RecordView& rec) {
    const int r = last_filled_row();
    if (r < 1)
        return; // no data row: nothing to plot
    plot_row(r, {rec.main_value, rec.sub_value, !blank(rec.Sub_No)});
}

void TrendChart::chart_add_last() {
    const int r = last_filled_row();
    if (r < 1)
        return;
    plot_row(r, cell_values(r));
}

bool TrendChart::chart_add_loaded(const RecordStore& records) {
    return plot_loaded([&records, this](int row) {
        if (row < 0 || std::size_t(row) >= records.size())
            return cell_values(row);
        const RecordView r = records[std::size_t(row)];
        return RowValues{r.main_value, r.sub_value, !blank(r.Sub_No)};
    });
}

bool TrendChart::chart_add_loaded() {
    return plot_loaded([this](int row) { return cell_values(row); });
}

template <class ValuesOf> bool TrendChart::plot_loaded(ValuesOf values_of) {
    const int last = table_.row_count() - 1;
    if (last < 1)
        return false; // nothing was loaded; the column names are no reading
    const QString main_func = table_.cell(last, MeasurementTable::ColMainFunc);
    const bool last_has_sub = !blank(table_.cell(last, MeasurementTable::ColSub));
    if (!blank(main_func))
        title_01_ = main_func;
    if (last_has_sub)
        title_02_ = table_.cell(last, MeasurementTable::ColSubFunc);

    // Where the last run of main functions and of sub functions begins. A line whose function
    // never changes runs from row 1; row 0 stands for "before the first row" and has none.
    const auto function = [this](int row, int col) {
        return row < 1 ? 0u : table_.function_id(row, col);
    };
    int start1 = 1, start2 = last;
    bool seek1 = true, seek2 = last_has_sub;
    if (seek2)
        start2 = 1;
    for (int row = last; row >= 1 && (seek1 || seek2); --row) {
        if (seek1 && function(row, MeasurementTable::ColMainFunc) !=
                         function(row - 1, MeasurementTable::ColMainFunc)) {
            start1 = row;
            seek1 = false;
        }
        if (seek2 && function(row, MeasurementTable::ColSubFunc) !=
                         function(row - 1, MeasurementTable::ColSubFunc)) {
            start2 = row;
            seek2 = false;
        }
    }

    // Sub values are plotted only when the first plotted row has one; rows without one are
    // passed over, as live readings without a sub value are. A row whose main value is
    // infinite gets no point, as a live reading would not.
    const int start = std::min(start1, start2);
    const bool with_sub = values_of(start).has_sub;
    for (int i = start; i <= last; ++i) {
        const RowValues row = values_of(i);
        if (i >= start1 && std::isnan(row.main))
            return false;
        if (!std::isnan(row.main) && !plottable(row.main))
            continue; // infinite: the row gets no point, as a live reading would not
        if (i >= start1)
            add_point(kMain, i, row.main);
        if (i < start2 || !with_sub || !row.has_sub)
            continue;
        if (std::isnan(row.sub))
            return false;
        if (plottable(row.sub))
            add_point(kSub, i, row.sub);
    }
    return true;
}
