#include "presentation/cursor_delta.h"

#include "protocol/reading_time.h"

#include <algorithm>
#include <cmath>

double value_difference(double a, double b) {
    const double d = a - b;
    const double larger = std::max(std::fabs(a), std::fabs(b));
    if (d == 0 || !std::isfinite(d) || larger == 0)
        return d;
    // The quantum is a power of ten; dividing by an exact power of ten rounds correctly,
    // multiplying by an inexact small one would not.
    const int e = int(std::floor(std::log10(larger))) - 11;
    if (e >= 0)
        return d; // a difference of values this large has no fraction to tidy
    const double scale = std::pow(10.0, -e);
    if (!std::isfinite(scale) || std::fabs(d) * scale > 9e15)
        return d;
    return std::nearbyint(d * scale) / scale;
}

QString time_difference_text(const QString& from, const QString& to, bool forward) {
    const QByteArray f = from.toLatin1();
    const QByteArray t = to.toLatin1();
    const int a = reading_time_second(f);
    const int b = reading_time_second(t);
    if (a < 0 || b < 0)
        return {};
    constexpr int kDay = 86400;
    // The labels know no date: the difference is taken the way the points run, within a day.
    int seconds = forward ? (b - a + kDay) % kDay : -((a - b + kDay) % kDay);
    const bool negative = seconds < 0;
    seconds = std::abs(seconds);
    return QStringLiteral("%1%2:%3:%4")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
