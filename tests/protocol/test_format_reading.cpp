#include "protocol/format_reading.h"
#include "protocol/reading_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(FormatReading, ShortestDigitsRoundedToEightAndSixDecimals) {
    struct Case {
        float v;
        const char* dot;
        const char* comma;
    };
    const Case cases[] = {
        {1.2345f, "1.2345", "1,234500"},
        {123456.78f, "123456.78", "123456,780000"},
        {0.0000123f, "0.000012", "0,000012"},
        {-5.5f, "-5.5", "-5,500000"},
        {0.0f, "0", "0,000000"},
        {-0.0f, "0", "0,000000"},
        {1e9f, "1000000000", "1000000000,000000"},
        {1.5f, "1.5", "1,500000"},
        {0.0000005f, "0.000001", "0,000001"}, // half rounds up at the sixth decimal
        {0.0000004f, "0", "0,000000"},
        {9.9999999f, "10", "10,000000"},
        {12345.678f, "12345.678", "12345,678000"},
        {123456789.0f, "123456790", "123456790,000000"}, // eight significant digits
        {3.4028235e38f, "340282350000000000000000000000000000000",
         "340282350000000000000000000000000000000,000000"},
        {std::numeric_limits<float>::quiet_NaN(), "0", "0"},
        {std::numeric_limits<float>::infinity(), "INF", "INF"},
        {-std::numeric_limits<float>::infinity(), "-INF", "-INF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format_reading(c.v, QLatin1Char('.')), QString::fromLatin1(c.dot)) << c.v;
        EXPECT_EQ(format_reading(c.v, QLatin1Char(',')), QString::fromLatin1(c.comma)) << c.v;
    }
}

TEST(ReadingTime, HourMinuteSecondAndTheSecondAgain) {
    struct Case {
        QTime t;
        const char* text;
    };
    const Case cases[] = {
        {QTime(9, 5, 7), "09:5:07.7"},      {QTime(14, 30, 15), "14:30:15.15"},
        {QTime(0, 0, 0), "00:0:00.0"},      {QTime(23, 59, 59, 999), "23:59:59.59"},
        {QTime(10, 10, 10), "10:10:10.10"}, {QTime(), "00:0:00.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reading_time_text(c.t), QString::fromLatin1(c.text)) << c.text;
        EXPECT_EQ(reading_time_second(c.text),
                  c.t.isValid() ? c.t.msecsSinceStartOfDay() / 1000 : 0)
            << c.text;
    }
}

TEST(ReadingTime, OnlyItsOwnTextsReadBackAsASecondOfTheDay) {
    // A loaded file's time column can hold anything, long runs of digits included.
    for (const char* text : {"9:5:07.7", "09:05:07.7", "09:5:07.07", "24:0:00.0", "2147483648",
                             "99999999:9.9", "1:2:3:4.5", "09:5:07.7 ", ""})
        EXPECT_EQ(reading_time_second(text), -1) << text;
}

TEST(ReadingTime, WallClockArithmeticStaysInRange) {
    const QDateTime start(QDate(2012, 5, 6), QTime(14, 30, 0));
    EXPECT_EQ(add_wall_seconds(start, 86400 + 5), QDateTime(QDate(2012, 5, 7), QTime(14, 30, 5)));
    EXPECT_EQ(add_wall_seconds(start, -15 * 3600), QDateTime(QDate(2012, 5, 5), QTime(23, 30)));
    EXPECT_FALSE(add_wall_seconds(start, std::int64_t(1) << 62).isValid());
    EXPECT_FALSE(add_wall_seconds(start, -(std::int64_t(1) << 62)).isValid());
    EXPECT_EQ(wall_second_of_day(start, 86400 * 3 + 5), 14 * 3600 + 30 * 60 + 5);
    EXPECT_EQ(wall_second_of_day(start, -15 * 3600), 23 * 3600 + 30 * 60);
    const int far = wall_second_of_day(start, std::int64_t(1) << 62);
    EXPECT_TRUE(far >= 0 && far < 86400);
    EXPECT_EQ(add_wall_seconds(QDateTime(), 60), QDateTime(QDate(1899, 12, 30), QTime(0, 1)));
}

} // namespace
