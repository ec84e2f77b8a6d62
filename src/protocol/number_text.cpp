#include "protocol/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

// Both conversions go through <charconv>, which ignores the C library's locale: Qt sets the
// process locale from the environment, and with a comma locale printf and strtod would read
// and write the wrong separator. They also need no allocation, which matters at wire speed.

namespace {

// Powers of ten that a double holds exactly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// An integer of at most 15 digits times an exact power of ten: one IEEE operation, so the
// correctly rounded double, the value a full conversion gives.
double scaled(double mantissa, int power) {
    return power >= 0 ? mantissa * kPow10[power] : mantissa / kPow10[-power];
}

} // namespace

double decimal_value(const char* digits, int nd, int power, bool negative) {
    double x = 0;
    if (nd > 0 && nd <= 15 && power >= -22 && power <= 22) {
        double m = 0;
        for (int i = 0; i < nd; ++i)
            m = m * 10 + (digits[i] - '0');
        x = scaled(m, power);
    } else if (nd > 0) {
        char t[kDecimalDigitsMax + 16];
        char* p = std::copy_n(digits, std::min(nd, kDecimalDigitsMax), t);
        *p++ = 'e';
        p = std::to_chars(p, t + sizeof t, power).ptr;
        std::from_chars(t, p, x);
    }
    return negative ? -x : x;
}

void NumberWriter::separator(QChar sep) {
    const char16_t c = sep.unicode();
    if (c < 0x80) {
        put(char(c));
    } else if (c < 0x800) {
        put(char(0xC0 | (c >> 6)));
        put(char(0x80 | (c & 0x3F)));
    } else {
        put(char(0xE0 | (c >> 12)));
        put(char(0x80 | ((c >> 6) & 0x3F)));
        put(char(0x80 | (c & 0x3F)));
    }
}

namespace {

// Scientific notation from <charconv> ("1.2345e-05") taken apart into digits and exponent.
SignificantDigits digits_of(const char* buf, const char* end) {
    SignificantDigits s;
    const char* e = std::find(buf, end, 'e');
    const char* exp_begin = e + 1;
    if (exp_begin < end && *exp_begin == '+')
        ++exp_begin;
    std::from_chars(exp_begin, end, s.exp10);
    for (const char* p = buf; p < e; ++p)
        if (*p != '.')
            s.d[s.count++] = *p;
    while (s.count > 1 && s.d[s.count - 1] == '0')
        --s.count;
    return s;
}

} // namespace

SignificantDigits significant_digits(double magnitude, int precision) {
    char buf[40];
    const auto res = precision < 0 ? std::to_chars(buf, buf + sizeof buf, magnitude,
                                                   std::chars_format::scientific)
                                   : std::to_chars(buf, buf + sizeof buf, magnitude,
                                                   std::chars_format::scientific, precision);
    return digits_of(buf, res.ptr);
}

SignificantDigits significant_digits(float magnitude) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    return digits_of(buf, res.ptr);
}

void write_general_notation(NumberWriter& w, const SignificantDigits& s, bool negative,
                            QChar dec_sep) {
    const char* const digits = s.d;
    const int nd = s.count;
    const int exp10 = s.exp10;
    if (negative)
        w.put('-');
    if (exp10 >= -4 && exp10 < 15) {
        if (exp10 < 0) {
            w.put('0');
            w.separator(dec_sep);
            for (int i = 0; i < -exp10 - 1; ++i)
                w.put('0');
            for (int i = 0; i < nd; ++i)
                w.put(digits[i]);
        } else {
            for (int i = 0; i <= exp10; ++i)
                w.put(i < nd ? digits[i] : '0');
            if (nd > exp10 + 1) {
                w.separator(dec_sep);
                for (int i = exp10 + 1; i < nd; ++i)
                    w.put(digits[i]);
            }
        }
    } else {
        w.put(digits[0]);
        if (nd > 1) {
            w.separator(dec_sep);
            for (int i = 1; i < nd; ++i)
                w.put(digits[i]);
        }
        w.put('E');
        char eb[8];
        const auto er = std::to_chars(eb, eb + sizeof eb, exp10);
        for (const char* p = eb; p < er.ptr; ++p)
            w.put(*p);
    }
}

int general_text(double x, QChar dec_sep, char* out, double* number) {
    NumberWriter w(out);
    if (number)
        *number = x;
    if (std::isnan(x))
        return w.word("NAN");
    if (std::isinf(x))
        return w.word(x < 0 ? "-INF" : "INF");
    if (x == 0) {
        if (number)
            *number = 0.0; // "0" reads as plain zero, whatever the sign of x
        return w.word("0");
    }

    // The significant digits of x rounded to 15, trailing zeros removed. The shortest text
    // that reads back as x is that already whenever it has at most 15 digits (half a unit in
    // the 15th digit is wider than the double's own rounding), and it is much cheaper to get;
    // only longer ones, and subnormal numbers with their shorter precision, are rounded
    // explicitly.
    SignificantDigits s;
    bool shortest = false; // the digits are the shortest that read back as x
    const bool normal = std::fabs(x) >= std::numeric_limits<double>::min();
    for (int precision : {-1, 14}) {
        if (precision < 0 && !normal)
            continue;
        s = significant_digits(std::fabs(x), precision);
        shortest = precision < 0;
        if (s.count <= 15)
            break;
    }
    char* const digits = s.d;
    int& nd = s.count;
    const int exp10 = s.exp10;
    // The largest doubles would round up beyond the double range, to a text nothing can read
    // back; they keep the largest 15 digits that stay within it.
    static constexpr char kLargest[] = "179769313486231";
    if (exp10 == 308 && std::string_view(digits, std::size_t(nd)) > std::string_view(kLargest)) {
        std::copy_n(kLargest, 15, digits);
        nd = 15;
        shortest = false;
    }
    if (number && !(shortest && nd <= 15)) {
        // Rounded to 15 digits: the text stands for a number next to x, and that number is
        // what travels with it.
        *number = decimal_value(digits, nd, exp10 - (nd - 1), x < 0);
    }

    write_general_notation(w, s, x < 0, dec_sep);
    return w.size();
}

QString general_text(double x, QChar dec_sep) {
    char out[kGeneralTextMax];
    const int n = general_text(x, dec_sep, out);
    return QString::fromUtf8(out, n);
}

namespace {

bool is_digit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool is_blank(QChar c) {
    return c.isSpace();
}

} // namespace

bool text_to_number(QStringView text, QChar dec_sep, double& value) {
    qsizetype b = 0, n = text.size();
    while (b < n && is_blank(text[b]))
        ++b;
    while (n > b && is_blank(text[n - 1]))
        --n;
    const QStringView t = text.mid(b, n - b);
    n = t.size();

    // The same number in the form <charconv> reads ('.' as separator, no leading '+'), and
    // on the way its digits as an integer with a power of ten.
    char small[64];
    std::string large;
    char* c = small;
    if (n + 2 > qsizetype(sizeof small)) {
        large.resize(std::size_t(n) + 2);
        c = large.data();
    }
    char* out = c;
    qsizetype i = 0;
    std::uint64_t mantissa_digits = 0;
    int significant = 0; // digits after the leading zeros
    int scale = 0;       // power of ten of the last mantissa digit
    auto digits = [&](bool fraction) {
        const qsizetype start = i;
        while (i < n && is_digit(t[i])) {
            const char d = char(t[i++].unicode());
            *out++ = d;
            if (significant > 0 || d != '0')
                ++significant;
            if (significant <= 19)
                mantissa_digits = mantissa_digits * 10 + std::uint64_t(d - '0');
            scale -= fraction;
        }
        return i - start;
    };
    bool negative = false;
    if (i < n && t[i] == QLatin1Char('+')) {
        ++i;
    } else if (i < n && t[i] == QLatin1Char('-')) {
        negative = true;
        *out++ = '-';
        ++i;
    }
    qsizetype mantissa = digits(false);
    if (i < n && t[i] == dec_sep) {
        *out++ = '.';
        ++i;
        mantissa += digits(true);
    }
    if (mantissa == 0)
        return false;
    bool exp_negative = false;
    int exponent = 0;
    if (i < n && (t[i] == QLatin1Char('E') || t[i] == QLatin1Char('e'))) {
        *out++ = 'e';
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            exp_negative = t[i] == QLatin1Char('-');
            *out++ = char(t[i++].unicode());
        }
        const qsizetype start = i;
        while (i < n && is_digit(t[i])) {
            const char d = char(t[i++].unicode());
            *out++ = d;
            exponent = std::min(exponent * 10 + (d - '0'), 100000);
        }
        if (i == start)
            return false;
    }
    if (i != n)
        return false;

    // Numbers as instruments write them ("+1.2345", "50.012", "-3") have few digits and a
    // small exponent: their digits as an integer, multiplied or divided by an exact power of
    // ten, give the correctly rounded double in one IEEE operation, the value a full
    // conversion gives.
    const int power = scale + (exp_negative ? -exponent : exponent);
    if (significant <= 15 && power >= -22 && power <= 22) {
        const double v = scaled(double(mantissa_digits), power);
        value = negative ? -v : v;
        return true;
    }

    double v = 0;
    const auto res = std::from_chars(c, out, v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero, as the C library has always read it; too large
        // to hold is not a number this program can show.
        if (!exp_negative)
            return false;
        v = negative ? -0.0 : 0.0;
    } else if (res.ec != std::errc() || res.ptr != out || !std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}
