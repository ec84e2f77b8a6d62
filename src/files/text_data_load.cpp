#include "files/file_progress.h"
#include "files/text_data_file.h"
#include "files/text_line_reader.h"
#include "presentation/measurement_table.h"
#include "protocol/number_text.h"
#include "state/text_fields.h"

#include <QStringEncoder>
#include <QStringView>

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace {

constexpr qsizetype kFunctionChars = 35; // what a function field keeps
constexpr qsizetype kTimeChars = 15;     // what the time field keeps
constexpr qsizetype kLinesPerReport = 4096;
// Rows are numbered with an int by the table; a file with more lines than that would not fit
// in memory anyway.
constexpr qsizetype kMaxRows = std::numeric_limits<int>::max() - 1;

// The first n units of s, one fewer where the cut would halve a surrogate pair: a character
// that does not fit goes whole. Half a pair is no character; the converter would hold it back
// and put a replacement character in front of the next field.
QStringView first_chars(QStringView s, qsizetype n) {
    if (s.size() <= n)
        return s;
    return s.first(s[n - 1].isHighSurrogate() ? n - 1 : n);
}

QStringView from(QStringView s, qsizetype pos) {
    return pos < s.size() ? s.sliced(pos) : QStringView();
}

// A value field: a number written with the locale's separator, or the word the program writes
// for an infinite value read back from a recording ("INF", "-INF").
bool read_value(QStringView s, QChar dec_sep, double& value) {
    if (s == u"INF" || s == u"-INF") {
        value = s.front() == u'-' ? -std::numeric_limits<double>::infinity()
                                  : std::numeric_limits<double>::infinity();
        return true;
    }
    return text_to_number(s, dec_sep, value);
}

// One data line into a record of `store`. Every value text is kept whole; function texts keep
// their first 35 characters and the time its first 15, as the record's fields always have.
class LineReader {
public:
    explicit LineReader(QChar dec_sep) : dec_sep_(dec_sep) {}

    bool read(QStringView s, RecordStore& store) {
        RecordView r;
        const qsizetype tab = s.indexOf(u'\t');
        std::int32_t index = 0;
        if (tab < 0 || !read_decimal_int(trim_blanks(s.first(tab)), index))
            return false;
        r.Index = index;
        s = from(s, tab + 1);

        QStringView field[7];
        for (QStringView& f : field) {
            const qsizetype t = s.indexOf(u'\t');
            if (t < 0)
                break; // no more fields: this one and all after it stay empty
            f = trim_blanks(s.first(t));
            s = s.sliced(t + 1);
        }
        // time, main value, main function, sub value, sub function, third value, third function
        static constexpr qsizetype kWidth[7] = {kTimeChars,     -1, kFunctionChars, -1,
                                                kFunctionChars, -1, kFunctionChars};
        if (!read_value(field[1], dec_sep_, r.main_value))
            return false;
        if (!field[3].isEmpty() && !read_value(field[3], dec_sep_, r.sub_value))
            return false;

        bytes_.resize(0);
        std::size_t ends[7];
        for (int i = 0; i < 7; ++i) {
            // Trimmed again after the cut: a blank the cut left at the end would go out with
            // the next save and be trimmed by the load after it, so the table would not
            // survive a save and load.
            const QStringView f =
                kWidth[i] < 0 ? field[i] : trim_blanks(first_chars(field[i], kWidth[i]));
            const std::size_t at = bytes_.size();
            bytes_.resize(at + std::size_t(f.size()) * 3);
            char* end = encoder_.appendToBuffer(bytes_.data() + at, f);
            bytes_.resize(std::size_t(end - bytes_.data()));
            ends[i] = bytes_.size();
        }
        QByteArrayView t[7];
        for (int i = 0; i < 7; ++i) {
            const std::size_t begin = i == 0 ? 0 : ends[i - 1];
            t[i] = QByteArrayView(bytes_.data() + begin, qsizetype(ends[i] - begin));
        }
        r.set_texts(t);
        store.push_back(r);
        return true;
    }

private:
    QChar dec_sep_;
    QStringEncoder encoder_{QStringEncoder::Utf8};
    std::vector<char> bytes_;
};

} // namespace

bool load_text_file(const QString& file_name, LoadTarget& target, FileProgress* progress) {
    TextLineReader reader(file_name);
    if (!reader.open())
        return false;
    report(progress, 0, reader.size());

    IdentTexts ident;
    QStringView line;
    for (QString& text : ident) {
        if (!reader.next(line))
            return false;
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            return false;
        text = trim_blanks(from(line, colon + 2)).toString();
    }
    // The column line is not read; a file that ends with it holds no data and is refused
    // before anything changes.
    if (!reader.next(line))
        return false;

    // The new records go to a store of their own until the whole file has been checked.
    list_of_real_Record records;
    qsizetype rows = 0;
    try {
        LineReader read_line(target.dec_sep);
        records.resize(1); // record 0 is never written
        while (reader.next(line)) {
            if (std::ssize(records) > kMaxRows || !read_line.read(line, records))
                return false;
            if (records.size() % kLinesPerReport == 0)
                report(progress, reader.bytes_read(), reader.size());
        }
        rows = std::ssize(records) - 1;
        if (reader.failed() || rows == 0)
            return false;
        // One record per line of the file and 100 more; records beyond the file's that
        // existed keep their content.
        const std::size_t size = static_cast<std::size_t>(rows + 5 + 100);
        const list_of_real_Record& old = target.file_records;
        for (std::size_t i = records.size(); i < std::min(old.size(), size); ++i)
            records.push_back(old[i]);
        records.resize(size);
    } catch (const std::bad_alloc&) {
        return false; // more than this machine can hold: refused like any other bad file
    }

    // Everything checked: show the file. Readings arriving from here on wait for the end of
    // the load, so they land after the loaded rows.
    if (target.set_identification)
        target.set_identification(ident);
    target.file_records.swap(records);
    list_of_real_Record().swap(records);
    const list_of_real_Record& loaded = target.file_records;

    MeasurementTable& table = target.table;
    table.set_row_count(1); // drops the old rows at once, which keeps the table's store compact
    table.set_row_count(static_cast<int>(rows + 1));
    for (int r = 1; r <= rows; ++r)
        table.set_row(r, loaded[static_cast<std::size_t>(r)]);
    return !target.chart_add_loaded || target.chart_add_loaded();
}
