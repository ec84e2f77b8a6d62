#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstdint>

// A text of at most N characters held inside the record itself, so that record stores of
// millions of rows need no allocation per field. Storing a longer text keeps its first N
// characters, which is how the data file's fixed-width fields have always behaved.
template <int N> class FixedText {
    static_assert(N > 0 && N < 256);

public:
    FixedText() = default;
    FixedText(const QString& s) { assign(s); } // NOLINT: implicit on purpose, reads like a text

    FixedText& operator=(const QString& s) {
        assign(s);
        return *this;
    }

    FixedText& operator=(QStringView s) {
        assign(s);
        return *this;
    }

    void assign(const QString& s) { assign(QStringView(s)); }
    void assign(QStringView s) {
        len_ = static_cast<std::uint8_t>(std::min<qsizetype>(s.size(), N));
        std::copy_n(s.utf16(), len_, chars_);
    }

    void clear() { len_ = 0; }
    QStringView view() const { return QStringView(chars_, len_); }

    QString str() const { return QString(reinterpret_cast<const QChar*>(chars_), len_); }
    operator QString() const { return str(); } // NOLINT
    bool isEmpty() const { return len_ == 0; }
    int size() const { return len_; }
    static constexpr int capacity() { return N; }

    friend bool operator==(const FixedText& a, const FixedText& b) {
        return a.len_ == b.len_ && std::equal(a.chars_, a.chars_ + a.len_, b.chars_);
    }

private:
    char16_t chars_[N]{};
    std::uint8_t len_ = 0;
};
