#pragma once

#include "link/link_session.h"
#include "link/pty_pair.h"
#include "state/link_state.h"
#include "state/reception_state.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

// An interpreter seam that records the pending bytes of rx_buf at each pass, and takes them
// when `consume` is set.
struct RecordingInterpreter {
    std::vector<QByteArray> seen; // pending bytes at each interpreter pass
    bool consume = false;         // whether the pass takes the pending bytes

    void install(LinkSession& session, ReceptionState& rx) {
        session.set_interpreter([this, &rx] {
            seen.push_back(
                QByteArray(reinterpret_cast<const char*>(rx.rx_buf.data()) + rx.rx_pos, rx.rx_len));
            if (consume) {
                rx.rx_pos = 0;
                rx.rx_len = 0;
            }
        });
    }
};

// The session without any window: its link and reception state, a pseudo-terminal as serial
// port 1 and the interpreter seam.
class LinkSessionTest : public ::testing::Test, protected RecordingInterpreter {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.valid());
        link.port_table[1] = pty.path();
        session = std::make_unique<LinkSession>(link, rx, ComIo::LogSource{});
        install(*session, rx);
        QObject::connect(
            session.get(), &LinkSession::link_lost,
            [this](std::int32_t port, const QString& device) { lost.emplace_back(port, device); });
    }
    void TearDown() override {
        if (session)
            session->shut_down();
    }

    static constexpr int k9600 = 5; // item of the speed list
    void open_serial() {
        ASSERT_EQ(session->open_serial(1, k9600), LinkSession::SerialOpen::Opened);
    }

    PtyPair pty;
    LinkState link;
    ReceptionState rx;
    std::unique_ptr<LinkSession> session;
    std::vector<std::pair<std::int32_t, QString>> lost;
};
