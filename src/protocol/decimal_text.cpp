#include "protocol/decimal_text.h"

#include "state/text_fields.h"

#include <cstdint>

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
