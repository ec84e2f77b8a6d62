#include "protocol/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

TEST(GeneralText, PlainAndScientificForms) {
    struct Case {
        double x;
        const char* dot;
    };
    const Case cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.0, "1"},
        {2.5, "2.5"},
        {-2.5, "-2.5"},
        {1.2346, "1.2346"},
        {100.0, "100"},
        {0.0001, "0.0001"},
        {0.00012, "0.00012"},
        {0.000099, "9.9E-5"},
        {0.000012345678, "1.2345678E-5"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {-1.5e20, "-1.5E20"},
        {0.1 + 0.2, "0.3"},           // 15 digits hide the binary noise
        {1234567.891, "1234567.891"}, // no grouping
        {999999999999999.9, "1E15"},  // rounding carries into the next decade
        {1.0 / 3.0, "0.333333333333333"},
        {8.0930907204420165e-310, "8.09309072044202E-310"}, // subnormal: rounded, not shortest
        {123456.78125, "123456.78125"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(general_text(c.x, QLatin1Char('.')), QString::fromLatin1(c.dot)) << c.x;
}

// The text always reads back, and as exactly the number that is handed on with it: the value
// itself when its shortest digits fit, otherwise the value rounded to the text's 15 digits.
TEST(GeneralText, ReadsBackAsTheNumberItComesWith) {
    const double cases[] = {
        0.0,
        1.2346,
        0.1 + 0.2,
        1.0 / 3.0,
        -1.23456e-5,
        1.2e10,
        -9.9e37,
        std::numeric_limits<double>::max(),
        -std::numeric_limits<double>::max(),
        std::nextafter(std::numeric_limits<double>::max(), 0.0),
        std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(),
        8.0930907204420165e-310,
        999999999999999.9,
    };
    for (QChar sep : {QLatin1Char('.'), QLatin1Char(',')})
        for (double x : cases) {
            char text[kGeneralTextMax];
            double number = -1;
            const int n = general_text(x, sep, text, &number);
            double read = -2;
            ASSERT_TRUE(text_to_number(QString::fromUtf8(text, n), sep, read))
                << x << " gave " << std::string(text, std::size_t(n));
            EXPECT_EQ(read, number) << x;
            EXPECT_LE(std::fabs(number - x), std::fabs(x) * 1e-14) << x;
        }
    EXPECT_EQ(general_text(std::numeric_limits<double>::max(), QLatin1Char('.')),
              QStringLiteral("1.79769313486231E308")); // not rounded up beyond the range
}

TEST(GeneralText, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(general_text(1.2346, QLatin1Char(',')), QStringLiteral("1,2346"));
    EXPECT_EQ(general_text(1.5e-7, QLatin1Char(',')), QStringLiteral("1,5E-7"));
    EXPECT_EQ(general_text(1234.0, QLatin1Char(',')), QStringLiteral("1234"));
}

} // namespace

namespace {

TEST(TextToNumber, AcceptsOnlyNumbersInTheLocaleForm) {
    struct Case {
        const char* text;
        char sep;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.5", '.', true, 1.5},       {"1,5", ',', true, 1.5},
        {"1.5", ',', false, 0},        {"1,5", '.', false, 0},
        {"-2", '.', true, -2},         {"+2.25", '.', true, 2.25},
        {" 3.5 ", '.', true, 3.5},     {"1.2345E-3", '.', true, 1.2345e-3},
        {"1e3", '.', true, 1000},      {"1,5E+2", ',', true, 150},
        {"1.2345678E", '.', false, 0}, {"", '.', false, 0},
        {"  ", '.', false, 0},         {"-", '.', false, 0},
        {".", '.', false, 0},          {".5", '.', true, 0.5},
        {"5.", '.', true, 5},          {"1 000", '.', false, 0},
        {"1,000.5", '.', false, 0},    {"0x10", '.', false, 0},
        {"inf", '.', false, 0},        {"nan", '.', false, 0},
        {"1e999", '.', false, 0},      {"12abc", '.', false, 0},
    };
    for (const Case& c : cases) {
        double v = -99;
        EXPECT_EQ(text_to_number(QString::fromLatin1(c.text), QLatin1Char(c.sep), v), c.ok)
            << c.text << " with " << c.sep;
        EXPECT_DOUBLE_EQ(v, c.ok ? c.value : -99) << c.text;
    }
}

} // namespace
