#include "link/network_answer.h"

#include "state/text_fields.h"

#include <QHostAddress>

#include <arpa/inet.h>

NetworkAnswer parse_network_answer(const QString& answer) {
    NetworkAnswer a;
    a.trimmed = trim_blanks(answer).toString();
    const qsizetype colon = a.trimmed.indexOf(QChar(':'));
    const QString port_text = colon >= 0 ? a.trimmed.mid(colon + 1, 20) : a.trimmed.left(20);
    a.ip = colon >= 0 ? a.trimmed.left(colon) : QString();
    a.port_read = read_decimal_int(trim_blanks(port_text), a.port);

    // inet_addr stops at a NUL and would accept what stands before it.
    if (!a.ip.isEmpty() && !a.ip.contains(QChar(0))) {
        const QByteArray ip = a.ip.toLatin1();
        const in_addr_t addr = inet_addr(ip.constData());
        if (addr != INADDR_NONE) {
            a.address_ok = true;
            a.canonical_ip = QHostAddress(ntohl(addr)).toString();
        }
    }
    return a;
}
