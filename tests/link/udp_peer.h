#pragma once

// The instrument's end of the network link on loopback. It binds its own loopback address
// (127.0.0.2 by default) on the same port as the program's listener, with address reuse, so
// both ends share a port number on one machine.

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QTest>
#include <QUdpSocket>

class UdpPeer {
public:
    explicit UdpPeer(quint16 port, const char* address = "127.0.0.2") {
        socket_.setProxy(QNetworkProxy::NoProxy);
        bound_ = socket_.bind(QHostAddress(QString::fromLatin1(address)), port,
                              QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    }
    bool bound() const { return bound_; }
    quint16 port() const { return socket_.localPort(); }

    // Sends to the program's listener.
    void send(const QByteArray& bytes, quint16 to_port) {
        socket_.writeDatagram(bytes, QHostAddress::LocalHost, to_port);
        socket_.flush();
    }

    // The next datagram from the program, or an invalid one after `ms`.
    QNetworkDatagram next(int ms = 1000) {
        if (!QTest::qWaitFor([&] { return socket_.hasPendingDatagrams(); }, ms))
            return {};
        return socket_.receiveDatagram();
    }

private:
    QUdpSocket socket_;
    bool bound_ = false;
};

// A UDP port that nothing on this machine uses at the moment.
inline quint16 free_udp_port() {
    QUdpSocket probe;
    probe.setProxy(QNetworkProxy::NoProxy);
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}
