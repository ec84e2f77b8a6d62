#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>

// The time stamp of a reading, "hh:m:ss.s": two-digit hour, minute without a leading zero,
// two-digit second, "." and the second once more without a leading zero (09:05:07 gives
// "09:5:07.7", 14:30:15 gives "14:30:15.15"). Saved data files carry this form, so it stays
// as it always was. An invalid time stands for midnight, the zero time of the shared state.
QString reading_time_text(const QTime& t);
QString reading_time_text(const QDateTime& t);
// The same text for a second of the day (0 to 86399), written into `out` (at least 12
// bytes); returns its length.
int reading_time_text(int second_of_day, char* out);
// The second of the day whose reading_time_text is exactly `text`; -1 for any other text.
int reading_time_second(QByteArrayView text);
// The second of the day of a time stamp; 0 (midnight) for an invalid one.
int second_of_day(const QDateTime& t);

// Moves a date-time on by whole seconds as a calendar and a clock would, without looking at
// daylight-saving changes: the recorded times of an instrument are its own wall-clock times.
// An invalid start counts as the zero time (1899-12-30 00:00:00). The result is invalid when
// it falls outside the years 1 to 9999.
QDateTime add_wall_seconds(const QDateTime& start, std::int64_t seconds);

// The second of the day that add_wall_seconds reaches, defined for every number of seconds.
int wall_second_of_day(const QDateTime& start, std::int64_t seconds);
// The same from the start's own second of the day (0 to 86399).
inline int wall_second_of_day(int start_second, std::int64_t seconds) {
    constexpr std::int64_t kDay = 86400;
    std::int64_t rest = (start_second + seconds % kDay) % kDay;
    return int(rest < 0 ? rest + kDay : rest);
}
