#include "protocol/format_reading.h"

#include "protocol/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxDigits = 8;
constexpr int kDecimals = 6;

} // namespace

int format_reading(float v, QChar dec_sep, char* out, double* number) {
    NumberWriter w(out);
    if (std::isnan(v)) {
        if (number)
            *number = 0.0;
        return w.word("0");
    }
    if (std::isinf(v)) {
        if (number)
            *number = v;
        return w.word(v < 0 ? "-INF" : "INF");
    }

    // The shortest digits that read back as the same single-precision value: 1.2345 stored as
    // 1.23450005 is 1.2345, not 1.2345001. The value is 0.D × 10^E.
    SignificantDigits s = significant_digits(std::fabs(v));
    char* const d = s.d;
    int& nd = s.count;
    int E = s.exp10 + 1;

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
        w.put('-');
    if (nd == 0 || E <= 0) {
        w.put('0');
    } else {
        for (int i = 0; i < E; ++i)
            w.put(i < nd ? d[i] : '0');
    }
    const int sep_at = w.size();
    w.separator(dec_sep);
    for (int k = 0; k < kDecimals; ++k) {
        // fraction digit k is digit E + k of D (0-based), when it exists
        const int i = E + k;
        w.put(nd > 0 && i >= 0 && i < nd ? d[i] : '0');
    }
    // Only a "." separator loses its trailing zeros.
    if (dec_sep == QLatin1Char('.')) {
        while (w.size() >= 2 && w.size() > sep_at && (w.back() == '0' || w.back() == '.')) {
            const bool was_separator = w.back() == '.';
            w.chop();
            if (was_separator)
                break;
        }
    }
    return w.size();
}

QString format_reading(float v, QChar dec_sep) {
    char out[kFormatReadingMax];
    const int n = format_reading(v, dec_sep, out);
    return QString::fromUtf8(out, n);
}
