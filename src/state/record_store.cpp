#include "state/record_store.h"

#include <cstring>

namespace varint {

std::size_t size(std::size_t v) {
    std::size_t n = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++n;
    }
    return n;
}

char* put(std::size_t v, char* out) {
    while (v >= 0x80) {
        *out++ = static_cast<char>(0x80 | (v & 0x7F));
        v >>= 7;
    }
    *out++ = static_cast<char>(v);
    return out;
}

const char* get(const char* in, std::size_t& v) {
    v = 0;
    int shift = 0;
    unsigned char b;
    do {
        b = static_cast<unsigned char>(*in++);
        v |= static_cast<std::size_t>(b & 0x7F) << shift;
        shift += 7;
    } while (b & 0x80);
    return in;
}

} // namespace varint

char* ByteArena::reserve(std::size_t bytes, std::uint64_t& ref) {
    while (current_ < chunks_.size() && used_ + bytes > sizes_[current_]) {
        ++current_; // a kept chunk too small for this text: move on to the next one
        used_ = 0;
    }
    if (current_ == chunks_.size()) {
        const std::size_t size = std::max(kChunkBytes, bytes);
        chunks_.push_back(std::make_unique<char[]>(size));
        sizes_.push_back(size);
        capacity_ += size;
        used_ = 0;
    }
    ref = (static_cast<std::uint64_t>(current_) << 32) | used_;
    char* p = chunks_[current_].get() + used_;
    used_ += bytes;
    return p;
}

void ByteArena::clear() {
    if (chunks_.size() > 1) {
        chunks_.resize(1);
        sizes_.resize(1);
        capacity_ = sizes_[0];
    }
    current_ = 0;
    used_ = 0;
}

namespace packed_texts {

std::size_t size(const QByteArrayView (&texts)[7]) {
    std::size_t n = 0;
    for (const QByteArrayView& t : texts)
        n += varint::size(std::size_t(t.size())) + std::size_t(t.size());
    return n;
}

char* write(const QByteArrayView (&texts)[7], char* out) {
    for (const QByteArrayView& t : texts) {
        out = varint::put(std::size_t(t.size()), out);
        if (!t.isEmpty())
            std::memcpy(out, t.data(), std::size_t(t.size()));
        out += t.size();
    }
    return out;
}

void read(const char* in, QByteArrayView (&texts)[7]) {
    for (QByteArrayView& t : texts) {
        std::size_t len = 0;
        in = varint::get(in, len);
        t = QByteArrayView(in, qsizetype(len));
        in += len;
    }
}

} // namespace packed_texts

RecordStore::RecordStore() = default;
RecordStore::~RecordStore() = default;
RecordStore::RecordStore(RecordStore&&) noexcept = default;
RecordStore& RecordStore::operator=(RecordStore&&) noexcept = default;

RecordView RecordStore::operator[](std::size_t i) const {
    const Fixed& f = slot(i);
    RecordView r;
    r.Index = f.index;
    r.main_value = f.main_value;
    r.sub_value = f.sub_value;
    if (f.text_ref != ByteArena::kNone) {
        QByteArrayView t[7];
        packed_texts::read(texts_.at(f.text_ref), t);
        r.set_texts(t);
    }
    return r;
}

RecordStore::Fixed& RecordStore::grow() {
    if (size_ == chunks_.size() * kChunk)
        chunks_.push_back(std::make_unique_for_overwrite<Fixed[]>(kChunk));
    return slot(size_++);
}

void RecordStore::push_back(const RecordView& r) {
    const QByteArrayView t[7] = {r.Time,      r.Main_No, r.Main_Range, r.Sub_No,
                                 r.Sub_range, r.T_no,    r.T_Range};
    const std::size_t bytes = packed_texts::size(t);
    std::uint64_t ref = ByteArena::kNone;
    // Seven empty texts need no bytes at all.
    if (bytes > 7)
        packed_texts::write(t, texts_.reserve(bytes, ref));
    Fixed& f = grow();
    f = Fixed{r.Index, r.main_value, r.sub_value, ref};
}

void RecordStore::resize(std::size_t n) {
    while (size_ < n)
        grow() = Fixed{0, kNoNumber, kNoNumber, ByteArena::kNone};
    if (n < size_) {
        // The texts of the dropped records stay in the arena until the store is cleared.
        size_ = n;
        chunks_.resize((size_ + kChunk - 1) / kChunk);
    }
}

void RecordStore::clear() {
    size_ = 0;
    if (chunks_.size() > 1)
        chunks_.resize(1);
    texts_.clear();
}

void RecordStore::swap(RecordStore& other) noexcept {
    std::swap(chunks_, other.chunks_);
    std::swap(size_, other.size_);
    std::swap(texts_, other.texts_);
}

std::size_t RecordStore::memory_bytes() const {
    return chunks_.size() * kChunk * sizeof(Fixed) + texts_.capacity();
}
