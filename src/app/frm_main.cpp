#include "app/frm_main.h"

#include "app/app_load.h"
#include "i18n/lan_apply.h"
#include "i18n/lan_tables.h"
#include "link/link_session.h"
#include "presentation/chart_setup.h"
#include "presentation/measurement_table.h"
#include "presentation/trend_chart_view.h"
#include "presentation/window_place.h"
#include "protocol/rx_sink.h"
#include "ui_frm_main.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QShowEvent>
#include <QTabBar>
#include <QTimer>
#include <QUdpSocket>

#include <cstdlib>

TForm1::TForm1(ALL_V& v, FormEnvironment env, QWidget* parent)
    : QMainWindow(parent), v_(v), env_(std::move(env)), ui_(std::make_unique<Ui::TForm1>()) {
    ui_->setupUi(this);
    apply_design_fonts();

    if (env_.dialogs) {
        dialogs_ = env_.dialogs;
    } else {
        own_dialogs_ = std::make_unique<QtUserDialogs>(this);
        dialogs_ = own_dialogs_.get();
    }

    dlgOpen1.filters = {QStringLiteral("txt File (*.txt)")};
    dlgSave1.filters = {QStringLiteral("Excel File (*.xls)"), QStringLiteral("txt File (*.txt)"),
                        QStringLiteral("CSV File (*.csv)"),
                        QStringLiteral("Excel Workbook (*.xlsx)")};
    dlgSave1.selected_filter = 1;
    dlgSave1.default_suffix = QStringLiteral("txt");
    dlgSave1.confirm_overwrite = true;

    link_ = new LinkSession(
        v_, v_, [this] { return traffic_log(); }, this);
    IdUDPServer1 = link_->listener();

    table_ = new MeasurementTable(this);
    table_->setObjectName(QStringLiteral("strngrd1_model"));
    QTableView* grid = ui_->strngrd1;
    grid->setModel(table_);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(table_, &MeasurementTable::current_row_changed, grid, [grid, this](int row) {
        const QModelIndex at = table_->index(row - 1, 0);
        grid->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
        grid->scrollTo(at);
    });

    setup_trend_chart(*ui_->cht1);
    ui_->cht1->installEventFilter(this);
    // The right axis moves with the width of its tick labels; its title follows it.
    ui_->lbl_title_02->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(ui_->cht1, &QCustomPlot::afterReplot, this, &TForm1::place_chart_overlays);
    QPalette line = ui_->shp1->palette();
    line.setColor(QPalette::Window, Qt::black);
    ui_->shp1->setPalette(line);
    wire_chart();
    wire_protocol();

    // Only the tab captions use the larger font; the pages keep the window's.
    QTabBar* tabs = ui_->pgc_main->tabBar();
    QFont caption = tabs->font();
    caption.setPixelSize(13);
    tabs->setFont(caption);
    tabs->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : {static_cast<QWidget*>(ui_->cbb_port), static_cast<QWidget*>(ui_->edt_Number),
                       static_cast<QWidget*>(ui_->edt_Interval)})
        w->installEventFilter(&digit_filter_);

    connect(ui_->Mni_Exit, &QAction::triggered, this, &TForm1::Mni_ExitClick);
    wire_i18n();
    wire_link();
    wire_files();

    FormCreate();

    // The client area opens at its minimum, centred on the screen.
    resize(minimumSizeHint().expandedTo(QSize(892, 646 + menuBar()->sizeHint().height())));
    setMinimumSize(size());
}

TForm1::~TForm1() {
    // No receive step may reach the widgets that go before the session does.
    link_->shut_down();
}

void TForm1::FormCreate() {
    const QStringList items = app_load(v_, env_.ports ? env_.ports() : QStringList(), *table_);
    ui_->cbb_port->clear();
    ui_->cbb_port->addItems(items);
    ui_->cbb_port->setCurrentIndex(-1);
    for (int c = 0; c < MeasurementTable::kColumns; ++c)
        ui_->strngrd1->setColumnWidth(c, table_->column_width(c));

    lan_build(v_);
    lan_show_names(v_, *this);
    lan_apply(1000);
    v_.lan_index = 1000;
    v_.recall_state.clear();

    const QString debug_file = QDir(env_.exe_dir).filePath(QStringLiteral("debug.txt"));
    v_.debug_on = QFileInfo::exists(debug_file);
    ui_->mni_debug->setChecked(v_.debug_on);
    ui_->mni_debug->setVisible(v_.debug_on);
}

void TForm1::FormClose() {
    // From here on no receive step runs: the read thread ends first (a step it is waiting
    // for is given up), then the ports close under it.
    closing_ = true;
    link_->shut_down();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm1::Mni_ExitClick() {
    if (env_.exit_process)
        env_.exit_process(0);
    else
        std::exit(0);
}

// The .ui carries fonts as pixel sizes (the form's design is in pixels) in dynamic
// properties, which Designer's font property cannot express.
void TForm1::apply_design_fonts() {
    QList<QWidget*> widgets = findChildren<QWidget*>();
    widgets.prepend(this);
    for (QWidget* w : widgets) {
        const QVariant px = w->property("fontPixelSize");
        const QVariant family = w->property("fontFamily");
        const QVariant bold = w->property("fontBold");
        if (!px.isValid() && !family.isValid() && !bold.isValid())
            continue;
        QFont f = w->font();
        if (family.isValid())
            f.setFamilies({family.toString(), QStringLiteral("Noto Sans CJK SC"),
                           QStringLiteral("DejaVu Sans")});
        if (px.isValid())
            f.setPixelSize(px.toInt());
        if (bold.isValid())
            f.setBold(bold.toBool());
        w->setFont(f);
    }
}

// The window opens centred on its screen; afterwards it stays where the user puts it.
void TForm1::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        centre_on_screen(*this);
    }
    QMainWindow::showEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->cht1 && event->type() == QEvent::Resize)
        place_chart_overlays();
    return QMainWindow::eventFilter(watched, event);
}

// The right title stands by the right axis, its text ending there as the left title's starts
// by the left one; the cursor line spans the plot's height.
void TForm1::place_chart_overlays() {
    QCustomPlot* chart = ui_->cht1;
    QLabel* right = ui_->lbl_title_02;
    const int axis = chart->axisRect() ? chart->axisRect()->right() : chart->width() - 50;
    right->move(std::max(0, axis - right->width()), right->y());
    ui_->shp1->resize(1, std::max(0, chart->height() - 2 * ui_->shp1->y()));
    place_second_line();
}
