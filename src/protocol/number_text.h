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

// What the writers of number texts share: the significant digits of a magnitude, and a
// cursor that writes characters, words and the separator into the caller's buffer.

// |x| = d.ddd × 10^exp10, with `count` digits in `d`, trailing zeros removed (one digit stays).
struct SignificantDigits {
    char d[kDecimalDigitsMax];
    int count = 0;
    int exp10 = 0;
};
// The shortest digits that read back as the same double (precision < 0), or the digits rounded
// to precision + 1 of them. `magnitude` is not negative.
SignificantDigits significant_digits(double magnitude, int precision = -1);
// The shortest digits that read back as the same float: 1.2345f, stored as 1.23450005, gives
// 12345.
SignificantDigits significant_digits(float magnitude);

class NumberWriter {
public:
    explicit NumberWriter(char* out) : out_(out) {}
    void put(char c) { out_[n_++] = c; }
    // A whole text: the length written so far, for returning at once.
    int word(const char* w) {
        while (*w)
            put(*w++);
        return n_;
    }
    // The separator in UTF-8.
    void separator(QChar sep);
    int size() const { return n_; }
    char back() const { return out_[n_ - 1]; }
    void chop() { --n_; }

private:
    char* out_;
    int n_ = 0;
};

// Writes the digits `s` in the general text's notation: plain when the exponent lies in
// -4..14, otherwise scientific ("1.2345E-5"), after a "-" when `negative`.
void write_general_notation(NumberWriter& w, const SignificantDigits& s, bool negative,
                            QChar dec_sep);

// Reads a number written with `dec_sep` as decimal separator: optional blanks around it, an
// optional sign, digits with an optional fraction, an optional exponent ("E" or "e", optional
// sign, digits). No grouping, no other separator. False for anything else, the empty text
// included; `value` is then left alone.
bool text_to_number(QStringView text, QChar dec_sep, double& value);
inline bool text_to_number(const QString& text, QChar dec_sep, double& value) {
    return text_to_number(QStringView(text), dec_sep, value);
}
