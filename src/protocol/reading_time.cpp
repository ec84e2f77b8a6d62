#include "protocol/reading_time.h"

#include <QDate>

QString reading_time_text(const QTime& time) {
    const QTime t = time.isValid() ? time : QTime(0, 0);
    const int h = t.hour(), m = t.minute(), s = t.second();
    char buf[16];
    int n = 0;
    buf[n++] = char('0' + h / 10);
    buf[n++] = char('0' + h % 10);
    buf[n++] = ':';
    if (m >= 10)
        buf[n++] = char('0' + m / 10);
    buf[n++] = char('0' + m % 10);
    buf[n++] = ':';
    buf[n++] = char('0' + s / 10);
    buf[n++] = char('0' + s % 10);
    buf[n++] = '.';
    if (s >= 10)
        buf[n++] = char('0' + s / 10);
    buf[n++] = char('0' + s % 10);
    return QString::fromLatin1(buf, n);
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

QTime wall_time_of_day(const QDateTime& start, std::int64_t seconds) {
    constexpr std::int64_t kDay = 86400;
    const QTime time = start.isValid() ? start.time() : QTime(0, 0);
    std::int64_t rest = (time.msecsSinceStartOfDay() / 1000 + seconds % kDay) % kDay;
    if (rest < 0)
        rest += kDay;
    return QTime(0, 0).addSecs(int(rest)).addMSecs(time.msec());
}
