// Writing a workbook: the globals (fonts, formats, sheet list, shared strings) are built in
// memory, the sheets go straight from their cells to the file.
#include "files/file_progress.h"
#include "files/xls/biff.h"
#include "files/xls/compound_file.h"
#include "files/xls/xls_workbook.h"

#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>

using biff::Bytes;

namespace {

constexpr std::uint16_t kCellXf = 15; // the default cell format, after the 15 style formats
constexpr int kRowsPerBlock = 32;
constexpr int kNumberBytes = 4 + 14;
constexpr int kLabelBytes = 4 + 10;
constexpr int kRowBytes = 4 + 16;

QByteArray fonts_and_formats() {
    QByteArray out;
    // Five fonts: Excel skips font index 4, so the first five are always written.
    for (int i = 0; i < 5; ++i) {
        QByteArray f;
        Bytes(f).u16(200).u16(0).u16(0x7FFF).u16(400).u16(0).u8(0).u8(0).u8(0).u8(0);
        Bytes(f).short_string(QStringLiteral("Arial"));
        biff::record(out, biff::kFont, f);
    }
    // Fifteen style formats, then the cell format every cell uses: font 0, "General".
    for (int i = 0; i <= 15; ++i) {
        const bool cell = i == 15;
        QByteArray x;
        Bytes(x).u16(0).u16(0).u16(cell ? 0x0001 : 0xFFF5).u8(0x20).u8(0).u8(0);
        Bytes(x).u8(cell || i == 0 ? 0x00 : 0xF4).u32(0).u32(0).u16(0x20C0);
        biff::record(out, biff::kXf, x);
    }
    QByteArray style;
    Bytes(style).u16(0x8000).u8(0).u8(0xFF); // built-in "Normal" on format 0
    biff::record(out, biff::kStyle, style);
    return out;
}

// The shared string table, split into CONTINUE records where a record is full, and its index
// (EXTSST) with the stream position of every dsst-th string.
void shared_strings(QByteArray& g, const SharedStrings& strings, std::uint32_t references) {
    const std::size_t count = strings.size();
    const std::size_t dsst = std::max<std::size_t>(8, (count + 127) / 128);
    QByteArray index;
    Bytes(index).u16(static_cast<std::uint16_t>(dsst));

    qsizetype rec = g.size();
    const auto begin = [&](std::uint16_t type) {
        rec = g.size();
        Bytes(g).u16(type).u16(0);
    };
    const auto end = [&] {
        qToLittleEndian<std::uint16_t>(g.size() - rec - 4, g.data() + rec + 2);
    };
    const auto room = [&] { return biff::kMaxRecordData - (g.size() - rec - 4); };

    begin(biff::kSst);
    Bytes(g).u32(references).u32(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const QStringView s = strings.at(i);
        const bool wide =
            std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() > 0xFF; });
        const int cb = wide ? 2 : 1;
        // The string's header and its first character stay in one record.
        if (room() < 3 + (s.isEmpty() ? 0 : cb)) {
            end();
            begin(biff::kContinue);
        }
        if (i % dsst == 0)
            Bytes(index)
                .u32(static_cast<std::uint32_t>(g.size()))
                .u16(static_cast<std::uint16_t>(g.size() - rec))
                .u16(0);
        Bytes(g).u16(static_cast<std::uint16_t>(s.size())).u8(wide ? 1 : 0);
        qsizetype k = 0;
        while (k < s.size()) {
            qsizetype fit = room() / cb;
            if (fit == 0) {
                // The rest of the string continues in the next record, which restates whether
                // its characters are one byte or two.
                end();
                begin(biff::kContinue);
                Bytes(g).u8(wide ? 1 : 0);
                continue;
            }
            fit = std::min(fit, s.size() - k);
            Bytes b(g);
            for (qsizetype j = k; j < k + fit; ++j)
                wide ? b.u16(s[j].unicode()) : b.u8(static_cast<std::uint8_t>(s[j].unicode()));
            k += fit;
        }
    }
    end();
    biff::record(g, biff::kExtSst, index);
}

// Rows of a sheet and their blocks of 32, which is how the sheet lays out its cells.
struct RowSpan {
    std::uint16_t row;
    std::uint32_t first, end; // cells
    std::uint8_t col_min, col_max;
    std::uint32_t cell_bytes;
};
struct Block {
    std::uint32_t first, end; // row spans
    std::uint32_t bytes;      // rows, cells and the closing DBCELL
};
struct SheetLayout {
    std::vector<RowSpan> rows;
    std::vector<Block> blocks;
    std::uint32_t index_bytes = 0;
    quint64 size = 0;
};

SheetLayout lay_out(const XlsSheet& sheet) {
    SheetLayout l;
    const auto& cells = sheet.cells();
    for (std::uint32_t i = 0; i < cells.size(); ++i) {
        const XlsSheet::Cell& c = cells[i];
        const int bytes = c.kind == XlsSheet::Number ? kNumberBytes : kLabelBytes;
        if (l.rows.empty() || l.rows.back().row != c.row)
            l.rows.push_back({c.row, i, i, c.col, c.col, 0});
        RowSpan& r = l.rows.back();
        r.end = i + 1;
        r.col_max = c.col;
        r.cell_bytes += bytes;
    }
    for (std::uint32_t i = 0; i < l.rows.size(); ++i) {
        if (l.blocks.empty() ||
            l.rows[l.blocks.back().first].row / kRowsPerBlock != l.rows[i].row / kRowsPerBlock)
            l.blocks.push_back({i, i, 0});
        Block& b = l.blocks.back();
        b.end = i + 1;
        b.bytes += kRowBytes + l.rows[i].cell_bytes + 2;
    }
    quint64 blocks = 0;
    for (Block& b : l.blocks) {
        b.bytes += 4 + 4; // DBCELL header and its offset to the first row
        blocks += b.bytes;
    }
    l.index_bytes = 4 + 16 + 4 * static_cast<std::uint32_t>(l.blocks.size());
    l.size = 20 + l.index_bytes + 6 + 18 + blocks + 22 + 4;
    return l;
}

// Buffers writes to the device in large pieces.
class Out {
public:
    explicit Out(QIODevice& dev) : dev_(dev) { buf_.resize(1 << 20); }
    // Room for n bytes, n at most the buffer's size.
    char* take(qsizetype n) {
        if (used_ + n > buf_.size())
            flush();
        char* p = buf_.data() + used_;
        used_ += n;
        written_ += n;
        return p;
    }
    void put(const QByteArray& b) {
        if (b.size() <= buf_.size()) {
            std::memcpy(take(b.size()), b.constData(), b.size());
            return;
        }
        flush();
        if (dev_.write(b) != b.size())
            ok_ = false;
        written_ += b.size();
    }
    bool flush() {
        if (used_ > 0 && dev_.write(buf_.constData(), used_) != used_)
            ok_ = false;
        used_ = 0;
        return ok_;
    }
    quint64 written() const { return written_; }

private:
    QIODevice& dev_;
    QByteArray buf_;
    qsizetype used_ = 0;
    quint64 written_ = 0;
    bool ok_ = true;
};

template <class T> char* le(char* p, T v) {
    qToLittleEndian(v, p);
    return p + sizeof(T);
}

void write_sheet(Out& out, XlsSheet& sheet, const SheetLayout& l, quint64 base, bool selected,
                 FileProgress* progress, quint64 total) {
    const auto& cells = sheet.cells();
    const bool empty = l.rows.empty();
    const std::uint32_t row_min = empty ? 0 : l.rows.front().row;
    const std::uint32_t row_max = empty ? 0 : l.rows.back().row + 1u;
    std::uint8_t col_min = 0xFF, col_max = 0;
    for (const RowSpan& r : l.rows) {
        col_min = std::min(col_min, r.col_min);
        col_max = std::max(col_max, r.col_max);
    }

    out.put(biff::bof(biff::kBofWorksheet));
    const quint64 defcolwidth_at = base + 20 + l.index_bytes;
    QByteArray index;
    Bytes(index).u32(0).u32(row_min).u32(row_max).u32(static_cast<std::uint32_t>(defcolwidth_at));
    quint64 block_at = defcolwidth_at + 6 + 18;
    for (const Block& b : l.blocks) {
        const std::uint32_t rows = b.end - b.first;
        Bytes(index).u32(static_cast<std::uint32_t>(block_at + b.bytes - (8 + 2 * rows)));
        block_at += b.bytes;
    }
    QByteArray rec;
    biff::record(rec, biff::kIndex, index);
    QByteArray body;
    Bytes(body).u16(8);
    biff::record(rec, biff::kDefColWidth, body);
    body.clear();
    Bytes(body)
        .u32(row_min)
        .u32(row_max)
        .u16(empty ? 0 : col_min)
        .u16(empty ? 0 : col_max + 1)
        .u16(0);
    biff::record(rec, biff::kDimensions, body);
    out.put(rec);

    for (const Block& b : l.blocks) {
        for (std::uint32_t r = b.first; r < b.end; ++r) {
            const RowSpan& span = l.rows[r];
            char* p = out.take(kRowBytes);
            p = le<std::uint16_t>(p, biff::kRow);
            p = le<std::uint16_t>(p, 16);
            p = le<std::uint16_t>(p, span.row);
            p = le<std::uint16_t>(p, span.col_min);
            p = le<std::uint16_t>(p, span.col_max + 1);
            p = le<std::uint16_t>(p, 0x00FF); // default height
            p = le<std::uint32_t>(p, 0);
            le<std::uint32_t>(p, 0x000F0100);
        }
        for (std::uint32_t r = b.first; r < b.end; ++r) {
            const RowSpan& span = l.rows[r];
            for (std::uint32_t i = span.first; i < span.end; ++i) {
                const XlsSheet::Cell& c = cells[i];
                const bool number = c.kind == XlsSheet::Number;
                char* p = out.take(number ? kNumberBytes : kLabelBytes);
                p = le<std::uint16_t>(p, number ? biff::kNumber : biff::kLabelSst);
                p = le<std::uint16_t>(p, number ? 14 : 10);
                p = le<std::uint16_t>(p, c.row);
                p = le<std::uint16_t>(p, c.col);
                p = le<std::uint16_t>(p, kCellXf);
                if (number)
                    le<double>(p, sheet.number(c.value));
                else
                    le<std::uint32_t>(p, c.value);
            }
        }
        // DBCELL: back to the first row, then from row to row where its cells start.
        const std::uint32_t rows = b.end - b.first;
        char* p = out.take(4 + 4 + 2 * rows);
        p = le<std::uint16_t>(p, biff::kDbCell);
        p = le<std::uint16_t>(p, static_cast<std::uint16_t>(4 + 2 * rows));
        p = le<std::uint32_t>(p, b.bytes - (8 + 2 * rows));
        p = le<std::uint16_t>(p, static_cast<std::uint16_t>(kRowBytes * (rows - 1)));
        for (std::uint32_t r = b.first + 1; r < b.end; ++r)
            p = le<std::uint16_t>(p, static_cast<std::uint16_t>(l.rows[r - 1].cell_bytes));
        report(progress, static_cast<qint64>(out.written()), static_cast<qint64>(total));
    }

    body.clear();
    // Grid, headers, zeros and outline symbols shown; the first sheet selected.
    Bytes(body).u16(selected ? 0x06B6 : 0x00B6).u16(0).u16(0).u16(0x40).u16(0).u16(0).u16(0).u32(0);
    rec.clear();
    biff::record(rec, biff::kWindow2, body);
    biff::record(rec, biff::kEof, {});
    out.put(rec);
}

} // namespace

bool XlsWorkbook::save(const QString& file_name, FileProgress* progress) {
    std::vector<XlsSheet*> out;
    for (auto& s : sheets_) {
        s->normalize();
        if (s->has_cells())
            out.push_back(s.get());
    }
    if (out.empty())
        for (auto& s : sheets_)
            out.push_back(s.get());
    if (out.empty())
        return false;

    std::uint32_t references = 0;
    std::vector<SheetLayout> layouts;
    for (XlsSheet* s : out) {
        layouts.push_back(lay_out(*s));
        for (const XlsSheet::Cell& c : s->cells())
            references += c.kind == XlsSheet::Text;
    }

    QByteArray g = biff::bof(biff::kBofGlobals);
    QByteArray body;
    Bytes(body).u16(1200); // texts are UTF-16
    biff::record(g, biff::kCodePage, body);
    body.clear();
    Bytes(body).u16(0).u16(0).u16(0x25BC).u16(0x1572).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258);
    biff::record(g, biff::kWindow1, body);
    body.clear();
    Bytes(body).u16(0); // dates count from 1900
    biff::record(g, biff::kDateMode, body);
    g += fonts_and_formats();
    std::vector<qsizetype> sheet_offsets;
    for (XlsSheet* s : out) {
        sheet_offsets.push_back(g.size() + 4);
        body.clear();
        Bytes(body).u32(0).u8(0).u8(0).short_string(s->name());
        biff::record(g, biff::kBoundSheet, body);
    }
    shared_strings(g, *strings_, references);
    biff::record(g, biff::kEof, {});

    quint64 at = static_cast<quint64>(g.size());
    std::vector<quint64> bases;
    for (std::size_t i = 0; i < out.size(); ++i) {
        bases.push_back(at);
        qToLittleEndian(static_cast<std::uint32_t>(at), g.data() + sheet_offsets[i]);
        at += layouts[i].size;
    }
    const quint64 total = std::max<quint64>(at, compound_file::kMinStreamSize);

    QSaveFile file(file_name);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const bool written =
        compound_file::write(file, QStringLiteral("Workbook"), total, [&](QIODevice& dev) {
            Out o(dev);
            o.put(g);
            for (std::size_t i = 0; i < out.size(); ++i)
                write_sheet(o, *out[i], layouts[i], bases[i], i == 0, progress, total);
            if (o.written() < total) // a small workbook fills its stream to the least size
                o.put(QByteArray(static_cast<qsizetype>(total - o.written()), '\0'));
            return o.flush();
        });
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
