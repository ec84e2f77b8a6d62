#pragma once

#include <QDateTime>
#include <QStringView>

// Reads a date and time written in 19 characters, year in characters 1 to 4, month 6-7, day
// 9-10, hour 12-13, minute 15-16 and second 18-19 ("2012-05-06 14:30:00"); the separators
// between them are not examined. False unless it is exactly 19 characters long and forms a
// valid date (year 1 to 9999) and time; `value` is then left alone.
bool read_dump_date_time(QStringView text, QDateTime& value);
