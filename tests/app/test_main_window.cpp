#include "app/frm_main.h"
#include "presentation/measurement_table.h"
#include "support/form_fixture.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUdpSocket>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const kConnectionGroup[] = {
    "btn_Check",  "btn_QS",     "btn_DCV",      "btn_ACV",      "btn_DCA",  "btn_ACA",
    "btn_RES",    "btn_FRE",    "btn_DCmA",     "btn_ACmA",     "btn_TCK",  "btn_TCJ",
    "btn_PT100",  "btn_PT1000", "btn_Read",     "btn_output",   "edt_Read", "edt_output",
    "cbb_target", "edt_Number", "edt_Interval", "edt_COM_line", "btn_Send", "mmo_re",
    "btn_Log",    "btn_time",   "btn_set_time", "btn_closecom"};

class MainWindow : public ::testing::Test, protected FormFixture {
protected:
    void start(bool with_debug_file) {
        FormSetup setup;
        setup.ports = [] { return QStringList{"/dev/ttyS0", "/dev/ttyUSB0"}; };
        if (with_debug_file)
            ASSERT_NO_FATAL_FAILURE(open_form(setup, {"debug.txt"}));
        else
            ASSERT_NO_FATAL_FAILURE(open_form(setup));
    }
};

TEST_F(MainWindow, EveryElementExistsUnderItsNameAndKind) {
    start(false);
    const std::pair<const char*, const char*> elements[] = {
        {"pnl_conf", "QWidget"},        {"pnl_main", "QWidget"},       {"pnl_info", "QWidget"},
        {"pnl_SR", "QWidget"},          {"pgc_main", "QTabWidget"},    {"ts_chart", "QWidget"},
        {"ts_grid", "QWidget"},         {"cht1", "QCustomPlot"},       {"strngrd1", "QTableView"},
        {"mmo_re", "QPlainTextEdit"},   {"cbb_port", "QComboBox"},     {"cbb1", "QComboBox"},
        {"cbb_target", "QComboBox"},    {"edt_COM_line", "QLineEdit"}, {"btn_Send", "QPushButton"},
        {"lbl_title_01", "QLabel"},     {"lbl_title_02", "QLabel"},    {"lbl_chn1", "QLabel"},
        {"lbl_chn2", "QLabel"},         {"lbl_time", "QLabel"},        {"shp1", "QFrame"},
        {"IdUDPServer1", "QUdpSocket"}, {"mm_Main", "QMenuBar"},
    };
    for (auto [name, kind] : elements) {
        QObject* o = form->findChild<QObject*>(QString::fromLatin1(name));
        ASSERT_NE(o, nullptr) << name;
        EXPECT_TRUE(o->inherits(kind)) << name << " is " << o->metaObject()->className();
    }
    for (const char* frame : {"shp_setting", "shp_001", "shp_002", "shp_003", "shp_004", "shp_005",
                              "shp_006", "shp_007", "shp_008", "shp_009", "shp_010"})
        EXPECT_NE(form->findChild<QFrame*>(QString::fromLatin1(frame)), nullptr) << frame;
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Telvane SCPI"));
}

TEST_F(MainWindow, ConnectionGroupStartsDisabledAndTheRestWorks) {
    start(false);
    for (const char* name : kConnectionGroup)
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    for (const char* name : {"cbb_port", "cbb1", "edt_Manu_F", "edt_Model", "edt_SN", "edt_Remark",
                             "pgc_main", "cht1", "strngrd1", "mm_Main"})
        EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
    for (const char* name : {"edt_Manu_F", "edt_Model", "edt_SN", "edt_Remark"}) {
        EXPECT_TRUE(find<QLineEdit>(name)->isReadOnly()) << name;
        EXPECT_FALSE(find<QWidget>(name)->focusPolicy() & Qt::TabFocus) << name;
    }
}

TEST_F(MainWindow, ListsAndFieldsHoldTheirInitialItems) {
    start(false);
    auto* port = find<QComboBox>("cbb_port");
    ASSERT_EQ(port->count(), 3);
    EXPECT_EQ(port->itemText(0), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(port->itemText(2), QStringLiteral("Network"));
    EXPECT_EQ(port->currentIndex(), -1);
    EXPECT_EQ(port->currentText(), QString());
    EXPECT_FALSE(port->isEditable());

    auto* speed = find<QComboBox>("cbb1");
    QStringList speeds;
    for (int i = 0; i < speed->count(); ++i)
        speeds << speed->itemText(i);
    EXPECT_EQ(speeds, QStringList({"1200", "1800", "2400", "4800", "7200", "9600", "19200", "38400",
                                   "56000", "57600", "115200"}));
    EXPECT_EQ(speed->currentText(), QStringLiteral("9600"));

    auto* target = find<QComboBox>("cbb_target");
    EXPECT_TRUE(target->isEditable());
    EXPECT_EQ(target->count(), 3);
    EXPECT_EQ(target->currentText(), QStringLiteral("Internal"));
    EXPECT_EQ(find<QLineEdit>("edt_Number")->text(), QStringLiteral("1"));
    EXPECT_EQ(find<QLineEdit>("edt_Interval")->text(), QStringLiteral("1"));

    const std::pair<const char*, const char*> fixed[] = {
        {"btn_DCV", "DCV"},         {"btn_RES", "Resistance"},    {"btn_FRE", "Frequency"},
        {"btn_PT100", "PT100 385"}, {"btn_PT1000", "PT1000 385"}, {"btn_set_time", "SET TIME"},
        {"btn_time", "TIME ?"}};
    for (auto [name, text] : fixed)
        EXPECT_EQ(find<QPushButton>(name)->text(), QString::fromLatin1(text));
}

TEST_F(MainWindow, MenuHasItsLanguageGroupAndHiddenItems) {
    start(false);
    for (int i = 1; i <= 9; ++i) {
        auto* item = find<QAction>(qPrintable(QStringLiteral("lan_0%1").arg(i)));
        EXPECT_TRUE(item->isCheckable());
        EXPECT_EQ(item->isChecked(), i == 1);
        ASSERT_NE(item->actionGroup(), nullptr);
        EXPECT_TRUE(item->actionGroup()->isExclusive());
    }
    // Checking one language item unchecks the other.
    find<QAction>("lan_03")->setChecked(true);
    EXPECT_FALSE(find<QAction>("lan_01")->isChecked());
    EXPECT_FALSE(find<QAction>("Mni_Spr")->isVisible());
    EXPECT_EQ(find<QMenu>("Mni_lan")->title(), QStringLiteral("language"));
    EXPECT_EQ(find<QMenu>("Mni_File")->title(), QStringLiteral("File(&F)"));
    EXPECT_TRUE(find<QAction>("mni_debug")->isCheckable());
}

TEST_F(MainWindow, DebugFileDecidesTheDebugItemAndTheLog) {
    for (bool present : {false, true}) {
        SCOPED_TRACE(present);
        dir.remove();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        v = ALL_V();
        start(present);
        EXPECT_EQ(v.debug_on, present);
        EXPECT_EQ(find<QAction>("mni_debug")->isVisible(), present);
        EXPECT_EQ(find<QAction>("mni_debug")->isChecked(), present);
        form.reset();
        QFile::remove(dir.filePath("debug.txt"));
    }
}

TEST_F(MainWindow, StartUpLeavesTheSharedStateReady) {
    start(false);
    EXPECT_EQ(v.lan_index, 1000);
    EXPECT_EQ(v.samp_ratio, 5);
    EXPECT_TRUE(v.recall_state.isEmpty());
    EXPECT_TRUE(v.reply_lines.isEmpty());
    EXPECT_EQ(v.port_no, 0);
    EXPECT_FALSE(v.dec_sep.isEmpty());
    EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
}

TEST_F(MainWindow, FileDialogsCarryTheirFilters) {
    start(false);
    EXPECT_EQ(form->dlgOpen1.filters, QStringList({"txt File (*.txt)"}));
    EXPECT_EQ(form->dlgSave1.filters, QStringList({"Excel File (*.xls)", "txt File (*.txt)",
                                                   "CSV File (*.csv)", "Excel Workbook (*.xlsx)"}));
    EXPECT_EQ(form->dlgSave1.selected_filter, 1);
    EXPECT_EQ(form->dlgSave1.default_suffix, QStringLiteral("txt"));
    EXPECT_TRUE(form->dlgSave1.confirm_overwrite);
}

TEST_F(MainWindow, ChartSeriesAreConfigured) {
    start(false);
    auto* chart = find<QCustomPlot>("cht1");
    auto* s1 = find<QCPGraph>("Series1");
    auto* s2 = find<QCPGraph>("Series2");
    EXPECT_EQ(s1->pen().color(), QColor(Qt::red));
    EXPECT_EQ(s2->pen().color(), QColor(Qt::green));
    EXPECT_EQ(s1->valueAxis(), chart->yAxis);
    EXPECT_EQ(s2->valueAxis(), chart->yAxis2);
    EXPECT_TRUE(s1->visible());
    EXPECT_FALSE(s2->visible());
    EXPECT_TRUE(s1->adaptiveSampling());
    EXPECT_EQ(s1->scatterStyle().shape(), QCPScatterStyle::ssNone);
    EXPECT_FALSE(chart->legend->visible());
    EXPECT_EQ(find<QLabel>("lbl_title_01")->text(), QString());
    EXPECT_TRUE(find<QLabel>("lbl_title_01")->isVisibleTo(form.get()));
    EXPECT_EQ(find<QLabel>("lbl_title_02")->text(), QStringLiteral("lbl_title_01"));
    for (const char* hidden : {"lbl_title_02", "lbl_chn1", "lbl_chn2", "lbl_time", "shp1"})
        EXPECT_FALSE(find<QWidget>(hidden)->isVisibleTo(form.get())) << hidden;
    for (const char* name : {"lbl_chn1", "lbl_chn2", "lbl_time"}) {
        EXPECT_EQ(find<QLabel>(name)->text(), QStringLiteral("--"));
        EXPECT_TRUE(find<QLabel>(name)->font().bold()) << name;
    }
}

TEST_F(MainWindow, GridShowsHeaderAndOneEmptyRow) {
    start(false);
    auto* grid = find<QTableView>("strngrd1");
    ASSERT_EQ(grid->model()->columnCount(), 8);
    EXPECT_EQ(grid->model()->rowCount(), 1); // data row 1, empty
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Index"));
    EXPECT_EQ(grid->model()->headerData(7, Qt::Horizontal).toString(),
              QStringLiteral("T_Function"));
    const int widths[] = {60, 120, 80, 80, 80, 80, 80, 80};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(grid->columnWidth(c), widths[c]) << c;
    EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), 18);
    EXPECT_EQ(grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(MainWindow, DockingHoldsWhenTheWindowGrows) {
    start(false);
    form->show();
    QApplication::processEvents();
    auto* central = form->centralWidget();
    EXPECT_EQ(central->size(), QSize(892, 646));
    EXPECT_EQ(find<QWidget>("pnl_conf")->width(), 200);
    EXPECT_EQ(find<QWidget>("pnl_main")->width(), 692);
    EXPECT_EQ(find<QWidget>("pnl_info")->height(), 65);
    EXPECT_EQ(find<QWidget>("pnl_SR")->height(), 112);
    const int page_height = find<QWidget>("pgc_main")->height();
    EXPECT_EQ(page_height, 646 - 65 - 112);

    form->resize(form->width() + 300, form->height() + 200);
    QApplication::processEvents();
    EXPECT_EQ(find<QWidget>("pnl_conf")->width(), 200);
    EXPECT_EQ(find<QWidget>("pnl_main")->width(), 992);
    EXPECT_EQ(find<QWidget>("pgc_main")->height(), page_height + 200);
    EXPECT_EQ(find<QWidget>("pnl_info")->height(), 65);

    form->resize(400, 300);
    QApplication::processEvents();
    EXPECT_GE(central->width(), 892);
    EXPECT_GE(central->height(), 646);
}

TEST_F(MainWindow, TabKeyVisitsControlsInOrder) {
    start(false);
    const QStringList order = {
        "cbb_port",     "cbb1",       "btn_closecom", "btn_Check",    "btn_DCV",      "btn_ACV",
        "btn_DCA",      "btn_ACA",    "btn_RES",      "btn_FRE",      "btn_DCmA",     "btn_ACmA",
        "btn_TCK",      "btn_PT100",  "btn_TCJ",      "btn_PT1000",   "edt_Read",     "btn_Read",
        "edt_output",   "btn_output", "cbb_target",   "edt_Number",   "edt_Interval", "btn_Log",
        "btn_set_time", "btn_time",   "btn_QS",       "edt_COM_line", "btn_Send",     "mmo_re"};
    QStringList seen;
    QWidget* start_at = find<QWidget>("cbb_port");
    QWidget* w = start_at;
    do {
        if (order.contains(w->objectName()) && !seen.contains(w->objectName()))
            seen << w->objectName();
        w = w->nextInFocusChain();
    } while (w != start_at);
    EXPECT_EQ(seen, order);
}

TEST_F(MainWindow, ExitEndsAtOnceWithoutTheCloseHandler) {
    start(false);
    ASSERT_TRUE(form->IdUDPServer1->bind(QHostAddress::LocalHost, 0));
    v.port_no = kNetworkLink;
    find<QAction>("Mni_Exit")->trigger();
    EXPECT_EQ(exit_codes, std::vector<int>({0}));
    EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::BoundState);
}

TEST_F(MainWindow, ClosingStopsTheNetworkListener) {
    start(false);
    ASSERT_TRUE(form->IdUDPServer1->bind(QHostAddress::LocalHost, 0));
    v.port_no = kNetworkLink;
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
}

} // namespace
