#include "protocol/format_reading.h"

#include "protocol/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr int kMaxDigits = 8;
constexpr int kDecimals = 6;

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
        *number = decimal_value(d, nd, E - nd, v < 0);

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
    n = int(put_separator(dec_sep, out + n) - out);
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
