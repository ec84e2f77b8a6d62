// The trend chart on the real main window under the offscreen platform, driven with synthetic
// mouse and wheel events.
#include "app/frm_main.h"
#include "presentation/measurement_table.h"
#include "presentation/trend_chart_view.h"
#include "support/form_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ChartWidget : public ::testing::Test, protected FormFixture {
protected:
    ChartWidget() {
        open_shown_form();
        chart = find<QCustomPlot>("cht1");
        line = find<QFrame>("shp1");
        chn1 = find<QLabel>("lbl_chn1");
        chn2 = find<QLabel>("lbl_chn2");
        time = find<QLabel>("lbl_time");
    }
    void read(const QString& main, const QString& func = "DCV", const QString& sub = {},
              const QString& sfunc = {}, const QString& when = "10:5:07.3") {
        form->table().grid_add_row(when, main, func, sub, sfunc, {}, {});
        form->chart_add_last();
    }
    // Fixes the bottom axis so that pixels map to known point positions, and lays out now.
    void show_x(double lower, double upper) {
        form->chart().set_follows_data(false);
        chart->xAxis->setRange(lower, upper);
        form->chart().replot_now();
    }
    int px(double x) const { return qRound(chart->xAxis->coordToPixel(x)); }
    int mid_y() const { return chart->axisRect()->rect().center().y(); }
    QRect frame() const { return chart->axisRect()->rect(); }
    void move(int x, int y) {
        // The platform reports a move only when the pointer goes somewhere else.
        if (QCursor::pos() == chart->mapToGlobal(QPoint(x, y)))
            QTest::mouseMove(form.get(), QPoint(1, 1));
        QTest::mouseMove(chart, QPoint(x, y));
    }
    void double_click(QWidget* w, QPoint at) {
        QTest::mouseDClick(w, Qt::LeftButton, {}, at);
        QTest::mouseRelease(w, Qt::LeftButton, {}, at);
    }
    void cursor_on() {
        double_click(chart, frame().center());
        ASSERT_TRUE(v.cursor_on);
    }
    bool any_read_out_visible() const {
        return line->isVisible() || chn1->isVisible() || chn2->isVisible() || time->isVisible();
    }
    QWheelEvent* wheel(int delta) const {
        const QPointF at = frame().center();
        return new QWheelEvent(at, chart->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                               Qt::NoModifier, Qt::NoScrollPhase, false);
    }

    QCustomPlot* chart = nullptr;
    QFrame* line = nullptr;
    QLabel *chn1 = nullptr, *chn2 = nullptr, *time = nullptr;
};

TEST_F(ChartWidget, ReadingsReachTheGraphsAndTitles) {
    read("1.0", "DCV", "50", "Hz");
    read("2.0", "DCV", "51", "Hz");
    read("3.0", "DCV", "52", "Hz");
    // The graphs report the model's points through QCustomPlot's data interface.
    QCPGraph& s1 = *find<QCPGraph>("Series1");
    QCPGraph& s2 = *find<QCPGraph>("Series2");
    ASSERT_EQ(s1.interface1D()->dataCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s1.interface1D()->dataMainKey(i), i);
        EXPECT_EQ(s1.interface1D()->dataMainValue(i), i + 1.0);
        EXPECT_EQ(s2.interface1D()->dataMainValue(i), 50.0 + i);
    }
    EXPECT_EQ(s1.interface1D()->findBegin(1.5, false), 2);
    EXPECT_EQ(s1.interface1D()->findBegin(1.5, true), 1);
    EXPECT_EQ(s1.interface1D()->findEnd(0.5, false), 1);
    EXPECT_EQ(s1.interface1D()->findEnd(0.5, true), 2);
    EXPECT_EQ(s1.interface1D()->findEnd(7, true), 3);
    EXPECT_EQ(find<QLabel>("lbl_title_01")->text(), "DCV");
    EXPECT_EQ(find<QLabel>("lbl_title_02")->text(), "Hz");
    EXPECT_TRUE(find<QLabel>("lbl_title_02")->isVisible());
    EXPECT_TRUE(s2.visible());
    EXPECT_TRUE(s1.visible());

    read("0.5", "DCV"); // the sub function goes: a new run without a sub line
    EXPECT_EQ(s1.interface1D()->dataCount(), 1);
    EXPECT_EQ(s2.interface1D()->dataCount(), 0);
    EXPECT_FALSE(s2.visible());
    EXPECT_FALSE(find<QLabel>("lbl_title_02")->isVisible());

    // What a file load calls: a value that does not convert is reported, not thrown.
    form->table().set_row_count(3);
    form->table().set_row(1, 1, {"a", "1", "ACV", "", "", "", ""});
    form->table().set_row(2, 2, {"b", "1.2345678E", "ACV", "", "", "", ""});
    EXPECT_FALSE(form->chart_add_loaded());
    EXPECT_EQ(s1.interface1D()->dataCount(), 2);
}

// The sub function's title ends at the right axis, wherever the width of the axis' numbers
// puts it; the window itself opened centred on its screen.
TEST_F(ChartWidget, SubTitleStandsByTheRightAxis) {
    for (const char* sub : {"50", "123456.789"}) {
        read("1.0", "DCV", sub, "Hz");
        form->chart().replot_now();
        QLabel* title = find<QLabel>("lbl_title_02");
        EXPECT_EQ(title->geometry().right() + 1, chart->axisRect()->right()) << sub;
        EXPECT_TRUE(title->alignment() & Qt::AlignRight);
    }
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE((form->frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

TEST_F(ChartWidget, RedrawsAreCoalescedWhileReadingsStream) {
    int replots = 0;
    QObject::connect(chart, &QCustomPlot::afterReplot, [&replots] { ++replots; });
    QTest::qWait(50);
    replots = 0;
    for (int i = 0; i < 1000; ++i)
        read(QString::number(i));
    EXPECT_EQ(replots, 0); // nothing is drawn per row
    QTest::qWait(80);
    EXPECT_EQ(replots, 1);

    replots = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) {
        read("1.5");
        QCoreApplication::processEvents();
    }
    QTest::qWait(80);
    const qint64 elapsed = clock.elapsed();
    EXPECT_GE(replots, 2);
    EXPECT_LE(replots, elapsed / 33 + 2); // about 30 a second at most
}

TEST_F(ChartWidget, AHiddenChartIsDrawnWhenItIsShownAgain) {
    auto* pages = find<QTabWidget>("pgc_main");
    int replots = 0;
    QObject::connect(chart, &QCustomPlot::afterReplot, [&replots] { ++replots; });
    pages->setCurrentWidget(find<QWidget>("ts_grid"));
    for (int i = 0; i < 100; ++i)
        read(QString::number(i));
    QTest::qWait(80);
    EXPECT_EQ(replots, 0);
    pages->setCurrentWidget(find<QWidget>("ts_chart"));
    QTest::qWait(80);
    EXPECT_EQ(replots, 1);
    EXPECT_DOUBLE_EQ(chart->xAxis->range().center(), 49.5); // fitted to the points read
}

TEST_F(ChartWidget, ReadOutStaysOffUntilADoubleClickButTheChartTakesFocus) {
    read("1.0");
    show_x(-0.5, 0.5);
    find<QWidget>("cbb_port")->setFocus();
    ASSERT_FALSE(chart->hasFocus());
    move(frame().center().x(), frame().center().y());
    EXPECT_TRUE(chart->hasFocus());
    EXPECT_FALSE(any_read_out_visible());
}

TEST_F(ChartWidget, ReadOutStaysHiddenWithoutPoints) {
    cursor_on();
    EXPECT_TRUE(line->isVisible()); // the double-click shows all four
    move(frame().center().x(), frame().center().y());
    EXPECT_FALSE(any_read_out_visible());
}

TEST_F(ChartWidget, ReadOutWorksInsideThePlotFrameOnly) {
    read("1.0");
    read("2.0");
    show_x(-0.45, 1.45); // both frame edges round to a point
    cursor_on();
    const QRect f = frame();
    const QPoint inside[] = {f.topLeft(), f.bottomRight(), f.center()};
    const QPoint outside[] = {{f.left() - 1, mid_y()},
                              {f.right() + 1, mid_y()},
                              {f.center().x(), f.top() - 1},
                              {f.center().x(), f.bottom() + 1}};
    for (QPoint p : outside) {
        move(f.center().x(), f.center().y());
        ASSERT_TRUE(chn1->isVisible());
        move(p.x(), p.y());
        EXPECT_FALSE(any_read_out_visible()) << p.x() << "," << p.y();
    }
    for (QPoint p : inside) {
        move(p.x(), p.y());
        EXPECT_TRUE(line->isVisible() && chn1->isVisible() && time->isVisible())
            << p.x() << "," << p.y();
        EXPECT_EQ(line->x(), p.x());
    }
}

TEST_F(ChartWidget, ReadOutShowsRoundedValuesTimeAndColours) {
    read("1.23456", "DCV", "50.00004", "Hz", "10:5:07.3");
    read("0.03125", "DCV", "49.99996", "Hz", "10:5:07.4");
    read("0.09375", "DCV", {}, "Hz", "10:5:07.5"); // no sub value: the sub line is shorter
    show_x(-0.5, 2.5);
    cursor_on();
    struct Case {
        double x;
        const char *main, *sub, *when;
    };
    const Case cases[] = {
        {0, "DCV: 1.2346", "Hz: 50", " 10:5:07.3"},
        {1, "DCV: 0.0312", "Hz: 50", " 10:5:07.4"},
        {2, "DCV: 0.0938", "Hz: --", " 10:5:07.5"},
    };
    for (const Case& c : cases) {
        move(px(c.x), mid_y());
        EXPECT_EQ(chn1->text(), c.main);
        EXPECT_EQ(chn2->text(), c.sub);
        EXPECT_EQ(time->text(), c.when);
        EXPECT_TRUE(chn1->isVisible() && chn2->isVisible() && time->isVisible());
    }
    EXPECT_EQ(chn1->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(chn2->palette().color(QPalette::WindowText), QColor(Qt::green));
}

TEST_F(ChartWidget, SubLabelStaysHiddenWithoutASubLine) {
    read("1.0");
    show_x(-0.5, 0.5);
    cursor_on();
    move(px(0), mid_y());
    EXPECT_TRUE(chn1->isVisible());
    EXPECT_FALSE(chn2->isVisible());
    EXPECT_EQ(chn2->text(), "--");
}

TEST_F(ChartWidget, AxisValuesLeftOfPointZero) {
    read("4.5");
    read("5.5");
    show_x(-2, 2);
    cursor_on();
    move(px(-0.7), mid_y()); // rounds to point 0
    EXPECT_TRUE(chn1->isVisible());
    EXPECT_EQ(chn1->text(), "DCV: 4.5");

    move(px(-1.2), mid_y()); // rounds to -1: no point
    EXPECT_FALSE(chn1->isVisible() || chn2->isVisible() || time->isVisible());
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->x(), px(-1.2));
}

TEST_F(ChartWidget, LabelsChangeSidesNearTheRightAndBottomEdges) {
    for (int i = 0; i < 10; ++i)
        read(QString::number(i), "DCV", "1", "Hz");
    show_x(-0.5, 9.5);
    cursor_on();
    const int W = chart->width(), H = chart->height();
    const QRect f = frame();
    ASSERT_TRUE(f.contains(W - 240, H - 90) && f.contains(W - 160, H - 110));
    const int time_top = time->y();

    move(W - 240, H - 110); // right of the line, below the mouse
    for (QLabel* l : {chn1, chn2, time})
        EXPECT_EQ(l->x(), W - 240 + 1) << l->objectName().toStdString();
    EXPECT_EQ(chn1->y(), H - 110 + 18);
    EXPECT_EQ(chn2->y(), chn1->y() + chn1->height());
    move(W - 240, H - 150); // straight up, over the cursor line itself: the read-out follows
    EXPECT_EQ(chn1->y(), H - 150 + 18);

    move(W - 160, H - 90); // left of the line, above the mouse
    for (QLabel* l : {chn1, chn2, time})
        EXPECT_EQ(l->x() + l->width() + 1, W - 160) << l->objectName().toStdString();
    EXPECT_EQ(chn1->y(), H - 90 - 44);
    EXPECT_EQ(chn2->y(), chn1->y() + chn1->height());
    EXPECT_EQ(time->y(), time_top);

    const int left_of_line = chn1->x();
    move(W - 200, H - 104); // exactly at the edge: sides stay, labels below the mouse
    EXPECT_EQ(chn1->x(), left_of_line);
    EXPECT_EQ(chn1->y(), H - 104 + 18);
}

TEST_F(ChartWidget, DoubleClickOnTheCursorLineSwitchesTheReadOutOff) {
    read("1.0");
    show_x(-0.5, 0.5);
    cursor_on();
    move(px(0), mid_y());
    ASSERT_TRUE(line->isVisible());
    double_click(line, QPoint(0, 10));
    EXPECT_FALSE(v.cursor_on);
    EXPECT_FALSE(any_read_out_visible());
    double_click(chart, frame().center());
    EXPECT_TRUE(v.cursor_on);
}

TEST_F(ChartWidget, EachWheelNotchZoomsAllFourAxesByOnePercent) {
    read("1.0", "DCV", "2", "Hz");
    form->chart().set_follows_data(false);
    QCPAxis* axes[] = {chart->xAxis, chart->yAxis, chart->xAxis2, chart->yAxis2};
    for (QCPAxis* a : axes)
        a->setRange(0, 100);
    std::unique_ptr<QWheelEvent> forward(wheel(120));
    QCoreApplication::sendEvent(chart, forward.get());
    for (QCPAxis* a : axes) {
        EXPECT_DOUBLE_EQ(a->range().lower, 1);
        EXPECT_DOUBLE_EQ(a->range().upper, 99);
    }
    EXPECT_TRUE(v.wheel_ready);

    std::unique_ptr<QWheelEvent> back(wheel(-120));
    QCoreApplication::sendEvent(chart, back.get());
    for (QCPAxis* a : axes) {
        EXPECT_DOUBLE_EQ(a->range().lower, 1 - 0.98);
        EXPECT_DOUBLE_EQ(a->range().upper, 99 + 0.98);
    }
    std::unique_ptr<QWheelEvent> sideways(wheel(0));
    QCoreApplication::sendEvent(chart, sideways.get());
    EXPECT_DOUBLE_EQ(chart->xAxis->range().upper, 99 + 0.98);
    // Zooming froze the view: new readings do not refit it.
    read("500.0", "DCV", "2", "Hz");
    form->chart().replot_now();
    EXPECT_DOUBLE_EQ(chart->yAxis->range().upper, 99 + 0.98);
}

TEST_F(ChartWidget, ABurstOfNotchesWithinTheGuardZoomsOnce) {
    read("1.0");
    form->chart().set_follows_data(false);
    chart->xAxis->setRange(0, 100);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::postEvent(chart, wheel(120));
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    EXPECT_GE(clock.elapsed(), 100);
    QTest::qWait(20);
    EXPECT_DOUBLE_EQ(chart->xAxis->range().lower, 1);
    EXPECT_DOUBLE_EQ(chart->xAxis->range().upper, 99);
    EXPECT_TRUE(v.wheel_ready);

    std::unique_ptr<QWheelEvent> next(wheel(120)); // after the guard, a notch zooms again
    QCoreApplication::sendEvent(chart, next.get());
    EXPECT_DOUBLE_EQ(chart->xAxis->range().lower, 1 + 0.98);
}

} // namespace

namespace {

class TwoCursors : public ChartWidget {
protected:
    TwoCursors() {
        second = find<QFrame>("shp2");
        delta = find<QLabel>("lbl_delta");
    }
    void place(Qt::MouseButton button, Qt::KeyboardModifiers keys, double x) {
        move(px(x), mid_y());
        QTest::mouseClick(chart, button, keys, QPoint(px(x), mid_y()));
    }
    QFrame* second = nullptr;
    QLabel* delta = nullptr;
};

TEST_F(TwoCursors, TheReadOutShowsTimeAndValueDifferencesToTheSecondLine) {
    read("1.0", "DCV", "50", "Hz", "10:0:00.0");
    read("1.25", "DCV", "50.5", "Hz", "10:0:05.5");
    read("2.0", "DCV", "49", "Hz", "10:1:10.10");
    read("1.2345", "DCV", {}, "Hz", "10:1:11.11"); // no sub value: the sub line ends before
    show_x(-0.5, 3.5);

    place(Qt::LeftButton, Qt::ShiftModifier, 1); // read-out off: nothing is placed
    EXPECT_FALSE(second->isVisible() || delta->isVisible());

    cursor_on();
    place(Qt::LeftButton, Qt::ShiftModifier, 0);
    ASSERT_TRUE(second->isVisible());
    EXPECT_EQ(second->x(), px(0));
    EXPECT_EQ(delta->text(), QStringLiteral("Δt: 0:00:00\nΔDCV: 0\nΔHz: 0"));

    struct Case {
        double at;
        const char* shown;
    };
    const Case from_first[] = {
        {2, "Δt: 0:01:10\nΔDCV: 1\nΔHz: -1"},
        {3, "Δt: 0:01:11\nΔDCV: 0.2345\nΔHz: --"},
    };
    for (const Case& c : from_first) {
        move(px(c.at), mid_y());
        EXPECT_EQ(delta->text(), QString::fromUtf8(c.shown));
        EXPECT_TRUE(delta->isVisible() && chn1->isVisible());
        EXPECT_GE(delta->y(), chn2->y() + chn2->height()) << "under the value labels";
    }

    place(Qt::RightButton, {}, 1); // the right button moves the second line
    EXPECT_EQ(second->x(), px(1));
    const Case from_second[] = {
        {2, "Δt: 0:01:05\nΔDCV: 0.75\nΔHz: -1.5"},
        {0, "Δt: -0:00:05\nΔDCV: -0.25\nΔHz: -0.5"},
    };
    for (const Case& c : from_second) {
        move(px(c.at), mid_y());
        EXPECT_EQ(delta->text(), QString::fromUtf8(c.shown));
    }

    // The line stays on its point when the axes change.
    show_x(-2.5, 5.5);
    EXPECT_EQ(second->x(), px(1));
    EXPECT_TRUE(second->isVisible());
    show_x(2.5, 3.5);
    EXPECT_FALSE(second->isVisible()) << "its point is out of view";
    show_x(-0.5, 3.5);
    EXPECT_TRUE(second->isVisible());
}

TEST_F(TwoCursors, ADoubleClickRemovesBothLines) {
    read("1.0");
    read("2.0");
    show_x(-0.5, 1.5);
    cursor_on();
    place(Qt::RightButton, {}, 0);
    move(px(1), mid_y());
    ASSERT_TRUE(second->isVisible() && delta->isVisible());

    double_click(second, QPoint(0, 10));
    EXPECT_FALSE(v.cursor_on);
    EXPECT_FALSE(second->isVisible() || delta->isVisible() || any_read_out_visible());

    double_click(chart, frame().center()); // on again: one line only, until a new placement
    move(px(1), mid_y());
    EXPECT_TRUE(line->isVisible());
    EXPECT_FALSE(second->isVisible() || delta->isVisible());
}

TEST_F(TwoCursors, ANewRunTakesTheSecondLineAway) {
    read("1.0");
    read("2.0");
    show_x(-0.5, 1.5);
    cursor_on();
    place(Qt::LeftButton, Qt::ShiftModifier, 1);
    ASSERT_TRUE(second->isVisible());
    read("5.0", "ACV");
    show_x(-0.5, 1.5);
    EXPECT_FALSE(second->isVisible());
    move(px(0), mid_y());
    EXPECT_TRUE(chn1->isVisible());
    EXPECT_FALSE(delta->isVisible());
}

} // namespace

namespace {

// Counts the pixels of an image where one primary colour clearly dominates (a thin line drawn
// between two pixels comes out lighter), or that are near black.
enum class Hue { Red, Green, Blue, Black };
int pixels_of(const QImage& image, Hue hue) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int r = c.red(), g = c.green(), b = c.blue();
            switch (hue) {
            case Hue::Red:
                n += r > g + 80 && r > b + 80;
                break;
            case Hue::Green:
                n += g > r + 80 && g > b + 80;
                break;
            case Hue::Blue:
                n += b > r + 80 && b > g + 80;
                break;
            case Hue::Black:
                n += std::max({r, g, b}) < 80;
                break;
            }
        }
    return n;
}

// Renders a vector file to PNG with an independent program, so the test sees what a viewer
// would show.
QImage rendered(const QString& file, const QString& folder) {
    const QString png = folder + QStringLiteral("/rendered.png");
    QFile::remove(png);
    if (file.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QProcess::execute(QStringLiteral("rsvg-convert"), {QStringLiteral("-o"), png, file});
    } else if (file.endsWith(QLatin1String(".pdf"))) {
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("144"),
                           QStringLiteral("-singlefile"), file, png.chopped(4)});
    } else {
        return QImage(file);
    }
    return QImage(png);
}

TEST_F(TwoCursors, TheChartImageShowsLinesTitlesAndCursors) {
    for (int i = 0; i < 40; ++i)
        read(QString::number(i % 7), "DCV", QString::number(50 + i % 3), "Hz");
    show_x(-0.5, 39.5);
    cursor_on();
    place(Qt::RightButton, {}, 10);
    move(px(30), mid_y());
    ASSERT_TRUE(second->isVisible() && line->isVisible() && delta->isVisible());

    const QString folder = dir.path();
    for (const char* name : {"chart.png", "chart.SVG", "chart.pdf"}) {
        SCOPED_TRACE(name);
        const QString file = folder + QLatin1Char('/') + QLatin1String(name);
        dialogs.answers.push_back({true, file});
        find<QAction>("Mni_SaveImage")->trigger();
        ASSERT_FALSE(dialogs.boxes.empty());
        EXPECT_EQ(dialogs.boxes.back().text, "File has been Saved!");
        const QImage image = rendered(file, folder);
        ASSERT_FALSE(image.isNull());
        EXPECT_NEAR(double(image.width()) / image.height(),
                    double(chart->width()) / chart->height(), 0.02);
        EXPECT_GT(pixels_of(image, Hue::Red), 50) << "Series1";
        EXPECT_GT(pixels_of(image, Hue::Green), 50) << "Series2";
        EXPECT_GT(pixels_of(image, Hue::Blue), chart->height() / 3) << "the second line";
        EXPECT_GT(pixels_of(image, Hue::Black), chart->height() / 2) << "cursor line, axes, text";
    }
    const auto& spec = dialogs.file_dialogs_seen.back();
    EXPECT_EQ(spec.filters,
              (QStringList{"PNG image (*.png)", "SVG image (*.svg)", "PDF document (*.pdf)"}));

    // From the table's page, after a new run began: the picture shows the new run, fitted.
    find<QTabWidget>("pgc_main")->setCurrentWidget(find<QWidget>("ts_grid"));
    for (int i = 0; i < 40; ++i)
        read(QString::number(1000 + i % 5), "ACV");
    dialogs.answers.push_back({true, folder + QStringLiteral("/hidden.png")});
    find<QAction>("Mni_SaveImage")->trigger();
    EXPECT_EQ(dialogs.boxes.back().text, "File has been Saved!");
    const QImage hidden(folder + QStringLiteral("/hidden.png"));
    int red_columns = 0; // the new line runs across the plot
    for (int x = 0; x < hidden.width(); ++x)
        red_columns += pixels_of(hidden.copy(x, 0, 1, hidden.height()), Hue::Red) > 0;
    EXPECT_GT(red_columns, hidden.width() * 3 / 4);

    dialogs.answers.push_back({true, folder + QStringLiteral("/chart.gif")});
    find<QAction>("Mni_SaveImage")->trigger();
    EXPECT_EQ(dialogs.boxes.back().text, "Failed to save the file !");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/chart.gif")));
}

} // namespace
