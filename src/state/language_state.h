#pragma once

// What the languages share: the fixed texts of every language and the one in use, and the
// decimal separator of this system.

#include <QString>

#include <cstdint>
#include <vector>

inline constexpr int kLanTextSize = 20001; // lan_text, indexes 0..20000

struct LanguageState {
    std::vector<QString> lan_text = std::vector<QString>(kLanTextSize);
    std::int32_t lan_index = 0;
    QString dec_sep;

    // Text k of the current language.
    const QString& text(int k) const { return lan_text.at(10000 + lan_index + k); }

    // The separator that numbers are read and written with: the first character of dec_sep,
    // or '.' before the system was asked (a fresh state in a test, a tool that never asks).
    QChar separator() const { return dec_sep.isEmpty() ? QChar(u'.') : dec_sep.front(); }
};
