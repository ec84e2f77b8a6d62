#include "files/text_line_reader.h"

#include "files/cp1252.h"

#include <QStringDecoder>

namespace {

constexpr qint64 kChunkBytes = 1 << 20;

bool is_line_end(char16_t c) {
    return c == u'\n' || c == u'\r';
}

} // namespace

TextLineReader::TextLineReader(const QString& file_name) : file_(file_name) {}

bool TextLineReader::open() {
    if (!file_.open(QIODevice::ReadOnly))
        return fail();
    size_ = file_.size();
    const QByteArray head = file_.peek(3);
    int bom = 0;
    if (head.startsWith("\xEF\xBB\xBF")) {
        encoding_ = Encoding::Utf8;
        bom = 3;
    } else if (head.startsWith("\xFF\xFE")) {
        encoding_ = Encoding::Utf16LE;
        bom = 2;
    } else if (head.startsWith("\xFE\xFF")) {
        encoding_ = Encoding::Utf16BE;
        bom = 2;
    }
    file_.skip(bom);
    return true;
}

// Index just past the last line-end unit of raw_, or 0 when there is none. Line ends are
// ASCII, which never occurs inside a multi-byte sequence of UTF-8, so cutting there never
// splits a character; in UTF-16 only whole code units at even offsets count.
qsizetype TextLineReader::last_line_break() const {
    const char* p = raw_.constData();
    if (encoding_ == Encoding::Cp1252 || encoding_ == Encoding::Utf8) {
        for (qsizetype i = raw_.size(); i > 0; --i)
            if (p[i - 1] == '\n' || p[i - 1] == '\r')
                return i;
        return 0;
    }
    const int lo = encoding_ == Encoding::Utf16LE ? 0 : 1;
    for (qsizetype i = raw_.size() & ~qsizetype(1); i > 0; i -= 2) {
        const char* unit = p + i - 2;
        if (unit[1 - lo] == 0 && (unit[lo] == '\n' || unit[lo] == '\r'))
            return i;
    }
    return 0;
}

bool TextLineReader::decode(qsizetype bytes) {
    text_.resize(0); // keeps its room for the next block
    pos_ = 0;
    const QByteArrayView chunk(raw_.constData(), bytes);
    if (encoding_ == Encoding::Cp1252) {
        cp1252::decode_append(chunk, text_);
    } else {
        if (encoding_ != Encoding::Utf8 && bytes % 2 != 0)
            return fail();
        const auto kind = encoding_ == Encoding::Utf8      ? QStringDecoder::Utf8
                          : encoding_ == Encoding::Utf16LE ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE;
        QStringDecoder decoder(kind, QStringDecoder::Flag::Stateless |
                                         QStringDecoder::Flag::ConvertInitialBom);
        text_ = decoder.decode(chunk);
        // The UTF-16 decoder lets an unpaired surrogate through; it is no character, and no
        // save could write it back.
        if (decoder.hasError() || !text_.isValidUtf16())
            return fail();
    }
    raw_.remove(0, bytes);
    if (text_.contains(QChar(0)))
        return fail();
    return true;
}

// Reads on until raw_ holds at least one whole line (or the rest of the file) and decodes
// those whole lines into text_.
bool TextLineReader::fill() {
    while (!at_end_) {
        const qsizetype old = raw_.size();
        raw_.resize(old + kChunkBytes);
        const qint64 got = file_.read(raw_.data() + old, kChunkBytes);
        if (got < 0)
            return fail();
        raw_.resize(old + got);
        if (got == 0)
            at_end_ = true;
        const qsizetype cut = at_end_ ? raw_.size() : last_line_break();
        if (cut > 0)
            return decode(cut);
        // One line longer than any line of this program's files: not such a file.
        if (raw_.size() > kMaxLineChars * 4)
            return fail();
    }
    return false;
}

bool TextLineReader::next(QStringView& line) {
    if (failed_)
        return false;
    for (;;) {
        const char16_t* p = reinterpret_cast<const char16_t*>(text_.constData());
        const qsizetype n = text_.size();
        if (skip_lf_ && pos_ < n) {
            skip_lf_ = false;
            if (p[pos_] == u'\n')
                ++pos_;
        }
        if (pos_ < n) {
            qsizetype i = pos_;
            while (i < n && !is_line_end(p[i]))
                ++i;
            // Lines are cut at line ends when decoded, so only the file's last line can end
            // without one.
            if (i - pos_ > kMaxLineChars)
                return fail();
            line = QStringView(p + pos_, i - pos_);
            if (i < n) {
                skip_lf_ = p[i] == u'\r';
                ++i;
            }
            pos_ = i;
            return true;
        }
        if (!fill())
            return false;
    }
}
