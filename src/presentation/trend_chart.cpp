#include "presentation/trend_chart.h"

#include "presentation/measurement_table.h"
#include "protocol/number_text.h"

#include <algorithm>

namespace {

bool blank(const QString& s) {
    return s.trimmed().isEmpty();
}

} // namespace

TrendChart::TrendChart(const MeasurementTable& table, const ALL_V& v) : table_(table), v_(v) {
    // Labels are read from the table rows; before a load rewrites those rows, the labels of
    // the points already shown are kept aside so that they still read their own times.
    table_reset_ = QObject::connect(&table, &QAbstractItemModel::modelAboutToBeReset,
                                    [this] { detach_labels(); });
}

TrendChart::~TrendChart() {
    QObject::disconnect(table_reset_);
}

QChar TrendChart::dec_sep() const {
    return v_.dec_sep.isEmpty() ? QLatin1Char('.') : v_.dec_sep.at(0);
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

bool TrendChart::starts_new_run(int row) const {
    return table_.cell(row, MeasurementTable::ColMainFunc) !=
               table_.cell(row - 1, MeasurementTable::ColMainFunc) ||
           table_.cell(row, MeasurementTable::ColSubFunc) !=
               table_.cell(row - 1, MeasurementTable::ColSubFunc);
}

// A row's function text for finding run starts in a loaded table. Row 0 holds the column
// names, but for this purpose it stands for "before the first row" and has no function.
QString TrendChart::function_text(int row, int col) const {
    return row < 1 ? QString() : table_.cell(row, col);
}

bool TrendChart::add_point(int line, int row, const QString& value) {
    double y = 0;
    if (!text_to_number(value, dec_sep(), y))
        return false;
    values_[line].append(y);
    sources_[line].append(row);
    return true;
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

void TrendChart::chart_add_last() {
    const int r = last_filled_row();
    if (r < 1)
        return; // no data row: nothing to plot
    if (r > 1 && starts_new_run(r))
        clear_lines();
    if (!add_point(kMain, r, table_.cell(r, MeasurementTable::ColMain)))
        return;
    title_01_ = table_.cell(r, MeasurementTable::ColMainFunc);
    const QString sub = table_.cell(r, MeasurementTable::ColSub);
    if (!blank(sub) && add_point(kSub, r, sub))
        title_02_ = table_.cell(r, MeasurementTable::ColSubFunc);
}

bool TrendChart::chart_add_loaded() {
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
    // never changes runs from row 1.
    int start1 = 1, start2 = last;
    bool seek1 = true, seek2 = last_has_sub;
    if (seek2)
        start2 = 1;
    for (int row = last; row >= 1 && (seek1 || seek2); --row) {
        if (seek1 && function_text(row, MeasurementTable::ColMainFunc) !=
                         function_text(row - 1, MeasurementTable::ColMainFunc)) {
            start1 = row;
            seek1 = false;
        }
        if (seek2 && function_text(row, MeasurementTable::ColSubFunc) !=
                         function_text(row - 1, MeasurementTable::ColSubFunc)) {
            start2 = row;
            seek2 = false;
        }
    }

    // Sub values are plotted only when the first plotted row has one; rows without one are
    // passed over, as live readings without a sub value are.
    const int start = std::min(start1, start2);
    const bool with_sub = !blank(table_.cell(start, MeasurementTable::ColSub));
    for (int i = start; i <= last; ++i) {
        if (i >= start1 && !add_point(kMain, i, table_.cell(i, MeasurementTable::ColMain)))
            return false;
        if (i < start2 || !with_sub)
            continue;
        const QString sub = table_.cell(i, MeasurementTable::ColSub);
        if (!blank(sub) && !add_point(kSub, i, sub))
            return false;
    }
    return true;
}
