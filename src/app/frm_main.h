#pragma once

#include "app/all_v.h"
#include "app/key_filter.h"
#include "app/traffic_log.h"
#include "app/user_dialogs.h"
#include "link/port_enumeration.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class MeasurementTable;
class TrendChartView;
class QTimer;
class QUdpSocket;

namespace Ui {
class TForm1;
}

// What the main window takes from its surroundings. The defaults are the real ones; tests
// substitute their own directory, ports, boxes and exit.
struct FormEnvironment {
    QString exe_dir; // where "debug.txt" is looked for
    PortEnumerator ports = list_serial_devices;
    UserDialogs* dialogs = nullptr;        // null: real message boxes and dialogs
    std::function<void(int)> exit_process; // null: std::exit
};

// The main window. Its elements are built from frm_main.ui and carry their control names as
// object names; the handlers carry the names of the events they serve.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    TForm1(ALL_V& v, FormEnvironment env, QWidget* parent = nullptr);
    ~TForm1() override;

    MeasurementTable& table() { return *table_; }
    UserDialogs& dialogs() { return *dialogs_; }
    // The debug window's log, attached once that window exists (it is created after this one).
    void set_traffic_log(TrafficLog* log) { traffic_log_ = log; }
    TrafficLog* traffic_log() const { return traffic_log_; }

    // Non-visual components of the window.
    FileDialogSpec dlgOpen1;
    FileDialogSpec dlgSave1;
    QUdpSocket* IdUDPServer1 = nullptr;
    QTimer* tmr_com_check = nullptr;

    void FormCreate();
    void FormClose();
    void Mni_ExitClick();

    // --- Trend chart, cursor read-out and wheel zoom (frm_main_chart.cpp) ---
    // Plots the last filled table row; called after each grid_add_row.
    void chart_add_last();
    // Plots the last run of a freshly loaded table; false when a value does not convert.
    bool chart_add_loaded();
    TrendChartView& chart() { return *chart_; }
    void cht1DblClick();
    void cht1MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void cht1MouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos,
                        bool& Handled);
    static std::int32_t rouclassic(double R);

private:
    void wire_chart();
    void cursor_follow(int X, int Y);
    void hide_cursor_labels();
    std::unique_ptr<TrendChartView> chart_;
    // --- end of trend chart ---

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void apply_design_fonts();
    void place_chart_overlays();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ALL_V& v_;
    FormEnvironment env_;
    std::unique_ptr<Ui::TForm1> ui_;
    MeasurementTable* table_ = nullptr;
    std::unique_ptr<UserDialogs> own_dialogs_;
    UserDialogs* dialogs_ = nullptr;
    DigitKeyFilter digit_filter_;
    TrafficLog* traffic_log_ = nullptr;
};
