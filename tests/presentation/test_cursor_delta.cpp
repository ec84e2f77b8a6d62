#include "presentation/cursor_delta.h"
#include "protocol/number_text.h"

#include <gtest/gtest.h>

namespace {

TEST(CursorDelta, ValueDifferencesReadAsTheReadingsDo) {
    struct Case {
        double a, b;
        const char* shown;
    };
    const Case cases[] = {
        {1.2345, 1.234, "0.0005"}, // the raw subtraction leaves 0.000499999999999945
        {0.3, 0.1, "0.2"},         // and 0.19999999999999998 here
        {1.5e-6, 1.2e-6, "3E-7"},  // tiny readings keep their digits
        {-2.5, 1, "-3.5"},         {1000000.001, 1000000, "0.001"}, {7, 7, "0"}, {1e20, 1, "1E20"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(general_text(value_difference(c.a, c.b), QLatin1Char('.')),
                  QString::fromLatin1(c.shown))
            << c.a << " - " << c.b;
}

TEST(CursorDelta, TimeDifferencesFollowTheLine) {
    struct Case {
        const char *from, *to;
        bool forward;
        const char* shown;
    };
    const Case cases[] = {
        {"09:5:07.7", "09:5:19.19", true, "0:00:12"},
        {"09:5:19.19", "09:5:07.7", false, "-0:00:12"},
        {"08:0:00.0", "10:2:03.3", true, "2:02:03"},
        {"23:59:59.59", "00:0:01.1", true, "0:00:02"}, // past midnight
        {"00:0:01.1", "23:59:59.59", false, "-0:00:02"},
        {"10:5:07.7", "10:5:07.7", true, "0:00:00"},
        {"10:5:07.3", "10:5:08.8", true, ""}, // not a time stamp this program writes
        {"later", "10:5:08.8", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            time_difference_text(QString::fromLatin1(c.from), QString::fromLatin1(c.to), c.forward),
            QString::fromLatin1(c.shown))
            << c.from << " -> " << c.to;
}

} // namespace
