#include "app/app_load.h"
#include "files/csv_save.h"
#include "files/export_xlsx.h"
#include "files/file_progress.h"
#include "presentation/measurement_table.h"
#include "protocol/number_text.h"
#include "state/all_v.h"
#include "support/csv_xlsx_reader.h"
#include "support/readings_arrive.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QStringList kHeader = {"Index",      "Time",         "Main_Number", "Main_Function",
                             "Sub_Number", "Sub_Function", "T_Number",    "T_Function"};

// Three readings whose values are written with `sep`, and what another program should read in
// each cell: the text with "." as separator, and whether it is a number.
struct Cell {
    QString text;
    bool number;
};
using Row = std::vector<Cell>;

const std::vector<Row> kExpected = {
    {{"1", true},
     {"10:5:07.3", false},
     {"1.23450", true},
     {"DCV", false},
     {"+50.012", true},
     {"Hz", false},
     {"", false},
     {"", false}},
    {{"2", true},
     {"10:5:07.4", false},
     {"-2E-5", true},
     {"直流电压", false},
     {"OL", false},
     {"°C", false},
     {"0.000100", true},
     {"a, b", false}},
    {{"3", true},
     {"10:5:07.5", false},
     {"1E999", false}, // beyond any double: a text
     {"say \"hi\"", false},
     {"", false},
     {"", false},
     {"7", true},
     {"two\nlines", false}},
};

class CsvXlsx : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ALL_V v;
        app_load(v, {}, table, QLocale::c());
    }
    // The readings of kExpected, their values written with `sep`.
    void fill(QChar sep) {
        table.set_row_count(1);
        for (const Row& r : kExpected) {
            QString t[7];
            for (int c = 1; c < 8; ++c)
                t[c - 1] = r[c].number ? QString(r[c].text).replace(u'.', sep) : r[c].text;
            table.grid_add_row(t[0], t[1], t[2], t[3], t[4], t[5], t[6]);
        }
    }
    void indexed_rows(int n) {
        for (int i = 1; i <= n; ++i)
            table.grid_add_row("1:0:00.0", QString::number(i), "DCV", "", "", "", "");
    }
    static QByteArray read(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return f.readAll();
    }
    static double exact(const QString& text) {
        double x = 0;
        EXPECT_TRUE(text_to_number(text, u'.', x)) << text.toStdString();
        return x;
    }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    }

    QTemporaryDir dir;
    MeasurementTable table;
};

TEST_F(CsvXlsx, CsvIsTheSameUnderEitherSeparatorAndReadsBackWhole) {
    fill(u'.');
    const QString dot = dir.filePath("dot.csv"), comma = dir.filePath("comma.csv");
    ASSERT_TRUE(save_csv_file(dot, table, u'.'));
    fill(u',');
    ASSERT_TRUE(save_csv_file(comma, table, u','));

    const QByteArray bytes = read(dot);
    EXPECT_EQ(bytes, read(comma));
    // No byte-order mark, the header row first, CR LF after every line (the one inside the
    // quoted field is the cell's own LF).
    EXPECT_TRUE(
        bytes.startsWith("Index,Time,Main_Number,Main_Function,Sub_Number,Sub_Function,"
                         "T_Number,T_Function\r\n1,10:5:07.3,1.23450,DCV,+50.012,Hz,,\r\n"));
    EXPECT_TRUE(bytes.endsWith(",7,\"two\nlines\"\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 4);

    const QJsonArray records = read_with_csv(dot);
    ASSERT_EQ(records.size(), 4);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(records[0][c][0].toString(), kHeader[c]);
    for (int r = 0; r < 3; ++r) {
        const QJsonArray got = records[r + 1].toArray();
        ASSERT_EQ(got.size(), 8) << r;
        for (int c = 0; c < 8; ++c) {
            const Cell& want = kExpected[r][c];
            SCOPED_TRACE(want.text.toStdString());
            EXPECT_EQ(got[c][0].toString(), want.text);
            if (want.number) {
                EXPECT_EQ(got[c][1].toDouble(), exact(want.text));
            }
        }
    }
    EXPECT_TRUE(records[2][4][1].isNull()); // "OL" is no number, nor is "1E999" one to keep
    EXPECT_TRUE(records[3][2][1].isNull());
}

// A text that is no number of the user's locale goes out as it stands, quoted where it needs.
TEST_F(CsvXlsx, CsvLeavesTextsWithTheOtherSeparatorAlone) {
    table.grid_add_row("t", "1,5", "DCV", "2.5", "", "", "");
    table.grid_add_row("t", "3", "DCV", "", "", "", "");
    const QString file = dir.filePath("other.csv");
    ASSERT_TRUE(save_csv_file(file, table, u'.'));
    EXPECT_TRUE(read(file).contains("\r\n1,t,\"1,5\",DCV,2.5,,,\r\n"));
    ASSERT_TRUE(save_csv_file(file, table, u','));
    EXPECT_TRUE(read(file).contains("\r\n1,t,1.5,DCV,2.5,,,\r\n"));
}

TEST_F(CsvXlsx, CsvTakesTheRowsATextFileWould) {
    indexed_rows(2);
    table.set_row_count(5);
    table.set_row(4, 4, {"1:0:00.0", "4", "DCV", "", "", "", ""}); // after an empty row 3
    ReadingsArrive readings_arrive(table);
    const QString file = dir.filePath("rows.csv");
    ASSERT_TRUE(save_csv_file(file, table, u'.', &readings_arrive));
    EXPECT_EQ(table.cell(3, 1), "late");
    EXPECT_EQ(read(file).count("\r\n"), 3);
}

TEST_F(CsvXlsx, XlsxHoldsNumbersAsNumbersAndTextsWholeUnderEitherSeparator) {
    for (const QChar sep : {u'.', u','}) {
        SCOPED_TRACE(QString(sep).toStdString());
        fill(sep);
        const QString file = dir.filePath(sep == u'.' ? "dot.xlsx" : "comma.xlsx");
        ASSERT_TRUE(export_xlsx(file, table, sep));
        const QJsonArray sheets = read_with_openpyxl(file);
        ASSERT_EQ(sheets.size(), 1);
        EXPECT_EQ(sheets[0]["name"].toString(), "page 1");
        const QJsonArray rows = sheets[0]["rows"].toArray();
        ASSERT_EQ(rows.size(), 4);
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(rows[0][c], QJsonArray({"s", kHeader[c]}));
        for (int r = 0; r < 3; ++r) {
            const QJsonArray got = rows[r + 1].toArray();
            for (int c = 0; c < 8; ++c) {
                const Cell& want = kExpected[r][c];
                SCOPED_TRACE(want.text.toStdString());
                if (want.text.isEmpty()) {
                    EXPECT_TRUE(c >= got.size() || got[c].isNull());
                } else if (want.number) {
                    EXPECT_EQ(got[c], QJsonArray({"n", exact(want.text)}));
                } else {
                    EXPECT_EQ(got[c], QJsonArray({"s", want.text}));
                }
            }
        }
    }
}

// Each sheet starts with the header row; every table row lands once, in order.
TEST_F(CsvXlsx, XlsxStartsANewSheetWithItsHeaderAtTheRowLimit) {
    indexed_rows(7);
    for (const int data_rows : {7, 6}) {
        SCOPED_TRACE(data_rows);
        table.set_row_count(data_rows + 1);
        const QString file = dir.filePath("split.xlsx");
        struct Progress : FileProgress {
            qint64 done = -1, total = 0;
            void advance(qint64 d, qint64 t) override { done = d, total = t; }
        } progress;
        ASSERT_TRUE(export_xlsx(file, table, u'.', &progress, 4));
        EXPECT_GT(progress.total, 0);
        EXPECT_EQ(progress.done, progress.total);
        const QJsonArray sheets = read_with_openpyxl(file);
        ASSERT_EQ(sheets.size(), (data_rows + 2) / 3);
        QList<double> indexes;
        for (int s = 0; s < sheets.size(); ++s) {
            EXPECT_EQ(sheets[s]["name"].toString(), QStringLiteral("page %1").arg(s + 1));
            const QJsonArray rows = sheets[s]["rows"].toArray();
            ASSERT_FALSE(rows.isEmpty());
            EXPECT_EQ(rows[0][0], QJsonArray({"s", "Index"}));
            EXPECT_LE(rows.size(), 4);
            for (int r = 1; r < rows.size(); ++r) {
                indexes << rows[r][0][1].toDouble();
                EXPECT_EQ(rows[r][2][1].toDouble(), indexes.back());
            }
        }
        QList<double> want;
        for (int i = 1; i <= data_rows; ++i)
            want << i;
        EXPECT_EQ(indexes, want);
    }
}

// A text beyond the cell limit keeps its first 32767 characters, never half of one.
TEST_F(CsvXlsx, XlsxCutsTextsAtTheCellLimit) {
    const QString latin(40000, QChar(0xE9));
    const QString pair = QString(32766, u'a') + QStringLiteral("\U0001F600tail");
    table.grid_add_row(latin, "1", pair, "", "", "", "");
    const QString file = dir.filePath("long.xlsx");
    ASSERT_TRUE(export_xlsx(file, table, u'.'));
    const QJsonArray sheets = read_with_openpyxl(file);
    ASSERT_EQ(sheets.size(), 1);
    const QJsonArray row = sheets[0]["rows"][1].toArray();
    ASSERT_EQ(row.size(), 4);
    EXPECT_EQ(row[1][1].toString(), latin.left(32767));
    EXPECT_EQ(row[3][1].toString(), QString(32766, u'a'));
}

// Neither writer leaves anything behind where it cannot write, and an export replaces an
// older file only once it is complete.
TEST_F(CsvXlsx, AFailedWriteReturnsFalseAndLeavesNoFile) {
    indexed_rows(2);
    const QString folder = dir.filePath("taken");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    const QStringList before = entries();
    EXPECT_FALSE(save_csv_file(dir.filePath("missing/x.csv"), table, u'.'));
    EXPECT_FALSE(export_xlsx(dir.filePath("missing/x.xlsx"), table, u'.'));
    EXPECT_FALSE(save_csv_file(folder, table, u'.'));
    EXPECT_FALSE(export_xlsx(folder, table, u'.')); // written, then it cannot take the name
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(QDir(folder).isEmpty());

    const QString old = dir.filePath("old.xlsx");
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
    }
    ASSERT_TRUE(export_xlsx(old, table, u'.'));
    const QJsonArray sheets = read_with_openpyxl(old);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0]["rows"].toArray().size(), 3);
    EXPECT_EQ(entries(), (QStringList{"old.xlsx", "taken"}));
}

} // namespace
