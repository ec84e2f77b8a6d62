#include "app/frm_main.h"
#include "files/text_data_file.h"
#include "presentation/measurement_table.h"
#include "presentation/trend_chart.h"
#include "presentation/trend_chart_view.h"
#include "support/csv_xlsx_reader.h"
#include "support/fake_spreadsheet.h"
#include "support/form_fixture.h"
#include "support/xlrd_reader.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kNoData = "No Data!", kBadFormat = "Error file format!",
              kSaved = "File has been Saved!", kNotSaved = "Failed to save the file !",
              kMissing = "File does not exist!", kText15 = "Sampling rate";

class FilesWindow : public ::testing::Test, protected FormFixture {
protected:
    void SetUp() override {
        for (auto [k, text] : {std::pair{15, kText15},
                               {16, kNoData},
                               {22, kBadFormat},
                               {23, kSaved},
                               {24, kNotSaved},
                               {25, kMissing}})
            v.lan_text[11000 + k] = text;
        ASSERT_NO_FATAL_FAILURE(open_form());
        form->file_progress_delay_ms = 0;
        v.dec_sep = ".";
    }
    void readings(int n) {
        for (int i = 1; i <= n; ++i)
            form->table().grid_add_row(QStringLiteral("1:0:0%1.0").arg(i), QString::number(i),
                                       "DCV", "", "", "", "");
    }
    void choose(const QString& file) { dialogs.answers.push_back({true, file}); }
    void menu(const char* item) { find<QAction>(item)->trigger(); }
    QStringList boxes() const {
        QStringList out;
        for (const auto& b : dialogs.boxes)
            out << b.kind + ": " + b.text;
        return out;
    }
    IdentTexts fields() {
        return {find<QLineEdit>("edt_Manu_F")->text(), find<QLineEdit>("edt_Model")->text(),
                find<QLineEdit>("edt_SN")->text(), find<QLineEdit>("edt_Remark")->text()};
    }
};

TEST_F(FilesWindow, SaveNeedsTwoFilledRowsAndAsksNothingElseWithout) {
    readings(1);
    menu("Mni_Save");
    EXPECT_EQ(boxes(), QStringList{"warning: " + kNoData});
    EXPECT_TRUE(dialogs.file_dialogs_seen.empty());
}

// The name's extension alone decides, whatever its case; the filter chosen plays no part.
TEST_F(FilesWindow, SaveChoosesByExtension) {
    readings(2);
    struct Case {
        const char* name;
        bool saved;
        const char* kind; // what the file is afterwards
    };
    const Case cases[] = {{"a.TXT", true, "text"},  {"b.txt", true, "text"},
                          {"c.Xls", true, "xls"},   {"d.CSV", true, "csv"},
                          {"g.xlsx", true, "xlsx"}, {"h.dat", false, "none"},
                          {"e", false, "none"},     {"f.txt.bak", false, "none"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.boxes.clear();
        const QString file = dir.filePath(c.name);
        choose(file);
        menu("Mni_Save");
        EXPECT_EQ(boxes(), QStringList{"plain: " + (c.saved ? kSaved : kNotSaved)});
        QFile f(file);
        if (QString(c.kind) == "none") {
            EXPECT_FALSE(f.exists());
        } else {
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray start = f.read(6);
            EXPECT_EQ(start.startsWith("\xD0\xCF\x11\xE0"), QString(c.kind) == "xls");
            EXPECT_EQ(start.startsWith("PK\x03\x04"), QString(c.kind) == "xlsx");
            EXPECT_EQ(start == "Index,", QString(c.kind) == "csv");
        }
    }
    const FileDialogSpec& spec = dialogs.file_dialogs_seen.front();
    EXPECT_EQ(spec.filters, (QStringList{"Excel File (*.xls)", "txt File (*.txt)",
                                         "CSV File (*.csv)", "Excel Workbook (*.xlsx)"}));
    EXPECT_EQ(spec.selected_filter, 1);
    EXPECT_TRUE(spec.confirm_overwrite);
}

// Values written with the user's comma come out as numbers in both formats. A reading that
// arrives during the export is taken into the table and left for the next save.
TEST_F(FilesWindow, SavesCsvAndXlsxWithTheUsersSeparator) {
    v.dec_sep = ",";
    form->table().grid_add_row("1:0:00.0", "1,5", "DCV", "", "", "", "");
    form->table().grid_add_row("1:0:00.1", "-0,25", "°C", "", "", "", "");
    const QString csv = dir.filePath("w.csv"), xlsx = dir.filePath("w.xlsx");
    choose(csv);
    menu("Mni_Save");
    bool dialog_shown = false;
    QTimer::singleShot(0, form.get(), [&] {
        dialog_shown = form->findChild<QProgressDialog*>("dlg_file_progress") != nullptr;
        form->table().grid_add_row("late", "9", "DCV", "", "", "", "");
    });
    choose(xlsx);
    menu("Mni_Save");
    EXPECT_EQ(boxes(), (QStringList{"plain: " + kSaved, "plain: " + kSaved}));
    EXPECT_TRUE(dialog_shown);
    EXPECT_EQ(form->table().cell(3, 1), "late");

    const QJsonArray records = read_with_csv(csv);
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[2], QJsonArray({QJsonArray{"2", 2}, QJsonArray{"1:0:00.1", QJsonValue()},
                                      QJsonArray{"-0.25", -0.25}, QJsonArray{"°C", QJsonValue()},
                                      QJsonArray{"", QJsonValue()}, QJsonArray{"", QJsonValue()},
                                      QJsonArray{"", QJsonValue()}, QJsonArray{"", QJsonValue()}}));
    const QJsonArray sheets = read_with_openpyxl(xlsx);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(
        sheets[0]["rows"],
        QJsonArray({QJsonArray{QJsonArray{"s", "Index"}, QJsonArray{"s", "Time"},
                               QJsonArray{"s", "Main_Number"}, QJsonArray{"s", "Main_Function"},
                               QJsonArray{"s", "Sub_Number"}, QJsonArray{"s", "Sub_Function"},
                               QJsonArray{"s", "T_Number"}, QJsonArray{"s", "T_Function"}},
                    QJsonArray{QJsonArray{"n", 1}, QJsonArray{"s", "1:0:00.0"},
                               QJsonArray{"n", 1.5}, QJsonArray{"s", "DCV"}},
                    QJsonArray{QJsonArray{"n", 2}, QJsonArray{"s", "1:0:00.1"},
                               QJsonArray{"n", -0.25}, QJsonArray{"s", "°C"}}}));
}

TEST_F(FilesWindow, SavedLinesCarryTheLabelsAsShownAndTheFieldsThenOpenRestoresThem) {
    readings(3);
    find<QLabel>("lbl_Manu_F")->setText("Fabricants");
    find<QLabel>("lbl_Model")->setText("Modèle");
    find<QLineEdit>("edt_Manu_F")->setText("ACME");
    find<QLineEdit>("edt_Model")->setText("X1");
    const QString file = dir.filePath("fr.txt");
    choose(file);
    menu("Mni_Save");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("Fabricants: ACME\r\nMod\xE8le: X1\r\n"));

    for (QLineEdit* e :
         form->findChildren<QLineEdit*>(QRegularExpression("^edt_(Manu_F|Model|SN|Remark)$")))
        e->clear();
    readings(5);
    form->chart().model().chart_add_last(); // something plotted before the load stays
    dialogs.boxes.clear();
    choose(file);
    menu("Mni_Open");
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(fields(), (IdentTexts{"ACME", "X1", "", ""}));
    EXPECT_EQ(form->table().row_count(), 4);
    // The loaded run (three DCV rows) is plotted after what the chart already showed.
    EXPECT_EQ(form->chart().model().point_count(0), 4u);
    EXPECT_TRUE(dialogs.file_dialogs_seen.back().file_name.isEmpty()); // cleared before showing
    EXPECT_EQ(dialogs.file_dialogs_seen.back().filters, QStringList{"txt File (*.txt)"});
}

TEST_F(FilesWindow, OpenReportsMissingAndRefusedFilesAndChangesNothing) {
    readings(3);
    find<QLineEdit>("edt_SN")->setText("keep");
    choose(dir.filePath("absent.txt"));
    menu("Mni_Open");
    const QString bad = dir.filePath("bad.txt");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "Manufacturers: A\r\nModel: B\r\nSerial number 42\r\nInfo: D\r\nIndex\t\r\n1\t\t1\t\r\n");
    f.close();
    choose(bad);
    menu("Mni_Open");
    dialogs.answers.push_back({false, {}}); // cancelled: nothing at all
    menu("Mni_Open");
    EXPECT_EQ(boxes(), (QStringList{"error: " + kMissing, "plain: " + kBadFormat}));
    EXPECT_EQ(fields(), (IdentTexts{"", "", "keep", ""}));
    EXPECT_EQ(form->table().row_count(), 4);
}

TEST_F(FilesWindow, ASpreadsheetApplicationWithoutDocumentsWarnsThenFails) {
    readings(2);
    FakeSpreadsheetPlatform fake;
    fake.log.fail_member = "Excel.Sheet";
    form->spreadsheet_platform = &fake;
    choose(dir.filePath("x.xls"));
    menu("Mni_Save");
    EXPECT_EQ(boxes(), (QStringList{"warning: " + kText15, "plain: " + kNotSaved}));
}

// Readings keep coming during a save and land in the table; the file holds the rows there
// were when it started. A second file command meanwhile does nothing.
TEST_F(FilesWindow, DuringASaveReadingsAreTakenAndNoSecondFileCommandStarts) {
    readings(3);
    bool dialog_shown = false, menu_disabled = false;
    QTimer::singleShot(0, form.get(), [&] {
        form->table().grid_add_row("late", "9", "DCV", "", "", "", "");
        dialog_shown = form->findChild<QProgressDialog*>("dlg_file_progress") != nullptr;
        menu_disabled = !find<QAction>("Mni_Open")->isEnabled();
        form->Mni_OpenClick();
        form->Mni_SaveClick();
    });
    const QString file = dir.filePath("busy.txt");
    choose(file);
    form->Mni_SaveClick();
    EXPECT_TRUE(dialog_shown);
    EXPECT_TRUE(menu_disabled);
    EXPECT_EQ(dialogs.file_dialogs_seen.size(), 1u);
    EXPECT_EQ(boxes(), QStringList{"plain: " + kSaved});
    EXPECT_EQ(form->table().cell(4, 1), "late");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("late"));
    EXPECT_TRUE(find<QAction>("Mni_Open")->isEnabled());
    EXPECT_FALSE(form->file_operation_running());
}

TEST_F(FilesWindow, ExportTakesTheTableAsItStandsWithReadingsArrivingMeanwhile) {
    readings(3);
    QTimer::singleShot(0, form.get(),
                       [&] { form->table().grid_add_row("late", "9", "DCV", "", "", "", ""); });
    const QString file = dir.filePath("busy.xls");
    choose(file);
    form->Mni_SaveClick();
    EXPECT_EQ(boxes(), QStringList{"plain: " + kSaved});
    EXPECT_EQ(form->table().row_count(), 5);
    const auto sheets = read_with_xlrd(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].nrows, 4);
}

} // namespace
