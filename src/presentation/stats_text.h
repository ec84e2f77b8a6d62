#pragma once

#include "presentation/series_store.h"
#include "state/language_state.h"

#include <QChar>
#include <QString>

// The texts of the statistics strip under the trend chart, built apart from its labels so that
// they can be checked on their own.

// The item names of the strip in the current language (texts 138 to 142).
struct StatsWords {
    QString count, min, max, mean, std_dev;
};
StatsWords stats_words(const LanguageState& v);

// `x` rounded to `digits` significant digits, trailing zeros removed, in the notation of the
// general text of a number: plain when 0.0001 <= |x| < 1e15, otherwise scientific
// ("1.23457E-5"); zero gives "0", and a value that is not finite its general text.
QString significant_text(double x, int digits, QChar dec_sep);

// One line of the strip: the line's title, then count, minimum, maximum, mean and sample
// standard deviation, each after its name ("DCV  Count 3  Min 0.98  Max 1.02  Mean 1  Std
// dev 0.02"). Minimum and maximum are readings and read as their general text; mean and
// standard deviation get 6 significant digits. "--" stands for what the points do not give:
// everything but the count without a point, the standard deviation with a single one.
// A name and its value, and the words of a name, are joined by no-break spaces so that a
// line too long for its label wraps only between items.
QString stats_line(const QString& title, const SeriesStore::Stats& s, const StatsWords& words,
                   QChar dec_sep);

inline constexpr QChar kStatsJoin = QChar(0x00A0); // the no-break space of stats_line
