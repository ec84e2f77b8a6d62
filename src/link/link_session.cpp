#include "link/link_session.h"

#include "link/com_receive.h"
#include "link/pcomm.h"
#include "link/read_thread.h"
#include "link/receive_buffer.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>

namespace {

constexpr qint64 kListenerBuffer = 32768;

} // namespace

LinkSession::LinkSession(LinkState& link, ReceptionState& rx, ComIo::LogSource log, QObject* parent)
    : QObject(parent), link_(link), rx_(rx), pcomm_(std::make_unique<PComm>(link.port_table)),
      udp_(new QUdpSocket(this)) {
    udp_->setObjectName(QStringLiteral("IdUDPServer1"));
    udp_->setReadBufferSize(kListenerBuffer);
    // The instrument is reached directly; a proxy set up for the desktop has no business on
    // this link (and looking one up costs a thread per bind).
    udp_->setProxy(QNetworkProxy::NoProxy);
    com_io_ = std::make_unique<ComIo>(link_, *pcomm_, udp_, std::move(log));
    connect(udp_, &QUdpSocket::readyRead, this, &LinkSession::read_datagrams);
}

LinkSession::~LinkSession() {
    stop_reader();
}

QString LinkSession::open_error_text() const {
    return com_io_->open_error_text();
}

LinkSession::SerialOpen LinkSession::open_serial(std::int32_t port, int speed_index) {
    if (!com_io_->com_open(port, speed_index + PComm::kFirstRateCode)) {
        com_io_->com_close(port);
        link_.port_no = kNoLink;
        return SerialOpen::Refused;
    }
    link_.port_no = port;
    rx_.rx_pos = 0;
    rx_.rx_len = 0;
    reader_ = std::make_unique<TReadThread>(
        this, [pcomm = pcomm_.get(), port] { return pcomm->sio_iqueue(port); },
        [this] { receive_step(); });
    reader_->on_failure([this, port] { reader_failed(port); });
    reader_->start();
    return SerialOpen::Opened;
}

bool LinkSession::open_network() {
    if (!listen(link_.remote_port)) {
        link_.port_no = kNoLink;
        return false;
    }
    link_.port_no = kNetworkLink;
    rx_.rx_pos = 0;
    rx_.rx_len = 0;
    link_.udp_pos = 0;
    link_.udp_len = 0;
    return true;
}

bool LinkSession::listen(std::int32_t port) {
    // Only the low 16 bits name a UDP port; when they are 0 there is no port to listen on
    // (binding would pick an arbitrary one that the instrument cannot know).
    const auto local = static_cast<quint16>(port & 0xFFFF);
    udp_->close();
    if (local == 0)
        return false;
    // Not shared: a port that another socket holds must fail here rather than leave a
    // listener that never sees a datagram. The reuse hint only lets a port that was just
    // closed be taken again at once.
    return udp_->bind(QHostAddress::AnyIPv4, local, QUdpSocket::ReuseAddressHint);
}

void LinkSession::close() {
    // The reader goes before the port, so that it never polls a port that is gone.
    stop_reader();
    if (link_.port_no > 0)
        com_io_->com_close(link_.port_no);
    else if (link_.port_no == kNetworkLink)
        udp_->close();
    link_.port_no = kNoLink;
}

void LinkSession::shut_down() {
    shut_down_ = true;
    stop_reader();
    for (int p = 0; p < kPortCount; ++p)
        if (link_.com_state[p].is_open)
            com_io_->com_close(p);
    udp_->close();
}

void LinkSession::stop_reader() {
    if (!reader_)
        return;
    reader_->stop();
    reader_.reset();
}

void LinkSession::reader_failed(std::int32_t port) {
    // On this object's thread; the reader has ended its loop already.
    stop_reader();
    if (link_.port_no != port)
        return;
    com_io_->com_close(port);
    link_.port_no = kNoLink;
    emit link_lost(port, link_.port_table[port]);
}

bool LinkSession::receive(std::int32_t port) {
    return ::com_receive(rx_, *com_io_, port);
}

void LinkSession::run_interpreter() {
    if (!interpreter_)
        return;
    // Reception goes on after anything the instrument sends: a pass that fails on bad data
    // loses that pass only.
    try {
        interpreter_();
    } catch (...) {
    }
}

void LinkSession::receive_step() {
    if (shut_down_)
        return;
    rx_.last_rx_time = QDateTime::currentDateTime();
    if (receive(link_.port_no))
        run_interpreter();
}

void LinkSession::datagram(const QByteArray& data, const QString& peer_ip) {
    if (shut_down_ || link_.port_no != kNetworkLink || peer_ip != link_.remote_ip)
        return;
    rx_.last_rx_time = QDateTime::currentDateTime();
    // A datagram goes in pieces of one receive block, each taken and interpreted before the
    // next is stored, so neither udp_buf nor rx_buf has to drop any of it.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    qsizetype done = 0;
    do {
        const int n = static_cast<int>(std::min<qsizetype>(data.size() - done, kReceiveBlockSize));
        append_pending(link_.udp_buf.data(), kRxBufSize, link_.udp_pos, link_.udp_len, bytes + done,
                       n);
        done += n;
        while (receive(link_.port_no))
            run_interpreter();
    } while (done < data.size());
}

void LinkSession::read_datagrams() {
    // Datagrams that arrive faster than they are handled must not keep the window from
    // answering: after a share of a frame's time the rest waits for the next turn of the
    // event loop, where the socket still holds it.
    constexpr qint64 kSliceMs = 20;
    QElapsedTimer slice;
    slice.start();
    while (udp_->hasPendingDatagrams()) {
        if (slice.elapsed() >= kSliceMs) {
            QTimer::singleShot(0, this, [this] { read_datagrams(); });
            return;
        }
        const QNetworkDatagram d = udp_->receiveDatagram(kListenerBuffer);
        if (!d.isValid())
            break;
        datagram(d.data(), d.senderAddress().toString());
    }
}
