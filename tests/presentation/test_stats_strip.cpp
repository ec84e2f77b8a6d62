// The statistics strip under the trend chart on the real main window, under the offscreen
// platform: readings go in through the window's plotting call, the view is changed by the
// wheel or by setting the bottom axis, and the strip's labels are read back.
#include "app/frm_main.h"
#include "presentation/measurement_table.h"
#include "presentation/stats_text.h"
#include "presentation/trend_chart_view.h"
#include "support/form_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QWheelEvent>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class StatsStrip : public ::testing::Test, protected FormFixture {
protected:
    StatsStrip() {
        open_shown_form();
        chart = find<QCustomPlot>("cht1");
        strip = find<QWidget>("pnl_stats");
        stats1 = find<QLabel>("lbl_stats1");
        stats2 = find<QLabel>("lbl_stats2");
    }
    void read(const QString& main, const QString& func = "DCV", const QString& sub = {},
              const QString& sfunc = {}) {
        form->table().grid_add_row("10:5:07.3", main, func, sub, sfunc, {}, {});
        form->chart_add_last();
    }
    // Draws what is pending, as the frame timer would, and lets the layout settle.
    void settle() {
        form->chart().replot_now();
        for (int pass = 0; pass < 5; ++pass) {
            QCoreApplication::sendPostedEvents();
            QApplication::processEvents();
        }
    }
    void show_x(double lower, double upper) {
        form->chart().set_follows_data(false);
        chart->xAxis->setRange(lower, upper);
    }
    // A label's text with ordinary spaces for its no-break ones.
    static QString seen(const QLabel* label) {
        return label->text().replace(kStatsJoin, QChar(u' '));
    }
    QWheelEvent* wheel(int delta) const {
        const QPointF at = chart->axisRect()->rect().center();
        return new QWheelEvent(at, chart->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                               Qt::NoModifier, Qt::NoScrollPhase, false);
    }
    void save_picture(const QString& name) {
        const QByteArray folder = qgetenv("TELVANE_SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        EXPECT_TRUE(form->grab().save(QString::fromLocal8Bit(folder) + '/' + name));
    }

    QCustomPlot* chart = nullptr;
    QWidget* strip = nullptr;
    QLabel *stats1 = nullptr, *stats2 = nullptr;
};

TEST_F(StatsStrip, ShowsEachTracesStatisticsInItsColour) {
    settle();
    EXPECT_FALSE(strip->isVisible()); // no point yet
    const int chart_height = chart->height();
    for (int i = 0; i < 10; ++i)
        read(QString::number(i), "DCV", QString::number(100 + i), "Hz");
    settle();
    ASSERT_TRUE(strip->isVisible());
    // The strip's room was kept while it was hidden: the plot does not jump.
    EXPECT_EQ(chart->height(), chart_height);
    // Below the chart, across its width.
    EXPECT_GE(strip->geometry().top(), chart->geometry().bottom());
    EXPECT_EQ(strip->width(), chart->width());
    // Compact: a line per trace, the rest of the page is the chart's.
    EXPECT_LE(strip->height(), 2 * stats1->fontMetrics().lineSpacing() + 8);
    EXPECT_EQ(seen(stats1), "DCV  Count 10  Min 0  Max 9  Mean 4.5  Std dev 3.02765");
    EXPECT_EQ(seen(stats2), "Hz  Count 10  Min 100  Max 109  Mean 104.5  Std dev 3.02765");
    EXPECT_TRUE(stats2->isVisible());
    EXPECT_EQ(stats1->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(stats2->palette().color(QPalette::WindowText), QColor(Qt::green));

    // A new reading is counted at the next redraw.
    read("-1.25", "DCV", "99.5", "Hz");
    settle();
    EXPECT_EQ(seen(stats1), "DCV  Count 11  Min -1.25  Max 9  Mean 3.97727  Std dev 3.35495");
    EXPECT_EQ(seen(stats2), "Hz  Count 11  Min 99.5  Max 109  Mean 104.045  Std dev 3.24388");

    // A new run starts the strip again, with no standard deviation for a single point; the
    // sub line has gone, and its line with it.
    read("2.5", "ACV");
    settle();
    EXPECT_EQ(seen(stats1), "ACV  Count 1  Min 2.5  Max 2.5  Mean 2.5  Std dev --");
    EXPECT_FALSE(stats2->isVisible());
}

TEST_F(StatsStrip, CountsOnlyThePointsInView) {
    for (int i = 0; i < 200; ++i)
        read(QString::number(i));
    show_x(0, 199);
    settle();
    EXPECT_EQ(seen(stats1), "DCV  Count 200  Min 0  Max 199  Mean 99.5  Std dev 57.8792");

    // One notch forward takes 1 % of the span off each end: X 1.98 to 197.02.
    std::unique_ptr<QWheelEvent> forward(wheel(120));
    QCoreApplication::sendEvent(chart, forward.get());
    EXPECT_EQ(seen(stats1), "DCV  Count 196  Min 2  Max 197  Mean 99.5  Std dev 56.7245");

    // However the axis moves, the strip follows at once, a view past the data included.
    chart->xAxis->setRange(150.5, 160);
    EXPECT_EQ(seen(stats1), "DCV  Count 10  Min 151  Max 160  Mean 155.5  Std dev 3.02765");
    chart->xAxis->setRange(300, 400);
    EXPECT_EQ(seen(stats1), "DCV  Count 0  Min --  Max --  Mean --  Std dev --");
    EXPECT_TRUE(stats1->isVisible());
    chart->xAxis->setRange(9.5, 10.5);
    EXPECT_EQ(seen(stats1), "DCV  Count 1  Min 10  Max 10  Mean 10  Std dev --");
}

// A loaded file's last run is plotted after the points already shown, and the view refits.
TEST_F(StatsStrip, FollowsALoadedFile) {
    read("7", "ACV");
    settle();
    form->table().set_row_count(4);
    form->table().set_row(1, 1, {"a", "1", "ACV", "", "", "", ""});
    form->table().set_row(2, 2, {"b", "2", "ACV", "", "", "", ""});
    form->table().set_row(3, 3, {"c", "4", "ACV", "", "", "", ""});
    ASSERT_TRUE(form->chart_add_loaded());
    settle();
    EXPECT_EQ(seen(stats1), "ACV  Count 4  Min 1  Max 7  Mean 3.5  Std dev 2.64575");
}

// The sub line can be shorter than the main line (readings without a sub value); its strip
// line shows only while some of its points are in view.
TEST_F(StatsStrip, SubLineShowsWhileItsPointsAreInView) {
    read("1", "DCV", "50", "Hz");
    read("2", "DCV", "51", "Hz");
    for (const char* main : {"3", "4", "5"})
        read(main, "DCV", "", "Hz");
    settle();
    EXPECT_EQ(seen(stats2), "Hz  Count 2  Min 50  Max 51  Mean 50.5  Std dev 0.707107");
    EXPECT_TRUE(stats2->isVisible());
    show_x(2.5, 4.5);
    settle();
    EXPECT_EQ(seen(stats1), "DCV  Count 2  Min 4  Max 5  Mean 4.5  Std dev 0.707107");
    EXPECT_FALSE(stats2->isVisible());
}

TEST_F(StatsStrip, FollowsALanguageSwitchAtOnce) {
    for (int i = 0; i < 4; ++i)
        read(QString::number(i), "DCV", QString::number(i * 2), "Hz");
    settle();
    save_picture("stats_strip_english.png");
    form->lan_02Click();
    EXPECT_EQ(seen(stats1), "DCV  点数 4  最小 0  最大 3  平均 1.5  标准差 1.29099");
    EXPECT_EQ(seen(stats2), "Hz  点数 4  最小 0  最大 6  平均 3  标准差 2.58199");
    settle();
    save_picture("stats_strip_chinese.png");
    form->lan_01Click();
    EXPECT_EQ(seen(stats1), "DCV  Count 4  Min 0  Max 3  Mean 1.5  Std dev 1.29099");
}

// Readings with 15 digits in the longest languages: every line is whole within the window at
// its opening size, wrapping between items where it must, and the window does not grow.
TEST_F(StatsStrip, LongestLinesFitTheWindowInEveryLanguage) {
    const QSize opening = form->size();
    read("-1.23456789012345", "PT1000", "-123456789.012345", "TCK");
    read("123456789012345", "PT1000", "0.000123456789012", "TCK");
    read("-0.0000123456789012", "PT1000", "1.23456789012345E-300", "TCK");
    settle();
    for (int n = 1; n <= 7; ++n) {
        SCOPED_TRACE(n);
        form->findChild<QAction*>(QStringLiteral("lan_0%1").arg(n))->trigger();
        settle();
        EXPECT_EQ(form->size(), opening);
        for (QLabel* label : {stats1, stats2}) {
            ASSERT_TRUE(label->isVisible());
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << qPrintable(label->text());
            EXPECT_LE(label->mapTo(form.get(), QPoint(label->width(), 0)).x(), form->width());
        }
        if (n == 3)
            save_picture("stats_strip_french_long.png");
    }
}

} // namespace
