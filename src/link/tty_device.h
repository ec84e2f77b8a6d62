#pragma once

// Thin wrappers over the Linux tty interface for one open serial device. They sit apart from
// everything else because the kernel's termios2 structure (needed for speeds such as 7200 and
// 56000 that have no B-constant) cannot share a translation unit with <termios.h>.
// Every function returns 0 (or the value asked for) on success and -1 with errno set on failure.

namespace tty {

// Opens `path` read-write, non-blocking, without making it the controlling terminal, and claims
// it for this process alone: a device that another open file holds (flock) fails with EBUSY.
// Returns the descriptor, or -1 with errno set.
int open_exclusive(const char* path);
// Releases the claim and closes the descriptor.
void close_device(int fd);

// Raw 8-bit line at `speed` bit/s, no parity, one stop bit, receiver on, modem lines ignored,
// no echo or line editing; reads return at once with whatever has arrived.
int set_line(int fd, int speed, int data_bits, bool two_stop_bits);
// Turns off hardware (RTS/CTS) and software (XON/XOFF) flow control.
int no_flow_control(int fd);
// Sets or clears the DTR or RTS modem line.
int set_dtr(int fd, bool on);
int set_rts(int fd, bool on);
// Current output speed in bit/s, or -1.
int speed(int fd);
// Bytes waiting in the input queue, or -1 (errno EIO once the device has hung up).
int bytes_waiting(int fd);

} // namespace tty
