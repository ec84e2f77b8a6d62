#include "wire.h"

#include <QDateTime>
#include <QSocketNotifier>
#include <QUdpSocket>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

Wire::Wire(const Settings& settings, const Shaping& shaping, double rate_hz)
    : shaping_(shaping), instrument_(settings, [this](const QByteArray& b) { send(b); }),
      started_ms_(QDateTime::currentMSecsSinceEpoch()) {
    instrument_.rate_hz = rate_hz;
    pace_.setSingleShot(true);
    connect(&pace_, &QTimer::timeout, this, &Wire::pump);
    clock_.setTimerType(Qt::PreciseTimer);
    clock_.setInterval(5);
    connect(&clock_, &QTimer::timeout, this,
            [this] { instrument_.tick(QDateTime::currentMSecsSinceEpoch() - started_ms_); });
    clock_.start();
}

void Wire::received(const QByteArray& bytes) {
    input_ += bytes;
    qsizetype end;
    while ((end = input_.indexOf('\n')) >= 0) {
        const QByteArray line = input_.left(end);
        input_.remove(0, end + 1);
        instrument_.tick(QDateTime::currentMSecsSinceEpoch() - started_ms_);
        instrument_.command(QString::fromLatin1(line));
    }
    if (input_.size() > 65536) // a receiver that never ends its lines
        input_.clear();
}

QByteArray Wire::with_garbage(const QByteArray& text) {
    // Only text replies get garbage; a dump's binary part must arrive intact.
    if (text.startsWith("RECALL"))
        return text;
    static const char junk[] = {0x01, 0x07,       0x09,       0x0B,      0x1B,
                                0x7F, char(0x80), char(0xC8), char(0xFF)};
    std::uniform_int_distribution<int> pick(0, int(sizeof junk) - 1);
    std::uniform_int_distribution<int> chance(0, 9);
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // Never between a CR and its LF, so line ends stay line ends.
        if (c != '\n' && chance(random_) == 0)
            out += junk[pick(random_)];
        out += c;
        if (c == '\n' && chance(random_) == 0)
            out += "R\x02junk\xFE line\r\n";
    }
    return out;
}

void Wire::send(const QByteArray& bytes) {
    const QByteArray shaped = shaping_.garbage ? with_garbage(bytes) : bytes;
    if (shaping_.chunk <= 0) {
        queue_.push_back(shaped);
    } else {
        for (qsizetype i = 0; i < shaped.size(); i += shaping_.chunk)
            queue_.push_back(shaped.mid(i, shaping_.chunk));
    }
    if (!pace_.isActive())
        pump();
}

void Wire::pump() {
    if (pumping_)
        return; // a write that finished at once re-enters through the transport
    pumping_ = true;
    while (!queue_.empty() && can_write()) {
        const QByteArray piece = std::move(queue_.front());
        queue_.pop_front();
        write_raw(piece);
        if (shaping_.chunk_delay_ms > 0 && !queue_.empty()) {
            pace_.start(shaping_.chunk_delay_ms);
            break;
        }
    }
    pumping_ = false;
}

PtyWire::PtyWire(const Settings& settings, const Shaping& shaping, double rate_hz)
    : Wire(settings, shaping, rate_hz) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
        return;
    }
    slave_path_ = QString::fromLocal8Bit(ptsname(master_));
    slave_keep_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
    if (slave_keep_ >= 0) {
        // Raw line, no echo: the instrument must never read its own answers back.
        termios t{};
        tcgetattr(slave_keep_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_keep_, TCSANOW, &t);
    }
    readable_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readable_, &QSocketNotifier::activated, this, &PtyWire::read_master);
    writable_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writable_->setEnabled(false);
    connect(writable_, &QSocketNotifier::activated, this, &PtyWire::flush_pending);
}

PtyWire::~PtyWire() {
    if (slave_keep_ >= 0)
        ::close(slave_keep_);
    if (master_ >= 0)
        ::close(master_);
}

void PtyWire::read_master() {
    char buf[4096];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n > 0)
        received(QByteArray(buf, n));
}

void PtyWire::write_raw(const QByteArray& bytes) {
    pending_ += bytes;
    flush_pending();
}

// Writes as much as the line takes; the rest waits for the receiver, nothing is dropped.
void PtyWire::flush_pending() {
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), size_t(pending_.size()));
        if (n > 0) {
            pending_.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    writable_->setEnabled(!pending_.isEmpty());
    if (pending_.isEmpty())
        pump();
}

UdpWire::UdpWire(const Settings& settings, const Shaping& shaping, double rate_hz)
    : Wire(settings, shaping, rate_hz), socket_(new QUdpSocket(this)) {
    connect(socket_, &QUdpSocket::readyRead, this, [this] {
        while (socket_->hasPendingDatagrams()) {
            QByteArray datagram(socket_->pendingDatagramSize(), Qt::Uninitialized);
            QHostAddress from;
            quint16 port = 0;
            const qint64 n = socket_->readDatagram(datagram.data(), datagram.size(), &from, &port);
            if (n < 0)
                continue;
            peer_ = from;
            peer_port_ = port;
            received(datagram.left(n));
        }
    });
}

bool UdpWire::bind(const QHostAddress& address, quint16 port) {
    return socket_->bind(address, port,
                         QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
}

void UdpWire::write_raw(const QByteArray& bytes) {
    if (peer_port_ == 0)
        return;
    // Keep datagrams well inside what a receiver's buffer holds.
    for (qsizetype i = 0; i < bytes.size(); i += 4096)
        socket_->writeDatagram(bytes.mid(i, 4096), peer_, peer_port_);
}

} // namespace sim
