// The operator's commands to the instrument, the identification (Check), Quick Start, and the
// window side of the response interpreter: reply memo, table and chart, traffic log.
#include "app/frm_main.h"

#include "app/wait.h"
#include "link/com_io.h"
#include "link/com_receive.h"
#include "link/link_session.h"
#include "presentation/measurement_table.h"
#include "presentation/reply_memo.h"
#include "presentation/trend_chart_view.h"
#include "protocol/commands.h"
#include "protocol/interpret_rx.h"
#include "protocol/recall_step.h"
#include "protocol/rx_sink.h"
#include "ui_frm_main.h"

#include <QTimer>

namespace {

// What the interpreter shows goes into this window's widgets, on the window thread (every
// pass runs there).
class FormRxSink : public RxSink {
public:
    FormRxSink(TForm1& form, QPlainTextEdit& memo)
        : form_(form), table_(form.table()), chart_(form.chart()), memo_(memo, kReplyMemoLines) {}

    // Shown with the next frame, like the table's rows and the chart's points.
    void show_replies(const QStringList& lines) override { memo_.append(lines); }

    void add_reading(const RecordView& r) override {
        table_.grid_add_row(r);
        chart_.chart_add_last(r);
    }

    void log_traffic(const QString& entry) override {
        if (TrafficLog* log = form_.traffic_log())
            log->append(entry);
    }

private:
    TForm1& form_;
    MeasurementTable& table_;
    TrendChartView& chart_;
    ReplyMemo memo_;
};

} // namespace

void TForm1::wire_protocol() {
    rx_sink_ = std::make_unique<FormRxSink>(*this, *ui_->mmo_re);
    // Received bytes go from the session's receive step straight to the interpreter and on
    // to the table, the chart and the memo, without passing through this window.
    link_->set_interpreter([&v = v_, sink = rx_sink_.get()] { ::interpret_rx(v, *sink); });

    // A read-back whose bytes stopped coming ends with what arrived, so that reception goes
    // on; between receive steps, on the window thread like them.
    auto* recall_watch = new QTimer(this);
    recall_watch->setObjectName(QStringLiteral("recall_watch"));
    recall_watch->setInterval(250);
    connect(recall_watch, &QTimer::timeout, this, [this] {
        if (recall_stalled(v_, steady_ms()))
            end_read_back();
    });
    recall_watch->start();

    const std::pair<QPushButton*, void (TForm1::*)()> clicks[] = {
        {ui_->btn_DCV, &TForm1::btn_DCVClick},     {ui_->btn_ACV, &TForm1::btn_ACVClick},
        {ui_->btn_DCA, &TForm1::btn_DCAClick},     {ui_->btn_ACA, &TForm1::btn_ACAClick},
        {ui_->btn_DCmA, &TForm1::btn_DCmAClick},   {ui_->btn_ACmA, &TForm1::btn_ACmAClick},
        {ui_->btn_RES, &TForm1::btn_RESClick},     {ui_->btn_FRE, &TForm1::btn_FREClick},
        {ui_->btn_TCK, &TForm1::btn_TCKClick},     {ui_->btn_TCJ, &TForm1::btn_TCJClick},
        {ui_->btn_PT100, &TForm1::btn_PT100Click}, {ui_->btn_PT1000, &TForm1::btn_PT1000Click},
        {ui_->btn_Read, &TForm1::btn_ReadClick},   {ui_->btn_output, &TForm1::btn_outputClick},
        {ui_->btn_time, &TForm1::btn_timeClick},   {ui_->btn_set_time, &TForm1::btn_set_timeClick},
        {ui_->btn_Log, &TForm1::btn_LogClick},     {ui_->btn_Send, &TForm1::btn_SendClick},
        {ui_->btn_Check, &TForm1::btn_CheckClick}, {ui_->btn_QS, &TForm1::btn_QSClick},
    };
    for (auto [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this, handler);
}

void TForm1::interpret_rx() {
    ::interpret_rx(v_, *rx_sink_);
}

void TForm1::end_read_back() {
    recall_end(v_, *rx_sink_);
}

void TForm1::send_command(const QString& text) {
    v_.send_str = text;
    com_io().com_write(v_.port_no, v_.send_str);
}

void TForm1::send_fixed(const char* control) {
    send_command(fixed_command(QString::fromLatin1(control)));
}

void TForm1::btn_DCVClick() {
    send_fixed("btn_DCV");
}
void TForm1::btn_ACVClick() {
    send_fixed("btn_ACV");
}
void TForm1::btn_DCAClick() {
    send_fixed("btn_DCA");
}
void TForm1::btn_ACAClick() {
    send_fixed("btn_ACA");
}
void TForm1::btn_DCmAClick() {
    send_fixed("btn_DCmA");
}
void TForm1::btn_ACmAClick() {
    send_fixed("btn_ACmA");
}
void TForm1::btn_RESClick() {
    send_fixed("btn_RES");
}
void TForm1::btn_FREClick() {
    send_fixed("btn_FRE");
}
void TForm1::btn_TCKClick() {
    send_fixed("btn_TCK");
}
void TForm1::btn_TCJClick() {
    send_fixed("btn_TCJ");
}
void TForm1::btn_PT100Click() {
    send_fixed("btn_PT100");
}
void TForm1::btn_PT1000Click() {
    send_fixed("btn_PT1000");
}
void TForm1::btn_timeClick() {
    send_fixed("btn_time");
}

void TForm1::btn_ReadClick() {
    const QString text = read_command(ui_->edt_Read->text());
    if (command_fits(text))
        send_command(text);
}

void TForm1::btn_outputClick() {
    const QString text = output_command(ui_->edt_output->text());
    if (command_fits(text))
        send_command(text);
}

void TForm1::btn_set_timeClick() {
    send_command(set_time_command(QDateTime::currentDateTime()));
}

void TForm1::btn_LogClick() {
    const std::optional<QString> text = log_command(
        ui_->cbb_target->currentIndex(), ui_->edt_Number->text(), ui_->edt_Interval->text());
    if (!text) {
        v_.send_str.clear();
        return;
    }
    if (command_fits(*text))
        send_command(*text);
}

void TForm1::btn_SendClick() {
    // An empty line, or one too long to go out whole, sends nothing.
    if (const std::optional<QString> text = line_command(ui_->edt_COM_line->text()))
        send_command(*text);
}

// Check: identify the instrument. The waits run the event loop, so the user can close the
// port, choose another link or close the window meanwhile: after every wait the sequence ends
// when the link it started on is no longer the one in use. A second Check or Quick Start while
// one runs is ignored.
bool TForm1::identify() {
    end_read_back(); // a dump still being read would take every reply as values
    if (v_.debug_on)
        show_debug_window();
    v_.check_hold = true;
    for (QLineEdit* field : {ui_->edt_Manu_F, ui_->edt_Model, ui_->edt_SN, ui_->edt_Remark})
        field->clear();
    v_.reply_lines.clear();
    const std::int32_t port = v_.port_no;
    if (port == kNoLink)
        return false;
    const auto link_gone = [this, port] { return closing_ || v_.port_no != port; };

    bool got = com_receive(port);
    for (int reads = 1; got && reads < 6; ++reads) {
        wait_ms(200);
        if (link_gone())
            return false;
        got = com_receive(port);
    }
    v_.rx_len = 0;
    v_.rx_pos = 0;
    v_.reply_lines.clear();

    send_fixed("btn_Check");
    wait_ms(1500);
    if (link_gone())
        return false;
    if (com_receive(port)) {
        v_.reply_lines.clear();
        interpret_rx();
    }
    if (v_.reply_lines.isEmpty())
        return true;
    const std::array<QString, 4> fields = parse_identification(v_.reply_lines.constFirst());
    ui_->edt_Manu_F->setText(fields[0]);
    ui_->edt_Model->setText(fields[1]);
    ui_->edt_SN->setText(fields[2]);
    ui_->edt_Remark->setText(fields[3]);
    v_.reply_lines.removeFirst();
    return true;
}

void TForm1::btn_CheckClick() {
    if (identifying_)
        return;
    identifying_ = true;
    identify();
    identifying_ = false;
}

void TForm1::btn_QSClick() {
    if (identifying_)
        return;
    identifying_ = true;
    const bool go_on = identify();
    identifying_ = false;
    if (!go_on || v_.port_no == kNoLink)
        return;
    v_.reply_lines.clear();
    v_.rx_len = 0;
    v_.rx_pos = 0;
    if (com_receive(v_.port_no))
        interpret_rx();
    v_.check_hold = false;
    send_command(QString::fromLatin1(kReadGoonCommand));
    v_.goon_active = true;
    v_.start_time = QDateTime::currentDateTime();
}
