#include "files/xls/xls_workbook.h"

#include "files/xls/biff.h"
#include "files/xls/compound_file.h"

#include <QFile>
#include <QHash>

#include <algorithm>

std::uint32_t SharedStrings::add(QStringView s) {
    if (size() * 2 >= slots_.size())
        grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = qHash(s) & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = slots_[i];
        if (slot == 0) {
            chars_.insert(chars_.end(), s.utf16(), s.utf16() + s.size());
            starts_.push_back(static_cast<std::uint32_t>(chars_.size()));
            slots_[i] = static_cast<std::uint32_t>(size());
            return slots_[i] - 1;
        }
        if (at(slot - 1) == s)
            return slot - 1;
    }
}

void SharedStrings::grow() {
    std::vector<std::uint32_t> table(slots_.size() * 2);
    const std::size_t mask = table.size() - 1;
    for (std::size_t k = 0; k < size(); ++k) {
        std::size_t i = qHash(at(k)) & mask;
        while (table[i] != 0)
            i = (i + 1) & mask;
        table[i] = static_cast<std::uint32_t>(k + 1);
    }
    slots_ = std::move(table);
}

void XlsSheet::put(int row, int col, Kind kind, std::uint32_t value) {
    const Cell c{value, static_cast<std::uint16_t>(row), static_cast<std::uint8_t>(col), kind};
    if (!cells_.empty()) {
        const Cell& last = cells_.back();
        if (c.row < last.row || (c.row == last.row && c.col <= last.col))
            ordered_ = false;
    }
    cells_.push_back(c);
}

void XlsSheet::set_number(int row, int col, double value) {
    put(row, col, Number, static_cast<std::uint32_t>(numbers_.size()));
    numbers_.push_back(value);
}

void XlsSheet::set_text(int row, int col, QStringView text) {
    put(row, col, Text,
        strings_->add(text.first(std::min<qsizetype>(text.size(), XlsWorkbook::kMaxTextChars))));
}

void XlsSheet::clear(int row, int col) {
    // A cell after every cell written so far was never written: nothing to clear.
    const bool after_all = cells_.empty() || row > cells_.back().row ||
                           (row == cells_.back().row && col > cells_.back().col);
    if (!ordered_ || !after_all)
        put(row, col, Empty, 0);
}

void XlsSheet::normalize() {
    if (!ordered_) {
        std::stable_sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) {
            return a.row != b.row ? a.row < b.row : a.col < b.col;
        });
        // Of the writes to one cell the last counts.
        std::vector<Cell> last;
        last.reserve(cells_.size());
        for (const Cell& c : cells_) {
            if (!last.empty() && last.back().row == c.row && last.back().col == c.col)
                last.back() = c;
            else
                last.push_back(c);
        }
        cells_ = std::move(last);
        ordered_ = true;
    }
    std::erase_if(cells_, [](const Cell& c) { return c.kind == Empty; });
}

bool XlsSheet::has_cells() const {
    return std::any_of(cells_.begin(), cells_.end(), [](const Cell& c) { return c.kind != Empty; });
}

XlsSheet& XlsWorkbook::add_sheet(const QString& name) {
    sheets_.push_back(std::make_unique<XlsSheet>(name, *strings_));
    return *sheets_.back();
}

std::optional<XlsWorkbook> XlsWorkbook::open(const QString& file_name) {
    QFile f(file_name);
    // A blank workbook is a few kilobytes; anything far larger holds cells anyway.
    if (!f.open(QIODevice::ReadOnly) || f.size() > (qint64(64) << 20))
        return std::nullopt;
    const auto stream = compound_file::read_stream(f.readAll(), QStringLiteral("Workbook"));
    if (!stream)
        return std::nullopt;
    const std::optional<std::vector<biff::SheetEntry>> entries = biff::read_empty_sheets(*stream);
    if (!entries || entries->empty())
        return std::nullopt;
    XlsWorkbook book;
    for (const biff::SheetEntry& e : *entries)
        book.add_sheet(e.name);
    return book;
}
