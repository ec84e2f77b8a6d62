#include "link/pcomm.h"

#include "link/tty_device.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kRateSpeeds[] = {1200,  1800,  2400,  4800,  7200,  9600,
                               19200, 38400, 56000, 57600, 115200};
constexpr int kFirstRateCode = 7;

bool valid_number(int port) {
    return port > 0 && port < kPortCount;
}

} // namespace

PComm::PComm(const std::array<QString, kPortCount>& port_table) : table_(port_table) {}

PComm::~PComm() {
    for (Port& p : ports_)
        tty::close_device(p.fd);
}

int PComm::rate_speed(int rate_code) {
    const int i = rate_code - kFirstRateCode;
    if (i < 0 || i >= static_cast<int>(std::size(kRateSpeeds)))
        return 0;
    return kRateSpeeds[i];
}

int PComm::fd_of(int port) const {
    return valid_number(port) ? ports_[port].fd : -1;
}

int PComm::fail(int result) {
    last_error_ = errno;
    return result;
}

int PComm::sio_open(int port) {
    std::lock_guard lock(m_);
    if (!valid_number(port) || table_[port].isEmpty()) {
        errno = ENODEV;
        return fail(kBadPort);
    }
    if (ports_[port].fd >= 0) {
        errno = EBUSY;
        return fail(kSystemError);
    }
    const int fd = tty::open_exclusive(QFile::encodeName(table_[port]).constData());
    if (fd < 0)
        return fail(kSystemError);
    ports_[port] = Port{fd, 0};
    return kOk;
}

int PComm::sio_close(int port) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    tty::close_device(fd);
    ports_[port] = Port{};
    return kOk;
}

int PComm::sio_ioctl(int port, int rate_code, int mode) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    const int speed = rate_speed(rate_code);
    if (speed == 0 || (mode & ~0x7) != 0) {
        errno = EINVAL;
        return fail(kBadParam);
    }
    if (tty::set_line(fd, speed, 5 + (mode & 0x3), (mode & 0x4) != 0) != 0)
        return fail(kSystemError);
    return kOk;
}

int PComm::sio_flowctrl(int port, int mode) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    if (mode != 0) {
        errno = EINVAL;
        return fail(kBadParam);
    }
    return tty::no_flow_control(fd) == 0 ? kOk : fail(kSystemError);
}

int PComm::sio_DTR(int port, int mode) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    return tty::set_dtr(fd, mode != 0) == 0 ? kOk : fail(kSystemError);
}

int PComm::sio_RTS(int port, int mode) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    return tty::set_rts(fd, mode != 0) == 0 ? kOk : fail(kSystemError);
}

int PComm::sio_getbaud(int port) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    const int speed = tty::speed(fd);
    return speed >= 0 ? speed : fail(kSystemError);
}

int PComm::sio_SetWriteTimeouts(int port, int total_ms) {
    std::lock_guard lock(m_);
    if (fd_of(port) < 0)
        return kBadPort;
    if (total_ms < 0)
        return kBadParam;
    ports_[port].write_timeout_ms = total_ms;
    return kOk;
}

int PComm::sio_read(int port, char* buf, int len) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    if (len < 0)
        return kBadParam;
    int got = 0;
    while (got < len) {
        const ssize_t r = ::read(fd, buf + got, static_cast<size_t>(len - got));
        if (r > 0) {
            got += static_cast<int>(r);
        } else if (r < 0 && errno == EINTR) {
            continue;
        } else if (r < 0 && errno != EAGAIN && got == 0) {
            return kSystemError;
        } else {
            break; // nothing more waiting, or the line hung up (0)
        }
    }
    return got;
}

int PComm::sio_write(int port, const char* buf, int len) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    if (len < 0)
        return kBadParam;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ports_[port].write_timeout_ms);
    int sent = 0;
    while (sent < len) {
        const ssize_t w = ::write(fd, buf + sent, static_cast<size_t>(len - sent));
        if (w > 0) {
            sent += static_cast<int>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            return sent > 0 ? sent : kSystemError;
        // The driver's buffer is full: wait for room, but no longer than the time-out.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return sent > 0 ? sent : kWriteTimeout;
        pollfd p{fd, POLLOUT, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return sent > 0 ? sent : kSystemError;
    }
    return sent;
}

int PComm::sio_iqueue(int port) {
    std::lock_guard lock(m_);
    const int fd = fd_of(port);
    if (fd < 0)
        return kBadPort;
    const int n = tty::bytes_waiting(fd);
    return n >= 0 ? n : kSystemError;
}

int PComm::last_error() const {
    std::lock_guard lock(m_);
    return last_error_;
}

int PComm::write_timeout(int port) const {
    std::lock_guard lock(m_);
    return fd_of(port) >= 0 ? ports_[port].write_timeout_ms : 0;
}
