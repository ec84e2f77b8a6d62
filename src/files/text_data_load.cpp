#include "files/file_progress.h"
#include "files/text_data_file.h"
#include "files/text_line_reader.h"
#include "presentation/measurement_table.h"
#include "protocol/number_text.h"

#include <QStringView>

#include <cstdint>
#include <new>

namespace {

constexpr qsizetype kFieldSpan = 100;           // what a line keeps after its index field
constexpr qsizetype kIdentChars = 100;          // what an identification line keeps
constexpr qsizetype kMaxDataLines = 10'000'000; // more than a week of readings at 10 a second
constexpr qsizetype kLinesPerReport = 4096;

// Leading and trailing blanks and control characters removed.
QStringView trim_blanks(QStringView s) {
    while (!s.isEmpty() && s.front().unicode() <= 0x20)
        s = s.sliced(1);
    while (!s.isEmpty() && s.back().unicode() <= 0x20)
        s.chop(1);
    return s;
}

QStringView from(QStringView s, qsizetype pos) {
    return pos < s.size() ? s.sliced(pos) : QStringView();
}

// A whole number in the 32-bit signed range, in decimal, optionally signed.
bool read_int32(QStringView s, std::int64_t& out) {
    s = trim_blanks(s);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.sliced(1);
    }
    if (s.isEmpty() || s.size() > 10)
        return false;
    std::int64_t v = 0;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    v = negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    out = v;
    return true;
}

// A text that borrows the record's characters instead of copying them; valid while the
// record is, and never to be kept.
QString borrowed(QStringView s) {
    return QString::fromRawData(s.data(), s.size());
}

// One data line into a record. The fields after the index are looked for in the first 100
// characters only, and each is cut to its record field's width.
bool read_data_line(QStringView s, QChar dec_sep, real_Record& r) {
    const qsizetype tab = s.indexOf(u'\t');
    if (tab < 0 || !read_int32(s.first(tab), r.Index))
        return false;
    s = from(s, tab + 1);
    s = s.first(std::min(kFieldSpan, s.size()));

    QStringView field[7];
    for (QStringView& f : field) {
        const qsizetype t = s.indexOf(u'\t');
        if (t < 0)
            continue; // no more fields: this one and all after it stay empty
        f = trim_blanks(s.first(t));
        s = s.sliced(t + 1);
    }
    r.Time.assign(field[0]);
    r.Main_No.assign(field[1]);
    r.Main_Range.assign(field[2]);
    r.Sub_No.assign(field[3]);
    r.Sub_range.assign(field[4]);
    r.T_no.assign(field[5]);
    r.T_Range.assign(field[6]);

    double value;
    if (!text_to_number(borrowed(r.Main_No.view()), dec_sep, value))
        return false;
    return r.Sub_No.isEmpty() || text_to_number(borrowed(r.Sub_No.view()), dec_sep, value);
}

// The texts of function columns repeat from row to row: the last one is handed on shared.
class RepeatedText {
public:
    const QString& operator()(QStringView s) {
        if (s != QStringView(last_))
            last_ = s.toString();
        return last_;
    }

private:
    QString last_;
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
        const QStringView rest = from(line, colon + 2);
        text = trim_blanks(rest.first(std::min(kIdentChars, rest.size()))).toString();
    }
    // The column line is not read; a file that ends with it holds no data and is refused
    // before anything changes.
    if (!reader.next(line))
        return false;

    // The new records go to a store of their own until the whole file has been checked.
    // Typical lines take 40 bytes or more, so room for one record per 32 bytes of file is
    // enough without copying as the store grows.
    list_of_real_Record records;
    qsizetype rows = 0;
    const std::size_t size_hint =
        static_cast<std::size_t>(std::min<qint64>(reader.size() / 32, kMaxDataLines) + 1 + 5 + 100);
    try {
        records.reserve(size_hint);
        records.emplace_back(); // record 0 is never written
        while (reader.next(line)) {
            if (std::ssize(records) > kMaxDataLines ||
                !read_data_line(line, target.dec_sep, records.emplace_back()))
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
    RepeatedText main_range, sub_range, t_range;
    for (int r = 1; r <= rows; ++r) {
        const real_Record& rec = loaded[static_cast<std::size_t>(r)];
        table.set_row(r, rec.Index,
                      {borrowed(rec.Time.view()), borrowed(rec.Main_No.view()),
                       main_range(rec.Main_Range.view()), borrowed(rec.Sub_No.view()),
                       sub_range(rec.Sub_range.view()), borrowed(rec.T_no.view()),
                       t_range(rec.T_Range.view())});
    }
    return !target.chart_add_loaded || target.chart_add_loaded();
}
