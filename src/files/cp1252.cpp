#include "files/cp1252.h"

#include <array>

namespace cp1252 {
namespace {

// Characters of bytes 0x80..0x9F.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

// The byte of a character outside 0x00..0x7F and 0xA0..0xFF, or 0 when it has none.
char byte_of_extra(char16_t c) {
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    return 0;
}

} // namespace

void decode_append(QByteArrayView bytes, QString& out) {
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    char16_t* p = reinterpret_cast<char16_t*>(out.data()) + start;
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *p++ = (u & 0xE0) == 0x80 ? kHigh[u - 0x80] : char16_t(u);
    }
}

char* encode(QStringView text, char* out) {
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            *out++ = static_cast<char>(c);
            continue;
        }
        const char b = byte_of_extra(c);
        if (b == 0)
            return nullptr;
        *out++ = b;
    }
    return out;
}

bool can_encode(QStringView text) {
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x80 && (c < 0xA0 || c > 0xFF) && byte_of_extra(c) == 0)
            return false;
    }
    return true;
}

} // namespace cp1252
