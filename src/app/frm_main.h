#pragma once

#include "app/key_filter.h"
#include "app/user_dialogs.h"
#include "link/port_enumeration.h"
#include "state/all_v.h"
#include "state/traffic_log.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class MeasurementTable;
class SpreadsheetPlatform;
class TrendChartView;
class RxSink;
class QTimer;
class QUdpSocket;
class TForm2;
class TForm3;
class TForm5;
class ComIo;
class LinkSession;
class PComm;

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
    // Opens a document with the desktop's viewer for its type. null: QDesktopServices.
    std::function<void(const QString& path)> open_document;
};

// The main window. Its elements are built from frm_main.ui and carry their control names as
// object names; the handlers carry the names of the events they serve.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    TForm1(ALL_V& v, FormEnvironment env, QWidget* parent = nullptr);
    ~TForm1() override;

    MeasurementTable& table() { return *table_; }
    TrendChartView& chart() { return *chart_; }
    LinkSession& link() { return *link_; }
    ComIo& com_io();
    PComm& pcomm();
    UserDialogs& dialogs() { return *dialogs_; }
    // The debug window's log, attached once that window exists (it is created after this one).
    void set_traffic_log(TrafficLog* log) { traffic_log_ = log; }
    TrafficLog* traffic_log() const { return traffic_log_; }
    // The three other windows are created after this one and attached here; until then their
    // menu items do nothing.
    void attach_windows(TForm2* debug, TForm5* about, TForm3* sampling);

    // Non-visual components of the window.
    FileDialogSpec dlgOpen1;
    FileDialogSpec dlgSave1;
    FileDialogSpec dlgImage;            // File > Save chart image
    QUdpSocket* IdUDPServer1 = nullptr; // the link session's network listener
    // The spreadsheet application of the export; null: the one built into the program.
    SpreadsheetPlatform* spreadsheet_platform = nullptr;
    // How long file work runs before its progress dialog shows.
    int file_progress_delay_ms = 500;

    void FormCreate();
    void FormClose();
    void Mni_ExitClick();

    // Languages, about, help and debug windows (frm_main_i18n.cpp).
    // Shows the debug window without waiting for it; the identification operation does so
    // while debug_on is true.
    void show_debug_window();
    void lan_apply(int index);
    void lan_01Click();
    void lan_02Click();
    void lan_03Click();
    void lan_04Click();
    void lan_05Click();
    void lan_06Click();
    void lan_07Click();
    void lan_08Click();
    void lan_09Click();
    void Mni_AboutClick();
    void mni_HMunClick();
    void mni_debugClick();
    void Mni_SprClick();

    // Instrument link: port selection and the network prompt (frm_main_link.cpp). The link,
    // its reader and its receive steps are the session's; these handlers forward to it.
    void cbb_portClick();
    void btn_closecomClick();
    void btn_enable(bool is_en);
    bool udp_listen(const QString& ip, std::int32_t& port);
    void tmr_com_checkTimer();
    void IdUDPServer1UDPRead(const QByteArray& AData, const QString& peer_ip);
    bool com_receive(std::int32_t port);

    // Data files: the text data file, the spreadsheet exports and the .csv file
    // (frm_main_files.cpp).
    void Mni_OpenClick();
    void Mni_SaveClick();
    bool save_text_file(const QString& file_name);
    bool load_text_file(const QString& file_name);
    bool export_xls(const QString& file_name);
    bool export_xlsx(const QString& file_name);
    bool save_csv_file(const QString& file_name);
    bool file_operation_running() const { return file_busy_; }

    // Instrument protocol: command set, identification, Quick Start (frm_main_protocol.cpp).
    void btn_DCVClick();
    void btn_ACVClick();
    void btn_DCAClick();
    void btn_ACAClick();
    void btn_DCmAClick();
    void btn_ACmAClick();
    void btn_RESClick();
    void btn_FREClick();
    void btn_TCKClick();
    void btn_TCJClick();
    void btn_PT100Click();
    void btn_PT1000Click();
    void btn_ReadClick();
    void btn_outputClick();
    void btn_timeClick();
    void btn_set_timeClick();
    void btn_LogClick();
    void btn_SendClick();
    void btn_CheckClick();
    void btn_QSClick();
    // One pass of the response interpreter over the pending bytes, shown in this window.
    void interpret_rx();
    // Ends a read-back of recorded data in progress, showing the records that arrived.
    void end_read_back();
    bool identification_running() const { return identifying_; }

    // Trend chart, cursor read-out and wheel zoom (frm_main_chart.cpp).
    // Plots the last filled table row; called after each grid_add_row.
    void chart_add_last();
    // Plots the last run of a freshly loaded table; false when a value does not convert.
    bool chart_add_loaded();
    void cht1DblClick();
    void cht1MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    // With the read-out on, a right click or a click with Shift places the second line.
    void cht1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void cht1MouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos,
                        bool& Handled);
    static std::int32_t rouclassic(double R);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void apply_design_fonts();
    void place_chart_overlays();

    void wire_i18n();
    void lan_click(int n);

    void wire_link();
    void open_network_link();
    void open_serial_link();
    void link_lost(std::int32_t port, const QString& device);

    class FileOperation;
    void wire_files();

    void wire_protocol();
    void send_command(const QString& text);
    void send_fixed(const char* control);
    bool identify(); // Check's steps; false when Quick Start must not go on

    void wire_chart();
    void cursor_follow(int X, int Y);
    void hide_cursor_labels();
    void place_second_cursor(int X, int Y);
    void remove_second_cursor();
    void place_second_line();
    void show_cursor_difference(std::size_t point, bool below_mouse);
    void Mni_SaveImageClick();

    ALL_V& v_;
    FormEnvironment env_;
    std::unique_ptr<Ui::TForm1> ui_;
    MeasurementTable* table_ = nullptr;
    std::unique_ptr<TrendChartView> chart_;
    // The point the second cursor line stands on, in the run it was placed in.
    std::optional<std::size_t> second_point_;
    std::uint64_t second_run_ = 0;
    LinkSession* link_ = nullptr; // a child of this window
    std::unique_ptr<RxSink> rx_sink_;
    std::unique_ptr<UserDialogs> own_dialogs_;
    UserDialogs* dialogs_ = nullptr;
    DigitKeyFilter digit_filter_;
    TrafficLog* traffic_log_ = nullptr;
    TForm2* debug_window_ = nullptr;
    TForm5* about_window_ = nullptr;
    TForm3* sampling_dialog_ = nullptr;
    bool placed_ = false;      // centred on the screen at the first show
    bool closing_ = false;     // set when the window starts closing: no link is chosen after it
    bool identifying_ = false; // Check's steps are running
    bool file_busy_ = false;   // a file operation is running
};
