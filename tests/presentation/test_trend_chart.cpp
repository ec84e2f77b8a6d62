#include "app/app_load.h"
#include "presentation/measurement_table.h"
#include "presentation/trend_chart.h"
#include "state/all_v.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Row {
    QString time, main, func, sub = {}, sfunc = {};
};

// A fresh table as start-up leaves it, with the chart fed the way the interpreter feeds it:
// grid_add_row, then chart_add_last.
class Chart : public ::testing::Test {
protected:
    Chart() {
        app_load(v, {}, table);
        v.dec_sep = QStringLiteral(".");
    }
    void read(const QString& time, const QString& main, const QString& func,
              const QString& sub = {}, const QString& sfunc = {}, const QString& t = {}) {
        table.grid_add_row(time, main, func, sub, sfunc, t, t.isEmpty() ? QString() : "T");
        chart.chart_add_last();
    }
    // Replaces the table the way a file load does: row count first, then every row.
    void load(const std::vector<Row>& rows) {
        table.set_row_count(int(rows.size()) + 1);
        for (int r = 1; r <= int(rows.size()); ++r) {
            const Row& x = rows[r - 1];
            table.set_row(r, 100 + r, {x.time, x.main, x.func, x.sub, x.sfunc, {}, {}});
        }
    }
    std::vector<double> ys(int line) const {
        std::vector<double> out;
        for (std::size_t i = 0; i < chart.point_count(line); ++i)
            out.push_back(chart.y(line, i));
        return out;
    }
    QStringList labels(int line) const {
        QStringList out;
        for (std::size_t i = 0; i < chart.point_count(line); ++i)
            out << chart.label(line, i);
        return out;
    }

    ALL_V v;
    MeasurementTable table;
    TrendChart chart{table, v};
    static constexpr int kMain = TrendChart::kMain;
    static constexpr int kSub = TrendChart::kSub;
};

using Ys = std::vector<double>;

TEST_F(Chart, ReadingsOfOneFunctionLineUpAndANewFunctionStartsAgain) {
    read("10:0:00.1", "1.0", "DCV");
    read("10:0:00.2", "2.0", "DCV", {}, {}, "7.5"); // a third value is never plotted
    read("10:0:00.3", "3.0", "DCV");
    EXPECT_EQ(ys(kMain), Ys({1.0, 2.0, 3.0}));
    EXPECT_EQ(labels(kMain), QStringList({"10:0:00.1", "10:0:00.2", "10:0:00.3"}));
    EXPECT_EQ(chart.title_01(), "DCV");
    EXPECT_FALSE(chart.series2_active());

    read("10:0:00.4", "0.25", "ACV");
    EXPECT_EQ(ys(kMain), Ys({0.25}));
    EXPECT_EQ(labels(kMain), QStringList({"10:0:00.4"}));
    EXPECT_EQ(chart.title_01(), "ACV");
    EXPECT_EQ(chart.y_extent(kMain).lo, 0.25);
    EXPECT_EQ(chart.y_extent(kMain).hi, 0.25);
}

TEST_F(Chart, SubValuesFeedSeries2UntilTheSubFunctionGoes) {
    read("1:0:00.0", "1.5", "DCV", "50.0", "Hz");
    read("1:0:00.1", "1.6", "DCV", "50.5", "Hz");
    EXPECT_EQ(ys(kSub), Ys({50.0, 50.5}));
    EXPECT_EQ(labels(kSub), QStringList({"1:0:00.0", "1:0:00.1"}));
    EXPECT_TRUE(chart.series2_active());
    EXPECT_EQ(chart.title_02(), "Hz");

    // Same main function, sub function changes to nothing: a new run.
    read("1:0:00.2", "1.7", "DCV");
    EXPECT_EQ(ys(kMain), Ys({1.7}));
    EXPECT_EQ(chart.point_count(kSub), 0u);
    EXPECT_FALSE(chart.series2_active());
    EXPECT_EQ(chart.clear_count(), 1u);
}

TEST_F(Chart, ValuesFollowTheLocaleDecimalSeparator) {
    v.dec_sep = QStringLiteral(",");
    read("1:0:00.0", "1,5", "DCV", "-2,5E-3", "Hz");
    read("1:0:00.1", "1.5", "DCV", "3", "Hz"); // the other separator does not convert: skipped
    EXPECT_EQ(ys(kMain), Ys({1.5}));
    EXPECT_EQ(ys(kSub), Ys({-0.0025}));
}

// A value that does not convert skips its point and never stops the caller; the table row
// stays. Each case follows two good DCV readings with sub values.
TEST_F(Chart, UnconvertibleValuesSkipTheirPoint) {
    struct Case {
        const char* what;
        Row row;
        Ys main, sub;
        const char *title1, *title2;
    };
    const Case cases[] = {
        {"main value cut short",
         {"t", "1.2345678E", "DCV", "3", "Hz"},
         {1, 2},
         {10, 20},
         "DCV",
         "Hz"},
        {"empty main value", {"t", "", "DCV", "3", "Hz"}, {1, 2}, {10, 20}, "DCV", "Hz"},
        // Starting a new run clears first; the title of the empty sub line goes with it.
        {"bad main value on a new run", {"t", "x", "ACV", "3", "Hz"}, {}, {}, "DCV", "Hz"},
        {"bad sub value", {"t", "3", "OHM", "3.0.1", "kHz"}, {3}, {}, "OHM", "Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ALL_V fresh_v;
        fresh_v.dec_sep = ".";
        MeasurementTable t;
        app_load(fresh_v, {}, t);
        TrendChart ch(t, fresh_v);
        t.grid_add_row("t1", "1", "DCV", "10", "Hz", {}, {});
        ch.chart_add_last();
        t.grid_add_row("t2", "2", "DCV", "20", "Hz", {}, {});
        ch.chart_add_last();
        t.grid_add_row(c.row.time, c.row.main, c.row.func, c.row.sub, c.row.sfunc, {}, {});
        ch.chart_add_last();

        Ys main, sub;
        for (std::size_t i = 0; i < ch.point_count(kMain); ++i)
            main.push_back(ch.y(kMain, i));
        for (std::size_t i = 0; i < ch.point_count(kSub); ++i)
            sub.push_back(ch.y(kSub, i));
        EXPECT_EQ(main, c.main);
        EXPECT_EQ(sub, c.sub);
        EXPECT_EQ(ch.title_01(), c.title1);
        EXPECT_EQ(ch.title_02(), c.title2);
        EXPECT_EQ(ch.series2_active(), !c.sub.empty());
        EXPECT_EQ(t.row_count(), 4); // the table keeps the row

        // The next good reading plots as usual.
        t.grid_add_row("t4", "4", c.row.func, "40", c.row.sfunc, {}, {});
        ch.chart_add_last();
        EXPECT_EQ(ch.y(kMain, ch.point_count(kMain) - 1), 4.0);
    }
}

TEST_F(Chart, NothingToPlotWithoutADataRow) {
    chart.chart_add_last();
    EXPECT_EQ(chart.point_count(kMain), 0u);
    EXPECT_EQ(chart.title_01(), "");
}

TEST_F(Chart, LabelsFollowRowsAcrossGapsInTheSubLine) {
    read("0:0:01.0", "1", "DCV", "5", "Hz");
    read("0:0:02.0", "2", "DCV", " ", "Hz"); // a blank sub value adds no sub point
    read("0:0:03.0", "3", "DCV", "7", "Hz");
    read("0:0:04.0", "4", "DCV", "8", "Hz");
    EXPECT_EQ(labels(kMain), QStringList({"0:0:01.0", "0:0:02.0", "0:0:03.0", "0:0:04.0"}));
    EXPECT_EQ(labels(kSub), QStringList({"0:0:01.0", "0:0:03.0", "0:0:04.0"}));
    EXPECT_EQ(ys(kSub), Ys({5, 7, 8}));
}

// A load rewrites the table under points the chart keeps; those points still show their own
// times afterwards, and the loaded points show theirs.
TEST_F(Chart, PointsKeepTheirTimesWhenALoadRewritesTheTable) {
    for (int i = 1; i <= 5; ++i)
        read(QStringLiteral("8:0:0%1.0").arg(i), QString::number(i), "DCV", "1", "Hz");
    load({{"9:0:01.0", "10", "DCV", "2", "Hz"}, {"9:0:02.0", "11", "DCV", "3", "Hz"}});
    ASSERT_TRUE(chart.chart_add_loaded());
    EXPECT_EQ(ys(kMain), Ys({1, 2, 3, 4, 5, 10, 11}));
    EXPECT_EQ(labels(kMain), QStringList({"8:0:01.0", "8:0:02.0", "8:0:03.0", "8:0:04.0",
                                          "8:0:05.0", "9:0:01.0", "9:0:02.0"}));
    EXPECT_EQ(labels(kSub), labels(kMain));

    // A second load detaches the first load's points as well.
    load({{"7:0:00.0", "20", "DCV", "4", "Hz"}});
    ASSERT_TRUE(chart.chart_add_loaded());
    EXPECT_EQ(chart.label(kMain, 6), "9:0:02.0");
    EXPECT_EQ(chart.label(kSub, 7), "7:0:00.0");
}

TEST_F(Chart, LoadPlotsTheLastMainRunAfterThePointsShown) {
    read("0:0:00.1", "100", "DCV");
    read("0:0:00.2", "101", "DCV");
    load({{"a", "1", "DCV"},
          {"b", "2", "DCV"},
          {"c", "3", "DCV"},
          {"d", "4", "ACV"},
          {"e", "5", "ACV"},
          {"f", "6", "ACV"},
          {"g", "7", "ACV"},
          {"h", "8", "ACV"}});
    ASSERT_TRUE(chart.chart_add_loaded());
    EXPECT_EQ(ys(kMain), Ys({100, 101, 4, 5, 6, 7, 8})); // start1 = 4, X continues at 2
    EXPECT_EQ(chart.label(kMain, 2), "d");
    EXPECT_EQ(chart.title_01(), "ACV");
    EXPECT_FALSE(chart.series2_active());
}

TEST_F(Chart, LoadStartsTheSubLineWhereItsFunctionChanged) {
    struct Case {
        const char* what;
        QString early_sub, early_sfunc; // rows 1 to 5
        Ys sub;
    };
    const Case cases[] = {
        {"row 1 has a sub value", "9", "ACV", {6, 7, 8}},
        // Series2 takes points only when the first plotted row has a sub value.
        {"row 1 has none", "", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Row> rows;
        for (int r = 1; r <= 8; ++r) {
            const bool late = r >= 6;
            rows.push_back({QStringLiteral("t%1").arg(r), QString::number(r), "DCV",
                            late ? QString::number(r) : c.early_sub, late ? "Hz" : c.early_sfunc});
        }
        TrendChart fresh(table, v);
        load(rows);
        ASSERT_TRUE(fresh.chart_add_loaded());
        Ys main, sub;
        for (std::size_t i = 0; i < fresh.point_count(kMain); ++i)
            main.push_back(fresh.y(kMain, i));
        for (std::size_t i = 0; i < fresh.point_count(kSub); ++i)
            sub.push_back(fresh.y(kSub, i));
        EXPECT_EQ(main, Ys({1, 2, 3, 4, 5, 6, 7, 8})); // start1 = 1
        EXPECT_EQ(sub, c.sub);                         // start2 = 6
        EXPECT_EQ(fresh.title_02(), "Hz");
        EXPECT_EQ(fresh.series2_active(), !c.sub.empty());
        if (!c.sub.empty()) {
            EXPECT_EQ(fresh.label(kSub, 0), "t6");
        }
    }
}

TEST_F(Chart, LoadWithoutAnyFunctionTextPlotsEveryRow) {
    load({{"a", "1", ""}, {"b", "2", ""}, {"c", "3", ""}});
    ASSERT_TRUE(chart.chart_add_loaded());
    EXPECT_EQ(ys(kMain), Ys({1, 2, 3}));
}

TEST_F(Chart, LoadPassesOverBlankSubValuesInTheLastRun) {
    // The last reading had no sub value; the load must still succeed.
    load({{"a", "1", "DCV", "5", "Hz"}, {"b", "2", "DCV", "6", "Hz"}, {"c", "3", "DCV", "", "Hz"}});
    ASSERT_TRUE(chart.chart_add_loaded());
    EXPECT_EQ(ys(kMain), Ys({1, 2, 3}));
    EXPECT_EQ(chart.point_count(kSub), 0u); // the sub line starts at the last row, which has none
    EXPECT_FALSE(chart.series2_active());
}

TEST_F(Chart, LoadFailsOnAValueThatDoesNotConvertAndKeepsWhatItPlotted) {
    struct Case {
        const char* what;
        std::vector<Row> rows;
        Ys main, sub;
    };
    const Case cases[] = {
        {"main value", {{"a", "1", "DCV", "5", "Hz"}, {"b", "2,5", "DCV", "6", "Hz"}}, {1}, {5}},
        {"sub value", {{"a", "1", "DCV", "5", "Hz"}, {"b", "2", "DCV", "6x", "Hz"}}, {1, 2}, {5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TrendChart fresh(table, v);
        load(c.rows);
        EXPECT_FALSE(fresh.chart_add_loaded());
        Ys main, sub;
        for (std::size_t i = 0; i < fresh.point_count(kMain); ++i)
            main.push_back(fresh.y(kMain, i));
        for (std::size_t i = 0; i < fresh.point_count(kSub); ++i)
            sub.push_back(fresh.y(kSub, i));
        EXPECT_EQ(main, c.main);
        EXPECT_EQ(sub, c.sub);
        EXPECT_TRUE(fresh.series2_active());
    }
}

TEST_F(Chart, LoadOfNoDataRowFailsWithoutTouchingTheTitles) {
    read("0:0:00.1", "1", "DCV");
    table.set_row_count(1);
    EXPECT_FALSE(chart.chart_add_loaded());
    EXPECT_EQ(chart.title_01(), "DCV");
    EXPECT_EQ(ys(kMain), Ys({1}));
}

} // namespace
