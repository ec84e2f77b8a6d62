#pragma once

#include <QStringView>

// Texts taken from replies and edit fields lose their leading and trailing blanks and control
// characters (everything up to and including the blank, and DEL), and nothing else: a Unicode
// space inside a reply is data, not padding.
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
