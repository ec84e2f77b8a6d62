#pragma once

#include <QString>

#include <cstdint>

// What the user typed into the network box ("192.168.1.25:1200"), taken apart: the address
// is what stands before the first ":", the port the decimal integer after it (at most 20
// characters of it, blanks around it allowed). Without a ":" the address is empty and the whole
// answer is read as the port.
struct NetworkAnswer {
    QString trimmed;         // the answer without leading and trailing blanks
    QString ip;              // the address part as typed
    bool port_read = false;  // the port part is a decimal integer
    std::int32_t port = 0;   // valid when port_read
    bool address_ok = false; // inet_addr accepts the address part
    // The address in dotted-quad form when address_ok: "10.1" and "010.0.0.1" are accepted
    // by inet_addr, but datagrams report their sender as "10.0.0.1" and "8.0.0.1".
    QString canonical_ip;

    bool ok() const { return port_read && address_ok; }
};

NetworkAnswer parse_network_answer(const QString& answer);
