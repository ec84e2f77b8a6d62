#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Records of the BIFF8 workbook stream: the writer's little-endian byte building and the
// reading of a workbook's sheet list.
namespace biff {

enum RecordType : std::uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodePage = 0x0042,
    kWindow1 = 0x003D,
    kDateMode = 0x0022,
    kFont = 0x0031,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kIndex = 0x020B,
    kDefColWidth = 0x0055,
    kDimensions = 0x0200,
    kRow = 0x0208,
    kNumber = 0x0203,
    kLabelSst = 0x00FD,
    kDbCell = 0x00D7,
    kWindow2 = 0x023E,
};

inline constexpr int kMaxRecordData = 8224;
inline constexpr std::uint16_t kBofGlobals = 0x0005;
inline constexpr std::uint16_t kBofWorksheet = 0x0010;

// Appends little-endian values to a byte array.
class Bytes {
public:
    explicit Bytes(QByteArray& out) : out_(out) {}
    Bytes& u8(std::uint8_t v) {
        out_.append(static_cast<char>(v));
        return *this;
    }
    Bytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& f64(double v);
    // A sheet or font name: length byte, then Latin-1 or UTF-16 characters.
    Bytes& short_string(const QString& s);

private:
    QByteArray& out_;
};

// Appends a whole record: type, length, body.
void record(QByteArray& out, std::uint16_t type, const QByteArray& body);
QByteArray bof(std::uint16_t kind);

struct SheetEntry {
    QString name;
    std::uint32_t offset; // of the sheet's BOF in the stream
};

// The worksheets of a workbook stream, provided that none of them holds a cell.
std::optional<std::vector<SheetEntry>> read_empty_sheets(const QByteArray& stream);

} // namespace biff
