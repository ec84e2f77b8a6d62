#include "i18n/lan_tables.h"

#include <algorithm>
#include <array>

namespace {

// Menu names of the languages, the same in every language.
constexpr std::array<const char*, kLanguageSlots> kNames = {
    "[English]",    "[简体中文]", "[Française]",
    "[Deutsch]",    "[Español]",  "[Italian]",
    "[Nederlands]", "",           ""};

// Text numbers held by every language block, in ascending order. Some of them are empty on
// purpose: those numbers exist in every block but nothing is meant to show.
constexpr int kFilled[] = {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  15,  16,  17,
                           18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  30,  31,  100,
                           101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114,
                           115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 131, 132, 133, 134,
                           135, 136, 137, 138, 139, 140, 141, 142, 200, 201, 202, 203, 204, 205,
                           206, 207, 208, 209, 211, 212, 213, 214, 215, 216, 217, 218, 219, 220};

// Texts that read the same in every language: the unit of the speed list and the lines of the
// about box. Numbers of kFilled found neither here nor in a language's list are empty.
constexpr LanText kShared[] = {
    {103, "bps"}, {201, "**********************************"},
    {202, " "},   {203, "Telvane SCPI Software "},
    {204, " "},   {205, "Version 1.0"},
    {206, " "},   {207, "**********************************"},
};

const char* find_text(std::span<const LanText> texts, int k) {
    const auto it =
        std::find_if(texts.begin(), texts.end(), [k](const LanText& t) { return t.k == k; });
    return it == texts.end() ? nullptr : it->text;
}

void store_block(LanguageState& v, int n, std::span<const LanText> own) {
    const int base = kLanBlockBase + 1000 * n;
    for (int k : kFilled) {
        const char* text = find_text(kShared, k);
        if (!text)
            text = find_text(own, k);
        v.lan_text[base + k] = QString::fromUtf8(text ? text : "");
    }
}

bool is_blank(QChar c) {
    return c.unicode() <= 0x20;
}

} // namespace

void lan_build(LanguageState& v) {
    for (int n = 1; n <= kLanguageSlots; ++n)
        v.lan_text[kLanNameBase + n] = QString::fromUtf8(kNames[n - 1]);

    store_block(v, 1, lan_texts_english());
    store_block(v, 2, lan_texts_chinese());
    store_block(v, 3, lan_texts_french());
    store_block(v, 4, lan_texts_german());
    store_block(v, 5, lan_texts_spanish());
    store_block(v, 6, lan_texts_italian());
    store_block(v, 7, lan_texts_dutch());
}

QString lan_name_of_index(const LanguageState& v, int index) {
    if (index < 1000 || index > 1000 * kLanguageSlots || index % 1000 != 0)
        return QString();
    const QString& name = v.lan_text.at(kLanNameBase + index / 1000);
    qsizetype first = 0;
    qsizetype last = name.size();
    while (first < last && is_blank(name.at(first)))
        ++first;
    while (last > first && is_blank(name.at(last - 1)))
        --last;
    return name.mid(first, last - first);
}
