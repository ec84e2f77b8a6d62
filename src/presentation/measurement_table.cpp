#include "presentation/measurement_table.h"

#include "protocol/reading_time.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kRowChunk = 1u << 16; // rows per row-store chunk
constexpr std::size_t kArenaChunk = ByteArena::kChunkBytes;
constexpr std::int64_t kEmptyIndex = std::numeric_limits<std::int64_t>::min();
constexpr std::uint64_t kNoText = std::numeric_limits<std::uint64_t>::max();
constexpr int kPackedTexts = 4; // time, main value, sub value, third value

} // namespace

struct MeasurementTable::Row {
    std::int64_t index = kEmptyIndex;
    std::uint64_t text_ref = kNoText;  // where the packed texts start in the arena
    std::uint32_t func[3] = {0, 0, 0}; // interned main, sub and third function
    std::uint32_t text_bytes = 0;
};

MeasurementTable::MeasurementTable(QObject* parent) : QAbstractTableModel(parent) {
    interned_.emplace_back(); // id 0 is the empty text
    interned_utf8_.emplace_back();
    intern_ids_.insert(QByteArray(), 0);
    static_assert(sizeof(Row) == 32, "the row record is what keeps millions of rows small");
    widths_.fill(64);
}

MeasurementTable::~MeasurementTable() = default;

MeasurementTable::Row& MeasurementTable::row_at(int data_row) {
    const auto i = static_cast<std::size_t>(data_row);
    return row_chunks_[i / kRowChunk][i % kRowChunk];
}

const MeasurementTable::Row& MeasurementTable::row_at(int data_row) const {
    const auto i = static_cast<std::size_t>(data_row);
    return row_chunks_[i / kRowChunk][i % kRowChunk];
}

void MeasurementTable::push_empty_row() {
    if (rows_ == row_chunks_.size() * kRowChunk)
        row_chunks_.push_back(std::make_unique<Row[]>(kRowChunk));
    row_chunks_[rows_ / kRowChunk][rows_ % kRowChunk] = Row{};
    ++rows_;
}

// Consecutive rows nearly always carry the functions of the row before, so each function
// column first compares with the text it interned last.
std::uint32_t MeasurementTable::intern(int column, QByteArrayView s) {
    if (s.isEmpty())
        return 0;
    std::uint32_t& last = last_interned_[column];
    if (interned_utf8_[last] == s)
        return last;
    auto it = intern_ids_.constFind(s.toByteArray());
    if (it != intern_ids_.cend())
        return last = it.value();
    const auto id = static_cast<std::uint32_t>(interned_.size());
    const QByteArray bytes = s.toByteArray();
    interned_.push_back(QString::fromUtf8(bytes));
    interned_utf8_.push_back(bytes);
    intern_ids_.insert(bytes, id);
    return last = id;
}

void MeasurementTable::write_row(int data_row, std::int64_t index, const RecordView& texts) {
    Row& r = row_at(data_row);
    if (r.text_ref != kNoText)
        arena_live_ -= r.text_bytes;
    r.index = index;
    r.func[0] = intern(0, texts.Main_Range);
    r.func[1] = intern(1, texts.Sub_range);
    r.func[2] = intern(2, texts.T_Range);

    // Each text is its length times two, as a variable-length integer, and its bytes. A time
    // of the form readings carry ("14:30:15.15") is kept as its second of the day instead:
    // that second times two plus one, three bytes for eleven.
    const QByteArrayView packed[kPackedTexts] = {texts.Time, texts.Main_No, texts.Sub_No,
                                                 texts.T_no};
    const int second = reading_time_second(texts.Time);
    std::size_t total = 0;
    for (int i = 0; i < kPackedTexts; ++i) {
        const std::size_t len = i == 0 && second >= 0 ? 0 : std::size_t(packed[i].size());
        total += varint::size(i == 0 && second >= 0 ? std::size_t(second) * 2 + 1 : len * 2) + len;
    }
    char* out = arena_.reserve(total, r.text_ref);
    arena_live_ += total;
    for (int i = 0; i < kPackedTexts; ++i) {
        if (i == 0 && second >= 0) {
            out = varint::put(std::size_t(second) * 2 + 1, out);
            continue;
        }
        const QByteArrayView t = packed[i];
        out = varint::put(std::size_t(t.size()) * 2, out);
        if (!t.isEmpty())
            std::memcpy(out, t.data(), std::size_t(t.size()));
        out += t.size();
    }
    r.text_bytes = static_cast<std::uint32_t>(total);

    // Rewriting rows (a file load) leaves old texts behind; reclaim them once they dominate.
    const std::size_t garbage = arena_.capacity() - arena_live_;
    if (garbage > 4 * kArenaChunk && garbage > 2 * arena_live_)
        compact_arena();
}

void MeasurementTable::compact_arena() {
    ByteArena fresh;
    for (std::size_t i = 0; i < rows_; ++i) {
        Row& r = row_at(static_cast<int>(i));
        if (r.text_ref == kNoText)
            continue;
        std::uint64_t ref;
        std::memcpy(fresh.reserve(r.text_bytes, ref), arena_.at(r.text_ref), r.text_bytes);
        r.text_ref = ref;
    }
    arena_ = std::move(fresh);
}

void MeasurementTable::set_row_count(int n) {
    n = std::max(n, 1);
    beginResetModel();
    const auto target = static_cast<std::size_t>(n - 1);
    while (rows_ > target) {
        Row& r = row_at(static_cast<int>(rows_ - 1));
        if (r.text_ref != kNoText)
            arena_live_ -= r.text_bytes;
        --rows_;
    }
    while (rows_ < target)
        push_empty_row();
    row_chunks_.resize((rows_ + kRowChunk - 1) / kRowChunk);
    if (rows_ == 0 || arena_.capacity() > 2 * arena_live_ + kArenaChunk)
        compact_arena();
    first_empty_hint_ = std::min(first_empty_hint_, rows_);
    current_row_ = std::min(current_row_, n - 1);
    announced_ = static_cast<int>(rows_);
    dirty_lo_ = dirty_hi_ = -1;
    endResetModel();
}

QString MeasurementTable::cell(int row, int col) const {
    if (col < 0 || col >= kColumns || row < 0 || row >= row_count())
        return {};
    if (row == 0)
        return header_[col];
    const Row& r = row_at(row - 1);
    switch (col) {
    case ColIndex:
        return r.index == kEmptyIndex ? QString() : QString::number(r.index);
    case ColMainFunc:
        return interned_[r.func[0]];
    case ColSubFunc:
        return interned_[r.func[1]];
    case ColTFunc:
        return interned_[r.func[2]];
    default:
        break;
    }
    if (r.text_ref == kNoText)
        return {};
    const int which = col == ColTime ? 0 : col == ColMain ? 1 : col == ColSub ? 2 : 3;
    const char* p = arena_.at(r.text_ref);
    std::size_t code = 0;
    for (int i = 0;; ++i) {
        p = varint::get(p, code);
        const std::size_t len = code & 1 ? 0 : code / 2;
        if (i == which) {
            if (code & 1) { // a reading's time, kept as its second of the day
                char time[16];
                return QString::fromLatin1(time, reading_time_text(int(code / 2), time));
            }
            return QString::fromUtf8(p, static_cast<qsizetype>(len));
        }
        p += len;
    }
}

bool MeasurementTable::row_filled(int row) const {
    if (row < 0 || row >= row_count())
        return false;
    if (row == 0)
        return !header_[0].isEmpty();
    return row_at(row - 1).index != kEmptyIndex;
}

std::int64_t MeasurementTable::row_index(int row) const {
    return row >= 1 && row < row_count() ? row_at(row - 1).index : 0;
}

void MeasurementTable::set_header(int col, const QString& text) {
    header_.at(col) = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

namespace {

// Seven texts as UTF-8, kept alive with the view of them.
struct Utf8Texts {
    std::array<QByteArray, 7> bytes;
    RecordView view;
    explicit Utf8Texts(const std::array<QString, 7>& t) {
        QByteArrayView views[7];
        for (std::size_t i = 0; i < t.size(); ++i)
            views[i] = bytes[i] = t[i].toUtf8();
        view.set_texts(views);
    }
};

} // namespace

void MeasurementTable::set_row(int row, std::int64_t index, const std::array<QString, 7>& texts) {
    Utf8Texts t(texts);
    t.view.Index = index;
    set_row(row, t.view);
}

void MeasurementTable::set_row(int row, const RecordView& r) {
    if (row < 1 || row >= row_count())
        return;
    write_row(row - 1, r.Index, r);
    mark_dirty(row - 1);
}

void MeasurementTable::grid_add_row(const QString& time, const QString& main_no,
                                    const QString& main_range, const QString& sub_no,
                                    const QString& sub_range, const QString& t_no,
                                    const QString& t_range) {
    grid_add_row(Utf8Texts({time, main_no, main_range, sub_no, sub_range, t_no, t_range}).view);
}

std::uint32_t MeasurementTable::function_id(int row, int col) const {
    if (row < 1 || row >= row_count())
        return 0;
    const Row& r = row_at(row - 1);
    return col == ColMainFunc ? r.func[0] : col == ColSubFunc ? r.func[1] : r.func[2];
}

bool MeasurementTable::same_functions(int row_a, int row_b) const {
    return function_id(row_a, ColMainFunc) == function_id(row_b, ColMainFunc) &&
           function_id(row_a, ColSubFunc) == function_id(row_b, ColSubFunc);
}

void MeasurementTable::grid_add_row(const RecordView& texts) {
    // Keep one empty row at the bottom, then fill the first empty row from the top.
    if (rows_ == 0 || row_at(static_cast<int>(rows_ - 1)).index != kEmptyIndex)
        push_empty_row();
    std::size_t r = first_empty_hint_;
    while (row_at(static_cast<int>(r)).index != kEmptyIndex)
        ++r;
    first_empty_hint_ = r;

    const int grid_row = static_cast<int>(r) + 1;
    write_row(static_cast<int>(r), grid_row, texts);
    mark_dirty(static_cast<int>(r));
    current_row_ = grid_row;
    current_moved_ = true;
}

void MeasurementTable::mark_dirty(int data_row) {
    if (data_row < announced_) {
        dirty_lo_ = dirty_lo_ < 0 ? data_row : std::min(dirty_lo_, data_row);
        dirty_hi_ = std::max(dirty_hi_, data_row);
    }
    schedule_flush();
}

void MeasurementTable::schedule_flush() {
    frame_.request();
}

void MeasurementTable::flush() {
    frame_.ran();
    if (dirty_lo_ >= 0) {
        emit dataChanged(index(dirty_lo_, 0), index(dirty_hi_, kColumns - 1));
        dirty_lo_ = dirty_hi_ = -1;
    }
    const int stored = static_cast<int>(rows_);
    if (stored > announced_) {
        beginInsertRows(QModelIndex(), announced_, stored - 1);
        announced_ = stored;
        endInsertRows();
    }
    if (current_moved_) {
        current_moved_ = false;
        emit current_row_changed(current_row_);
    }
}

std::size_t MeasurementTable::memory_bytes() const {
    std::size_t bytes = row_chunks_.size() * kRowChunk * sizeof(Row) + arena_.capacity();
    for (std::size_t i = 0; i < interned_.size(); ++i)
        bytes += sizeof(QString) + static_cast<std::size_t>(interned_[i].capacity()) * 2 +
                 sizeof(QByteArray) + static_cast<std::size_t>(interned_utf8_[i].capacity());
    return bytes + static_cast<std::size_t>(intern_ids_.capacity()) * (sizeof(QByteArray) + 8);
}

int MeasurementTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announced_;
}

int MeasurementTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant MeasurementTable::data(const QModelIndex& idx, int role) const {
    if (!idx.isValid() || idx.row() >= announced_)
        return {};
    if (role == Qt::DisplayRole)
        return cell(idx.row() + 1, idx.column());
    // The index column looks like the header, as a fixed first column of a grid does.
    if (idx.column() == ColIndex && role == Qt::BackgroundRole)
        return QGuiApplication::palette().button();
    return {};
}

QVariant MeasurementTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Horizontal)
        return section < kColumns ? QVariant(header_[section]) : QVariant();
    return section + 1;
}

Qt::ItemFlags MeasurementTable::flags(const QModelIndex& idx) const {
    return idx.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
