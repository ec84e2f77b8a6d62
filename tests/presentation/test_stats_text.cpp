#include "presentation/stats_text.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

TEST(StatsText, SixSignificantDigitsInTheNotationOfReadings) {
    struct Case {
        double x;
        const char* dot;
        const char* comma;
    };
    const Case cases[] = {
        {1.000123456, "1.00012", "1,00012"},
        {0.0123, "0.0123", "0,0123"},
        {-2.5, "-2.5", "-2,5"},
        {1234567.89, "1234570", "1234570"},
        {1000000.0015, "1000000", "1000000"},
        {999999.5, "1000000", "1000000"}, // rounding carries into a new digit
        {0.000123456789, "0.000123457", "0,000123457"},
        {1.5e-5, "1.5E-5", "1,5E-5"}, // below 0.0001: scientific
        {-2.0000004e-7, "-2E-7", "-2E-7"},
        {1.23456789e15, "1.23457E15", "1,23457E15"}, // 1e15 and above: scientific
        {0.0, "0", "0"},
        {-0.0, "0", "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(significant_text(c.x, 6, u'.'), QString::fromUtf8(c.dot)) << c.x;
        EXPECT_EQ(significant_text(c.x, 6, u','), QString::fromUtf8(c.comma)) << c.x;
    }
    EXPECT_EQ(significant_text(std::numeric_limits<double>::infinity(), 6, u'.'),
              QStringLiteral("INF"));
}

// The strip's line with ordinary spaces for its no-break ones, as a reader sees it.
QString seen(QString line) {
    return line.replace(kStatsJoin, QChar(u' '));
}

SeriesStore::Stats stats(std::size_t count, double min, double max, double mean, double m2) {
    SeriesStore::Stats s;
    s.count = count;
    s.min = min;
    s.max = max;
    s.mean = mean;
    s.m2 = m2;
    return s;
}

TEST(StatsText, ALineNamesTheTraceThenItsFiveItems) {
    const StatsWords english{"Count", "Min", "Max", "Mean", "Std dev"};
    const StatsWords chinese{"点数", "最小", "最大", "平均", "标准差"};
    struct Case {
        const char* title;
        SeriesStore::Stats s;
        const StatsWords* words;
        QChar sep;
        const char* expected;
    };
    const Case cases[] = {
        {"DCV", stats(3, 0.98, 1.02, 1.0, 0.0032), &english, u'.',
         "DCV  Count 3  Min 0.98  Max 1.02  Mean 1  Std dev 0.04"},
        // Minimum and maximum are readings: all their digits, up to 15.
        {"DCV", stats(1234, -1.23456789012345, 123456789.012345, 0.000123456789, 0), &english, u',',
         "DCV  Count 1234  Min -1,23456789012345  Max 123456789,012345  Mean 0,000123457  "
         "Std dev 0"},
        // One point has no standard deviation; none in view, nothing but the count.
        {"Hz", stats(1, 50, 50, 50, 0), &english, u'.',
         "Hz  Count 1  Min 50  Max 50  Mean 50  Std dev --"},
        {"Hz", stats(0, 0, 0, 0, 0), &english, u'.',
         "Hz  Count 0  Min --  Max --  Mean --  Std dev --"},
        {"ACV", stats(2, 1, 3, 2, 2), &chinese, u'.',
         "ACV  点数 2  最小 1  最大 3  平均 2  标准差 1.41421"},
        {"", stats(2, 1, 3, 2, 2), &english, u'.',
         "Count 2  Min 1  Max 3  Mean 2  Std dev 1.41421"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(seen(stats_line(QString::fromUtf8(c.title), c.s, *c.words, c.sep)),
                  QString::fromUtf8(c.expected));
}

// Wrapping may break a long line only between items, never inside a name or between a name
// and its value.
TEST(StatsText, OnlyTheGapsBetweenItemsCanBreak) {
    const StatsWords french{"Nombre", "Min", "Max", "Moyenne", "Écart type"};
    const QString line = stats_line("PT 100", stats(2, 1, 3, 2, 2), french, u'.');
    const QStringList parts = line.split(QStringLiteral("  "));
    ASSERT_EQ(parts.size(), 6);
    for (const QString& part : parts)
        EXPECT_FALSE(part.contains(QChar(u' '))) << qPrintable(part);
    EXPECT_EQ(parts[5], QStringLiteral("Écart type 1.41421").replace(QChar(u' '), kStatsJoin));
}

TEST(StatsText, TheWordsAreTheCurrentLanguagesTexts) {
    LanguageState v;
    v.lan_index = 2000;
    for (int k = 138; k <= 142; ++k)
        v.lan_text.at(10000 + 2000 + k) = QString::number(k);
    const StatsWords w = stats_words(v);
    EXPECT_EQ(QStringList({w.count, w.min, w.max, w.mean, w.std_dev}),
              QStringList({"138", "139", "140", "141", "142"}));
}

} // namespace
