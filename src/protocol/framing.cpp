// Framing: cuts the pending bytes of rx_buf into CR LF-terminated reply lines.
#include "protocol/interpret_rx.h"
#include "protocol/recall_step.h"
#include "state/traffic_log.h"

#include <QByteArray>
#include <QTime>

#include <cstring>

namespace {

constexpr std::uint8_t kCR = 13;
constexpr std::uint8_t kLF = 10;

bool printable(std::uint8_t b) {
    return b >= 32 && b <= 126;
}

// The text of a line: its bytes 32..126, one character each; every other byte is left out.
QString line_text(const std::uint8_t* bytes, int count, int printable_count) {
    QString s(printable_count, Qt::Uninitialized);
    QChar* out = s.data();
    for (int i = 0; i < count; ++i)
        if (printable(bytes[i]))
            *out++ = QLatin1Char(char(bytes[i]));
    return s;
}

int count_printable(const std::uint8_t* bytes, int count) {
    int n = 0;
    for (int i = 0; i < count; ++i)
        n += printable(bytes[i]);
    return n;
}

void append_code(QByteArray& codes, std::uint8_t b) {
    char digits[4];
    int n = 0;
    if (b >= 100)
        digits[n++] = char('0' + b / 100);
    if (b >= 10)
        digits[n++] = char('0' + b / 10 % 10);
    digits[n++] = char('0' + b % 10);
    digits[n++] = ' ';
    codes.append(digits, n);
}

} // namespace

int frame_replies(ALL_V& v, RxSink& sink) {
    const int s = v.rx_pos;
    const int end = v.rx_pos + v.rx_len;
    const std::uint8_t* buf = v.rx_buf.data();
    const bool log = v.debug_on;

    // The code list is only for the traffic log: with the log off no byte costs an append.
    QByteArray codes;
    if (log)
        codes.reserve(v.rx_len * 4);

    QStringList taken;
    int t = 0;     // bytes taken, from s
    int line = s;  // first byte of the line being scanned
    int chars = 0; // printable bytes in it so far
    int scanned = end;
    for (int k = s; k < end; ++k) {
        const std::uint8_t b = buf[k];
        if (log)
            append_code(codes, b);
        chars += printable(b);
        // A line is taken up to its last byte before CR LF, whatever its length, as soon as
        // it has text; the CR LF stays pending and begins the next line, whose text drops it.
        if (chars > 0 && k + 2 < end && buf[k + 1] == kCR && buf[k + 2] == kLF) {
            taken.append(line_text(buf + line, k + 1 - line, chars));
            line = k + 1;
            chars = 0;
            t = k + 1 - s;
            // A dump right behind this reply is left whole for the read-back.
            if (recall_header_length(buf + k + 1, end - k - 1) > 0) {
                scanned = k + 1;
                break;
            }
        }
    }

    if (!taken.isEmpty()) {
        v.reply_lines.append(taken);
        if (v.reply_lines.size() > kReplyLinesKept)
            v.reply_lines.remove(0, v.reply_lines.size() - kReplyLinesKept);
        sink.show_replies(taken);
    }

    if (log) {
        QString entry = log_time_text(QTime::currentTime()) + QStringLiteral("  ");
        for (const QString& l : std::as_const(v.reply_lines))
            entry += l + QStringLiteral("\r\n");
        entry += QStringLiteral(" | ");
        entry += line_text(buf + line, scanned - line, count_printable(buf + line, scanned - line));
        entry += QStringLiteral(" | ");
        entry += QLatin1String(codes);
        sink.log_traffic(entry);
    }

    if (t > 0) {
        std::memmove(v.rx_buf.data(), v.rx_buf.data() + s + t, std::size_t(v.rx_len - t));
        v.rx_pos = 0;
        v.rx_len -= t;
    }
    return int(taken.size());
}
