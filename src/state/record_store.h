#pragma once

#include <QByteArrayView>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

// Rows of measurement data as they travel from where they are made (the interpreter, the
// read-back, the file loader) to the table and the chart.
//
// Texts are UTF-8 bytes (readings are plain ASCII). A value travels as its whole text and the
// number that text reads as, worked out once where the text is made, so nothing downstream
// parses the same text again. The number is NaN where there is no value or the text is not a
// number; an infinite value stays infinite.

inline constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// One record, borrowing its texts from whoever holds them; valid while that holder is
// unchanged. Field names are those of the record the rest of the program knows.
struct RecordView {
    std::int64_t Index = 0;
    QByteArrayView Time;
    QByteArrayView Main_No;
    QByteArrayView Main_Range;
    QByteArrayView Sub_No;
    QByteArrayView Sub_range;
    QByteArrayView T_no;
    QByteArrayView T_Range;
    double main_value = kNoNumber; // what Main_No reads as
    double sub_value = kNoNumber;  // what Sub_No reads as

    // The seven texts in field order: time, main value, main function, sub value, sub
    // function, third value, third function.
    void set_texts(const QByteArrayView (&t)[7]) {
        Time = t[0];
        Main_No = t[1];
        Main_Range = t[2];
        Sub_No = t[3];
        Sub_range = t[4];
        T_no = t[5];
        T_Range = t[6];
    }
};

// Lengths and small numbers as variable-length integers: seven bits a byte, low bits first.
namespace varint {
std::size_t size(std::size_t v);
char* put(std::size_t v, char* out);
const char* get(const char* in, std::size_t& v);
} // namespace varint

// A text of at most N bytes held inside its owner, for the few records that are built up
// piece by piece (the slots of a batch of live readings). Longer texts keep their first N
// bytes; the texts that go into such slots are bounded well below N.
template <int N> class InlineText {
    static_assert(N > 0 && N < 256);

public:
    InlineText() = default;
    explicit InlineText(QByteArrayView s) { assign(s); }
    void assign(QByteArrayView s) {
        len_ = static_cast<std::uint8_t>(std::min<qsizetype>(s.size(), N));
        std::copy_n(s.data(), len_, bytes_);
    }
    void clear() { len_ = 0; }
    QByteArrayView view() const { return QByteArrayView(bytes_, len_); }
    bool isEmpty() const { return len_ == 0; }
    friend bool operator==(const InlineText& a, QByteArrayView b) { return a.view() == b; }

private:
    char bytes_[N]{};
    std::uint8_t len_ = 0;
};

// Bytes appended back to back in chunks that never move, so a store of millions of rows grows
// without copying and needs no allocation per row. A reference is (chunk << 32) | offset.
class ByteArena {
public:
    static constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20; // larger texts get their own

    ByteArena() = default;
    ByteArena(ByteArena&&) noexcept = default;
    ByteArena& operator=(ByteArena&&) noexcept = default;

    // Room for `bytes` bytes; `ref` receives where they start.
    char* reserve(std::size_t bytes, std::uint64_t& ref);
    const char* at(std::uint64_t ref) const {
        return chunks_[ref >> 32].get() + (ref & 0xFFFFFFFFu);
    }
    // Empties the arena but keeps its first chunk for reuse.
    void clear();
    std::size_t capacity() const { return capacity_; }

private:
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::vector<std::size_t> sizes_;
    std::size_t current_ = 0; // chunk being filled
    std::size_t used_ = 0;    // bytes used in it
    std::size_t capacity_ = 0;
};

// Seven texts packed one after the other, each after its length as a variable-length integer.
namespace packed_texts {
std::size_t size(const QByteArrayView (&texts)[7]);
char* write(const QByteArrayView (&texts)[7], char* out);
void read(const char* in, QByteArrayView (&texts)[7]);
} // namespace packed_texts

// A growable array of records, held compactly: 32 bytes a record plus its texts packed as
// bytes. Records are appended whole; resize() adds empty records (index 0, no texts, no
// numbers) or drops the last ones. Reading a record gives a view that stays valid until the
// store is cleared, resized smaller or destroyed.
class RecordStore {
public:
    RecordStore();
    ~RecordStore();
    RecordStore(RecordStore&&) noexcept;
    RecordStore& operator=(RecordStore&&) noexcept;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    RecordView operator[](std::size_t i) const;
    void push_back(const RecordView& r);
    void resize(std::size_t n);
    // Drops every record; the memory stays for the next records.
    void clear();
    void swap(RecordStore& other) noexcept;

    std::size_t memory_bytes() const;

private:
    struct Fixed {
        std::int64_t index;
        double main_value;
        double sub_value;
        std::uint64_t text_ref; // ByteArena::kNone: every text empty
    };
    static constexpr int kChunkBits = 16;
    static constexpr std::size_t kChunk = std::size_t{1} << kChunkBits;

    Fixed& slot(std::size_t i) { return chunks_[i >> kChunkBits][i & (kChunk - 1)]; }
    const Fixed& slot(std::size_t i) const { return chunks_[i >> kChunkBits][i & (kChunk - 1)]; }
    Fixed& grow();

    std::vector<std::unique_ptr<Fixed[]>> chunks_;
    std::size_t size_ = 0;
    ByteArena texts_;
};
