// The network side of the link operations: sends through the listener socket, reads from
// udp_buf.
#include "link/com_io.h"
#include "link/pcomm.h"
#include "link/recording_log.h"
#include "link/udp_peer.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstring>

namespace {

class NetworkLink : public ::testing::Test {
protected:
    void SetUp() override {
        port = free_udp_port();
        v.remote_ip = QStringLiteral("127.0.0.2");
        v.remote_port = port;
        v.debug_on = true;
    }
    bool listen() {
        listener.setProxy(QNetworkProxy::NoProxy);
        return listener.bind(QHostAddress::AnyIPv4, port,
                             QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    }
    void put_udp(const QByteArray& bytes) {
        std::memcpy(v.udp_buf.data(), bytes.constData(), bytes.size());
        v.udp_pos = 0;
        v.udp_len = static_cast<std::int32_t>(bytes.size());
    }

    quint16 port = 0;
    LinkState v;
    PComm pcomm{v.port_table};
    RecordingLog log;
    QUdpSocket listener;
    ComIo io{v, pcomm, &listener, [this] { return &log; }};
};

TEST_F(NetworkLink, WriteSendsOneDatagramFromTheListeningPort) {
    ASSERT_TRUE(listen());
    UdpPeer instrument(port);
    ASSERT_TRUE(instrument.bound());
    io.com_write(kNetworkLink, QStringLiteral("READ?"));
    const QNetworkDatagram d = instrument.next();
    ASSERT_TRUE(d.isValid());
    EXPECT_EQ(d.data(), QByteArray("READ?\r\n"));
    EXPECT_EQ(d.senderPort(), port);
    EXPECT_FALSE(instrument.next(100).isValid()); // one datagram, not one per piece

    ASSERT_EQ(log.entries().size(), 1);
    const QString expected =
        QStringLiteral("  Network 127.0.0.2:%1  Send String:  READ?\r\n").arg(port);
    EXPECT_TRUE(log.entries()[0].endsWith(expected)) << log.entries()[0].toStdString();
    EXPECT_TRUE(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d{1,3}  Network)")
                    .match(log.entries()[0])
                    .hasMatch());
}

TEST_F(NetworkLink, PortAbove16BitsSendsToItsLow16Bits) {
    ASSERT_TRUE(listen());
    UdpPeer instrument(port);
    v.remote_port = port + 65536;
    io.com_write(kNetworkLink, QStringLiteral("*IDN?"));
    const QNetworkDatagram d = instrument.next();
    ASSERT_TRUE(d.isValid());
    EXPECT_EQ(d.data(), QByteArray("*IDN?\r\n"));
}

TEST_F(NetworkLink, WithoutAListenerNothingIsSent) {
    UdpPeer instrument(port);
    io.com_write(kNetworkLink, QStringLiteral("READ?"));
    EXPECT_FALSE(instrument.next(200).isValid());
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(listener.state(), QAbstractSocket::UnconnectedState);
}

TEST_F(NetworkLink, ReadHandsOverWhatTheListenerStored) {
    std::uint8_t block[4801];
    EXPECT_EQ(io.com_read(kNetworkLink, block, 4801), 0);
    EXPECT_TRUE(log.entries().isEmpty());

    put_udp("1\r\nOK");
    EXPECT_EQ(io.com_read(kNetworkLink, block, 4801), 5);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(block), 5), QByteArray("1\r\nOK"));
    EXPECT_EQ(v.udp_len, 0);
    EXPECT_EQ(v.udp_pos, 0);
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_TRUE(log.entries()[0].endsWith(
        QStringLiteral("  Network 127.0.0.2:%1  Read:(5)  31 0D 0A 4F 4B \r\n").arg(port)));
}

TEST_F(NetworkLink, MoreThanTheBlockStaysForTheNextRead) {
    QByteArray bytes(6000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 253);
    put_udp(bytes);
    std::vector<std::uint8_t> block(4801);
    QByteArray got;
    int n = io.com_read(kNetworkLink, block.data(), 4801);
    ASSERT_EQ(n, 4801);
    got.append(reinterpret_cast<char*>(block.data()), n);
    EXPECT_EQ(v.udp_len, 1199);
    n = io.com_read(kNetworkLink, block.data(), 4801);
    ASSERT_EQ(n, 1199);
    got.append(reinterpret_cast<char*>(block.data()), n);
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(v.udp_pos, 0);
    EXPECT_EQ(v.udp_len, 0);
}

TEST_F(NetworkLink, CountersOutOfRangeAreNotTrusted) {
    v.udp_pos = kRxBufSize - 2;
    v.udp_len = 10;
    std::uint8_t block[64];
    EXPECT_EQ(io.com_read(kNetworkLink, block, sizeof block), 0);
    EXPECT_EQ(v.udp_pos, 0);
    EXPECT_EQ(v.udp_len, 0);
}

} // namespace
