#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// The general text of a number, as readings and the chart cursor show them: at most 15
// significant digits (rounded), trailing zeros removed, `dec_sep` as decimal separator, no
// grouping. Plain notation when 0.0001 <= |x| < 1e15, otherwise scientific ("1.2345678E-5",
// "1E15"). Zero gives "0".
QString general_text(double x, QChar dec_sep);

// The same text in UTF-8, written into `out`, which must hold kGeneralTextMax bytes; returns
// its length. For callers that convert at wire speed and keep no QString per number. With
// `number`, also gives the number the text reads as: x itself, or x rounded to the 15 digits
// the text shows.
inline constexpr int kGeneralTextMax = 32;
int general_text(double x, QChar dec_sep, char* out, double* number = nullptr);

// The correctly rounded double of the decimal digits `digits` (nd of them, at most
// kDecimalDigitsMax, no sign) times 10^power, negated when `negative`: the number that a text
// made of those digits reads as. For the writers of number texts, which have the digits at hand.
inline constexpr int kDecimalDigitsMax = 24;
double decimal_value(const char* digits, int nd, int power, bool negative);

// `sep` in UTF-8 at `out`; returns the end.
char* put_separator(QChar sep, char* out);

// Reads a number written with `dec_sep` as decimal separator: optional blanks around it, an
// optional sign, digits with an optional fraction, an optional exponent ("E" or "e", optional
// sign, digits). No grouping, no other separator. False for anything else, the empty text
// included; `value` is then left alone.
bool text_to_number(QStringView text, QChar dec_sep, double& value);
inline bool text_to_number(const QString& text, QChar dec_sep, double& value) {
    return text_to_number(QStringView(text), dec_sep, value);
}
