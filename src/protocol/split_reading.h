#pragma once

#include "protocol/number_text.h"

#include <QChar>
#include <QString>
#include <QStringView>

// A reading split into its value and its function.
struct SplitReading {
    char value[kGeneralTextMax]; // the whole general text of the number, UTF-8
    int value_size = 0;
    double number = 0;    // what that text reads as
    QStringView function; // at most 20 characters of the text that was split
};

// Splits the text of a reading, "<number> <function>", into the general text of the number
// (with `dec_sep`) and the function (at most 20 characters). The instrument writes numbers
// with "." and may give an exponent after "E" ("+1.2345E+00"). False when the number does not
// convert (no blank, not numeric, an exponent that does not convert, a value too large for a
// double); `out` is then left alone.
bool split_reading(QStringView text, QChar dec_sep, SplitReading& out);

// The same with the value and function as texts, for callers that want QStrings.
bool split_reading(QStringView text, QChar dec_sep, QString& value, QString& function);
