// Choosing, changing and closing the link from the main window.
#include "link/com_io.h"
#include "link/link_window.h"
#include "link/pcomm.h"
#include "link/session_fixture.h"
#include "link/udp_peer.h"
#include "state/link_state.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkProxy>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <ctime>
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
    enum Box { kNone, kBadAnswer, kNoListener };
    struct Case {
        QString answer;
        Box box;
        QString remote_ip;
        int remote_port;
        int listening; // local port of the listener, 0: none
    };
    const QString p = QString::number(port);
    const Case cases[] = {
        {" 127.0.0.2:" + p + " ", kNone, "127.0.0.2", port, port},
        {"127.0.0.2:" + QString::number(port + 65536), kNone, "127.0.0.2", port + 65536, port},
        {"010.0.0.5:" + p, kNone, "8.0.0.5", port, port},
        {"10.0.0.5:0", kNoListener, "10.0.0.5", 0, 0},
        {"10.0.0.5:65536", kNoListener, "10.0.0.5", 65536, 0},
        {"192.168.1.25", kBadAnswer, "", -1, 0}, // no port read: remote_port keeps its value
        {"1200", kBadAnswer, "", 1200, 0},
        {"255.255.255.255:" + p, kBadAnswer, "255.255.255.255", port, 0},
        {"10.0.0.5:x", kBadAnswer, "10.0.0.5", -1, 0},
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
        EXPECT_EQ(v.port_no, c.box == kNone ? kNetworkLink : kNoLink);
        EXPECT_EQ(controls_enabled(), c.box == kNone ? 1 : 0);
        EXPECT_TRUE(combo("cbb_port")->isEnabled());
        EXPECT_FALSE(combo("cbb1")->isEnabled());
        if (c.box == kNone) {
            EXPECT_TRUE(dialogs.boxes.empty());
        } else if (c.box == kBadAnswer) {
            ASSERT_EQ(dialogs.boxes.size(), 1u);
            EXPECT_EQ(dialogs.boxes[0].kind, QStringLiteral("warning"));
            EXPECT_EQ(dialogs.boxes[0].text, text(133) + c.answer.trimmed() + text(134));
        } else {
            ASSERT_EQ(dialogs.boxes.size(), 1u);
            EXPECT_EQ(dialogs.boxes[0].kind, QStringLiteral("error"));
            EXPECT_EQ(dialogs.boxes[0].text, text(135).arg(0));
        }
        if (c.listening) {
            EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::BoundState);
            EXPECT_EQ(form->IdUDPServer1->localPort(), c.listening);
        } else {
            EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
        }
    }
}

TEST_F(LinkWindow, AListenerPortInUseIsRefusedWithAnErrorBoxNamingIt) {
    const quint16 port = free_udp_port();
    // Held by another socket as any program would bind it, on one address or on all.
    for (const QHostAddress& at :
         {QHostAddress(QHostAddress::AnyIPv4), QHostAddress(QHostAddress::LocalHost)}) {
        SCOPED_TRACE(at.toString().toStdString());
        dialogs.boxes.clear();
        QUdpSocket squatter;
        squatter.setProxy(QNetworkProxy::NoProxy);
        ASSERT_TRUE(squatter.bind(at, port));
        choose_network("127.0.0.2:" + QString::number(port));
        EXPECT_EQ(v.port_no, kNoLink);
        EXPECT_EQ(controls_enabled(), 0);
        EXPECT_FALSE(combo("cbb1")->isEnabled());
        EXPECT_TRUE(combo("cbb_port")->isEnabled());
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].kind, QStringLiteral("error"));
        EXPECT_EQ(dialogs.boxes[0].text, text(135).arg(port));
        EXPECT_TRUE(dialogs.boxes[0].text.contains(QString::number(port)));
        EXPECT_EQ(form->IdUDPServer1->state(), QAbstractSocket::UnconnectedState);
    }
    // Once the port is free again it is taken as usual.
    dialogs.boxes.clear();
    choose_network("127.0.0.2:" + QString::number(port));
    EXPECT_EQ(v.port_no, kNetworkLink);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(LinkSessionTest, AListenerPortThatCannotBeHadLeavesNoLink) {
    const quint16 held = free_udp_port();
    QUdpSocket squatter;
    squatter.setProxy(QNetworkProxy::NoProxy);
    ASSERT_TRUE(squatter.bind(QHostAddress::AnyIPv4, held));
    link.remote_ip = QStringLiteral("127.0.0.2");
    for (std::int32_t port : {std::int32_t{held}, 0, 65536, -65536}) {
        SCOPED_TRACE(port);
        link.port_no = kNetworkLink;
        link.remote_port = port;
        EXPECT_FALSE(session->open_network());
        EXPECT_EQ(link.port_no, kNoLink);
        EXPECT_EQ(session->listener()->state(), QAbstractSocket::UnconnectedState);
    }
    squatter.close();
    link.remote_port = held;
    EXPECT_TRUE(session->open_network());
    EXPECT_EQ(link.port_no, kNetworkLink);
    EXPECT_EQ(session->listener()->localPort(), held);
}

TEST_F(LinkWindow, CancellingTheNetworkBoxLeavesNoLinkChosen) {
    choose_serial();
    dialogs.answers.push_back({false, QString()});
    choose("cbb_port", QStringLiteral("Network"));
    EXPECT_FALSE(v.com_state[1].is_open);
    EXPECT_EQ(v.port_no, kNoLink);
    EXPECT_EQ(controls_enabled(), 0);
    EXPECT_TRUE(combo("cbb_port")->isEnabled());
    EXPECT_FALSE(combo("cbb1")->isEnabled()); // no speed to pick over a closed port
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

// An adapter that is pulled out and plugged back, as the port table sees it: a link at a fixed
// path that points at the pseudo-terminal in use.
class ReplugWindow : public LinkWindow {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        device = dir.filePath(QStringLiteral("ttyUSB0"));
        listed_device = device;
        plug(pty.path());
        LinkWindow::SetUp();
        consume = true;
    }
    void plug(const QString& target) {
        QFile::remove(device);
        ASSERT_TRUE(QFile::link(target, device));
    }
    QString memo() const {
        return form->findChild<QPlainTextEdit*>(QStringLiteral("mmo_re"))->toPlainText();
    }

    QTemporaryDir dir;
    QString device;
};

TEST_F(ReplugWindow, AnUnpluggedAdapterIsToldOnceAndThePortComesBackWhenChosenAgain) {
    // The port list shows the path of the device, not the pty behind it.
    ASSERT_GE(combo("cbb_port")->findText(device), 0);
    const QString told = text(136).arg(device);
    PtyPair* line = &pty;
    std::vector<std::unique_ptr<PtyPair>> plugged;
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        dialogs.boxes.clear();
        seen.clear();
        choose("cbb_port", device);
        ASSERT_EQ(v.port_no, 1);
        ASSERT_TRUE(line->send("1.5 DCV\r\n"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.empty(); }, 2000));
        EXPECT_EQ(seen.back(), QByteArray("1.5 DCV\r\n"));

        QElapsedTimer since;
        since.start();
        line->hang_up();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.boxes.empty(); }, 2000));
        EXPECT_LT(since.elapsed(), 1000);
        // A second report would come within this time, and a reader left polling would show
        // as a busy core.
        const std::clock_t cpu_before = std::clock();
        QTest::qWait(300);
        EXPECT_LT(static_cast<double>(std::clock() - cpu_before) / CLOCKS_PER_SEC, 0.15);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].kind, QStringLiteral("warning"));
        EXPECT_EQ(dialogs.boxes[0].text, told);
        EXPECT_EQ(memo().count(told), cycle + 1);
        EXPECT_EQ(v.port_no, kNoLink);
        EXPECT_FALSE(v.com_state[1].is_open);
        EXPECT_EQ(controls_enabled(), 0);
        EXPECT_TRUE(combo("cbb_port")->isEnabled());

        plugged.push_back(std::make_unique<PtyPair>());
        line = plugged.back().get();
        ASSERT_TRUE(line->valid());
        plug(line->path());
    }
    choose("cbb_port", device);
    ASSERT_EQ(v.port_no, 1);
    ASSERT_TRUE(line->send("2.5 DCV\r\n"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !seen.empty() && seen.back() == "2.5 DCV\r\n"; }, 2000));
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
