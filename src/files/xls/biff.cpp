#include "files/xls/biff.h"

#include <QtEndian>

#include <cstring>

namespace biff {

Bytes& Bytes::f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
}

Bytes& Bytes::short_string(const QString& s) {
    const bool wide = std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() > 0xFF; });
    u8(static_cast<std::uint8_t>(s.size())).u8(wide ? 1 : 0);
    for (const QChar c : s)
        wide ? u16(c.unicode()) : u8(static_cast<std::uint8_t>(c.unicode()));
    return *this;
}

void record(QByteArray& out, std::uint16_t type, const QByteArray& body) {
    Bytes(out).u16(type).u16(static_cast<std::uint16_t>(body.size()));
    out.append(body);
}

QByteArray bof(std::uint16_t kind) {
    QByteArray body;
    // BIFF8, then the build and year of the format and the file history flags.
    Bytes(body).u16(0x0600).u16(kind).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x00000006);
    QByteArray r;
    record(r, kBof, body);
    return r;
}

namespace {

bool is_cell_record(std::uint16_t type) {
    switch (type) {
    case 0x0006: // FORMULA
    case 0x00BD: // MULRK
    case 0x00BE: // MULBLANK
    case 0x00D6: // RSTRING
    case kLabelSst:
    case 0x0201: // BLANK
    case kNumber:
    case 0x0204: // LABEL
    case 0x0205: // BOOLERR
    case 0x027E: // RK
        return true;
    default:
        return false;
    }
}

// Walks the records from `pos` to the EOF record, handing each to `visit`; false when the
// records run past the stream or `visit` says stop.
template <class Visit> bool walk(const QByteArray& s, qsizetype pos, Visit visit) {
    bool first = true;
    while (pos + 4 <= s.size()) {
        const auto type = qFromLittleEndian<std::uint16_t>(s.constData() + pos);
        const auto len = qFromLittleEndian<std::uint16_t>(s.constData() + pos + 2);
        if (pos + 4 + len > s.size())
            return false;
        const QByteArrayView body(s.constData() + pos + 4, len);
        if (first && type != kBof)
            return false;
        first = false;
        if (type == kEof)
            return true;
        if (!visit(type, body))
            return false;
        pos += 4 + len;
    }
    return false;
}

std::uint16_t bof_kind(const QByteArray& s, qsizetype pos) {
    if (pos < 0 || pos + 8 > s.size() ||
        qFromLittleEndian<std::uint16_t>(s.constData() + pos) != kBof ||
        qFromLittleEndian<std::uint16_t>(s.constData() + pos + 4) != 0x0600)
        return 0;
    return qFromLittleEndian<std::uint16_t>(s.constData() + pos + 6);
}

} // namespace

std::optional<std::vector<SheetEntry>> read_empty_sheets(const QByteArray& stream) {
    if (bof_kind(stream, 0) != kBofGlobals)
        return std::nullopt;
    std::vector<SheetEntry> sheets;
    const bool globals_ok = walk(stream, 0, [&](std::uint16_t type, QByteArrayView b) {
        if (type != kBoundSheet)
            return true;
        if (b.size() < 8 || b[5] != 0) // only worksheets
            return false;
        const auto cch = static_cast<std::uint8_t>(b[6]);
        const bool wide = b[7] & 1;
        if (b.size() < 8 + cch * (wide ? 2 : 1))
            return false;
        QString name;
        for (int i = 0; i < cch; ++i)
            name += wide ? QChar(qFromLittleEndian<std::uint16_t>(b.data() + 8 + 2 * i))
                         : QChar(static_cast<std::uint8_t>(b[8 + i]));
        sheets.push_back({name, qFromLittleEndian<std::uint32_t>(b.data())});
        return true;
    });
    if (!globals_ok)
        return std::nullopt;
    for (const SheetEntry& sheet : sheets) {
        const auto at = static_cast<qsizetype>(sheet.offset);
        if (bof_kind(stream, at) != kBofWorksheet ||
            !walk(stream, at,
                  [](std::uint16_t type, QByteArrayView) { return !is_cell_record(type); }))
            return std::nullopt;
    }
    return sheets;
}

} // namespace biff
