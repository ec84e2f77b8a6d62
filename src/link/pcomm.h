#pragma once

#include "state/link_state.h"

#include <QString>

#include <array>
#include <atomic>
#include <mutex>
#include <shared_mutex>

// The serial port library the link is written against: ports are addressed by number, every
// call returns a status, and errors never raise. Port number k is the device that the port
// table names for k (start-up fills it). Calls may come from the window thread and the read
// thread at the same time. Each port has its own lock: opening, closing and configuring a port
// take it alone; reading, writing and asking for the input queue share it, so a write that waits
// for the line never holds up the read thread's look at the same or another port.
class PComm {
public:
    static constexpr int kOk = 0;
    static constexpr int kBadPort = -1;     // no such port number, no device, or not open
    static constexpr int kBadParam = -2;    // a rate code, mode or length out of range
    static constexpr int kSystemError = -3; // the system refused; last_error() says why
    static constexpr int kWriteTimeout = -4;

    // Line mode word of sio_ioctl: bits 0-1 data bits minus 5, bit 2 two stop bits, bits 3 and
    // up parity (only "none", 0, is offered). 3 is 8 data bits, no parity, one stop bit.
    static constexpr int kMode8N1 = 3;
    // Rate code of the first item of the speed list (1200 bit/s); the items follow in order.
    static constexpr int kFirstRateCode = 7;

    explicit PComm(const std::array<QString, kPortCount>& port_table);
    ~PComm();
    PComm(const PComm&) = delete;
    PComm& operator=(const PComm&) = delete;

    int sio_open(int port);
    int sio_close(int port);
    int sio_ioctl(int port, int rate_code, int mode);
    int sio_flowctrl(int port, int mode); // 0: no flow control
    int sio_DTR(int port, int mode);      // 0: off, 1: on
    int sio_RTS(int port, int mode);
    int sio_getbaud(int port); // line speed in bit/s; 0 or negative on failure
    int sio_SetWriteTimeouts(int port, int total_ms);
    // Copies up to `len` waiting bytes without waiting for more; 0 when nothing is there.
    int sio_read(int port, char* buf, int len);
    // Sends `len` bytes, waiting at most the write time-out for room; returns the count sent.
    int sio_write(int port, const char* buf, int len);
    // Bytes waiting in the input queue; kSystemError once the device has hung up or failed
    // (the adapter was pulled out), so that a watcher can tell a lost line from a quiet one.
    int sio_iqueue(int port);

    // errno of the latest failed sio_open or line configuration call.
    int last_error() const;
    int write_timeout(int port) const;

    // Speed of a rate code: 7 to 17 stand for the items of the speed list, 1200 to 115200.
    static int rate_speed(int rate_code);

private:
    struct Port {
        mutable std::shared_mutex m; // exclusive: open, close, configure; shared: data
        std::mutex write_m;          // one writer at a time on top of the shared lock
        int fd = -1;
        int write_timeout_ms = 0;
    };
    enum class Access { Exclusive, Shared };
    // Runs `op(port, fd)` under the port's lock when `port` is an open port, else kBadPort.
    template <class Op> int with_open_port(int port, Access access, Op op);
    int fail(int result); // keeps errno for last_error()

    const std::array<QString, kPortCount>& table_;
    std::array<Port, kPortCount> ports_{};
    std::atomic<int> last_error_{0};
};
