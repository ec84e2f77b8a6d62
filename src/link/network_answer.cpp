#include "link/network_answer.h"

#include <QHostAddress>

#include <arpa/inet.h>
#include <limits>

QString trim_blanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

bool read_decimal_int(const QString& text, std::int32_t& value) {
    const QString t = trim_blanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QChar('+') || t.at(i) == QChar('-')))
        negative = t.at(i++) == QChar('-');
    if (i == t.size())
        return false;
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
        if (v > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

NetworkAnswer parse_network_answer(const QString& answer) {
    NetworkAnswer a;
    a.trimmed = trim_blanks(answer);
    const qsizetype colon = a.trimmed.indexOf(QChar(':'));
    const QString port_text = colon >= 0 ? a.trimmed.mid(colon + 1, 20) : a.trimmed.left(20);
    a.ip = colon >= 0 ? a.trimmed.left(colon) : QString();
    a.port_read = read_decimal_int(port_text, a.port);

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
