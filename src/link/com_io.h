#pragma once

#include "state/link_state.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class PComm;
class QUdpSocket;
class TrafficLog;

// One way to the instrument: how a command line leaves and how received bytes are taken.
// While debug_on is true each operation that does something appends one entry to the log.
class Transport {
public:
    virtual ~Transport() = default;
    // Sends `text` as a command line (see command_line_bytes) on link `port`.
    virtual void send(std::int32_t port, const QString& text) = 0;
    // Fills `block` with up to `capacity` bytes that have arrived; see ComIo::com_read.
    virtual std::int32_t receive(std::int32_t port, std::uint8_t* block, std::int32_t capacity) = 0;
};

// The one place where bytes leave for the instrument or are taken from the link. A link
// number is a serial port number or kNetworkLink, and picks the transport: the serial one
// goes through the port library, the network one sends through the UDP listener socket and
// reads what the listener left in udp_buf. Operations report by their results and never raise.
class ComIo {
public:
    using LogSource = std::function<TrafficLog*()>; // the log, or null while none is attached

    ComIo(LinkState& v, PComm& pcomm, QUdpSocket* udp, LogSource log);
    ~ComIo();
    ComIo(const ComIo&) = delete;
    ComIo& operator=(const ComIo&) = delete;

    bool com_open(std::int32_t port, std::int32_t rate_code);
    bool com_close(std::int32_t port);
    void com_write(std::int32_t port, const QString& text);
    // Fills `block` with up to `capacity` bytes that have arrived. More than 0: that many
    // bytes; 0: the network link has nothing; -1: a serial port has nothing or failed.
    std::int32_t com_read(std::int32_t port, std::uint8_t* block, std::int32_t capacity);

    // Why the latest com_open failed, in the system's words.
    QString open_error_text() const;

    // A serial read asks the port for at most this many bytes.
    static constexpr int kMaxSerialRead = 10240;

private:
    void log(const QString& entry) const;
    Transport& transport(std::int32_t port);

    LinkState& v_;
    PComm& pcomm_;
    LogSource log_;
    std::unique_ptr<Transport> serial_;
    std::unique_ptr<Transport> network_;
    int open_error_ = 0;
};

// The bytes of a command line: each character as the low 8 bits of its code, then CR LF.
QByteArray command_line_bytes(const QString& text);
// "31 2E 0D " for the bytes 49, 46, 13.
QString hex_dump(const std::uint8_t* bytes, int n);
// The system's text for an errno value, with a hint where the user can do something about it.
QString system_error_text(int error);
