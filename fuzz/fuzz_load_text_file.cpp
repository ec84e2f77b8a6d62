// Feeds arbitrary bytes to the text data file loader as a file and checks what a load promises:
// - nothing crashes or trips a sanitizer;
// - a refused file changes nothing: the table, the records and the identification stay as they
//   were, and neither the identification nor the chart is told anything;
// - an accepted file fills the records and the table alike, every value text with the number
//   it reads as; what the saver then writes loads back to the same table and identification,
//   and saves again to the very same bytes.
//
// Input: byte 0 chooses the decimal separator ("," or "." as itself, any other byte by its
// lowest bit: odd is ","); the rest is the file.

#include "files/text_data_file.h"
#include "presentation/measurement_table.h"
#include "protocol/number_text.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, int line) {
    std::fprintf(stderr, "fuzz_load_text_file.cpp:%d: check failed: %s\n", line, what);
    __builtin_trap();
}

} // namespace

// Names the check that failed, so a crash report tells which promise was broken.
#define CHECK(ok) ((ok) ? void() : fail(#ok, __LINE__))

namespace {

const IdentTexts kLabels = {"Manufacturers", "Model", "Serial number", "Info"};
const IdentTexts kKnownIdent = {"Known maker", "K1", "0001", "before the load"};
constexpr const char* kHeaders[MeasurementTable::kColumns] = {
    "Index",      "Time",         "Main_Number", "Main_Function",
    "Sub_Number", "Sub_Function", "T_Number",    "T_Function"};
// Records of the known state: more than a small file's records plus 100, so a load both keeps
// some of them and drops the rest.
constexpr int kKnownRecords = 150;

// What a load fills, with the identification fields it shows and what it told whom.
struct Target {
    list_of_real_Record records;
    MeasurementTable table;
    IdentTexts ident;
    int ident_calls = 0;
    int chart_calls = 0;

    Target() {
        for (int c = 0; c < MeasurementTable::kColumns; ++c)
            table.set_header(c, QString::fromLatin1(kHeaders[c]));
    }
    bool load(const QString& file, QChar dec_sep) {
        LoadTarget t{dec_sep, records, table,
                     [this](const IdentTexts& i) {
                         ++ident_calls;
                         ident = i;
                     },
                     [this] {
                         ++chart_calls;
                         return true;
                     }};
        return load_text_file(file, t);
    }
};

// A table with a few readings and a record store with texts in every record.
std::unique_ptr<Target> known_target() {
    auto t = std::make_unique<Target>();
    t->ident = kKnownIdent;
    t->table.grid_add_row("10:5:07.3", "1.2345", "DCV", "", "", "", "");
    t->table.grid_add_row("10:5:07.4", "-INF", "DCV", "5E-3", "ACV", "x", "C");
    t->table.grid_add_row("10:5:07.5", "7", "OHM", "", "", "", "");
    t->records.resize(1);
    for (int i = 1; i < kKnownRecords; ++i) {
        const QByteArray n = QByteArray::number(i);
        RecordView r;
        r.Index = 1000 + i;
        r.Time = "1:0:00.0";
        r.Main_No = n;
        r.Main_Range = "DCV";
        r.Sub_No = i % 2 ? QByteArrayView() : QByteArrayView(n);
        r.Sub_range = i % 2 ? "" : "Hz";
        r.main_value = i;
        r.sub_value = i % 2 ? kNoNumber : i;
        t->records.push_back(r);
    }
    return t;
}

bool same_number(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : a == b && std::signbit(a) == std::signbit(b);
}

bool same_record(const RecordView& a, const RecordView& b) {
    return a.Index == b.Index && a.Time == b.Time && a.Main_No == b.Main_No &&
           a.Main_Range == b.Main_Range && a.Sub_No == b.Sub_No && a.Sub_range == b.Sub_range &&
           a.T_no == b.T_no && a.T_Range == b.T_Range && same_number(a.main_value, b.main_value) &&
           same_number(a.sub_value, b.sub_value);
}

bool empty_record(const RecordView& r) {
    return same_record(r, RecordView{});
}

std::vector<QString> cells(const MeasurementTable& t) {
    std::vector<QString> out;
    for (int r = 0; r < t.row_count(); ++r)
        for (int c = 0; c < MeasurementTable::kColumns; ++c)
            out.push_back(t.cell(r, c));
    return out;
}

bool same_state(const Target& a, const Target& b) {
    if (a.records.size() != b.records.size())
        return false;
    for (std::size_t i = 0; i < a.records.size(); ++i)
        if (!same_record(a.records[i], b.records[i]))
            return false;
    return a.ident == b.ident && a.table.current_row() == b.table.current_row() &&
           cells(a.table) == cells(b.table);
}

// A value text as the loader accepts it, and the number that travels with it.
bool value_matches(QByteArrayView text, double number, QChar dec_sep) {
    if (text == "INF" || text == "-INF")
        return std::isinf(number) && (number < 0) == (text.front() == '-');
    double read = 0;
    return text_to_number(QString::fromUtf8(text), dec_sep, read) && same_number(read, number);
}

// What an accepted load leaves: a record per data line with the table row showing its texts,
// the records the store had beyond the file's kept up to the file's lines plus 100.
void check_accepted(const Target& t, const list_of_real_Record& before, QChar dec_sep) {
    CHECK(t.ident_calls == 1 && t.chart_calls == 1);
    const int rows = t.table.row_count() - 1;
    CHECK(rows >= 1);
    CHECK(t.records.size() == std::size_t(rows) + 5 + 100);
    CHECK(empty_record(t.records[0]));
    for (int c = 0; c < MeasurementTable::kColumns; ++c)
        CHECK(t.table.cell(0, c) == QLatin1String(kHeaders[c]));
    for (int k = 1; k <= rows; ++k) {
        const RecordView r = t.records[std::size_t(k)];
        CHECK(t.table.row_filled(k) && t.table.row_index(k) == r.Index);
        CHECK(r.Index >= std::numeric_limits<std::int32_t>::min() &&
              r.Index <= std::numeric_limits<std::int32_t>::max());
        const QByteArrayView texts[7] = {r.Time,      r.Main_No, r.Main_Range, r.Sub_No,
                                         r.Sub_range, r.T_no,    r.T_Range};
        for (int c = 1; c < MeasurementTable::kColumns; ++c)
            CHECK(t.table.cell(k, c) == QString::fromUtf8(texts[c - 1]));
        CHECK(t.table.cell(k, MeasurementTable::ColTime).size() <= 15);
        for (int c : {MeasurementTable::ColMainFunc, MeasurementTable::ColSubFunc,
                      MeasurementTable::ColTFunc})
            CHECK(t.table.cell(k, c).size() <= 35);
        CHECK(value_matches(r.Main_No, r.main_value, dec_sep));
        CHECK(r.Sub_No.isEmpty() ? std::isnan(r.sub_value)
                                 : value_matches(r.Sub_No, r.sub_value, dec_sep));
    }
    for (std::size_t i = std::size_t(rows) + 1; i < t.records.size(); ++i)
        CHECK(i < before.size() ? same_record(t.records[i], before[i])
                                : empty_record(t.records[i]));
}

QByteArray read_file(const QString& name) {
    QFile f(name);
    CHECK(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// The files go to a RAM file system where there is one: the saver syncs each file it commits,
// which on a disk takes longer than all the rest of a run.
QString scratch_template() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString root = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return root + QStringLiteral("/fuzz_load_text_file-XXXXXX");
}

struct Workspace {
    QTemporaryDir dir{scratch_template()};
    QString input, a, b;
    std::unique_ptr<Target> reference; // the known state, never loaded into
    std::unique_ptr<Target> target;    // in the known state before each input

    Workspace()
        : input(dir.filePath("input.txt")), a(dir.filePath("a.txt")), b(dir.filePath("b.txt")),
          reference(known_target()) {
        CHECK(dir.isValid());
    }
};

Workspace& workspace() {
    static int argc = 1;
    static char name[] = "fuzz_load_text_file";
    static char* argv[] = {name, nullptr};
    // The table is a Qt object that posts its view updates; they wait harmlessly, as no event
    // loop runs.
    [[maybe_unused]] static QCoreApplication* app = new QCoreApplication(argc, argv);
    static Workspace w;
    return w;
}

QChar separator(std::uint8_t b) {
    if (b == ',' || b == '.')
        return QChar(b);
    return (b & 1) ? QChar(u',') : QChar(u'.');
}

void write_file(const QString& name, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(QFile::encodeName(name).constData(), "wb");
    CHECK(f != nullptr);
    CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
    CHECK(std::fclose(f) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const QChar dec_sep = separator(data[0]);
    Workspace& w = workspace();
    write_file(w.input, data + 1, size - 1);

    // A refusal leaves the target as it was, so it serves the next input too; a new one is made
    // only after an accepted load.
    if (!w.target)
        w.target = known_target();
    Target& t = *w.target;
    if (!t.load(w.input, dec_sep)) {
        CHECK(t.ident_calls == 0 && t.chart_calls == 0);
        CHECK(same_state(t, *w.reference));
        return 0;
    }
    const std::unique_ptr<Target> loaded = std::move(w.target);
    check_accepted(*loaded, w.reference->records, dec_sep);

    // What the saver writes of an accepted file is a file the loader accepts, with the same
    // table and identification, and that saves again to the same bytes.
    CHECK(save_text_file(w.a, kLabels, loaded->ident, loaded->table));
    Target again;
    CHECK(again.load(w.a, dec_sep));
    check_accepted(again, list_of_real_Record(), dec_sep);
    CHECK(again.ident == loaded->ident);
    CHECK(cells(again.table) == cells(loaded->table));
    CHECK(save_text_file(w.b, kLabels, again.ident, again.table));
    CHECK(read_file(w.a) == read_file(w.b));
    return 0;
}
