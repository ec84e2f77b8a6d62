// The serial side of the link operations against a pseudo-terminal.
#include "link/com_io.h"
#include "link/pcomm.h"
#include "link/pty_pair.h"
#include "link/recording_log.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sys/file.h>
#include <thread>

namespace {

const QString kStamp = QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{1,3})");

class SerialLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.valid());
        v.port_table[1] = pty.path();
        v.debug_on = true;
    }
    bool open(int rate_code = 12) { return io.com_open(1, rate_code); }
    static void expect_entry(const QString& entry, const QString& pattern) {
        EXPECT_TRUE(QRegularExpression(kStamp + pattern + "$").match(entry).hasMatch())
            << entry.toStdString();
    }

    PtyPair pty;
    LinkState v;
    PComm pcomm{v.port_table};
    RecordingLog log;
    ComIo io{v, pcomm, nullptr, [this] { return &log; }};
};

TEST_F(SerialLink, EveryRateCodeGivesTheSpeedItsItemNames) {
    const int speeds[] = {1200, 1800, 2400, 4800, 7200, 9600, 19200, 38400, 56000, 57600, 115200};
    for (int code = 7; code <= 17; ++code) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code));
        EXPECT_TRUE(v.com_state[1].is_open);
        EXPECT_EQ(pcomm.sio_getbaud(1), speeds[code - 7]);
        EXPECT_EQ(pcomm.write_timeout(1), 100);
        EXPECT_TRUE(io.com_close(1));
    }
}

TEST_F(SerialLink, LineIsRawBothWays) {
    ASSERT_TRUE(open());
    // No echo, no CR to LF on input, no line buffering: a lone CR is readable at once.
    ASSERT_TRUE(pty.send("A\r"));
    EXPECT_EQ(pty.received_within(100), QByteArray());
    std::uint8_t block[16] = {};
    EXPECT_EQ(io.com_read(1, block, sizeof block), 2);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(block), 2), QByteArray("A\r"));
    // No LF to CR LF on output: the line goes out byte for byte.
    v.send_str = QStringLiteral("READ?");
    io.com_write(1, v.send_str);
    EXPECT_EQ(pty.received_within(200), QByteArray("READ?\r\n"));
    EXPECT_EQ(v.send_str, QStringLiteral("READ?"));
}

TEST_F(SerialLink, WritesOnlyToAnOpenPort) {
    io.com_write(1, QStringLiteral("READ?")); // not open yet
    io.com_write(0, QStringLiteral("READ?"));
    EXPECT_EQ(pty.received_within(100), QByteArray());
    EXPECT_TRUE(log.entries().isEmpty());

    ASSERT_TRUE(open());
    io.com_write(0, QStringLiteral("READ?"));
    EXPECT_EQ(pty.received_within(100), QByteArray());
}

TEST_F(SerialLink, CharactersGoOutAsTheirLow8Bits) {
    ASSERT_TRUE(open());
    io.com_write(1, QString::fromUtf16(u"\u00b0\u0141"));
    EXPECT_EQ(pty.received_within(200), QByteArray("\xb0\x41\r\n"));
}

TEST_F(SerialLink, LongCommandsAreSentWhole) {
    ASSERT_TRUE(open());
    const QString text(3000, QChar('x'));
    io.com_write(1, text);
    EXPECT_EQ(pty.received_within(300), text.toLatin1() + "\r\n");
}

TEST_F(SerialLink, ManyWaitingBytesComeOutInBlocks) {
    ASSERT_TRUE(open());
    QByteArray sent;
    for (int i = 0; i < 6000; ++i)
        sent.append(static_cast<char>(i % 251));
    ASSERT_TRUE(pty.send(sent));

    QByteArray got;
    std::vector<std::uint8_t> block(4801);
    for (int tries = 0; got.size() < sent.size() && tries < 200; ++tries) {
        const int n = io.com_read(1, block.data(), 4801);
        if (n < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        ASSERT_LE(n, 4801);
        got.append(reinterpret_cast<const char*>(block.data()), n);
    }
    EXPECT_EQ(got, sent);
    // Bytes beyond the caller's capacity stay queued.
    ASSERT_TRUE(pty.send("0123456789"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(io.com_read(1, block.data(), 4), 4);
    EXPECT_EQ(io.com_read(1, block.data(), 4801), 6);
    EXPECT_EQ(io.com_read(1, block.data(), 4801), -1);
}

TEST_F(SerialLink, ClosingTwiceGivesTrueThenFalseAndFreesTheDevice) {
    ASSERT_TRUE(open());
    EXPECT_TRUE(io.com_close(1));
    EXPECT_FALSE(v.com_state[1].is_open);
    EXPECT_FALSE(io.com_close(1));
    EXPECT_TRUE(open());
}

TEST_F(SerialLink, TrafficLogLines) {
    ASSERT_TRUE(open());
    io.com_write(1, QStringLiteral("READ?"));
    ASSERT_TRUE(pty.send("1\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::uint8_t block[64];
    ASSERT_EQ(io.com_read(1, block, sizeof block), 3);
    EXPECT_EQ(io.com_read(1, block, sizeof block), -1); // nothing: no line
    io.com_close(1);
    v.port_table[2] = QStringLiteral("/dev/no-such-tty");
    EXPECT_FALSE(io.com_open(2, 12));

    const QStringList e = log.entries();
    ASSERT_EQ(e.size(), 5);
    expect_entry(e[0], "  COM1  IS OPEN");
    expect_entry(e[1], "  COM1  Send String:  READ\\?\r\n");
    expect_entry(e[2], "  COM1  Read:\\(3\\)  31 0D 0A \r\n");
    expect_entry(e[3], "  COM1  IS Closed");
    expect_entry(e[4], "  COM2  OPEN FAIL");
}

TEST_F(SerialLink, NothingIsLoggedWhileDebugIsOff) {
    v.debug_on = false;
    ASSERT_TRUE(open());
    io.com_write(1, QStringLiteral("READ?"));
    ASSERT_TRUE(pty.send("1\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::uint8_t block[64];
    EXPECT_EQ(io.com_read(1, block, sizeof block), 3);
    io.com_close(1);
    EXPECT_FALSE(io.com_open(50, 12));
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(SerialLink, OpenIsRefusedWithTheSystemsReason) {
    // Another program holding the device: its lock is on another open file of the device.
    const int other = ::open(QFile::encodeName(pty.path()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    v.port_table[3] = QStringLiteral("/dev/no-such-tty");
    v.port_table[4] = QStringLiteral("/dev/null"); // exists, but is no serial line

    struct Case {
        int port;
        const char* reason;
    };
    const Case cases[] = {
        {1, "Device or resource busy"},
        {3, "No such file or directory"},
        {4, "Inappropriate ioctl for device"},
        {5, "No such device"}, // no device listed
        {0, "No such device"},
        {100, "No such device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        EXPECT_FALSE(io.com_open(c.port, 12));
        EXPECT_EQ(io.open_error_text(), QString::fromLatin1(c.reason));
        if (c.port < kPortCount) {
            EXPECT_FALSE(v.com_state[c.port].is_open);
        }
    }
    ::close(other);
    EXPECT_TRUE(open()); // the lock went with the other opener
}

TEST_F(SerialLink, PermissionProblemsNameTheGroup) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens any device";
    const QByteArray path = QFile::encodeName(pty.path());
    ASSERT_EQ(chmod(path.constData(), 0), 0);
    EXPECT_FALSE(open());
    EXPECT_TRUE(io.open_error_text().startsWith(QStringLiteral("Permission denied")));
    EXPECT_TRUE(io.open_error_text().contains(QStringLiteral("dialout")));
    chmod(path.constData(), 0620);
}

TEST_F(SerialLink, UnpluggedAdapterFailsQuietly) {
    ASSERT_TRUE(open());
    ASSERT_TRUE(pty.send("partial"));
    pty.hang_up();
    std::uint8_t block[64];
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(pcomm.sio_iqueue(1), 0);
        EXPECT_EQ(io.com_read(1, block, sizeof block), -1);
        io.com_write(1, QStringLiteral("READ?")); // returns, sends nowhere
    }
    EXPECT_TRUE(io.com_close(1));
}

TEST_F(SerialLink, AWriteWaitingForTheLineDoesNotHoldUpTheReader) {
    ASSERT_TRUE(open());
    ASSERT_EQ(pcomm.sio_SetWriteTimeouts(1, 1500), PComm::kOk);
    // Nobody reads the other end: the write fills the line's buffers and then waits for room
    // until its time-out.
    const QByteArray big(1 << 20, 'x');
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        pcomm.sio_write(1, big.constData(), static_cast<int>(big.size()));
        writing = false;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(writing) << "the write did not wait; nothing was tested";
    const auto before = std::chrono::steady_clock::now();
    EXPECT_GE(pcomm.sio_iqueue(1), 0);
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_LT(took, std::chrono::milliseconds(100));
    EXPECT_TRUE(writing);
    writer.join();
}

TEST(SystemErrorText, PermissionAddsTheGroupHint) {
    EXPECT_TRUE(system_error_text(EACCES).contains(QStringLiteral("dialout")));
    EXPECT_FALSE(system_error_text(EBUSY).contains(QStringLiteral("dialout")));
}

} // namespace
