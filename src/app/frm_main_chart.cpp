// The main window's side of the trend chart: plotting calls, the cursor read-out that follows
// the mouse, and the wheel zoom.
#include "app/frm_main.h"

#include "app/wait.h"
#include "presentation/chart_math.h"
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
    for (QLabel* label :
         {ui_->lbl_title_01, ui_->lbl_title_02, ui_->lbl_chn1, ui_->lbl_chn2, ui_->lbl_time})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui_->shp1->setMouseTracking(true);
    ui_->shp1->installEventFilter(new DoubleClickRelay(ui_->shp1, [this] { cht1DblClick(); }));

    connect(chart, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent*) { cht1DblClick(); });
    connect(chart, &QCustomPlot::mouseMove, this, [this](QMouseEvent* e) {
        const QPoint at = e->position().toPoint();
        cht1MouseMove(e->modifiers(), at.x(), at.y());
    });
    connect(chart, &QCustomPlot::mouseWheel, this, [this](QWheelEvent* e) {
        bool handled = false;
        cht1MouseWheel(e->modifiers(), e->angleDelta().y(), e->position().toPoint(), handled);
    });
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
}

void TForm1::hide_cursor_labels() {
    ui_->lbl_chn1->hide();
    ui_->lbl_chn2->hide();
    ui_->lbl_time->hide();
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
