#include "link/com_io.h"

#include "link/pcomm.h"
#include "state/traffic_log.h"

#include <QHostAddress>
#include <QUdpSocket>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace {

QString stamp() {
    return log_time_text(QTime::currentTime());
}

QString serial_prefix(std::int32_t port) {
    return stamp() + QStringLiteral("  COM") + QString::number(port);
}

QString read_entry(const QString& prefix, const std::uint8_t* block, int n) {
    return prefix + QStringLiteral("  Read:(") + QString::number(n) + QStringLiteral(")  ") +
           hex_dump(block, n) + QStringLiteral("\r\n");
}

QString send_entry(const QString& prefix, const QString& text) {
    return prefix + QStringLiteral("  Send String:  ") + text + QStringLiteral("\r\n");
}

using Log = std::function<void(const QString&)>;

// An open serial port of the port library.
class SerialTransport : public Transport {
public:
    SerialTransport(const LinkState& v, PComm& pcomm, Log log)
        : v_(v), pcomm_(pcomm), log_(std::move(log)) {}

    void send(std::int32_t port, const QString& text) override {
        if (port < 0 || port >= kPortCount || !v_.com_state[port].is_open)
            return;
        const QByteArray bytes = command_line_bytes(text);
        pcomm_.sio_write(port, bytes.constData(), static_cast<int>(bytes.size()));
        if (v_.debug_on)
            log_(send_entry(serial_prefix(port), text));
    }

    // -1 when nothing is waiting or the port failed.
    std::int32_t receive(std::int32_t port, std::uint8_t* block, std::int32_t capacity) override {
        const int m = std::min(ComIo::kMaxSerialRead, static_cast<int>(capacity));
        const int n = m > 0 ? pcomm_.sio_read(port, reinterpret_cast<char*>(block), m) : 0;
        if (n <= 0)
            return -1;
        if (v_.debug_on)
            log_(read_entry(serial_prefix(port), block, n));
        return n;
    }

private:
    const LinkState& v_;
    PComm& pcomm_;
    Log log_;
};

// The UDP listener: datagrams go to the peer from the listening socket, and what the listener
// stored in udp_buf is handed out.
class UdpTransport : public Transport {
public:
    UdpTransport(LinkState& v, QUdpSocket* udp, Log log) : v_(v), udp_(udp), log_(std::move(log)) {}

    void send(std::int32_t, const QString& text) override {
        // Sends leave from the listening socket so that the instrument answers to that port.
        // Without a listener there is no such port, and nothing is sent.
        if (!udp_ || udp_->state() != QAbstractSocket::BoundState)
            return;
        const QHostAddress peer(v_.remote_ip);
        if (peer.isNull() || udp_->writeDatagram(command_line_bytes(text), peer,
                                                 static_cast<quint16>(v_.remote_port & 0xFFFF)) < 0)
            return;
        if (v_.debug_on)
            log_(send_entry(peer_prefix(), text));
    }

    // 0 when nothing is pending.
    std::int32_t receive(std::int32_t, std::uint8_t* block, std::int32_t capacity) override {
        const std::int32_t pending = v_.udp_len;
        if (pending <= 0 || capacity <= 0)
            return 0;
        if (v_.udp_pos < 0 || v_.udp_pos > kRxBufSize - pending) {
            v_.udp_pos = 0; // counters out of range: nothing trustworthy is pending
            v_.udp_len = 0;
            return 0;
        }
        // What does not fit the caller's block stays for the next read.
        const std::int32_t n = std::min(pending, capacity);
        std::memcpy(block, v_.udp_buf.data() + v_.udp_pos, static_cast<size_t>(n));
        if (n == pending) {
            v_.udp_pos = 0;
            v_.udp_len = 0;
        } else {
            v_.udp_pos += n;
            v_.udp_len -= n;
        }
        if (v_.debug_on)
            log_(read_entry(peer_prefix(), block, n));
        return n;
    }

private:
    QString peer_prefix() const {
        return stamp() + QStringLiteral("  Network ") + v_.remote_ip + QChar(':') +
               QString::number(v_.remote_port);
    }

    LinkState& v_;
    QUdpSocket* udp_;
    Log log_;
};

} // namespace

QByteArray command_line_bytes(const QString& text) {
    QByteArray bytes(text.size() + 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<char>(text.at(i).unicode() & 0xFF);
    bytes[text.size()] = '\r';
    bytes[text.size() + 1] = '\n';
    return bytes;
}

QString hex_dump(const std::uint8_t* bytes, int n) {
    static const char kDigits[] = "0123456789ABCDEF";
    QString s(3 * std::max(n, 0), QChar(' '));
    for (int i = 0; i < n; ++i) {
        s[3 * i] = QChar(kDigits[bytes[i] >> 4]);
        s[3 * i + 1] = QChar(kDigits[bytes[i] & 0xF]);
    }
    return s;
}

QString system_error_text(int error) {
    QString text = QString::fromStdString(std::generic_category().message(error));
    if (error == EACCES || error == EPERM)
        text += QStringLiteral(" (serial devices usually belong to the group \"dialout\"; "
                               "the user may need to be a member of it)");
    return text;
}

ComIo::ComIo(LinkState& v, PComm& pcomm, QUdpSocket* udp, LogSource log)
    : v_(v), pcomm_(pcomm), log_(std::move(log)) {
    const Log to_log = [this](const QString& entry) { this->log(entry); };
    serial_ = std::make_unique<SerialTransport>(v_, pcomm_, to_log);
    network_ = std::make_unique<UdpTransport>(v_, udp, to_log);
}

ComIo::~ComIo() = default;

void ComIo::log(const QString& entry) const {
    if (TrafficLog* l = log_ ? log_() : nullptr)
        l->append(entry);
}

Transport& ComIo::transport(std::int32_t port) {
    return port == kNetworkLink ? *network_ : *serial_;
}

QString ComIo::open_error_text() const {
    return system_error_text(open_error_);
}

bool ComIo::com_open(std::int32_t port, std::int32_t rate_code) {
    bool ok = pcomm_.sio_open(port) == PComm::kOk;
    if (!ok) {
        open_error_ = pcomm_.last_error();
    } else {
        // The speed is the one setting without which the line is useless; the modem lines
        // and flow control are best effort, as not every device has them (a pty has none).
        int error = 0;
        if (pcomm_.sio_ioctl(port, rate_code, PComm::kMode8N1) != PComm::kOk)
            error = pcomm_.last_error();
        pcomm_.sio_flowctrl(port, 0);
        pcomm_.sio_DTR(port, 0);
        pcomm_.sio_RTS(port, 0);
        const int speed = pcomm_.sio_getbaud(port);
        if (error == 0 && speed <= 0)
            error = speed < 0 ? pcomm_.last_error() : EINVAL;
        if (error == 0) {
            const int t = std::max(1000 / speed, 1) * 3;
            pcomm_.sio_SetWriteTimeouts(port, std::max(t, 100));
        } else {
            open_error_ = error;
            pcomm_.sio_close(port);
            ok = false;
        }
    }
    if (ok && port >= 0 && port < kPortCount)
        v_.com_state[port].is_open = true;
    if (v_.debug_on)
        log(serial_prefix(port) +
            (ok ? QStringLiteral("  IS OPEN") : QStringLiteral("  OPEN FAIL")));
    return ok;
}

bool ComIo::com_close(std::int32_t port) {
    if (port < 0 || port >= kPortCount || !v_.com_state[port].is_open)
        return false;
    pcomm_.sio_close(port);
    v_.com_state[port].is_open = false;
    if (v_.debug_on)
        log(serial_prefix(port) + QStringLiteral("  IS Closed"));
    return true;
}

void ComIo::com_write(std::int32_t port, const QString& text) {
    transport(port).send(port, text);
}

std::int32_t ComIo::com_read(std::int32_t port, std::uint8_t* block, std::int32_t capacity) {
    return transport(port).receive(port, block, capacity);
}
