#include "protocol/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QByteArray>

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

bool text_to_number(const QString& text, QChar dec_sep, double& value) {
    const QString t = text.trimmed();
    QByteArray c; // the same number in the C locale, for strtod
    c.reserve(t.size());
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
            c += char(t[i++].unicode());
        return i - start;
    };
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        c += char(t[i++].unicode());
    qsizetype mantissa = digits();
    if (i < n && t[i] == dec_sep) {
        c += '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (t[i] == QLatin1Char('E') || t[i] == QLatin1Char('e'))) {
        c += 'e';
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            c += char(t[i++].unicode());
        if (digits() == 0)
            return false;
    }
    if (i != n)
        return false;
    const double v = std::strtod(c.constData(), nullptr);
    if (!std::isfinite(v))
        return false;
    value = v;
    return true;
}
