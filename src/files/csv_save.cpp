#include "files/csv_save.h"

#include "files/file_progress.h"
#include "files/table_rows.h"
#include "presentation/measurement_table.h"
#include "protocol/number_text.h"

#include <QSaveFile>

#include <charconv>
#include <string>

namespace {

constexpr std::size_t kFlushBytes = 1 << 20;
constexpr int kRowsPerReport = 4096;

// One line after the other into a buffer that goes to the file in large blocks.
class CsvLines {
public:
    explicit CsvLines(QSaveFile& file) : file_(file) { buf_.reserve(kFlushBytes + 4096); }

    void field(QStringView text) {
        const std::size_t start = buf_.size();
        append_utf8(text, buf_);
        if (buf_.find_first_of(",\"\r\n", start) == std::string::npos)
            return;
        // Quote it: the text again, with every quote doubled.
        std::string quoted = "\"";
        for (std::size_t i = start; i < buf_.size(); ++i) {
            quoted.push_back(buf_[i]);
            if (buf_[i] == '"')
                quoted.push_back('"');
        }
        quoted.push_back('"');
        buf_.replace(start, std::string::npos, quoted);
    }
    // A number written with `sep` gets "." in its place; nothing else of it changes.
    void value(QStringView text, QChar sep) {
        double unused;
        if (sep == u'.' || !text_to_number(text, sep, unused))
            return field(text);
        const std::size_t start = buf_.size();
        append_utf8(text, buf_);
        const std::size_t at = buf_.find(char(sep.unicode()), start);
        if (at != std::string::npos)
            buf_[at] = '.';
    }
    void number(std::int64_t n) {
        char digits[24];
        buf_.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    }
    void comma() { buf_.push_back(','); }
    void line_end() {
        buf_.append("\r\n", 2);
        if (buf_.size() >= kFlushBytes)
            flush();
    }
    bool flush() {
        if (!buf_.empty() && file_.write(buf_.data(), qint64(buf_.size())) != qint64(buf_.size()))
            ok_ = false;
        buf_.clear();
        return ok_;
    }

private:
    QSaveFile& file_;
    std::string buf_;
    bool ok_ = true;
};

} // namespace

bool save_csv_file(const QString& file_name, const MeasurementTable& table, QChar dec_sep,
                   FileProgress* progress) {
    const int rows = rows_to_save(table);
    report(progress, 0, rows);
    QSaveFile file(file_name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    CsvLines out(file);
    for (int c = 0; c < MeasurementTable::kColumns; ++c) {
        if (c > 0)
            out.comma();
        out.field(table.cell(0, c));
    }
    out.line_end();
    for (int r = 1; r < rows; ++r) {
        out.number(table.row_index(r));
        for (int c = 1; c < MeasurementTable::kColumns; ++c) {
            out.comma();
            const QString text = table.cell(r, c);
            if (is_value_column(c))
                out.value(text, dec_sep);
            else
                out.field(text);
        }
        out.line_end();
        if (r % kRowsPerReport == 0)
            report(progress, r, rows);
    }
    if (!out.flush() || !file.commit())
        return false;
    report(progress, rows, rows);
    return true;
}
