#include "app/app_load.h"
#include "files/export_xls.h"
#include "files/native_spreadsheet.h"
#include "presentation/measurement_table.h"
#include "state/all_v.h"
#include "support/fake_spreadsheet.h"
#include "support/xlrd_reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class XlsExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ALL_V v;
        app_load(v, {}, table, QLocale::c());
    }
    bool export_native(const QString& file, QChar dec_sep = u'.') {
        NativeSpreadsheetPlatform platform(dec_sep);
        return export_xls(file, table, platform, [this] { ++warnings; });
    }

    QTemporaryDir dir;
    MeasurementTable table;
    int warnings = 0;
};

QJsonArray cell(int type, const QJsonValue& value) {
    return QJsonArray{type, value};
}
std::string text(const QJsonArray& a) {
    return QJsonDocument(a).toJson(QJsonDocument::Compact).toStdString();
}

TEST_F(XlsExport, ThreeRowsMakeOnePageOfNumbersAndTextsUnderEitherSeparator) {
    for (const QChar sep : {u'.', u','}) {
        SCOPED_TRACE(QString(sep).toStdString());
        table.set_row_count(1);
        table.set_row_count(2);
        const QString half = QStringLiteral("0") + sep + QStringLiteral("5"),
                      other = sep == u'.' ? "0,5" : "0.5";
        table.grid_add_row("10:5:07.3", half, "DCV", "", "", "", "");
        table.grid_add_row("10:5:07.4", "-2E-5", "ACV", other, "Hz", "", "");
        table.grid_add_row("10:5:07.5", "OL", "Ω", "", "", "3", "C");
        const QString file = dir.filePath(sep == u'.' ? "dot.xls" : "comma.xls");
        ASSERT_TRUE(export_native(file, sep));

        const auto sheets = read_with_xlrd(file, {0, 1, 2, 3});
        ASSERT_EQ(sheets.size(), 1u);
        const XlrdSheet& s = sheets[0];
        EXPECT_EQ(s.name, "page 1");
        EXPECT_EQ(s.nrows, 4);
        EXPECT_EQ(s.ncols, 8);
        const QJsonArray header{cell(1, "Index"),       cell(1, "Time"),
                                cell(1, "Main_Number"), cell(1, "Main_Function"),
                                cell(1, "Sub_Number"),  cell(1, "Sub_Function"),
                                cell(1, "T_Number"),    cell(1, "T_Function")};
        EXPECT_EQ(text(s.row(0)), text(header));
        EXPECT_EQ(text(s.row(1)),
                  text(QJsonArray{cell(2, 1), cell(1, "10:5:07.3"), cell(2, 0.5), cell(1, "DCV"),
                                  cell(0, ""), cell(0, ""), cell(0, ""), cell(0, "")}));
        // A text with the other separator is no number of this locale: it stays text.
        EXPECT_EQ(text(s.row(2)),
                  text(QJsonArray{cell(2, 2), cell(1, "10:5:07.4"), cell(2, -2e-5), cell(1, "ACV"),
                                  cell(1, other), cell(1, "Hz"), cell(0, ""), cell(0, "")}));
        EXPECT_EQ(text(s.row(3)),
                  text(QJsonArray{cell(2, 3), cell(1, "10:5:07.5"), cell(1, "OL"), cell(1, "Ω"),
                                  cell(0, ""), cell(0, ""), cell(2, 3), cell(1, "C")}));
    }
    EXPECT_EQ(warnings, 0);
}

TEST_F(XlsExport, Row65501StartsASecondPageWithItsOwnHeader) {
    for (int i = 1; i <= 65501; ++i)
        // Long distinct texts: the shared string table outgrows the writer's buffer.
        table.grid_add_row(QStringLiteral("day 1, reading number t%1").arg(i),
                           QString::number(i * 0.5), "DCV", "", "", "", "");
    const QString file = dir.filePath("two.xls");
    ASSERT_TRUE(export_native(file));
    const auto sheets = read_with_xlrd(file, {0, 1, 65500});
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "page 1");
    EXPECT_EQ(sheets[1].name, "page 2");
    EXPECT_EQ(sheets[0].nrows, 65501);
    EXPECT_EQ(sheets[1].nrows, 2);
    for (const XlrdSheet& s : sheets)
        EXPECT_EQ(s.row(0).at(0), cell(1, "Index"));
    EXPECT_EQ(sheets[0].row(1).at(0), cell(2, 1));
    EXPECT_EQ(sheets[0].row(65500).at(0), cell(2, 65500));
    EXPECT_EQ(sheets[0].row(65500).at(1), cell(1, "day 1, reading number t65500"));
    EXPECT_EQ(sheets[1].row(1).at(0), cell(2, 65501));
    EXPECT_EQ(sheets[1].row(1).at(2), cell(2, 32750.5));
    // Every time text, every function text and both header rows are texts; the rest numbers.
    EXPECT_EQ(sheets[0].texts + sheets[1].texts, 2 * 65501 + 2 * 8);
    EXPECT_EQ(sheets[0].numbers + sheets[1].numbers, 2 * 65501);
}

TEST_F(XlsExport, AnExistingFileIsReplaced) {
    const QString file = dir.filePath("old.xls");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
    }
    table.grid_add_row("1:0:00.0", "1", "DCV", "", "", "", "");
    table.grid_add_row("1:0:00.1", "2", "DCV", "", "", "", "");
    ASSERT_TRUE(export_native(file));
    const auto sheets = read_with_xlrd(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].nrows, 3);
}

// Texts longer than a record continue in the next one, whether their characters take one
// byte or two; a text beyond the cell limit keeps its first 32767 characters.
TEST_F(XlsExport, LongTextsSurviveWhole) {
    const QString wide = QString(9000, QChar(0x3A9)) + "end";
    const QString latin = QString(40000, QChar(0xE9));
    table.grid_add_row(wide, "1", latin, "", "", "", "");
    table.grid_add_row("short", "2", wide, "", "", "", "");
    const QString file = dir.filePath("long.xls");
    ASSERT_TRUE(export_native(file));
    const auto sheets = read_with_xlrd(file, {1, 2});
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].row(1).at(1).toArray().at(1).toString(), wide);
    EXPECT_EQ(sheets[0].row(1).at(3).toArray().at(1).toString(), latin.left(32767));
    EXPECT_EQ(sheets[0].row(2).at(1).toArray().at(1).toString(), "short");
    EXPECT_EQ(sheets[0].row(2).at(3).toArray().at(1).toString(), wide);
}

// With its alerts on the application would have to ask before replacing a file; as nobody can
// answer, it refuses. The export switches them off first.
TEST_F(XlsExport, TheBuiltInApplicationReplacesFilesOnlyWithAlertsOff) {
    const QString file = dir.filePath("exists.xls");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    NativeSpreadsheetPlatform platform(u'.');
    auto app = platform.create_application("excel.application");
    ASSERT_TRUE(app);
    auto book = app->Workbooks()->Add();
    EXPECT_FALSE(book->SaveAs(file));
    ASSERT_TRUE(app->set_DisplayAlerts(false));
    EXPECT_TRUE(book->SaveAs(file));
    EXPECT_EQ(read_with_xlrd(file).size(), 1u);
    EXPECT_FALSE(platform.create_application("Other.Application"));
}

TEST_F(XlsExport, TheBuiltInApplicationRefusesBadPageNamesAndCellsOutsideTheSheet) {
    NativeSpreadsheetPlatform platform(u'.');
    auto app = platform.create_application("Excel.Application");
    app->Workbooks()->Add();
    ASSERT_TRUE(app->Worksheets()->Add());
    auto sheet = app->Worksheets(1);
    for (const char* bad : {"", "a/b", "[x]", "sheet1", "0123456789012345678901234567890123"})
        EXPECT_FALSE(sheet->set_Name(bad)) << bad;
    EXPECT_TRUE(sheet->set_Name("page 1"));
    EXPECT_FALSE(app->Worksheets(3));
    EXPECT_TRUE(app->set_Cells(65536, 256, "x"));
    EXPECT_FALSE(app->set_Cells(65537, 1, "x"));
    EXPECT_FALSE(app->set_Cells(1, 0, "x"));
    EXPECT_TRUE(app->Quit());
    EXPECT_FALSE(app->set_Cells(1, 1, "x"));
}

// The calls the export makes, in order, with their arguments.
TEST_F(XlsExport, DrivesTheApplicationMemberByMember) {
    table.set_header(5, "  Sub_Function "); // headers go out trimmed
    table.set_header(6, " ");               // a blank header leaves its cell alone
    table.grid_add_row("1:0:00.0", "1.5", "DCV", "", "", "", "");
    table.grid_add_row("1:0:00.1", "2.5", "DCV", "", "", "", "");
    FakeSpreadsheetPlatform fake;
    ASSERT_TRUE(export_xls("/x/f.xls", table, fake, [this] { ++warnings; }));

    QStringList expected = {"create(Excel.Application)",
                            "app.DisplayAlerts=false",
                            "create(Excel.Sheet)",
                            "app.Workbooks",
                            "workbooks.Add",
                            "wb1.SaveAs(/x/f.xls)",
                            "wb1.Close",
                            "app.Workbooks",
                            "workbooks.Open(/x/f.xls)",
                            "app.Worksheets",
                            "worksheets.Add",
                            "app.Worksheets(1)",
                            "sheet.Select",
                            "app.Worksheets(1)",
                            "sheet.Name=page 1"};
    const char* headers[] = {"Index",      "Time",         "Main_Number", "Main_Function",
                             "Sub_Number", "Sub_Function", nullptr,       "T_Function"};
    for (int i = 0; i < 8; ++i)
        if (headers[i])
            expected << QStringLiteral("app.Cells(1,%1)=%2").arg(i + 1).arg(headers[i]);
    for (int r = 1; r <= 2; ++r)
        for (int c = 0; c < 8; ++c)
            expected << QStringLiteral("app.Cells(%1,%2)=%3")
                            .arg(r + 1)
                            .arg(c + 1)
                            .arg(table.cell(r, c));
    expected << "wb2.Save"
             << "wb2.Saved=true"
             << "wb2.Close"
             << "app.Quit";
    EXPECT_EQ(fake.log.calls, expected);
    EXPECT_EQ(warnings, 0);
}

// Whatever call of the workbook steps fails, the export closes the workbook object it holds,
// ends the application and reports failure.
TEST_F(XlsExport, AFailedCallClosesTheHeldWorkbookAndQuits) {
    table.grid_add_row("1:0:00.0", "1", "DCV", "", "", "", "");
    struct Case {
        const char* failing;
        QStringList tail; // the calls from the failing one on
    };
    const Case cases[] = {
        {"app.DisplayAlerts", {"app.DisplayAlerts=false", "app.Quit"}},
        {"app.Workbooks", {"app.Workbooks", "doc.Close", "app.Quit"}},
        {"workbooks.Add", {"workbooks.Add", "doc.Close", "app.Quit"}},
        {"SaveAs", {"wb1.SaveAs(f.xls)", "wb1.Close", "app.Quit"}},
        {"workbooks.Open", {"workbooks.Open(f.xls)", "wb1.Close", "app.Quit"}},
        {"worksheets.Add", {"worksheets.Add", "wb2.Close", "app.Quit"}},
        {"sheet.Select", {"sheet.Select", "wb2.Close", "app.Quit"}},
        {"sheet.Name", {"sheet.Name=page 1", "wb2.Close", "app.Quit"}},
        {"app.Cells(2,8)", {"app.Cells(2,8)=", "wb2.Close", "app.Quit"}},
        {"wb2.Save", {"wb2.Save", "wb2.Close", "app.Quit"}},
        {"Saved", {"wb2.Saved=true", "wb2.Close", "app.Quit"}},
        {"app.Quit", {"app.Quit", "wb2.Close", "app.Quit"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        FakeSpreadsheetPlatform fake;
        fake.log.fail_member = c.failing;
        fake.log.fail_call = 0;
        EXPECT_FALSE(export_xls("f.xls", table, fake, [this] { ++warnings; }));
        const QStringList& calls = fake.log.calls;
        const qsizetype at = calls.indexOf(c.tail.front());
        ASSERT_GE(at, 0) << calls.join(" | ").toStdString();
        // Retried clean-up calls may fail too; only their order matters.
        EXPECT_EQ(calls.mid(at), c.tail) << calls.join(" | ").toStdString();
    }
    EXPECT_EQ(warnings, 0);
}

TEST_F(XlsExport, NoDocumentsWarnsAndLeavesTheApplicationAlone) {
    table.grid_add_row("1:0:00.0", "1", "DCV", "", "", "", "");
    FakeSpreadsheetPlatform fake;
    fake.log.fail_member = "create(Excel.Sheet)";
    EXPECT_FALSE(export_xls("f.xls", table, fake, [this] { ++warnings; }));
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(fake.log.calls.last(), "create(Excel.Sheet)");
    EXPECT_FALSE(fake.log.calls.contains("app.Quit"));

    FakeSpreadsheetPlatform none;
    none.log.fail_member = "create(Excel.Application)";
    EXPECT_FALSE(export_xls("f.xls", table, none, [this] { ++warnings; }));
    EXPECT_EQ(none.log.calls, QStringList{"create(Excel.Application)"});
    EXPECT_EQ(warnings, 1);
}

} // namespace
