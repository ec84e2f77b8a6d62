#include "protocol/split_reading.h"

#include "protocol/number_text.h"
#include "protocol/text_trim.h"

#include <cmath>

namespace {

constexpr qsizetype kFunctionChars = 20;
constexpr qsizetype kFractionChars = 100;
constexpr qsizetype kExponentChars = 20;

// The number text with its first "." turned into the locale's separator. Only when the
// separator differs does this need a copy; `scratch` holds it.
QStringView localise(QStringView number, QChar dec_sep, QString& scratch) {
    const qsizetype dot = number.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return number;
    const QStringView after = trim_blanks(number.mid(dot + 1, kFractionChars));
    if (dec_sep == QLatin1Char('.') && after.size() == number.size() - dot - 1)
        return number;
    scratch.clear();
    scratch.reserve(dot + 1 + after.size());
    scratch.append(number.left(dot));
    scratch.append(dec_sep);
    scratch.append(after);
    return scratch;
}

} // namespace

bool split_reading(QStringView text, QChar dec_sep, QString& value, QString& function) {
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return false; // no blank: the number is empty
    QString scratch;
    const QStringView number = localise(trim_blanks(text.left(blank)), dec_sep, scratch);

    double x = 0;
    const qsizetype e = number.indexOf(QLatin1Char('E'));
    if (e < 0) {
        if (!text_to_number(number, dec_sep, x))
            return false;
    } else {
        double mantissa = 0, exponent = 0;
        if (!text_to_number(trim_blanks(number.left(e)), dec_sep, mantissa) ||
            !text_to_number(trim_blanks(number.mid(e + 1, kExponentChars)), dec_sep, exponent))
            return false;
        // In extended precision, so that the product rounds once when it becomes a double.
        const long double product = static_cast<long double>(mantissa) *
                                    std::pow(10.0L, static_cast<long double>(exponent));
        if (!std::isfinite(product) || std::fabs(product) > 1.7976931348623157e308L)
            return false;
        x = static_cast<double>(product);
    }
    value = general_text(x, dec_sep);
    function = trim_blanks(text.mid(blank + 1, kFunctionChars)).toString();
    return true;
}
