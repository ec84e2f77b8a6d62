#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

// Reads a text file line by line without holding it whole. A UTF-8 or UTF-16 byte-order mark
// selects that encoding, anything else reads as Windows-1252. A line ends at CR LF, at a lone
// LF or at a lone CR; a line end after the last line makes no empty line.
//
// What cannot be a text file of this program is a fault, found as reading gets to it: a line
// over kMaxLineChars, a NUL character, bytes that are not valid in the encoding of the mark.
// The file itself may be of any size: it is never held whole.
class TextLineReader {
public:
    static constexpr qsizetype kMaxLineChars = 1 << 16;

    explicit TextLineReader(const QString& file_name);

    // False when the file cannot be opened.
    bool open();
    // The next line, valid until the next call. False at the end of the file or at a fault;
    // failed() tells them apart.
    bool next(QStringView& line);
    bool failed() const { return failed_; }

    qint64 bytes_read() const { return file_.pos(); }
    qint64 size() const { return size_; }

private:
    enum class Encoding { Cp1252, Utf8, Utf16LE, Utf16BE };

    bool fill();
    qsizetype last_line_break() const;
    bool decode(qsizetype bytes);
    bool fail() {
        failed_ = true;
        return false;
    }

    QFile file_;
    qint64 size_ = 0;
    Encoding encoding_ = Encoding::Cp1252;
    QByteArray raw_; // bytes read but not yet decoded: the start of a line still incomplete
    QString text_;   // decoded whole lines
    qsizetype pos_ = 0;
    bool at_end_ = false;
    bool skip_lf_ = false; // the last line ended with CR, so an LF next belongs to it
    bool failed_ = false;
};
