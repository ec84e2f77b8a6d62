#include "files/cp1252.h"
#include "files/file_progress.h"
#include "files/table_rows.h"
#include "files/text_data_file.h"
#include "presentation/measurement_table.h"

#include <QByteArray>
#include <QSaveFile>
#include <QStringEncoder>

namespace {

constexpr qsizetype kFlushBytes = 1 << 20;
constexpr int kRowsPerReport = 4096;

// Buffers the encoded lines and writes them to the file in large blocks.
class EncodedLines {
public:
    EncodedLines(QSaveFile& file, bool utf8) : file_(file), utf8_(utf8) {
        buf_.resize(kFlushBytes * 2);
        if (utf8_)
            raw("\xEF\xBB\xBF", 3);
    }

    // False when the text has a character that Windows-1252 cannot hold.
    bool text(QStringView s) {
        const qsizetype need = utf8_ ? encoder_.requiredSpace(s.size()) : s.size();
        make_room(need);
        char* out = buf_.data() + used_;
        char* end = utf8_ ? encoder_.appendToBuffer(out, s) : cp1252::encode(s, out);
        if (!end)
            return false;
        used_ = end - buf_.data();
        return true;
    }
    void raw(const char* s, qsizetype n) {
        make_room(n);
        std::copy_n(s, n, buf_.data() + used_);
        used_ += n;
    }
    void tab() { raw("\t", 1); }
    void line_end() {
        raw("\r\n", 2);
        if (used_ >= kFlushBytes)
            flush();
    }
    bool flush() {
        if (used_ > 0 && file_.write(buf_.constData(), used_) != used_)
            ok_ = false;
        used_ = 0;
        return ok_;
    }

private:
    void make_room(qsizetype n) {
        if (used_ + n <= buf_.size())
            return;
        flush();
        if (n > buf_.size())
            buf_.resize(n);
    }

    QSaveFile& file_;
    bool utf8_;
    // Stateless: a half character at the end of one text becomes a replacement character
    // there instead of running into the next text.
    QStringEncoder encoder_{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    QByteArray buf_;
    qsizetype used_ = 0;
    bool ok_ = true;
};

enum class Pass { Written, NeedsUtf8, Failed };

Pass write_file(const QString& file_name, bool utf8, const IdentTexts& labels,
                const IdentTexts& fields, const MeasurementTable& table, int rows,
                FileProgress* progress) {
    QSaveFile file(file_name);
    // Where no temporary file can be made beside it, write the file in place as before.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return Pass::Failed;
    EncodedLines out(file, utf8);
    const auto give_up = [&file] {
        file.cancelWriting();
        return Pass::NeedsUtf8;
    };

    for (int k = 0; k < 4; ++k) {
        if (!out.text(labels[k]))
            return give_up();
        out.raw(": ", 2);
        if (!out.text(fields[k]))
            return give_up();
        out.line_end();
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < MeasurementTable::kColumns; ++c) {
            if (!out.text(table.cell(r, c)))
                return give_up();
            out.tab();
        }
        out.line_end();
        if (r % kRowsPerReport == 0)
            report(progress, r, rows);
    }
    if (!out.flush() || !file.commit())
        return Pass::Failed;
    report(progress, rows, rows);
    return Pass::Written;
}

} // namespace

bool save_text_file(const QString& file_name, const IdentTexts& labels, const IdentTexts& fields,
                    const MeasurementTable& table, FileProgress* progress) {
    const int rows = rows_to_save(table);
    report(progress, 0, rows);

    Pass pass = write_file(file_name, false, labels, fields, table, rows, progress);
    if (pass == Pass::NeedsUtf8)
        pass = write_file(file_name, true, labels, fields, table, rows, progress);
    return pass == Pass::Written;
}
