#pragma once

#include "state/record_store.h"

#include "presentation/frame_timer.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The measurement table: a header row (row 0) and data rows 1.., eight text columns, no upper
// limit on rows. Rows are numbered as the grid numbers them (row 0 is the header), so
// row_count() counts the header too; the Qt model exposes only the data rows and leaves the
// header to the view's horizontal header.
//
// Storage is compact because a logger runs for days: a fixed 32-byte record per row, the four
// value/time texts packed into an append-only byte arena, and the function texts (a handful of
// distinct values) interned. No QString is kept per cell.
//
// New rows reach the view in batches: grid_add_row changes the storage at once, while the
// row-insert signals, the repaint and the move of the current row are coalesced into one flush
// per frame (at most one every kFlushIntervalMs), so readings can arrive at wire speed without
// the view keeping pace. Each flush costs the view, and an accessibility bridge, one round of
// notifications whatever the number of rows, where one per received datagram would cost more
// than the readings themselves.
class MeasurementTable : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumns = 8;
    // Shortest time between two flushes: about as often as a screen shows a new frame.
    static constexpr int kFlushIntervalMs = 30;
    enum Column { ColIndex, ColTime, ColMain, ColMainFunc, ColSub, ColSubFunc, ColT, ColTFunc };

    explicit MeasurementTable(QObject* parent = nullptr);
    ~MeasurementTable() override;

    // --- the grid's own operations (row 0 is the header row) ---
    int row_count() const { return static_cast<int>(rows_) + 1; }
    // Sets the number of rows including the header row (at least 1). Rows beyond the new count
    // are discarded with their cells; rows added start empty.
    void set_row_count(int n);
    QString cell(int row, int col) const;
    // A row is filled when its index cell is not empty.
    bool row_filled(int row) const;
    std::int64_t row_index(int row) const; // only meaningful for a filled data row
    void set_header(int col, const QString& text);
    int column_width(int col) const { return widths_.at(col); }
    void set_column_width(int col, int px) { widths_.at(col) = px; }
    // Overwrites data row `row` (1 .. row_count()-1): the index and the texts of columns 1..7.
    void set_row(int row, std::int64_t index, const std::array<QString, 7>& texts);
    // The same from a record: its Index and its seven texts.
    void set_row(int row, const RecordView& r);

    // Appends one reading: time, main value, main function, sub value, sub function, third
    // value, third function. The row it fills gets its row number as index and becomes the
    // current row.
    void grid_add_row(const QString& time, const QString& main_no, const QString& main_range,
                      const QString& sub_no, const QString& sub_range, const QString& t_no,
                      const QString& t_range);
    // The same with the seven texts of a record (its Index is not used), as readings arrive.
    void grid_add_row(const RecordView& r);

    // True when two rows have equal main and equal sub function texts.
    bool same_functions(int row_a, int row_b) const;
    // A number that stands for the text of a function column (ColMainFunc, ColSubFunc,
    // ColTFunc) of a data row: equal texts, equal numbers; 0 for the empty text.
    std::uint32_t function_id(int row, int col) const;

    int current_row() const { return current_row_; }

    // Bytes held by the row store, the text arena and the interned texts.
    std::size_t memory_bytes() const;

    // --- Qt model (data rows only; model row r is grid row r + 1) ---
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

public slots:
    // Tells attached views about every change since the last flush. Runs by itself after a
    // change: in the next event-loop turn when the last flush is at least kFlushIntervalMs
    // old, else once that time is up. Calling it directly is harmless.
    void flush();

signals:
    // The current row moved (grid row number); emitted by flush, at most once per flush.
    void current_row_changed(int row);

private:
    struct Row;

    Row& row_at(int data_row);
    const Row& row_at(int data_row) const;
    void push_empty_row();
    std::uint32_t intern(int column, QByteArrayView s);
    void write_row(int data_row, std::int64_t index, const RecordView& texts);
    void schedule_flush();
    void mark_dirty(int data_row);
    void compact_arena();

    std::vector<std::unique_ptr<Row[]>> row_chunks_;
    std::size_t rows_ = 0;       // data rows in storage
    ByteArena arena_;            // the packed texts of the rows
    std::size_t arena_live_ = 0; // bytes of it that rows still use
    std::vector<QString> interned_;
    std::vector<QByteArray> interned_utf8_;
    QHash<QByteArray, std::uint32_t> intern_ids_;
    std::array<std::uint32_t, 3> last_interned_{}; // per function column
    std::array<QString, kColumns> header_;
    std::array<int, kColumns> widths_{};

    std::size_t first_empty_hint_ = 0; // every data row before it is filled
    int current_row_ = 1;

    int announced_ = 0; // data rows the attached views know about
    int dirty_lo_ = -1; // range of announced data rows changed since the last flush
    int dirty_hi_ = -1;
    bool current_moved_ = false;
    FrameTimer frame_{kFlushIntervalMs, [this] { flush(); }};
};
