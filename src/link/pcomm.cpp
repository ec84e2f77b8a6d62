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

template <class Op> int PComm::with_open_port(int port, Access access, Op op) {
    if (!valid_number(port))
        return kBadPort;
    Port& p = ports_[port];
    if (access == Access::Exclusive) {
        std::unique_lock lock(p.m);
        return p.fd < 0 ? kBadPort : op(p, p.fd);
    }
    std::shared_lock lock(p.m);
    return p.fd < 0 ? kBadPort : op(p, p.fd);
}

int PComm::fail(int result) {
    last_error_ = errno;
    return result;
}

int PComm::sio_open(int port) {
    if (!valid_number(port) || table_[port].isEmpty()) {
        errno = ENODEV;
        return fail(kBadPort);
    }
    Port& p = ports_[port];
    std::unique_lock lock(p.m);
    if (p.fd >= 0) {
        errno = EBUSY;
        return fail(kSystemError);
    }
    const int fd = tty::open_exclusive(QFile::encodeName(table_[port]).constData());
    if (fd < 0)
        return fail(kSystemError);
    p.fd = fd;
    p.write_timeout_ms = 0;
    return kOk;
}

int PComm::sio_close(int port) {
    return with_open_port(port, Access::Exclusive, [](Port& p, int fd) {
        tty::close_device(fd);
        p.fd = -1;
        p.write_timeout_ms = 0;
        return kOk;
    });
}

int PComm::sio_ioctl(int port, int rate_code, int mode) {
    return with_open_port(port, Access::Exclusive, [&](Port&, int fd) {
        const int speed = rate_speed(rate_code);
        if (speed == 0 || (mode & ~0x7) != 0) {
            errno = EINVAL;
            return fail(kBadParam);
        }
        if (tty::set_line(fd, speed, 5 + (mode & 0x3), (mode & 0x4) != 0) != 0)
            return fail(kSystemError);
        return kOk;
    });
}

int PComm::sio_flowctrl(int port, int mode) {
    return with_open_port(port, Access::Exclusive, [&](Port&, int fd) {
        if (mode != 0) {
            errno = EINVAL;
            return fail(kBadParam);
        }
        return tty::no_flow_control(fd) == 0 ? kOk : fail(kSystemError);
    });
}

int PComm::sio_DTR(int port, int mode) {
    return with_open_port(port, Access::Exclusive, [&](Port&, int fd) {
        return tty::set_dtr(fd, mode != 0) == 0 ? kOk : fail(kSystemError);
    });
}

int PComm::sio_RTS(int port, int mode) {
    return with_open_port(port, Access::Exclusive, [&](Port&, int fd) {
        return tty::set_rts(fd, mode != 0) == 0 ? kOk : fail(kSystemError);
    });
}

int PComm::sio_getbaud(int port) {
    return with_open_port(port, Access::Shared, [&](Port&, int fd) {
        const int speed = tty::speed(fd);
        return speed >= 0 ? speed : fail(kSystemError);
    });
}

int PComm::sio_SetWriteTimeouts(int port, int total_ms) {
    return with_open_port(port, Access::Exclusive, [&](Port& p, int) {
        if (total_ms < 0)
            return kBadParam;
        p.write_timeout_ms = total_ms;
        return kOk;
    });
}

int PComm::sio_read(int port, char* buf, int len) {
    return with_open_port(port, Access::Shared, [&](Port&, int fd) {
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
    });
}

int PComm::sio_write(int port, const char* buf, int len) {
    return with_open_port(port, Access::Shared, [&](Port& p, int fd) {
        if (len < 0)
            return kBadParam;
        std::lock_guard writer(p.write_m);
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(p.write_timeout_ms);
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
            pollfd pf{fd, POLLOUT, 0};
            if (poll(&pf, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
                return sent > 0 ? sent : kSystemError;
        }
        return sent;
    });
}

int PComm::sio_iqueue(int port) {
    return with_open_port(port, Access::Shared, [](Port&, int fd) {
        const int n = tty::bytes_waiting(fd);
        return n >= 0 ? n : kSystemError;
    });
}

int PComm::last_error() const {
    return last_error_;
}

int PComm::write_timeout(int port) const {
    if (!valid_number(port))
        return 0;
    const Port& p = ports_[port];
    std::shared_lock lock(p.m);
    return p.fd >= 0 ? p.write_timeout_ms : 0;
}
