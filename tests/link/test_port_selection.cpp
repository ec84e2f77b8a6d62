// Choosing, changing and closing the link from the main window.
#include "link/com_io.h"
#include "link/link_window.h"
#include "link/pcomm.h"
#include "link/udp_peer.h"

#include <QFile>
#include <QNetworkProxy>
#include <QUdpSocket>

#include <sys/file.h>

namespace {

TEST_F(LinkWindow, ASpeedBeforeAnyPortDoesNothing) {
    choose("cbb1", QStringLiteral("19200"));
    EXPECT_EQ(v.port_no, kNoLink);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(dialogs.inputs_seen.empty());
    EXPECT_EQ(controls_enabled(), 0);
    EXPECT_TRUE(combo("cbb_port")->isEnabled());
    EXPECT_TRUE(combo("cbb1")->isEnabled());
}

TEST_F(LinkWindow, ChoosingASerialPortOpensItAndEnablesTheControls) {
    v.goon_active = true;
    v.rx_pos = 7;
    v.rx_len = 3;
    choose_serial();
    EXPECT_EQ(v.port_no, 1);
    EXPECT_TRUE(v.com_state[1].is_open);
    EXPECT_EQ(form->pcomm().sio_getbaud(1), 9600);
    EXPECT_EQ(controls_enabled(), 1);
    EXPECT_TRUE(combo("cbb_port")->isEnabled());
    EXPECT_TRUE(combo("cbb1")->isEnabled());
    EXPECT_FALSE(v.goon_active);
    EXPECT_EQ(v.rx_pos, 0);
    EXPECT_EQ(v.rx_len, 0);
    EXPECT_TRUE(dialogs.boxes.empty());

    v.send_str = QStringLiteral("READ?");
    form->com_io().com_write(v.port_no, v.send_str);
    EXPECT_EQ(pty.received_within(200), QByteArray("READ?\r\n"));
}

TEST_F(LinkWindow, ANewSpeedReopensTheSamePortWithOneReader) {
    choose_serial();
    consume = true;
    choose("cbb1", QStringLiteral("56000"));
    EXPECT_EQ(v.port_no, 1);
    EXPECT_TRUE(v.com_state[1].is_open);
    EXPECT_EQ(form->pcomm().sio_getbaud(1), 56000);
    EXPECT_EQ(controls_enabled(), 1);
    EXPECT_TRUE(combo("cbb1")->isEnabled());

    // Had the first reader survived, two would race for this answer.
    ASSERT_TRUE(pty.send("1.5 DCV\r\n"));
    QTest::qWait(500);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], QByteArray("1.5 DCV\r\n"));
}

TEST_F(LinkWindow, AHeldPortShowsTheSystemsReasonThenTheWarning) {
    const int other = ::open(QFile::encodeName(pty.path()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    choose_serial();
    ::close(other);

    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].kind, QStringLiteral("plain"));
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("SysErrorMessage:Device or resource busy"));
    EXPECT_EQ(dialogs.boxes[1].kind, QStringLiteral("warning"));
    EXPECT_EQ(dialogs.boxes[1].text, text(18));
    EXPECT_EQ(v.port_no, kNoLink);
    EXPECT_FALSE(v.com_state[1].is_open);
    EXPECT_EQ(controls_enabled(), 0);
    EXPECT_TRUE(combo("cbb_port")->isEnabled());
    EXPECT_FALSE(combo("cbb1")->isEnabled());

    choose_serial(); // free again
    EXPECT_EQ(v.port_no, 1);
    EXPECT_EQ(dialogs.boxes.size(), 2u);
}

TEST_F(LinkWindow, AnEntryWithoutAPortNumberShowsOnlyTheWarning) {
    v.port_table[1].clear(); // the device is no longer listed under any number
    choose_serial();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, QStringLiteral("warning"));
    EXPECT_EQ(dialogs.boxes[0].text, text(18));
    EXPECT_EQ(v.port_no, kNoLink);
    EXPECT_EQ(controls_enabled(), 0);
}

TEST_F(LinkWindow, ClosePortEndsTheSerialLink) {
    choose_serial();
    close_port();
    EXPECT_EQ(v.port_no, kNoLink);
    EXPECT_FALSE(v.com_state[1].is_open);
    EXPECT_EQ(controls_enabled(), 0);
    EXPECT_TRUE(combo("cbb1")->isEnabled()); // left as it was
    EXPECT_EQ(combo("cbb_port")->currentText(), pty.path());
}

TEST_F(LinkWindow, NetworkAnswers) {
    const quint16 port = free_udp_port();
    struct Case {
        QString answer;
        bool ok;
        QString remote_ip;
        int remote_port;
        int listening; // local port of the listener, 0: none
    };
    const QString p = QString::number(port);
    const Case cases[] = {
        {" 127.0.0.2:" + p + " ", true, "127.0.0.2", port, port},
        {"127.0.0.2:" + QString::number(port + 65536), true, "127.0.0.2", port + 65536, port},
        {"010.0.0.5:" + p, true, "8.0.0.5", port, port},
        {"10.0.0.5:0", true, "10.0.0.5", 0, 0},
        {"192.168.1.25", false, "", -1, 0}, // no port read: remote_port keeps its value
        {"1200", false, "", 1200, 0},
        {"255.255.255.255:" + p, false, "255.255.255.255", port, 0},
        {"10.0.0.5:x", false, "10.0.0.5", -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        dialogs.boxes.clear();
        v.remote_port = -1;
        choose_network(c.answer);
        ASSERT_FALSE(dialogs.inputs_seen.empty());
        EXPECT_EQ(dialogs.inputs_seen.back(), std::make_pair(text(131), text(132)));
        EXPECT_EQ(v.remote_ip, c.remote_ip);
        EXPECT_EQ(v.remote_port, c.remote_port);
        EXPECT_EQ(v.port_no, c.ok ? kNetworkLink : kNoLink);
        EXPECT_EQ(controls_enabled(), c.ok ? 1 : 0);
        EXPECT_TRUE(combo("cbb_port")->isEnabled());
        EXPECT_FALSE(combo("cbb1")->isEnabled());
        if (c.ok) {
            EXPECT_TRUE(dialogs.boxes.empty());
        } else {
            ASSERT_EQ(dialogs.boxes.size(), 1u);
            EXPECT_EQ(dialogs.boxes[0].kind, QStringLiteral("warning"));
            EXPECT_EQ(dialogs.boxes[0].text, text(133) + c.answer.trimmed() + text(134));
        }
        if (c.listening) {
            EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::BoundState);
            EXPECT_EQ(form->IdUDPServer1->localPort(), c.listening);
        } else {
            EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
        }
    }
}

TEST_F(LinkWindow, ListenerOnAPortInUseLeavesTheLinkUsableButDeaf) {
    const quint16 port = free_udp_port();
    QUdpSocket squatter; // bound without sharing
    squatter.setProxy(QNetworkProxy::NoProxy);
    ASSERT_TRUE(squatter.bind(QHostAddress::AnyIPv4, port, QUdpSocket::DontShareAddress));
    choose_network("127.0.0.2:" + QString::number(port));
    EXPECT_EQ(v.port_no, kNetworkLink);
    EXPECT_EQ(controls_enabled(), 1);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
}

TEST_F(LinkWindow, CancellingTheNetworkBoxLeavesTheEarlierLinkClosed) {
    choose_serial();
    dialogs.answers.push_back({false, QString()});
    choose("cbb_port", QStringLiteral("Network"));
    EXPECT_FALSE(v.com_state[1].is_open);
    EXPECT_EQ(v.port_no, 1); // unchanged
    EXPECT_EQ(controls_enabled(), 0);
    EXPECT_TRUE(combo("cbb_port")->isEnabled());
    EXPECT_TRUE(combo("cbb1")->isEnabled());
    EXPECT_TRUE(dialogs.boxes.empty());
    // Nothing is read from the closed port any more.
    ASSERT_TRUE(pty.send("1\r\n"));
    QTest::qWait(300);
    EXPECT_TRUE(seen.empty());
}

TEST_F(LinkWindow, ClosePortStopsTheListener) {
    const quint16 port = free_udp_port();
    choose_network("127.0.0.2:" + QString::number(port));
    ASSERT_EQ(form->IdUDPServer1->state(), QAbstractSocket::BoundState);
    close_port();
    EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
    EXPECT_EQ(v.port_no, kNoLink);
    EXPECT_EQ(controls_enabled(), 0);
    EXPECT_FALSE(combo("cbb1")->isEnabled()); // as it was
}

TEST_F(LinkWindow, SwitchingFromNetworkToSerialStopsTheListener) {
    const quint16 port = free_udp_port();
    choose_network("127.0.0.2:" + QString::number(port));
    choose_serial();
    EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
    EXPECT_EQ(v.port_no, 1);
}

TEST_F(LinkWindow, ClosingTheWindowClosesTheOpenPort) {
    choose_serial();
    form->close();
    EXPECT_FALSE(v.com_state[1].is_open);
    // The device is free for others again.
    const int other = ::open(QFile::encodeName(pty.path()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
}

} // namespace
