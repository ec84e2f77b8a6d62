#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Splits the text of a reading, "<number> <function>", into the general text of the number
// (with `dec_sep`) and the function (at most 20 characters). The instrument writes numbers
// with "." and may give an exponent after "E" ("+1.2345E+00"). False when the number does not
// convert (no blank, not numeric, an exponent that does not convert, a value too large for a
// double); `value` and `function` are then left alone.
bool split_reading(QStringView text, QChar dec_sep, QString& value, QString& function);
