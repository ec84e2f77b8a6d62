#pragma once

#include <QString>

// The arithmetic of the two-cursor read-out: the difference between the point under the
// cursor line and the point of the placed second line.

// a - b, rounded to 12 significant digits of the larger of the two, so that the binary
// remainder of a subtraction (1.2345 - 1.234 = 0.000499999999999945) reads as the reader
// expects (0.0005) while differences of tiny readings keep their digits.
double value_difference(double a, double b);

// The time from the point labelled `from` to the point labelled `to`, as the read-out shows
// it: "0:00:12", "-1:02:03". `forward` says whether `to` comes after `from` in the line; the
// labels carry the time of day only, so a later point whose clock reads earlier crossed
// midnight. Empty when either label is not a reading's time stamp (a loaded file can hold any
// text there).
QString time_difference_text(const QString& from, const QString& to, bool forward);
