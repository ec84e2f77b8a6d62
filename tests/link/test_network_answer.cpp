#include "link/network_answer.h"

#include <gtest/gtest.h>

namespace {

TEST(NetworkAnswer, AddressAndPortAreTakenApart) {
    struct Case {
        const char* answer;
        bool ok;
        const char* ip;        // as typed
        const char* canonical; // when the address is accepted
        bool port_read;
        int port;
    };
    const Case cases[] = {
        {" 192.168.1.25:1200 ", true, "192.168.1.25", "192.168.1.25", true, 1200},
        {"\t10.0.0.5:70000\r", true, "10.0.0.5", "10.0.0.5", true, 70000},
        {"10.0.0.5:0", true, "10.0.0.5", "10.0.0.5", true, 0},
        {"10.0.0.5: 1200", true, "10.0.0.5", "10.0.0.5", true, 1200},
        {"10.1:1200", true, "10.1", "10.0.0.1", true, 1200},
        {"010.0.0.5:1200", true, "010.0.0.5", "8.0.0.5", true, 1200},
        {"192.168.1.25 :1200", true, "192.168.1.25 ", "192.168.1.25", true, 1200},
        {"192.168.1.25", false, "", "", false, 0},
        {"1200", false, "", "", true, 1200},
        {"255.255.255.255:1200", false, "255.255.255.255", "", true, 1200},
        {"host.example:1200", false, "host.example", "", true, 1200},
        {"10.0.0.5:12ab", false, "10.0.0.5", "10.0.0.5", false, 0},
        {"10.0.0.5:1 2", false, "10.0.0.5", "10.0.0.5", false, 0},
        {"10.0.0.5:0x10", false, "10.0.0.5", "10.0.0.5", false, 0},
        {"10.0.0.5:", false, "10.0.0.5", "10.0.0.5", false, 0},
        {"10.0.0.5:99999999999", false, "10.0.0.5", "10.0.0.5", false, 0},
        {"10.0.0.5:1:2", false, "10.0.0.5", "10.0.0.5", false, 0},
        {"", false, "", "", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const NetworkAnswer a = parse_network_answer(QString::fromLatin1(c.answer));
        EXPECT_EQ(a.ok(), c.ok);
        EXPECT_EQ(a.ip, QString::fromLatin1(c.ip));
        EXPECT_EQ(a.port_read, c.port_read);
        if (c.port_read) {
            EXPECT_EQ(a.port, c.port);
        }
        if (a.address_ok) {
            EXPECT_EQ(a.canonical_ip, QString::fromLatin1(c.canonical));
        }
    }
}

TEST(NetworkAnswer, PortPartIsAtMost20Characters) {
    // 21 characters after the ":": the 21st is cut off before reading.
    EXPECT_EQ(parse_network_answer("1.2.3.4:000000000000000000012").port, 1);
    EXPECT_FALSE(parse_network_answer("1.2.3.4:12345678901234567890").port_read);
}

TEST(NetworkAnswer, AnEmbeddedNulIsNoAddress) {
    EXPECT_FALSE(parse_network_answer(QString::fromUtf16(u"1.2.3.4\u0000x:1200")).address_ok);
}

} // namespace
