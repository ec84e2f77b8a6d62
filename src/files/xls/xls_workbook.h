#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class FileProgress;

// The texts of a workbook's text cells, each kept once (the workbook's shared string table).
class SharedStrings {
public:
    std::uint32_t add(QStringView s);
    std::size_t size() const { return starts_.size() - 1; }
    QStringView at(std::size_t i) const {
        return QStringView(chars_.data() + starts_[i], starts_[i + 1] - starts_[i]);
    }

private:
    void grow();

    std::vector<char16_t> chars_;
    std::vector<std::uint32_t> starts_{0};
    std::vector<std::uint32_t> slots_ = std::vector<std::uint32_t>(1024); // index + 1; 0: free
};

// One worksheet: its name and its cells, numbers or texts. Cells are kept as they are written,
// eight or sixteen bytes each, because an export hands over millions of them; a cell written
// twice keeps its last content.
class XlsSheet {
public:
    enum Kind : std::uint8_t { Empty, Number, Text };
    struct Cell {
        std::uint32_t value; // index into the numbers, or into the shared strings
        std::uint16_t row;
        std::uint8_t col;
        Kind kind;
    };

    XlsSheet(QString name, SharedStrings& strings) : name_(std::move(name)), strings_(&strings) {}

    const QString& name() const { return name_; }
    void set_name(const QString& name) { name_ = name; }

    // Rows and columns count from 0, below XlsWorkbook's limits.
    void set_number(int row, int col, double value);
    void set_text(int row, int col, QStringView text);
    void clear(int row, int col);

    // Sorts the cells by row and column, one per cell, empty ones dropped.
    void normalize();
    const std::vector<Cell>& cells() const { return cells_; }
    double number(std::uint32_t i) const { return numbers_[i]; }
    bool has_cells() const;

private:
    void put(int row, int col, Kind kind, std::uint32_t value);

    QString name_;
    SharedStrings* strings_;
    std::vector<Cell> cells_;
    std::vector<double> numbers_;
    bool ordered_ = true; // every cell so far came after the one before it
};

// An Excel 97-2003 workbook (BIFF8 in a compound document), built in memory and saved whole.
class XlsWorkbook {
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;
    static constexpr int kMaxTextChars = 32767;
    static constexpr int kMaxSheetNameChars = 31;

    XlsWorkbook() = default;
    XlsWorkbook(XlsWorkbook&&) = default;
    XlsWorkbook& operator=(XlsWorkbook&&) = default;

    XlsSheet& add_sheet(const QString& name);
    // In the order they were added.
    const std::vector<std::unique_ptr<XlsSheet>>& sheets() const { return sheets_; }
    const SharedStrings& strings() const { return *strings_; }

    // Writes the file, replacing it once it is complete. The sheets that hold cells go out in
    // the order they were added; sheets without cells are left out unless no sheet has any,
    // since a workbook file holds at least one sheet. False when it cannot be written.
    bool save(const QString& file_name, FileProgress* progress = nullptr);

    // Reads the sheet names of a workbook file whose sheets hold no cells, such as one saved
    // blank. Nothing for anything else: this writer does not carry cells it did not write.
    static std::optional<XlsWorkbook> open(const QString& file_name);

private:
    std::unique_ptr<SharedStrings> strings_ = std::make_unique<SharedStrings>();
    std::vector<std::unique_ptr<XlsSheet>> sheets_;
};
