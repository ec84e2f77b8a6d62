#include "protocol/decimal_text.h"

#include <limits>

bool read_decimal_int(QStringView text, std::int32_t& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    if (i == text.size())
        return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            return false;
    }
    const std::int64_t v = negative ? -magnitude : magnitude;
    if (v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

bool read_dump_date_time(QStringView text, QDateTime& value) {
    if (text.size() != 19)
        return false;
    std::int32_t year, month, day, hour, minute, second;
    if (!read_decimal_int(text.mid(0, 4), year) || !read_decimal_int(text.mid(5, 2), month) ||
        !read_decimal_int(text.mid(8, 2), day) || !read_decimal_int(text.mid(11, 2), hour) ||
        !read_decimal_int(text.mid(14, 2), minute) || !read_decimal_int(text.mid(17, 2), second))
        return false;
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day) ||
        !QTime::isValid(hour, minute, second, 0))
        return false;
    value = QDateTime(QDate(year, month, day), QTime(hour, minute, second, 0));
    return true;
}
