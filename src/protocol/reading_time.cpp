#include "protocol/reading_time.h"

#include <QDate>

#include <algorithm>

int reading_time_text(int second_of_day, char* out) {
    const int h = second_of_day / 3600, m = second_of_day / 60 % 60, s = second_of_day % 60;
    int n = 0;
    auto put = [&](int c) { out[n++] = char(c); };
    put('0' + h / 10);
    put('0' + h % 10);
    put(':');
    if (m >= 10)
        put('0' + m / 10);
    put('0' + m % 10);
    put(':');
    put('0' + s / 10);
    put('0' + s % 10);
    put('.');
    if (s >= 10)
        put('0' + s / 10);
    put('0' + s % 10);
    return n;
}

int reading_time_second(QByteArrayView text) {
    // hh:m:ss.s is 8 to 11 bytes; read its numbers loosely, then accept the text only when it
    // is exactly what those numbers give.
    if (text.size() < 8 || text.size() > 11)
        return -1;
    int numbers[4] = {0, 0, 0, 0};
    int k = 0;
    // A number held at 1000 is already too large for any field, and a long run of digits
    // cannot overflow it.
    for (char c : text) {
        if (c >= '0' && c <= '9')
            numbers[k] = std::min(numbers[k] * 10 + (c - '0'), 1000);
        else if (++k > 3)
            return -1;
    }
    if (k != 3 || numbers[0] > 23 || numbers[1] > 59 || numbers[2] > 59)
        return -1;
    const int second = numbers[0] * 3600 + numbers[1] * 60 + numbers[2];
    char canonical[16];
    const int n = reading_time_text(second, canonical);
    return QByteArrayView(canonical, n) == text ? second : -1;
}

int second_of_day(const QDateTime& t) {
    const QTime time = t.isValid() ? t.time() : QTime();
    return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
}

QString reading_time_text(const QTime& time) {
    char out[16];
    const int n = reading_time_text(time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0, out);
    return QString::fromLatin1(out, n);
}

QString reading_time_text(const QDateTime& t) {
    return reading_time_text(t.isValid() ? t.time() : QTime());
}

QDateTime add_wall_seconds(const QDateTime& start, std::int64_t seconds) {
    constexpr std::int64_t kDay = 86400;
    const QDate date = start.isValid() ? start.date() : QDate(1899, 12, 30);
    const QTime time = start.isValid() ? start.time() : QTime(0, 0);
    const std::int64_t of_day = time.msecsSinceStartOfDay() / 1000;
    // Ten thousand years are about 3.2e11 seconds: anything further is out of range anyway,
    // and refusing it first keeps the arithmetic below far from overflowing.
    constexpr std::int64_t kLimit = std::int64_t(4e11);
    if (seconds > kLimit || seconds < -kLimit)
        return {};
    const std::int64_t total = of_day + seconds;
    std::int64_t days = total / kDay;
    std::int64_t rest = total % kDay;
    if (rest < 0) {
        rest += kDay;
        --days;
    }
    const QDate d = date.addDays(days);
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return {};
    return QDateTime(d, QTime(0, 0).addSecs(int(rest)).addMSecs(time.msec()));
}

int wall_second_of_day(const QDateTime& start, std::int64_t seconds) {
    const QTime time = start.isValid() ? start.time() : QTime(0, 0);
    return wall_second_of_day(time.msecsSinceStartOfDay() / 1000, seconds);
}
