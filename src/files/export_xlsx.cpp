#include "files/export_xlsx.h"

#include "files/file_progress.h"
#include "files/table_rows.h"
#include "presentation/measurement_table.h"
#include "protocol/number_text.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <xlsxwriter.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

namespace {

constexpr int kRowsPerReport = 4096;
constexpr qsizetype kMaxCellChars = 32767; // the format's limit for a text cell

// A fresh file beside `target`, made with the permissions a new file gets (or those of the
// file it will replace); its path, or an empty text when none can be made.
QByteArray make_temporary(const QFileInfo& target) {
    const QByteArray base = QFile::encodeName(target.absoluteFilePath());
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray path =
            base + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        ::close(fd);
        if (target.exists())
            QFile::setPermissions(QFile::decodeName(path), target.permissions());
        return path;
    }
    return {};
}

// Writes the sheets row by row; false at the first error of the writer.
class SheetWriter {
public:
    SheetWriter(lxw_workbook* book, const MeasurementTable& table, QChar dec_sep, int sheet_rows)
        : book_(book), table_(table), dec_sep_(dec_sep), sheet_rows_(lxw_row_t(sheet_rows)) {}

    bool row(int r) {
        if ((!sheet_ || next_ == sheet_rows_) && !start_sheet())
            return false;
        const lxw_row_t at = next_++;
        if (!ok(worksheet_write_number(sheet_, at, 0, double(table_.row_index(r)), nullptr)))
            return false;
        for (int c = 1; c < MeasurementTable::kColumns; ++c) {
            const QString text = table_.cell(r, c);
            double x;
            if (is_value_column(c) && text_to_number(text, dec_sep_, x) && std::isfinite(x)) {
                if (!ok(worksheet_write_number(sheet_, at, lxw_col_t(c), x, nullptr)))
                    return false;
            } else if (!string(at, c, text)) {
                return false;
            }
        }
        return true;
    }
    // A workbook needs a sheet even when the table has no data rows.
    bool finish() { return sheet_ || start_sheet(); }

private:
    static bool ok(lxw_error e) { return e == LXW_NO_ERROR; }

    bool start_sheet() {
        const std::string name = "page " + std::to_string(++sheets_);
        sheet_ = workbook_add_worksheet(book_, name.c_str());
        if (!sheet_)
            return false;
        for (int c = 0; c < MeasurementTable::kColumns; ++c)
            if (!string(0, c, table_.cell(0, c)))
                return false;
        next_ = 1;
        return true;
    }
    bool string(lxw_row_t at, int c, QStringView text) {
        if (text.isEmpty())
            return true;
        if (text.size() > kMaxCellChars)
            text = text.left(text[kMaxCellChars - 1].isHighSurrogate() ? kMaxCellChars - 1
                                                                       : kMaxCellChars);
        utf8_.clear();
        append_utf8(text, utf8_);
        return ok(worksheet_write_string(sheet_, at, lxw_col_t(c), utf8_.c_str(), nullptr));
    }

    lxw_workbook* book_;
    const MeasurementTable& table_;
    QChar dec_sep_;
    lxw_row_t sheet_rows_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_row_t next_ = 0; // the sheet row the next table row goes to
    int sheets_ = 0;
    std::string utf8_; // one buffer for every text cell
};

// Closing the workbook packs it into its file, about half of the work. With a window to keep
// alive it runs on a thread of its own while the window goes on taking readings; that thread
// touches only the writer's own data, and its result is read after it has ended.
lxw_error close_workbook(lxw_workbook* book, FileProgress* progress, qint64 done, qint64 total) {
    if (!progress)
        return workbook_close(book);
    lxw_error result = LXW_NO_ERROR;
    std::atomic<bool> finished{false};
    std::thread closing([&] {
        result = workbook_close(book);
        finished.store(true, std::memory_order_release);
    });
    while (!finished.load(std::memory_order_acquire)) {
        progress->advance(done, total);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    closing.join();
    return result;
}

} // namespace

bool export_xlsx(const QString& file_name, const MeasurementTable& table, QChar dec_sep,
                 FileProgress* progress, int sheet_rows) {
    if (sheet_rows < 2)
        return false;
    const int rows = rows_to_save(table);
    // Writing the rows takes about half of the time, packing the file the other half.
    const qint64 total = 2 * qint64(rows);
    report(progress, 0, total);

    const QFileInfo target(file_name);
    const QByteArray temporary = make_temporary(target);
    if (temporary.isEmpty())
        return false;
    // The writer's own scratch files go beside the target too, not to a /tmp that may live
    // in memory.
    QByteArray scratch = QFile::encodeName(target.absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratch.data();
    lxw_workbook* book = workbook_new_opt(temporary.constData(), &options);
    if (!book) {
        std::remove(temporary.constData());
        return false;
    }

    SheetWriter sheets(book, table, dec_sep, sheet_rows);
    bool written = true;
    for (int r = 1; r < rows && written; ++r) {
        written = sheets.row(r);
        if (r % kRowsPerReport == 0)
            report(progress, r, total);
    }
    written = written && sheets.finish();
    // Closing also frees the workbook, so it runs after a failure too.
    const bool closed = close_workbook(book, progress, rows, total) == LXW_NO_ERROR;
    if (!written || !closed ||
        std::rename(temporary.constData(), QFile::encodeName(target.absoluteFilePath())) != 0) {
        std::remove(temporary.constData());
        return false;
    }
    report(progress, total, total);
    return true;
}
