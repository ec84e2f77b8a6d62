// The main window's side of the instrument link: the port controls, the network prompt and
// the boxes that tell how choosing a link went. The link itself is the session's.
#include "app/app_load.h"
#include "app/frm_main.h"
#include "app/wait.h"
#include "link/link_session.h"
#include "link/network_answer.h"
#include "protocol/rx_sink.h"
#include "ui_frm_main.h"

void TForm1::wire_link() {
    connect(ui_->cbb_port, &QComboBox::activated, this, [this] { cbb_portClick(); });
    connect(ui_->cbb1, &QComboBox::activated, this, [this] { cbb_portClick(); });
    connect(ui_->btn_closecom, &QPushButton::clicked, this, [this] { btn_closecomClick(); });
    connect(link_, &LinkSession::link_lost, this, &TForm1::link_lost);
}

void TForm1::btn_enable(bool is_en) {
    QWidget* const group[] = {
        ui_->btn_Check,    ui_->btn_QS,       ui_->btn_DCV,      ui_->btn_ACV,    ui_->btn_DCA,
        ui_->btn_ACA,      ui_->btn_RES,      ui_->btn_FRE,      ui_->btn_DCmA,   ui_->btn_ACmA,
        ui_->btn_TCK,      ui_->btn_TCJ,      ui_->btn_PT100,    ui_->btn_PT1000, ui_->btn_Read,
        ui_->btn_output,   ui_->edt_Read,     ui_->edt_output,   ui_->cbb_target, ui_->edt_Number,
        ui_->edt_Interval, ui_->edt_COM_line, ui_->btn_Send,     ui_->mmo_re,     ui_->btn_Log,
        ui_->btn_time,     ui_->btn_set_time, ui_->btn_closecom,
    };
    for (QWidget* w : group)
        w->setEnabled(is_en);
}

void TForm1::cbb_portClick() {
    // A speed picked before any port has been chosen has nothing to act on.
    if (ui_->cbb_port->currentText().isEmpty())
        return;
    end_read_back();
    ui_->cbb_port->setEnabled(false);
    ui_->cbb1->setEnabled(false);
    btn_enable(false);
    v_.goon_active = false;
    v_.rx_pos = 0;
    v_.rx_len = 0;

    // The link in use closes first, even when the same entry is chosen again.
    link_->close();
    if (ui_->cbb_port->currentIndex() == ui_->cbb_port->count() - 1)
        open_network_link();
    else
        open_serial_link();

    ui_->cbb_port->setEnabled(true);
    if (v_.port_no > 0)
        ui_->cbb1->setEnabled(true);
}

void TForm1::open_network_link() {
    QString answer;
    if (!dialogs_->input(v_.text(131), v_.text(132), answer))
        return; // no link is chosen: the earlier one is closed
    const NetworkAnswer a = parse_network_answer(answer);
    v_.remote_ip = a.ip;
    if (a.port_read)
        v_.remote_port = a.port;
    if (!a.ok()) {
        dialogs_->warning(v_.text(133) + a.trimmed + v_.text(134));
        return;
    }
    // Datagrams are matched by their sender's address text, which is always dotted-quad.
    v_.remote_ip = a.canonical_ip;
    if (!link_->open_network()) {
        dialogs_->error(v_.text(135).arg(v_.remote_port & 0xFFFF));
        return;
    }
    btn_enable(true);
}

void TForm1::open_serial_link() {
    const int number = port_number_of(v_, ui_->cbb_port->currentText());
    if (number > 0) {
        // Give a device that was just closed (the same one, at another speed) time to settle.
        // The port controls are disabled meanwhile, so the choice cannot start twice.
        wait_ms(500);
        if (closing_)
            return;
        if (link_->open_serial(number, ui_->cbb1->currentIndex()) ==
            LinkSession::SerialOpen::Opened) {
            btn_enable(true);
            return;
        }
        dialogs_->plain(QStringLiteral("SysErrorMessage:") + link_->open_error_text());
    }
    dialogs_->warning(v_.text(18));
}

bool TForm1::udp_listen(const QString& ip, std::int32_t& port) {
    Q_UNUSED(ip); // the listener takes datagrams on all local addresses
    return link_->listen(port);
}

void TForm1::btn_closecomClick() {
    end_read_back();
    link_->close();
    btn_enable(false);
}

void TForm1::link_lost(std::int32_t, const QString& device) {
    end_read_back();
    btn_enable(false);
    ui_->cbb_port->setEnabled(true);
    const QString message = v_.text(136).arg(device);
    rx_sink_->show_replies({message});
    dialogs_->warning(message);
}

ComIo& TForm1::com_io() {
    return link_->com_io();
}

PComm& TForm1::pcomm() {
    return link_->pcomm();
}

bool TForm1::com_receive(std::int32_t port) {
    return link_->receive(port);
}

void TForm1::tmr_com_checkTimer() {
    link_->receive_step();
}

void TForm1::IdUDPServer1UDPRead(const QByteArray& AData, const QString& peer_ip) {
    link_->datagram(AData, peer_ip);
}
