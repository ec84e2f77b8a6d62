// The main window's side of the trend chart: plotting calls, the cursor read-out that follows
// the mouse, and the wheel zoom.
#include "app/frm_main.h"

#include "app/wait.h"
#include "presentation/chart_image.h"
#include "presentation/chart_math.h"
#include "presentation/cursor_delta.h"
#include "presentation/trend_chart_view.h"
#include "presentation/trend_graph.h"
#include "protocol/number_text.h"
#include "ui_frm_main.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <qcustomplot.h>

#include <cmath>
#include <stdexcept>

namespace {

// Hands double-clicks on a widget to a handler and keeps them from also reaching the parent,
// which would handle the same double-click a second time.
class DoubleClickRelay : public QObject {
public:
    DoubleClickRelay(QObject* parent, std::function<void()> handler)
        : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            handler_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> handler_;
};

void set_text_colour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

void TForm1::wire_chart() {
    QCustomPlot* chart = ui_->cht1;
    chart_ = std::make_unique<TrendChartView>(*chart, *ui_->lbl_title_01, *ui_->lbl_title_02,
                                              *table_, v_);
    chart_->set_stats_strip(*ui_->pnl_stats, *ui_->lbl_stats1, *ui_->lbl_stats2);

    // The read-out follows the mouse without a button held. The labels let the mouse through
    // to the chart; the cursor line passes moves on and takes double-clicks itself.
    chart->setMouseTracking(true);
    chart->setFocusPolicy(Qt::ClickFocus);
    for (QLabel* label : {ui_->lbl_title_01, ui_->lbl_title_02, ui_->lbl_chn1, ui_->lbl_chn2,
                          ui_->lbl_time, ui_->lbl_delta})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The second line is blue, so that it is not taken for the line that follows the mouse.
    QPalette second = ui_->shp2->palette();
    second.setColor(QPalette::Window, Qt::blue);
    ui_->shp2->setPalette(second);
    for (QFrame* line : {ui_->shp1, ui_->shp2}) {
        line->setMouseTracking(true);
        line->installEventFilter(new DoubleClickRelay(line, [this] { cht1DblClick(); }));
    }

    connect(chart, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent*) { cht1DblClick(); });
    connect(chart, &QCustomPlot::mouseMove, this, [this](QMouseEvent* e) {
        const QPoint at = e->position().toPoint();
        cht1MouseMove(e->modifiers(), at.x(), at.y());
    });
    connect(chart, &QCustomPlot::mousePress, this, [this](QMouseEvent* e) {
        const QPoint at = e->position().toPoint();
        cht1MouseDown(e->button(), e->modifiers(), at.x(), at.y());
    });
    connect(chart, &QCustomPlot::mouseWheel, this, [this](QWheelEvent* e) {
        bool handled = false;
        cht1MouseWheel(e->modifiers(), e->angleDelta().y(), e->position().toPoint(), handled);
    });

    dlgImage.filters = {QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG image (*.svg)"),
                        QStringLiteral("PDF document (*.pdf)")};
    dlgImage.default_suffix = QStringLiteral("png");
    dlgImage.confirm_overwrite = true;
    connect(ui_->Mni_SaveImage, &QAction::triggered, this, &TForm1::Mni_SaveImageClick);
}

void TForm1::chart_add_last() {
    chart_->chart_add_last();
}

bool TForm1::chart_add_loaded() {
    return chart_->chart_add_loaded(v_.file_records);
}

std::int32_t TForm1::rouclassic(double R) {
    return ::rouclassic(R);
}

void TForm1::cht1DblClick() {
    v_.cursor_on = !v_.cursor_on;
    for (QWidget* w : {static_cast<QWidget*>(ui_->shp1), static_cast<QWidget*>(ui_->lbl_chn1),
                       static_cast<QWidget*>(ui_->lbl_chn2), static_cast<QWidget*>(ui_->lbl_time)})
        w->setVisible(v_.cursor_on);
    if (!v_.cursor_on)
        remove_second_cursor();
}

void TForm1::hide_cursor_labels() {
    ui_->lbl_chn1->hide();
    ui_->lbl_chn2->hide();
    ui_->lbl_time->hide();
    ui_->lbl_delta->hide();
}

void TForm1::cht1MouseMove(Qt::KeyboardModifiers /*Shift*/, int X, int Y) {
    ui_->cht1->setFocus(); // so that the wheel reaches the chart
    if (!v_.cursor_on)
        return;
    try {
        cursor_follow(X, Y);
    } catch (...) {
        hide_cursor_labels();
    }
}

// Shows the values and time of the point under the mouse next to a vertical line at the mouse.
void TForm1::cursor_follow(int X, int Y) {
    QCustomPlot* chart = ui_->cht1;
    QFrame* line = ui_->shp1;
    QLabel* chn1 = ui_->lbl_chn1;
    QLabel* chn2 = ui_->lbl_chn2;
    QLabel* time = ui_->lbl_time;
    const TrendChart& data = chart_->model();
    const std::size_t main_points = data.point_count(TrendChart::kMain);
    const std::size_t sub_points = data.point_count(TrendChart::kSub);

    if (main_points == 0) {
        line->hide();
        hide_cursor_labels();
        return;
    }
    // Inside the frame means over the plot area itself, not its axes or margins.
    if (!chart->axisRect()->rect().contains(X, Y)) {
        line->hide();
        hide_cursor_labels();
        return;
    }
    chn1->show();
    chn2->setVisible(sub_points > 0);
    line->move(X, line->y());
    time->show();

    const double at = chart_->series1().keyAxis()->pixelToCoord(X);
    if (!std::isfinite(at))
        throw std::range_error("no axis value under the mouse");
    const std::int32_t i = rouclassic(at);
    if (i < 0 || static_cast<std::size_t>(i) >= main_points) {
        hide_cursor_labels();
        return;
    }
    const QChar sep = v_.separator();
    const auto value_text = [&](int series, std::size_t point) {
        return general_text(round_to_4_decimals(data.y(series, point)), sep);
    };
    chn1->setText(ui_->lbl_title_01->text() + QStringLiteral(": ") +
                  value_text(TrendChart::kMain, std::size_t(i)));
    set_text_colour(chn1, chart_->series1().pen().color());
    time->setText(QLatin1Char(' ') + data.label(TrendChart::kMain, std::size_t(i)));
    if (sub_points > 0) {
        // The sub line can be shorter than the main line (readings without a sub value); past
        // its end there is no sub value under the line, which "--" says.
        const QString sub = std::size_t(i) < sub_points
                                ? value_text(TrendChart::kSub, std::size_t(i))
                                : QStringLiteral("--");
        chn2->setText(ui_->lbl_title_02->text() + QStringLiteral(": ") + sub);
        set_text_colour(chn2, chart_->series2().pen().color());
    }
    line->show();

    for (QLabel* label : {chn1, chn2, time})
        label->adjustSize();
    const int W = chart->width();
    const int H = chart->height();
    switch (cursor_label_side(X, W)) {
    case LabelSide::Right:
        for (QLabel* label : {chn1, chn2, time})
            label->move(line->x() + 1, label->y());
        break;
    case LabelSide::Left:
        for (QLabel* label : {chn1, chn2, time})
            label->move(line->x() - label->width() - 1, label->y());
        break;
    case LabelSide::Keep:
        break;
    }
    chn1->move(chn1->x(), cursor_value_label_top(Y, H));
    chn2->move(chn2->x(), chn1->y() + chn1->height());
    show_cursor_difference(std::size_t(i), chn1->y() > Y);
}

void TForm1::cht1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    if (!v_.cursor_on)
        return;
    if (Button == Qt::RightButton || (Button == Qt::LeftButton && (Shift & Qt::ShiftModifier)))
        place_second_cursor(X, Y);
}

// The second line stands on the point nearest to the click, and stays with that point when
// the chart zooms or scrolls on.
void TForm1::place_second_cursor(int X, int Y) {
    QCustomPlot* chart = ui_->cht1;
    const TrendChart& data = chart_->model();
    if (!chart->axisRect()->rect().contains(X, Y))
        return;
    const double at = chart_->series1().keyAxis()->pixelToCoord(X);
    if (!std::isfinite(at))
        return;
    const std::int32_t i = rouclassic(at);
    if (i < 0 || std::size_t(i) >= data.point_count(TrendChart::kMain))
        return;
    second_point_ = std::size_t(i);
    second_run_ = data.clear_count();
    place_second_line();
    cursor_follow(X, Y);
}

void TForm1::remove_second_cursor() {
    second_point_.reset();
    ui_->shp2->hide();
    ui_->lbl_delta->hide();
}

// Puts the second line over its point, as the axes now stand; a new run took its point away.
void TForm1::place_second_line() {
    if (!second_point_)
        return;
    if (chart_->model().clear_count() != second_run_) {
        remove_second_cursor();
        return;
    }
    QCustomPlot* chart = ui_->cht1;
    const double x = chart_->series1().keyAxis()->coordToPixel(double(*second_point_));
    const QRect plot = chart->axisRect()->rect();
    const bool shown = std::isfinite(x) && x >= plot.left() && x <= plot.right();
    if (shown)
        ui_->shp2->setGeometry(int(std::lround(x)), ui_->shp1->y(), 1, ui_->shp1->height());
    ui_->shp2->setVisible(shown && v_.cursor_on);
}

// Under the values at the cursor line: how far it is from the second line, in time and in
// each trace's value.
void TForm1::show_cursor_difference(std::size_t point, bool below_mouse) {
    QLabel* delta = ui_->lbl_delta;
    if (!second_point_ || chart_->model().clear_count() != second_run_) {
        delta->hide();
        return;
    }
    const TrendChart& data = chart_->model();
    const std::size_t from = *second_point_;
    const QChar sep = v_.separator();
    const auto difference = [&](int series) {
        const std::size_t n = data.point_count(series);
        if (from >= n || point >= n)
            return QStringLiteral("--");
        return general_text(value_difference(data.y(series, point), data.y(series, from)), sep);
    };
    const QString time = time_difference_text(data.label(TrendChart::kMain, from),
                                              data.label(TrendChart::kMain, point), point >= from);
    QStringList lines;
    lines << QStringLiteral("\u0394t: ") + (time.isEmpty() ? QStringLiteral("--") : time);
    lines << QStringLiteral("\u0394") + ui_->lbl_title_01->text() + QStringLiteral(": ") +
                 difference(TrendChart::kMain);
    if (data.point_count(TrendChart::kSub) > 0)
        lines << QStringLiteral("\u0394") + ui_->lbl_title_02->text() + QStringLiteral(": ") +
                     difference(TrendChart::kSub);
    delta->setText(lines.join(QLatin1Char('\n')));
    delta->adjustSize();

    // Below the value labels, or above them where they already stand above the mouse.
    QLabel* chn1 = ui_->lbl_chn1;
    QLabel* chn2 = ui_->lbl_chn2;
    const QLabel* last = chn2->isVisible() ? chn2 : chn1;
    const int top = below_mouse ? last->y() + last->height() : chn1->y() - delta->height();
    const bool right_of_line = chn1->x() > ui_->shp1->x();
    const int left = right_of_line ? ui_->shp1->x() + 1 : ui_->shp1->x() - delta->width() - 1;
    delta->move(left, top);
    delta->show();
}

void TForm1::Mni_SaveImageClick() {
    if (!dialogs_->save_file(dlgImage))
        return;
    chart_->replot_for_picture(); // the chart may be on the page not shown
    const bool saved = save_chart_image(*ui_->cht1, dlgImage.file_name);
    dialogs_->plain(v_.text(saved ? 23 : 24));
}

void TForm1::cht1MouseWheel(Qt::KeyboardModifiers /*Shift*/, int WheelDelta, QPoint /*MousePos*/,
                            bool& /*Handled*/) {
    if (!v_.wheel_ready)
        return; // a zoom step is still settling: this notch is dropped
    v_.wheel_ready = false;
    try {
        if (WheelDelta > 0)
            chart_->zoom(101);
        else if (WheelDelta < 0)
            chart_->zoom(99);
        wait_ms(100);
    } catch (...) {
        // The guard must be released whatever happened.
    }
    v_.wheel_ready = true;
}
