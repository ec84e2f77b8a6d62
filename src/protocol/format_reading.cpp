#include "protocol/format_reading.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr int kMaxDigits = 8;
constexpr int kDecimals = 6;

// What the digits D (nd of them) times 10^power read as, signed: the number that travels
// with the text. Few digits and a small power give the correctly rounded value in one exact
// operation; the rest goes through a full conversion.
double digits_value(const char* d, int nd, int power, bool negative) {
    double x = 0;
    if (nd > 0 && power >= -22 && power <= 22) {
        static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        double m = 0;
        for (int i = 0; i < nd; ++i)
            m = m * 10 + (d[i] - '0');
        x = power >= 0 ? m * kPow10[power] : m / kPow10[-power];
    } else if (nd > 0) {
        char t[40];
        char* p = std::copy_n(d, nd, t);
        *p++ = 'e';
        p = std::to_chars(p, t + sizeof t, power).ptr;
        std::from_chars(t, p, x);
    }
    return negative ? -x : x;
}

} // namespace

int format_reading(float v, QChar dec_sep, char* out, double* number) {
    int n = 0;
    auto put = [&](char c) { out[n++] = c; };
    auto word = [&](const char* w) {
        while (*w)
            put(*w++);
        return n;
    };
    if (std::isnan(v)) {
        if (number)
            *number = 0.0;
        return word("0");
    }
    if (std::isinf(v)) {
        if (number)
            *number = v;
        return word(v < 0 ? "-INF" : "INF");
    }

    // The shortest digits that read back as the same single-precision value: 1.2345 stored as
    // 1.23450005 is 1.2345, not 1.2345001.
    char buf[32];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific);
    char* e = buf;
    while (e < res.ptr && *e != 'e')
        ++e;
    int exp10 = 0; // value = d.ddd × 10^exp10
    const char* eb = e + 1;
    if (eb < res.ptr && *eb == '+')
        ++eb;
    std::from_chars(eb, res.ptr, exp10);
    // D: the significant digits; the value is 0.D × 10^E.
    char d[16];
    int nd = 0;
    for (const char* p = buf; p < e; ++p)
        if (*p != '.')
            d[nd++] = *p;
    int E = exp10 + 1;

    // At most 8 significant digits and at most 6 digits after the decimal point, rounded half
    // up on the decimal digits.
    int keep = std::min(kMaxDigits, E + kDecimals);
    if (keep < nd) {
        const bool up = keep >= 0 && d[keep] >= '5';
        nd = std::max(keep, 0);
        if (up) {
            int i = nd - 1;
            while (i >= 0 && d[i] == '9')
                --i;
            if (i < 0) { // 9.99 rounds to 10.0: one more digit in front
                d[0] = '1';
                nd = 1;
                ++E;
            } else {
                ++d[i];
                nd = i + 1;
            }
        }
    }
    while (nd > 0 && d[nd - 1] == '0')
        --nd;
    if (number)
        *number = digits_value(d, nd, E - nd, v < 0);

    // Plain notation with six decimals: integer digits, separator, fraction digits.
    if (v < 0)
        put('-');
    if (nd == 0 || E <= 0) {
        put('0');
    } else {
        for (int i = 0; i < E; ++i)
            put(i < nd ? d[i] : '0');
    }
    const int sep_at = n;
    if (dec_sep.unicode() < 0x80) {
        put(char(dec_sep.unicode()));
    } else { // a separator beyond ASCII, in UTF-8
        const QByteArray sep = QString(dec_sep).toUtf8();
        for (char c : sep)
            put(c);
    }
    for (int k = 0; k < kDecimals; ++k) {
        // fraction digit k is digit E + k of D (0-based), when it exists
        const int i = E + k;
        put(nd > 0 && i >= 0 && i < nd ? d[i] : '0');
    }
    // Only a "." separator loses its trailing zeros.
    if (dec_sep == QLatin1Char('.')) {
        while (n >= 2 && n > sep_at && (out[n - 1] == '0' || out[n - 1] == '.'))
            if (out[--n] == '.')
                break;
    }
    return n;
}

QString format_reading(float v, QChar dec_sep) {
    char out[kFormatReadingMax];
    const int n = format_reading(v, dec_sep, out);
    return QString::fromUtf8(out, n);
}
