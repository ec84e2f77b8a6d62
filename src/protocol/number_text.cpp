#include "protocol/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

QString general_text(double x, QChar dec_sep) {
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0)
        return QStringLiteral("0");

    // 15 significant digits, rounded by the C library: d.dddddddddddddde±XX
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
    char* e = std::strchr(buf, 'e');
    const int exp10 = std::atoi(e + 1);
    QString digits;
    for (const char* p = buf; p < e; ++p)
        if (*p != '.')
            digits += QLatin1Char(*p);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    QString out = x < 0 ? QStringLiteral("-") : QString();
    if (exp10 >= -4 && exp10 < 15) {
        if (exp10 < 0) {
            out += QLatin1Char('0') + QString(dec_sep) + QString(-exp10 - 1, QLatin1Char('0')) +
                   digits;
        } else if (digits.size() <= exp10 + 1) {
            out += digits + QString(exp10 + 1 - digits.size(), QLatin1Char('0'));
        } else {
            out += digits.left(exp10 + 1) + dec_sep + digits.mid(exp10 + 1);
        }
    } else {
        out += digits.left(1);
        if (digits.size() > 1)
            out += dec_sep + digits.mid(1);
        out += QLatin1Char('E') + QString::number(exp10);
    }
    return out;
}
