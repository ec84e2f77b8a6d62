#include "protocol/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

// Both conversions go through <charconv>, which ignores the C library's locale: Qt sets the
// process locale from the environment, and with a comma locale printf and strtod would read
// and write the wrong separator. They also need no allocation, which matters at wire speed.

int general_text(double x, QChar dec_sep, char16_t* out) {
    int n = 0;
    auto put = [&](char c) { out[n++] = char16_t(c); };
    auto word = [&](const char* w) {
        while (*w)
            put(*w++);
        return n;
    };
    if (std::isnan(x))
        return word("NAN");
    if (std::isinf(x))
        return word(x < 0 ? "-INF" : "INF");
    if (x == 0)
        return word("0");

    // The significant digits of x rounded to 15, trailing zeros removed. The shortest text
    // that reads back as x is that already whenever it has at most 15 digits (half a unit in
    // the 15th digit is wider than the double's own rounding), and it is much cheaper to get;
    // only longer ones, and subnormal numbers with their shorter precision, are rounded
    // explicitly.
    char buf[40];
    char digits[24];
    int nd = 0;
    int exp10 = 0;
    const bool normal = std::fabs(x) >= std::numeric_limits<double>::min();
    for (int precision : {-1, 14}) {
        if (precision < 0 && !normal)
            continue;
        const auto res = precision < 0 ? std::to_chars(buf, buf + sizeof buf, std::fabs(x),
                                                       std::chars_format::scientific)
                                       : std::to_chars(buf, buf + sizeof buf, std::fabs(x),
                                                       std::chars_format::scientific, precision);
        const char* e = std::find(buf, res.ptr, 'e');
        const char* exp_begin = e + 1;
        if (*exp_begin == '+')
            ++exp_begin;
        std::from_chars(exp_begin, res.ptr, exp10);
        nd = 0;
        for (const char* p = buf; p < e; ++p)
            if (*p != '.')
                digits[nd++] = *p;
        while (nd > 1 && digits[nd - 1] == '0')
            --nd;
        if (nd <= 15)
            break;
    }

    const char16_t sep = dec_sep.unicode();
    if (x < 0)
        put('-');
    if (exp10 >= -4 && exp10 < 15) {
        if (exp10 < 0) {
            put('0');
            out[n++] = sep;
            for (int i = 0; i < -exp10 - 1; ++i)
                put('0');
            for (int i = 0; i < nd; ++i)
                put(digits[i]);
        } else {
            for (int i = 0; i <= exp10; ++i)
                put(i < nd ? digits[i] : '0');
            if (nd > exp10 + 1) {
                out[n++] = sep;
                for (int i = exp10 + 1; i < nd; ++i)
                    put(digits[i]);
            }
        }
    } else {
        put(digits[0]);
        if (nd > 1) {
            out[n++] = sep;
            for (int i = 1; i < nd; ++i)
                put(digits[i]);
        }
        put('E');
        char eb[8];
        const auto er = std::to_chars(eb, eb + sizeof eb, exp10);
        for (const char* p = eb; p < er.ptr; ++p)
            put(*p);
    }
    return n;
}

QString general_text(double x, QChar dec_sep) {
    char16_t out[kGeneralTextMax];
    const int n = general_text(x, dec_sep, out);
    return QString(reinterpret_cast<const QChar*>(out), n);
}

namespace {

bool is_digit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool is_blank(QChar c) {
    return c.isSpace();
}

// Numbers as instruments write them ("+1.2345", "50.012", "-3") have few digits and a small
// exponent: their digits as an integer, divided or multiplied by an exact power of ten, give
// the correctly rounded double in one IEEE operation, the same value a full conversion gives.
bool exact_quotient(const char* begin, const char* end, double& v) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = begin;
    const bool negative = p < end && *p == '-';
    p += negative;
    std::uint64_t digits = 0;
    int count = 0, scale = 0;
    bool fraction = false;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        if (count > 0 || *p != '0') {
            if (++count > 15)
                return false;
        }
        digits = digits * 10 + std::uint64_t(*p - '0');
        scale -= fraction;
    }
    if (p < end) { // the exponent, already checked to be a sign and digits
        int e = 0;
        auto r = std::from_chars(p + 1 + (p[1] == '+'), end, e);
        if (r.ec != std::errc() || e > 400 || e < -400)
            return false;
        scale += e;
    }
    if (scale > 22 || scale < -22)
        return false;
    const double d = double(digits);
    v = scale >= 0 ? d * kPow10[scale] : d / kPow10[-scale];
    if (negative)
        v = -v;
    return true;
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

    // The same number in the form <charconv> reads: '.' as separator, no leading '+'.
    char small[64];
    std::string large;
    char* c = small;
    if (n + 2 > qsizetype(sizeof small)) {
        large.resize(std::size_t(n) + 2);
        c = large.data();
    }
    char* out = c;
    qsizetype i = 0;
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && is_digit(t[i]))
            *out++ = char(t[i++].unicode());
        return i - start;
    };
    if (i < n && t[i] == QLatin1Char('+'))
        ++i;
    else if (i < n && t[i] == QLatin1Char('-'))
        *out++ = char(t[i++].unicode());
    qsizetype mantissa = digits();
    if (i < n && t[i] == dec_sep) {
        *out++ = '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    bool exp_negative = false;
    if (i < n && (t[i] == QLatin1Char('E') || t[i] == QLatin1Char('e'))) {
        *out++ = 'e';
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            exp_negative = t[i] == QLatin1Char('-');
            *out++ = char(t[i++].unicode());
        }
        if (digits() == 0)
            return false;
    }
    if (i != n)
        return false;
    double v = 0;
    if (exact_quotient(c, out, v)) {
        value = v;
        return true;
    }
    const auto res = std::from_chars(c, out, v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero, as the C library has always read it; too large
        // to hold is not a number this program can show.
        if (!exp_negative)
            return false;
        v = (*c == '-') ? -0.0 : 0.0;
    } else if (res.ec != std::errc() || res.ptr != out || !std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}
