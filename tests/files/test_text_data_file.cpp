#include "app/app_load.h"
#include "files/file_progress.h"
#include "files/text_data_file.h"
#include "presentation/measurement_table.h"
#include "support/readings_arrive.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

const IdentTexts kLabels = {"Manufacturers", "Model", "Serial number", "Info"};

class TextDataFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        app_load(v, {}, table, QLocale::c());
        v.dec_sep = QStringLiteral(".");
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    static QByteArray read(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return f.readAll();
    }
    void write(const QString& file, const QByteArray& bytes) const {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    void add(const char* time, const char* main, const char* func, const char* sub = "",
             const char* sub_func = "", const char* t = "", const char* t_func = "") {
        table.grid_add_row(time, main, func, sub, sub_func, t, t_func);
    }

    bool load(const QString& file) {
        LoadTarget target{v.dec_sep.at(0), v.file_records, table,
                          [this](const IdentTexts& t) { shown = t; },
                          [this] {
                              ++chart_calls;
                              return chart_result;
                          }};
        return load_text_file(file, target);
    }

    std::vector<std::array<QString, 8>> rows() const {
        std::vector<std::array<QString, 8>> out;
        for (int r = 1; r < table.row_count(); ++r) {
            std::array<QString, 8> row;
            for (int c = 0; c < 8; ++c)
                row[c] = table.cell(r, c);
            out.push_back(row);
        }
        return out;
    }

    QTemporaryDir dir;
    ALL_V v;
    MeasurementTable table;
    std::optional<IdentTexts> shown;
    int chart_calls = 0;
    bool chart_result = true;
};

QByteArray data_file(const QByteArray& data_lines, const char* eol = "\r\n") {
    QByteArray head = "Manufacturers: ACME\r\nModel: X1\r\nSerial number: 42\r\nInfo: v1\r\n"
                      "Index\tTime\tMain_Number\tMain_Function\tSub_Number\tSub_Function\t"
                      "T_Number\tT_Function\t\r\n";
    QByteArray all = head + data_lines;
    return all.replace("\r\n", eol);
}

TEST_F(TextDataFile, SavesThreeRowsByteForByte) {
    add("10:5:07.3", "1.2345", "DCV");
    add("10:5:07.4", "-2E-5", "ACV", "50.01", "Hz");
    add("10:5:07.5", "3", "TCK", "", "", "21.5", "C");
    const QString file = path("three.txt");
    ASSERT_TRUE(save_text_file(file, kLabels, {"ACME", "X1", "SN 42", ""}, table));

    const QByteArray expected = "Manufacturers: ACME\r\n"
                                "Model: X1\r\n"
                                "Serial number: SN 42\r\n"
                                "Info: \r\n"
                                "Index\tTime\tMain_Number\tMain_Function\tSub_Number\t"
                                "Sub_Function\tT_Number\tT_Function\t\r\n"
                                "1\t10:5:07.3\t1.2345\tDCV\t\t\t\t\t\r\n"
                                "2\t10:5:07.4\t-2E-5\tACV\t50.01\tHz\t\t\t\r\n"
                                "3\t10:5:07.5\t3\tTCK\t\t\t21.5\tC\t\r\n";
    EXPECT_EQ(read(file), expected);
}

TEST_F(TextDataFile, LabelsAndTextsGoOutInWindows1252WhenItHoldsThem) {
    add("1:0:00.0", "1", "µA €");
    const QString file = path("fr.txt");
    ASSERT_TRUE(save_text_file(file, {"Fabricants", "Modèle", "Numéro de série", "Info"},
                               {"Société", "", "", ""}, table));
    const QByteArray bytes = read(file);
    EXPECT_TRUE(bytes.startsWith("Fabricants: Soci\xE9t\xE9\r\nMod\xE8le: \r\n"));
    EXPECT_TRUE(bytes.endsWith("\t\xB5"
                               "A \x80\t\t\t\t\t\r\n"));
}

TEST_F(TextDataFile, TextsWindows1252CannotHoldMakeTheWholeFileUtf8) {
    add("1:0:00.0", "1", "DCV");
    add("1:0:00.1", "2", "Ω"); // far down the file: the first attempt is already under way
    const QString file = path("zh.txt");
    const IdentTexts zh = {"制造商", "型号", "序列号", "信息"};
    ASSERT_TRUE(save_text_file(file, zh, {"é", "", "", ""}, table));
    const QByteArray bytes = read(file);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF" + QString("制造商: é\r\n").toUtf8()));
    EXPECT_TRUE(bytes.endsWith(QString("2\t1:0:00.1\t2\tΩ\t\t\t\t\t\r\n").toUtf8()));

    table.set_row_count(1);
    ASSERT_TRUE(load(file));
    EXPECT_EQ(shown->at(0), "é");
    EXPECT_EQ(table.cell(2, 3), "Ω");
}

TEST_F(TextDataFile, SaveStopsAtTheFirstRowWithoutIndexAndKeepsRowsAddedMeanwhileOut) {
    add("1:0:00.0", "1", "DCV");
    add("1:0:00.1", "2", "DCV");
    ReadingsArrive readings_arrive(table);
    const QString file = path("snap.txt");
    ASSERT_TRUE(save_text_file(file, kLabels, {}, table, &readings_arrive));
    EXPECT_GT(table.row_count(), 3);           // the readings were taken ...
    EXPECT_FALSE(read(file).contains("late")); // ... but the file holds the rows it started with
    EXPECT_EQ(read(file).count("\r\n"), 7);
}

TEST_F(TextDataFile, SaveFailsWhereNoFileCanBeWritten) {
    add("1:0:00.0", "1", "DCV");
    EXPECT_FALSE(save_text_file(path("missing/dir/x.txt"), kLabels, {}, table));
    EXPECT_FALSE(save_text_file(dir.path(), kLabels, {}, table));
}

TEST_F(TextDataFile, ASavedFileLoadsBackUnderEitherDecimalSeparator) {
    for (const char* sep : {".", ","}) {
        SCOPED_TRACE(sep);
        v.dec_sep = sep;
        MeasurementTable fresh;
        app_load(v, {}, fresh, QLocale::c());
        v.dec_sep = sep;
        const QString a = QString("1") + sep + "2345", b = QString("-4") + sep + "5E-3";
        fresh.grid_add_row("10:5:07.3", a, "DCV", b, "Hz", "", "");
        fresh.grid_add_row("10:5:07.4", a, "DCV", "", "", "x", "C");
        const QString file = path(QString("rt%1.txt").arg(sep == QString(".") ? 1 : 2));
        const IdentTexts fields = {"ACME Instruments", "X1", "SN:42", "fw 1.0"};
        ASSERT_TRUE(save_text_file(file, kLabels, fields, fresh));

        chart_calls = 0;
        ASSERT_TRUE(load(file));
        EXPECT_EQ(*shown, fields);
        ASSERT_EQ(table.row_count(), fresh.row_count());
        for (int r = 0; r < table.row_count(); ++r)
            for (int c = 0; c < 8; ++c)
                EXPECT_EQ(table.cell(r, c), fresh.cell(r, c)) << r << "," << c;
        EXPECT_EQ(chart_calls, 1);
        ASSERT_EQ(v.file_records.size(), 2u + 5 + 100); // the file's 7 lines plus 100
        EXPECT_EQ(v.file_records[0].Main_No, QByteArrayView(""));
        EXPECT_EQ(v.file_records[2].T_no, QByteArrayView("x"));
        EXPECT_EQ(v.file_records[1].Sub_range, QByteArrayView("Hz"));
    }
}

TEST_F(TextDataFile, LoadReadsEveryEncodingAndLineEnd) {
    const QString data = data_file("1\t1:0:00.0\t1.5\tDCV\t\t\t\t\t\r\n"
                                   "2\t1:0:00.1\t2.5\tµV€\t\t\t\t\t\r\n");
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray le = "\xFF\xFE", be = "\xFE\xFF";
    for (QChar c : data) {
        le += char(c.unicode() & 0xFF), le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8), be += char(c.unicode() & 0xFF);
    }
    const QByteArray cp =
        data_file("1\t1:0:00.0\t1.5\tDCV\t\t\t\t\t\r\n2\t1:0:00.1\t2.5\t\xB5V\x80\t\t\t\t\t\r\n");
    const Case cases[] = {
        {"cp1252 CR LF", cp},
        {"cp1252 LF", QByteArray(cp).replace("\r\n", "\n")},
        {"cp1252 CR", QByteArray(cp).replace("\r\n", "\r")},
        {"cp1252 no final line end", cp.chopped(2)},
        {"UTF-8", "\xEF\xBB\xBF" + data.toUtf8()},
        {"UTF-16LE", le},
        {"UTF-16BE", be},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(path("enc.txt"), c.bytes);
        shown.reset();
        ASSERT_TRUE(load(path("enc.txt")));
        EXPECT_EQ(*shown, (IdentTexts{"ACME", "X1", "42", "v1"}));
        ASSERT_EQ(table.row_count(), 3);
        EXPECT_EQ(table.cell(2, 3), "µV€");
        EXPECT_EQ(table.cell(2, 2), "2.5");
    }
}

TEST_F(TextDataFile, LoadTakesIndexesFromTheFileAndReplacesTheTable) {
    for (int i = 0; i < 50; ++i)
        add("0:0:00.0", "7", "ACV");
    QByteArray lines;
    for (int i = 101; i <= 110; ++i)
        lines += QByteArray::number(i) + "\t1:0:00.0\t1\tDCV\t\t\t\t\t\r\n";
    write(path("idx.txt"), data_file(lines));
    ASSERT_TRUE(load(path("idx.txt")));
    ASSERT_EQ(table.row_count(), 11);
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(table.cell(r, 0), QString::number(100 + r));
    add("2:0:00.0", "3", "DCV");
    EXPECT_EQ(table.cell(11, 0), "11");
    EXPECT_EQ(table.cell(11, 2), "3");
}

// Values come back whole however long they are, and so does a line however long it is;
// function texts keep their first 35 characters and the time its first 15.
TEST_F(TextDataFile, LoadKeepsValuesWholeAndCutsOnlyFunctionsAndTime) {
    const QByteArray func40 = QByteArray(40, 'F');
    const QByteArray long_value = "-0." + QByteArray(60, '0') + "1234567890123";
    const QByteArray long_tail =
        "\t\t" + QByteArray(60, 'G') + "\t1\t" + QByteArray(30, 'H') + "\t";
    write(path("cut.txt"), data_file("1\t 10:5:07.3 \t1.23456789012\t" + func40 +
                                     "\t\t\t\t\t\r\n"
                                     "2\t1:0:00.00000000001\t2\tDCV" +
                                     long_tail +
                                     "\r\n"
                                     "3\t1:0\t3\tDCV\r\n"
                                     "4\t1:0\t" +
                                     long_value + "\tDCV\t" + long_value + "\tACV\t\t\t\r\n"));
    ASSERT_TRUE(load(path("cut.txt")));
    EXPECT_EQ(table.cell(1, 1), "10:5:07.3");
    EXPECT_EQ(table.cell(1, 2), "1.23456789012");
    EXPECT_EQ(table.cell(1, 3), QString(35, 'F'));
    EXPECT_EQ(table.cell(2, 1), "1:0:00.00000000");
    EXPECT_EQ(table.cell(2, 5), QString(35, 'G'));
    EXPECT_EQ(table.cell(2, 6), "1");
    EXPECT_EQ(table.cell(2, 7), QString(30, 'H'));
    // A line that runs out of TABs leaves the field without one and all after it empty.
    EXPECT_EQ(table.cell(3, 2), "3");
    EXPECT_EQ(table.cell(3, 3), "");
    EXPECT_EQ(table.cell(4, 2), QString::fromLatin1(long_value));
    EXPECT_EQ(table.cell(4, 4), QString::fromLatin1(long_value));
    EXPECT_EQ(v.file_records[4].Main_No, long_value);
    EXPECT_EQ(v.file_records[4].main_value, -1.234567890123e-61);
    EXPECT_EQ(v.file_records[1].main_value, 1.23456789012);
}

// A cut leaves neither a blank at the end, which the next save and load would trim away, nor
// half a character, which would turn up in front of the next field.
TEST_F(TextDataFile, CutsLeaveNeitherATrailingBlankNorHalfACharacter) {
    const QByteArray astral = "\xF0\x9F\x98\x80"; // two UTF-16 units
    const QByteArray f34 = QByteArray(34, 'F');
    write(path("cut.txt"),
          "\xEF\xBB\xBF" + data_file("1\t1:0:00.1234567 later\t1.5\t" + f34 +
                                     " GG\t\t\t\t\t\r\n"
                                     "2\t0:0:00.0000000" +
                                     astral + "\t2.5\t" + f34 + astral + "\t3\tHz\t\t\t\r\n"));
    ASSERT_TRUE(load(path("cut.txt")));
    const std::vector<std::array<QString, 8>> expected = {
        {"1", "1:0:00.1234567", "1.5", QString(f34), "", "", "", ""},
        {"2", "0:0:00.0000000", "2.5", QString(f34), "3", "Hz", "", ""},
    };
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(v.file_records[2].main_value, 2.5);
    EXPECT_EQ(v.file_records[2].sub_value, 3.0);

    ASSERT_TRUE(save_text_file(path("again.txt"), kLabels, *shown, table));
    ASSERT_TRUE(load(path("again.txt")));
    EXPECT_EQ(rows(), expected);
}

TEST_F(TextDataFile, IdentificationTextStartsTwoCharactersAfterTheFirstColon) {
    write(path("id.txt"), "A label much longer than the word Manufacturers: M\r\nModel: XYZ\r\n"
                          "SN:1234\r\nInfo: a: b  \r\nIndex\t\r\n1\t\t1\t\t\t\t\t\t\r\n");
    ASSERT_TRUE(load(path("id.txt")));
    EXPECT_EQ(*shown, (IdentTexts{"M", "XYZ", "234", "a: b"}));
}

// Everything a load is refused for leaves the identification, the records, the table and the
// chart as they were.
TEST_F(TextDataFile, RefusedFilesChangeNothing) {
    add("1:0:00.0", "1", "DCV");
    add("1:0:00.1", "2", "DCV");
    v.file_records.resize(1);
    v.file_records.push_back({7, "", "keep", "", "", "", "", "", 1, kNoNumber});
    v.file_records.resize(3);
    const auto before = rows();
    const QByteArray good = "1\t1:0\t1.5\tDCV\t\t\t\t\t\r\n";
    QByteArray absurd = data_file(good);
    absurd += QByteArray(300 * 1024, 'x');
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray unpaired = "\xFF\xFE";
    QString with_half_pair = QString::fromLatin1(data_file(good));
    with_half_pair.replace("DCV", QString(QChar(0xD800)));
    for (QChar c : std::as_const(with_half_pair))
        unpaired += char(c.unicode() & 0xFF), unpaired += char(c.unicode() >> 8);
    const Case cases[] = {
        {"empty file", ""},
        {"fewer than four lines", "Manufacturers: A\r\nModel: B\r\n"},
        {"third line without colon", data_file(good).replace("Serial number: 42", "Serial 42")},
        {"four lines", "a: 1\r\nb: 2\r\nc: 3\r\nd: 4\r\n"},
        {"five lines", data_file("")},
        {"index not a number", data_file("x\t1:0\t1.5\tDCV\t\t\t\t\t\r\n")},
        {"index beyond 32 bits", data_file("2147483648\t1:0\t1.5\tDCV\t\t\t\t\t\r\n")},
        {"no TAB at all", data_file("1 1:0 1.5 DCV\r\n")},
        {"main value empty", data_file(good + "2\t1:0\t\tDCV\t\t\t\t\t\r\n")},
        {"main value not a number", data_file(good + "2\t1:0\tOL\tDCV\t\t\t\t\t\r\n")},
        {"other decimal separator", data_file(good + "2\t1:0\t1,5\tDCV\t\t\t\t\t\r\n")},
        {"sub value not a number", data_file(good + "2\t1:0\t1.5\tDCV\tx\tHz\t\t\t\r\n")},
        {"empty line at the end", data_file(good + "\r\n")},
        {"NUL byte: not text", data_file(good).replace("DCV", QByteArray("D\0V", 3))},
        {"bad UTF-8 after its mark", "\xEF\xBB\xBF" + data_file(good).replace("DCV", "D\xC3V")},
        {"odd UTF-16 length", QByteArray("\xFF\xFE") + "a\0:\0 \0"},
        {"unpaired UTF-16 surrogate", unpaired},
        {"absurd line", absurd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(path("bad.txt"), c.bytes);
        EXPECT_FALSE(load(path("bad.txt")));
        EXPECT_FALSE(shown.has_value());
        EXPECT_EQ(rows(), before);
        EXPECT_EQ(v.file_records.size(), 3u);
        EXPECT_EQ(v.file_records[1].Main_No, QByteArrayView("keep"));
        EXPECT_EQ(chart_calls, 0);
    }
    EXPECT_FALSE(load(path("does-not-exist.txt")));
}

TEST_F(TextDataFile, HugeFilesAreRefusedUnread) {
    QFile f(path("huge.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.write(data_file("1\t1:0\t1\tDCV\t\t\t\t\t\r\n")) > 0);
    ASSERT_TRUE(f.resize((qint64(1) << 30) + 1)); // sparse: costs no disk
    f.close();
    EXPECT_FALSE(load(f.fileName()));
    EXPECT_FALSE(shown.has_value());
}

TEST_F(TextDataFile, AChartThatCannotPlotFailsTheLoadAfterTheTableIsShown) {
    chart_result = false;
    write(path("c.txt"), data_file("5\t1:0\t1\tDCV\t\t\t\t\t\r\n"));
    EXPECT_FALSE(load(path("c.txt")));
    EXPECT_EQ(chart_calls, 1);
    EXPECT_EQ(table.cell(1, 0), "5");
}

} // namespace
