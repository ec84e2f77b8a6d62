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
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The work is split in two. The calling thread reads the table (the window's table changes
// only on that thread) and turns its rows into batches of ready cells: numbers parsed, texts in
// UTF-8. A thread of its own hands the batches to libxlsxwriter and then packs the workbook,
// which is most of the work, while the calling thread keeps the window painted and taking
// readings.

namespace {

constexpr int kColumns = MeasurementTable::kColumns;
constexpr int kBatchRows = 4096;
constexpr std::size_t kBatchesInFlight = 4; // bounds the memory between the two threads
constexpr qsizetype kMaxCellChars = 32767;  // the format's limit for a text cell
constexpr auto kPumpEvery = std::chrono::milliseconds(5);

struct Cell {
    enum Kind : std::uint8_t { Empty, Number, Text };
    Kind kind = Empty;
    double number = 0;
    std::size_t text = 0; // where its UTF-8, ended by a NUL, starts in the batch's bytes
};

struct Batch {
    std::vector<Cell> cells; // kColumns per row
    std::string bytes;
    bool last = false; // no rows follow
};

bool is_value_column(int c) {
    return c == MeasurementTable::ColMain || c == MeasurementTable::ColSub ||
           c == MeasurementTable::ColT;
}

void add_text(Batch& b, QStringView text) {
    Cell cell{Cell::Text, 0, b.bytes.size()};
    if (text.isEmpty()) {
        b.cells.push_back({});
        return;
    }
    if (text.size() > kMaxCellChars)
        text = text.left(text[kMaxCellChars - 1].isHighSurrogate() ? kMaxCellChars - 1
                                                                   : kMaxCellChars);
    append_utf8(text, b.bytes);
    b.bytes.push_back('\0');
    b.cells.push_back(cell);
}

// The cells of table row r: the index and every value that is a finite number as numbers.
void add_row(Batch& b, const MeasurementTable& table, int r, QChar dec_sep) {
    b.cells.push_back({Cell::Number, double(table.row_index(r)), 0});
    for (int c = 1; c < kColumns; ++c) {
        const QString text = table.cell(r, c);
        double x;
        if (is_value_column(c) && text_to_number(text, dec_sep, x) && std::isfinite(x))
            b.cells.push_back({Cell::Number, x, 0});
        else
            add_text(b, text);
    }
}

// Batches from the reading thread to the writing thread; the reading thread waits while
// kBatchesInFlight are queued, the writing thread while none is.
class BatchQueue {
public:
    // `idle` runs on the waiting reading thread every few milliseconds.
    template <class Idle> void push(Batch b, Idle idle) {
        std::unique_lock lock(mutex_);
        while (!changed_.wait_for(lock, kPumpEvery,
                                  [this] { return queue_.size() < kBatchesInFlight; })) {
            lock.unlock();
            idle();
            lock.lock();
        }
        queue_.push_back(std::move(b));
        changed_.notify_all();
    }
    Batch pop() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !queue_.empty(); });
        Batch b = std::move(queue_.front());
        queue_.pop_front();
        changed_.notify_all();
        return b;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> queue_;
};

// The writing thread's side: sheets row by row, then the workbook packed into its file.
class SheetWriter {
public:
    SheetWriter(lxw_workbook* book, Batch header, lxw_row_t sheet_rows)
        : book_(book), header_(std::move(header)), sheet_rows_(sheet_rows) {}

    // Writes every batch up to the last one, closes the workbook (which frees it); true when
    // all of it succeeded. Batches after a failure are taken and dropped.
    bool run(BatchQueue& queue) {
        bool ok = true;
        for (;;) {
            const Batch b = queue.pop();
            const std::size_t rows = b.cells.size() / kColumns;
            for (std::size_t r = 0; r < rows && ok; ++r)
                ok = row(b, r);
            rows_done_.fetch_add(int(rows), std::memory_order_relaxed);
            if (b.last)
                break;
        }
        ok = ok && (sheet_ || start_sheet()); // a workbook needs a sheet
        // Closing runs after a failure too: it is what frees the workbook.
        return workbook_close(book_) == LXW_NO_ERROR && ok;
    }
    int rows_done() const { return rows_done_.load(std::memory_order_relaxed); }

private:
    static bool ok(lxw_error e) { return e == LXW_NO_ERROR; }

    bool start_sheet() {
        const std::string name = "page " + std::to_string(++sheets_);
        sheet_ = workbook_add_worksheet(book_, name.c_str());
        next_ = 1;
        return sheet_ && cells(header_, 0, 0);
    }
    bool row(const Batch& b, std::size_t r) {
        if ((!sheet_ || next_ == sheet_rows_) && !start_sheet())
            return false;
        return cells(b, r, next_++);
    }
    bool cells(const Batch& b, std::size_t r, lxw_row_t at) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = b.cells[r * kColumns + std::size_t(c)];
            const lxw_col_t col = lxw_col_t(c);
            if (cell.kind == Cell::Number &&
                !ok(worksheet_write_number(sheet_, at, col, cell.number, nullptr)))
                return false;
            if (cell.kind == Cell::Text &&
                !ok(worksheet_write_string(sheet_, at, col, b.bytes.data() + cell.text, nullptr)))
                return false;
        }
        return true;
    }

    lxw_workbook* book_;
    const Batch header_;
    const lxw_row_t sheet_rows_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_row_t next_ = 0; // the sheet row the next table row goes to
    int sheets_ = 0;
    std::atomic<int> rows_done_{0};
};

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
    // The writer's scratch files go beside the target too, not to a /tmp that may live in
    // memory.
    QByteArray scratch = QFile::encodeName(target.absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratch.data();
    lxw_workbook* book = workbook_new_opt(temporary.constData(), &options);
    if (!book) {
        std::remove(temporary.constData());
        return false;
    }

    Batch header;
    for (int c = 0; c < kColumns; ++c)
        add_text(header, table.cell(0, c));
    SheetWriter writer(book, std::move(header), lxw_row_t(sheet_rows));
    BatchQueue queue;
    bool written = false;
    std::atomic<bool> finished{false};
    std::thread writing([&] {
        written = writer.run(queue);
        finished.store(true, std::memory_order_release);
    });

    const auto pump = [&] { report(progress, writer.rows_done(), total); };
    // Always one batch at least: the last one tells the writer to finish.
    int first = 1;
    do {
        Batch b;
        const int end = std::min(rows, first + kBatchRows);
        b.cells.reserve(std::size_t(end - first) * kColumns);
        for (int r = first; r < end; ++r)
            add_row(b, table, r, dec_sep);
        b.last = end >= rows;
        queue.push(std::move(b), pump);
        pump();
        first = end;
    } while (first < rows);
    // The last rows and the packing: the window goes on meanwhile.
    while (progress && !finished.load(std::memory_order_acquire)) {
        pump();
        std::this_thread::sleep_for(kPumpEvery);
    }
    writing.join();
    if (!written ||
        std::rename(temporary.constData(), QFile::encodeName(target.absoluteFilePath())) != 0) {
        std::remove(temporary.constData());
        return false;
    }
    report(progress, total, total);
    return true;
}
