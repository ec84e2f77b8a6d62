#include "presentation/chart_math.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

std::int32_t rouclassic(double r) {
    if (std::isnan(r))
        return 0;
    const double whole = std::trunc(r);
    const double rounded = r - whole >= 0.5 ? whole + 1 : whole;
    if (rounded >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (rounded <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

double round_to_4_decimals(double value) {
    const double scaled = value * 10000.0;
    // Past 2^52 every double is a whole number already; beyond that scaling only overflows.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0)
        return value;
    // The default rounding mode sends halves to the even neighbour; do not rely on it being set.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(scaled);
    if (mode != FE_TONEAREST)
        std::fesetround(mode);
    return rounded / 10000.0;
}

AxisSpan zoomed_span(AxisSpan shown, int percent) {
    const double d = (shown.upper - shown.lower) * (percent - 100) / 100.0;
    return {shown.lower + d, shown.upper - d};
}

AxisSpan fitted_span(double lo, double hi) {
    if (!(lo < hi)) {
        const double half = lo == 0 ? 1.0 : std::fabs(lo) * 0.1;
        return {lo - half, lo + half};
    }
    const double margin = (hi - lo) * 0.05;
    return {lo - margin, hi + margin};
}

LabelSide cursor_label_side(int x, int width) {
    const int flip = width - 200;
    return x < flip ? LabelSide::Right : x > flip ? LabelSide::Left : LabelSide::Keep;
}

int cursor_value_label_top(int y, int height) {
    return y <= height - 104 ? y + 18 : y - 44;
}

PointRange visible_points(double lower, double upper, std::size_t count) {
    const double n = double(count);
    // Clamped as doubles first: an axis can show any span, NaN included, far past the line.
    if (!(lower <= upper) || !(upper >= 0) || !(lower <= n - 1))
        return {0, 0};
    const auto first = std::size_t(std::max(std::ceil(lower), 0.0));
    const auto last = std::size_t(std::min(std::floor(upper), n - 1)) + 1;
    if (first >= last)
        return {0, 0};
    return {first, last};
}
