#pragma once

// The two rules for texts that the user types or the instrument sends, kept here at the bottom
// so that the link, the protocol and the files read them alike.

#include <QStringView>

#include <cstdint>
#include <limits>

// Texts taken from replies, edit fields and files lose their leading and trailing blanks and
// control characters (everything up to and including the blank, and DEL), and nothing else: a
// Unicode space inside a reply is data, not padding.
inline bool is_blank_or_control(QChar c) {
    return c.unicode() <= 0x20 || c.unicode() == 0x7F;
}

inline QStringView trim_blanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && is_blank_or_control(s[b]))
        ++b;
    while (e > b && is_blank_or_control(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// Reads a decimal integer: an optional sign followed by decimal digits, nothing else (no blanks,
// no grouping): a caller that allows blanks around it trims them first. False for an empty
// text, any other character, or a value outside 32 bits; `value` is then left alone.
inline bool read_decimal_int(QStringView text, std::int32_t& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            return false;
    }
    const std::int64_t v = negative ? -magnitude : magnitude;
    if (v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}
