#include "link/tty_device.h"

#include <asm/termbits.h>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tty {

namespace {

struct SpeedCode {
    int speed;
    unsigned code;
};

// Speeds the kernel names with a B-constant; any other speed goes through BOTHER.
constexpr SpeedCode kSpeedCodes[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

int get(int fd, termios2& t) {
    return ioctl(fd, TCGETS2, &t);
}

int modem_line(int fd, int line, bool on) {
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

} // namespace

int open_exclusive(const char* path) {
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (!isatty(fd)) {
        ::close(fd);
        errno = ENOTTY;
        return -1;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        errno = EBUSY; // "would block" would tell the user nothing
        return -1;
    }
    // Other programs that do not take the lock are kept out by the tty itself. Not every
    // device allows it, and the lock above already guards against our own kind.
    ioctl(fd, TIOCEXCL);
    return fd;
}

void close_device(int fd) {
    if (fd < 0)
        return;
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

int set_line(int fd, int speed, int data_bits, bool two_stop_bits) {
    if (speed <= 0 || data_bits < 5 || data_bits > 8) {
        errno = EINVAL;
        return -1;
    }
    termios2 t{};
    if (get(fd, t) != 0)
        return -1;
    unsigned code = BOTHER;
    for (const SpeedCode& s : kSpeedCodes)
        if (s.speed == speed)
            code = s.code;
    static constexpr unsigned kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_iflag = 0;
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag = kSizes[data_bits - 5] | CREAD | CLOCAL | code | (two_stop_bits ? CSTOPB : 0);
    t.c_ispeed = static_cast<speed_t>(speed);
    t.c_ospeed = static_cast<speed_t>(speed);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ioctl(fd, TCSETS2, &t);
}

int no_flow_control(int fd) {
    termios2 t{};
    if (get(fd, t) != 0)
        return -1;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    return ioctl(fd, TCSETS2, &t);
}

int set_dtr(int fd, bool on) {
    return modem_line(fd, TIOCM_DTR, on);
}

int set_rts(int fd, bool on) {
    return modem_line(fd, TIOCM_RTS, on);
}

int speed(int fd) {
    termios2 t{};
    if (get(fd, t) != 0)
        return -1;
    const unsigned code = t.c_cflag & CBAUD;
    if (code == BOTHER)
        return static_cast<int>(t.c_ospeed);
    for (const SpeedCode& s : kSpeedCodes)
        if (s.code == code)
            return s.speed;
    return 0;
}

int bytes_waiting(int fd) {
    // A device that was unplugged (or a pty whose other end closed) reports a hang-up or an
    // error on poll, while FIONREAD would go on answering 0 as if the line were only quiet.
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) < 0 && errno != EINTR)
        return -1;
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        errno = EIO;
        return -1;
    }
    int n = 0;
    if (ioctl(fd, FIONREAD, &n) != 0)
        return -1;
    return n;
}

} // namespace tty
