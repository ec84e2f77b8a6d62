#pragma once

// The language tables: every text of the user interface that changes with the language, held
// in lan_text. Language n (1..9) has the index 1000 * n; entry 10000 + n is its name
// and entries 10000 + index + k its text number k. The texts are constants of the program.

#include "state/language_state.h"

#include <span>

// One text of a language block: its number k and its wording in UTF-8. A line break inside a
// text is a single carriage return.
struct LanText {
    int k;
    const char* text;
};

// The texts that differ between languages, one list per language, in ascending k. The texts
// shared by every language (the about lines, "bps" and the deliberately empty ones) are added
// by lan_build.
std::span<const LanText> lan_texts_english();
std::span<const LanText> lan_texts_chinese();
std::span<const LanText> lan_texts_french();
std::span<const LanText> lan_texts_german();
std::span<const LanText> lan_texts_spanish();
std::span<const LanText> lan_texts_italian();
std::span<const LanText> lan_texts_dutch();

inline constexpr int kLanguageSlots = 9;    // language numbers 1..9, of which 1..7 are filled
inline constexpr int kLanNameBase = 10000;  // entry 10000 + n: name of language n
inline constexpr int kLanBlockBase = 10000; // entry 10000 + index + k: text k of a language

// Fills the nine language names and the seven language blocks of v.lan_text. Running it
// again stores the same values.
void lan_build(LanguageState& v);

// The name of language index / 1000 with leading and trailing blanks and control characters
// removed; empty for an index that names no built language (8000, 9000, anything outside
// 1000..9000 or not a multiple of 1000, or any index before lan_build has run).
QString lan_name_of_index(const LanguageState& v, int index);
