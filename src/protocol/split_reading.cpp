#include "protocol/split_reading.h"

#include "protocol/number_text.h"
#include "state/text_fields.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qsizetype kFunctionChars = 20;
constexpr qsizetype kFractionChars = 100;
constexpr qsizetype kExponentChars = 20;

// Position of the first `c`, or -1. Readings are short: a plain loop beats the library's
// vectorised search, which costs more to set up than these texts take to scan.
qsizetype find(QStringView s, char16_t c) {
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i].unicode() == c)
            return i;
    return -1;
}

// The number text with its first "." turned into the locale's separator. Only when the
// separator differs does this need a copy; `scratch` holds it.
QStringView localise(QStringView number, QChar dec_sep, QString& scratch) {
    const qsizetype dot = find(number, u'.');
    if (dot < 0)
        return number;
    const QStringView after = trim_blanks(number.mid(dot + 1, kFractionChars));
    if (dec_sep == QLatin1Char('.') && after.size() == number.size() - dot - 1)
        return number;
    scratch.resize(0);
    scratch.append(number.left(dot));
    scratch.append(dec_sep);
    scratch.append(after);
    return scratch;
}

// Powers of ten up to 10^27 are exact in extended precision.
constexpr int kExactPowers = 28;
const long double* exact_powers() {
    static const auto table = [] {
        static long double p[kExactPowers];
        p[0] = 1.0L;
        for (int i = 1; i < kExactPowers; ++i)
            p[i] = p[i - 1] * 10.0L;
        return p;
    }();
    return table;
}

// A whole exponent as instruments write it ("+00", "-03"): sign and up to four digits.
bool small_integer(QStringView t, int& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    if (i == t.size() || t.size() - i > 4)
        return false;
    int v = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    value = negative ? -v : v;
    return true;
}

// mantissa × 10^exponent in extended precision, so that the product rounds once more at most
// when it becomes a double. Whole exponents within the exact powers need no pow().
long double scale(double mantissa, QStringView exponent_text, QChar dec_sep, bool& ok) {
    int whole = 0;
    if (small_integer(exponent_text, whole) && whole > -kExactPowers && whole < kExactPowers) {
        ok = true;
        return whole >= 0 ? mantissa * exact_powers()[whole] : mantissa / exact_powers()[-whole];
    }
    double exponent = 0;
    ok = text_to_number(exponent_text, dec_sep, exponent);
    return static_cast<long double>(mantissa) * std::pow(10.0L, static_cast<long double>(exponent));
}

} // namespace

bool split_reading(QStringView text, QChar dec_sep, SplitReading& out) {
    const qsizetype blank = find(text, u' ');
    if (blank < 0)
        return false; // no blank: the number is empty
    QString scratch;
    const QStringView number = localise(trim_blanks(text.left(blank)), dec_sep, scratch);

    double x = 0;
    const qsizetype e = find(number, u'E');
    if (e < 0) {
        if (!text_to_number(number, dec_sep, x))
            return false;
    } else {
        double mantissa = 0;
        if (!text_to_number(trim_blanks(number.left(e)), dec_sep, mantissa))
            return false;
        bool ok = false;
        const long double product =
            scale(mantissa, trim_blanks(number.mid(e + 1, kExponentChars)), dec_sep, ok);
        // Too large for a double is what rounds to infinity: the largest double itself, as the
        // instrument may write it, is still a number.
        if (!ok || !std::isfinite(product) || !std::isfinite(static_cast<double>(product)))
            return false;
        x = static_cast<double>(product);
    }
    out.value_size = general_text(x, dec_sep, out.value, &out.number);
    out.function = trim_blanks(text.mid(blank + 1, kFunctionChars));
    return true;
}

bool split_reading(QStringView text, QChar dec_sep, QString& value, QString& function) {
    SplitReading r;
    if (!split_reading(text, dec_sep, r))
        return false;
    value = QString::fromUtf8(r.value, r.value_size);
    function = r.function.toString();
    return true;
}
