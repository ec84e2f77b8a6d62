// The main window's side of the instrument link: choosing and closing a link, the receive
// steps of both feeders and the network listener.
#include "app/app_load.h"
#include "app/frm_main.h"
#include "app/wait.h"
#include "link/com_io.h"
#include "link/com_receive.h"
#include "link/network_answer.h"
#include "link/pcomm.h"
#include "link/read_thread.h"
#include "link/receive_buffer.h"
#include "ui_frm_main.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>

namespace {

constexpr qint64 kListenerBuffer = 32768;

} // namespace

void TForm1::wire_link() {
    // The instrument is reached directly; a proxy set up for the desktop has no business on
    // this link (and looking one up costs a thread per bind).
    IdUDPServer1->setProxy(QNetworkProxy::NoProxy);
    pcomm_ = std::make_unique<PComm>(v_.port_table);
    com_io_ = std::make_unique<ComIo>(v_, *pcomm_, IdUDPServer1, [this] { return traffic_log(); });
    connect(ui_->cbb_port, &QComboBox::activated, this, [this] { cbb_portClick(); });
    connect(ui_->cbb1, &QComboBox::activated, this, [this] { cbb_portClick(); });
    connect(ui_->btn_closecom, &QPushButton::clicked, this, [this] { btn_closecomClick(); });
    connect(IdUDPServer1, &QUdpSocket::readyRead, this, [this] { udp_ready_read(); });
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

    // The link in use closes first, even when the same entry is chosen again. Its read thread
    // goes before the port, so that it never polls a port that is gone or a new one next to
    // the new thread.
    stop_read_thread();
    if (v_.port_no > 0) {
        com_io_->com_close(v_.port_no);
        if (v_.port_no < kPortCount)
            v_.com_state[v_.port_no].is_open = false;
    } else if (v_.port_no == kNetworkLink) {
        IdUDPServer1->close();
    }

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
        return; // the earlier link stays closed and port_no keeps its value
    const NetworkAnswer a = parse_network_answer(answer);
    v_.remote_ip = a.ip;
    if (a.port_read)
        v_.remote_port = a.port;
    if (!a.ok()) {
        dialogs_->warning(v_.text(133) + a.trimmed + v_.text(134));
        btn_enable(false);
        v_.port_no = kNoLink;
        return;
    }
    // Datagrams are matched by their sender's address text, which is always dotted-quad.
    v_.remote_ip = a.canonical_ip;
    udp_listen(v_.remote_ip, v_.remote_port);
    v_.port_no = kNetworkLink;
    btn_enable(true);
    v_.rx_pos = 0;
    v_.rx_len = 0;
    v_.udp_pos = 0;
    v_.udp_len = 0;
}

void TForm1::open_serial_link() {
    const int number = port_number_of(v_, ui_->cbb_port->currentText());
    bool opened = false;
    if (number > 0) {
        v_.port_no = number;
        // Give a device that was just closed (the same one, at another speed) time to settle.
        // The port controls are disabled meanwhile, so the choice cannot start twice.
        wait_ms(500);
        if (closing_) {
            v_.port_no = kNoLink;
            return;
        }
        opened = com_io_->com_open(v_.port_no, ui_->cbb1->currentIndex() + PComm::kFirstRateCode);
        if (opened) {
            btn_enable(true);
            v_.rx_pos = 0;
            v_.rx_len = 0;
            const int port = v_.port_no;
            read_thread_ = std::make_unique<TReadThread>(
                this, [pcomm = pcomm_.get(), port] { return pcomm->sio_iqueue(port); },
                [this] { tmr_com_checkTimer(); });
            read_thread_->start();
            return;
        }
        com_io_->com_close(v_.port_no);
        btn_enable(false);
        dialogs_->plain(QStringLiteral("SysErrorMessage:") + com_io_->open_error_text());
    }
    v_.port_no = kNoLink;
    dialogs_->warning(v_.text(18));
    btn_enable(false);
}

bool TForm1::udp_listen(const QString& ip, std::int32_t& port) {
    Q_UNUSED(ip); // the listener takes datagrams on all local addresses
    // Only the low 16 bits name a UDP port; when they are 0 there is no port to listen on
    // (binding would pick an arbitrary one that the instrument cannot know).
    const auto local = static_cast<quint16>(port & 0xFFFF);
    if (local == 0)
        return false;
    IdUDPServer1->close();
    return IdUDPServer1->bind(QHostAddress::AnyIPv4, local,
                              QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
}

void TForm1::btn_closecomClick() {
    // The read thread ends with the link, so that nothing at all is received afterwards.
    stop_read_thread();
    end_read_back();
    if (v_.port_no > 0 && v_.port_no < kPortCount && v_.com_state[v_.port_no].is_open) {
        com_io_->com_close(v_.port_no);
        v_.port_no = kNoLink;
        btn_enable(false);
    }
    if (v_.port_no == kNetworkLink)
        IdUDPServer1->close();
    v_.port_no = kNoLink;
    btn_enable(false);
}

void TForm1::stop_read_thread() {
    if (!read_thread_)
        return;
    read_thread_->stop();
    read_thread_.reset();
}

bool TForm1::com_receive(std::int32_t port) {
    return ::com_receive(v_, *com_io_, port);
}

void TForm1::run_interpreter() {
    if (!rx_interpreter)
        return;
    // Reception goes on after anything the instrument sends: a pass that fails on bad data
    // loses that pass only.
    try {
        rx_interpreter();
    } catch (...) {
    }
}

void TForm1::tmr_com_checkTimer() {
    if (closing_)
        return;
    v_.last_rx_time = QDateTime::currentDateTime();
    if (com_receive(v_.port_no))
        run_interpreter();
}

void TForm1::IdUDPServer1UDPRead(const QByteArray& AData, const QString& peer_ip) {
    if (closing_ || v_.port_no != kNetworkLink || peer_ip != v_.remote_ip)
        return;
    v_.last_rx_time = QDateTime::currentDateTime();
    // A datagram goes in pieces of one receive block, each taken and interpreted before the
    // next is stored, so neither udp_buf nor rx_buf has to drop any of it.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(AData.constData());
    qsizetype done = 0;
    do {
        const int n = static_cast<int>(std::min<qsizetype>(AData.size() - done, kReceiveBlockSize));
        append_pending(v_.udp_buf.data(), kRxBufSize, v_.udp_pos, v_.udp_len, bytes + done, n);
        done += n;
        while (com_receive(v_.port_no))
            run_interpreter();
    } while (done < AData.size());
}

void TForm1::udp_ready_read() {
    // Datagrams that arrive faster than they are handled must not keep the window from
    // answering: after a share of a frame's time the rest waits for the next turn of the
    // event loop, where the socket still holds it.
    constexpr qint64 kSliceMs = 20;
    QElapsedTimer slice;
    slice.start();
    while (IdUDPServer1->hasPendingDatagrams()) {
        if (slice.elapsed() >= kSliceMs) {
            QTimer::singleShot(0, this, [this] { udp_ready_read(); });
            return;
        }
        const QNetworkDatagram datagram = IdUDPServer1->receiveDatagram(kListenerBuffer);
        if (!datagram.isValid())
            break;
        IdUDPServer1UDPRead(datagram.data(), datagram.senderAddress().toString());
    }
}
