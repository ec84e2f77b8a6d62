#pragma once

#include "instrument.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <random>

class QSocketNotifier;
class QUdpSocket;

namespace sim {

// How the simulator mangles what it sends, to test a receiver: split into chunks with a pause
// between them, and control or 8-bit garbage bytes inside lines (never a CR LF, never inside a
// binary dump), plus junk lines that no receiver takes as readings.
struct Shaping {
    int chunk = 0;          // bytes per write (0: whole replies)
    int chunk_delay_ms = 0; // pause between chunks
    bool garbage = false;
};

// One link to a receiver with its own simulated instrument.
class Wire : public QObject {
    Q_OBJECT
public:
    Wire(const Settings& settings, const Shaping& shaping, double rate_hz);
    Instrument& instrument() { return instrument_; }

protected:
    void received(const QByteArray& bytes); // bytes from the receiver
    virtual void write_raw(const QByteArray&) = 0;
    virtual bool can_write() const { return true; }
    void pump();

private:
    void send(const QByteArray& bytes);
    QByteArray with_garbage(const QByteArray& text);

    Shaping shaping_;
    Instrument instrument_;
    QByteArray input_;
    std::deque<QByteArray> queue_;
    QTimer pace_;
    QTimer clock_;
    qint64 started_ms_;
    std::mt19937 random_{4242};
    bool pumping_ = false;
};

// The instrument side of a pseudo-terminal; the receiver opens the slave device.
class PtyWire : public Wire {
    Q_OBJECT
public:
    PtyWire(const Settings& settings, const Shaping& shaping, double rate_hz);
    ~PtyWire() override;
    bool ok() const { return master_ >= 0; }
    QString slave_path() const { return slave_path_; }

protected:
    void write_raw(const QByteArray& bytes) override;
    bool can_write() const override { return pending_.isEmpty(); }

private:
    void read_master();
    void flush_pending();

    int master_ = -1;
    int slave_keep_ = -1; // held open so the master never sees a hang-up between receivers
    QString slave_path_;
    QSocketNotifier* readable_ = nullptr;
    QSocketNotifier* writable_ = nullptr;
    QByteArray pending_;
};

// UDP: answers whoever sent the last datagram, from the bound address and port.
class UdpWire : public Wire {
    Q_OBJECT
public:
    UdpWire(const Settings& settings, const Shaping& shaping, double rate_hz);
    bool bind(const QHostAddress& address, quint16 port);

protected:
    void write_raw(const QByteArray& bytes) override;

private:
    QUdpSocket* socket_;
    QHostAddress peer_;
    quint16 peer_port_ = 0;
};

} // namespace sim
