#pragma once

#include <cstddef>
#include <cstdint>

// The arithmetic of the trend chart's cursor read-out, zoom and axis fitting, kept apart from
// the widgets so that it can be checked on its own.

// Rounds the classic way: the integer part (cut towards zero), plus one when the fraction is at
// least 0.5. A negative fraction never adds one, so -0.7 gives 0 and -1.5 gives -1. Values
// beyond the 32-bit range give the nearest end of it; NaN gives 0 (callers check first).
std::int32_t rouclassic(double r);

// The value rounded to 4 decimals, a tie going to the even last digit (0.03125 -> 0.0312,
// 0.09375 -> 0.0938). Values too large for the scaling come back unchanged.
double round_to_4_decimals(double value);

struct AxisSpan {
    double lower;
    double upper;
};

// The span an axis shows after a zoom by `percent`: each end moves inwards by
// (upper - lower) * (percent - 100) / 100, so 101 narrows by 1 % at each end and 99 widens.
AxisSpan zoomed_span(AxisSpan shown, int percent);

// The span that shows values from `lo` to `hi` with a small margin; a single value gets a
// span around it so that the line stays visible.
AxisSpan fitted_span(double lo, double hi);

// Where the cursor read-out's labels stand relative to the cursor line at `x` in a chart
// `width` pixels wide: right of it, left of it near the right edge, or where they were.
enum class LabelSide { Right, Left, Keep };
LabelSide cursor_label_side(int x, int width);

// Top of the main-value label for the mouse at `y` in a chart `height` pixels high: below the
// mouse, or above it near the bottom edge.
int cursor_value_label_top(int y, int height);

// Points [first, last) of a line of `count` points: those whose X (their position) lies in
// the span [lower, upper] that the bottom axis shows. Empty (first == last) when none does.
struct PointRange {
    std::size_t first;
    std::size_t last;
};
PointRange visible_points(double lower, double upper, std::size_t count);
