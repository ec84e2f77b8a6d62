#include "protocol/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

// Both conversions go through <charconv>, which ignores the C library's locale: Qt sets the
// process locale from the environment, and with a comma locale printf and strtod would read
// and write the wrong separator. They also need no allocation, which matters at wire speed.

QString general_text(double x, QChar dec_sep) {
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0)
        return QStringLiteral("0");

    // 15 significant digits, correctly rounded: d.dddddddddddddde±XX
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
    char* e = std::find(buf, res.ptr, 'e');
    int exp10 = 0;
    const char* exp_begin = e + 1;
    if (*exp_begin == '+')
        ++exp_begin;
    std::from_chars(exp_begin, res.ptr, exp10);
    char digits[16];
    int nd = 0;
    for (const char* p = buf; p < e; ++p)
        if (*p != '.')
            digits[nd++] = *p;
    while (nd > 1 && digits[nd - 1] == '0')
        --nd;

    char16_t out[48];
    int n = 0;
    const char16_t sep = dec_sep.unicode();
    auto put = [&](char c) { out[n++] = char16_t(c); };
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
    return QString(reinterpret_cast<const QChar*>(out), n);
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
