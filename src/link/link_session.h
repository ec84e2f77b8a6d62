#pragma once

#include "link/com_io.h"
#include "state/link_state.h"
#include "state/reception_state.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class PComm;
class QUdpSocket;
class TReadThread;

// The instrument link in use, serial port or UDP listener: it owns the port library, the
// listener socket, the link operations and the read thread, and runs the receive step. Every
// step that appends bytes to rx_buf hands them to the interpreter at once. Choosing a link
// here never asks or tells the user anything: results come back as values and signals, and
// the window decides what to show.
//
// Lives on the window thread; the read thread only polls, and its steps and its report of a
// lost line are delivered on this object's thread.
class LinkSession : public QObject {
    Q_OBJECT

public:
    LinkSession(LinkState& link, ReceptionState& rx, ComIo::LogSource log,
                QObject* parent = nullptr);
    ~LinkSession() override;

    PComm& pcomm() { return *pcomm_; }
    ComIo& com_io() { return *com_io_; }
    // The network listener; its object name is "IdUDPServer1".
    QUdpSocket* listener() const { return udp_; }

    // The interpreter's pass over the pending bytes of rx_buf; run after each receive step
    // that appended some. A pass that throws loses that pass only.
    void set_interpreter(std::function<void()> interpreter) {
        interpreter_ = std::move(interpreter);
    }

    enum class SerialOpen { Opened, Refused };
    // Opens serial port `port` at the speed of item `speed_index` of the speed list and starts
    // watching it. Opened: port_no is `port`. Refused: port_no is kNoLink and
    // open_error_text() says why.
    SerialOpen open_serial(std::int32_t port, int speed_index);
    QString open_error_text() const;

    // Listens for the peer remote_ip:remote_port on that UDP port of every local address.
    // False, with port_no kNoLink, when the port cannot be had: another socket holds it, or
    // its low 16 bits are 0. True: port_no is kNetworkLink.
    bool open_network();
    // Binds the listener to the low 16 bits of `port`; false when it cannot.
    bool listen(std::int32_t port);

    // Ends the link in use, reader first so that nothing is received afterwards: port_no
    // becomes kNoLink.
    void close();
    // The window is closing: every port closes and no receive step runs any more.
    void shut_down();

    // Takes one block from link `port` into rx_buf; true when bytes were appended.
    bool receive(std::int32_t port);
    // The read thread's step: takes what the serial port has and interprets it.
    void receive_step();
    // One datagram of the listener from `peer_ip`; only the peer's count.
    void datagram(const QByteArray& data, const QString& peer_ip);

signals:
    // The serial port failed under the reader (the adapter was pulled out, the device hung
    // up). The port is closed already and port_no is kNoLink; `device` is its path.
    void link_lost(std::int32_t port, const QString& device);

private:
    void run_interpreter();
    void stop_reader();
    void reader_failed(std::int32_t port);
    void read_datagrams();

    LinkState& link_;
    ReceptionState& rx_;
    std::unique_ptr<PComm> pcomm_;
    QUdpSocket* udp_ = nullptr;
    std::unique_ptr<ComIo> com_io_;
    std::unique_ptr<TReadThread> reader_;
    std::function<void()> interpreter_;
    bool shut_down_ = false;
};
