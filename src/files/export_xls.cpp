#include "files/export_xls.h"

#include "files/file_progress.h"
#include "files/spreadsheet_app.h"
#include "presentation/measurement_table.h"
#include "state/text_fields.h"

namespace {

constexpr int kPageRows = 65500;
constexpr int kRowsPerReport = 1024;

// Adds the page that table row `b` starts, names it and writes its header row.
bool start_page(SpreadsheetApplication& app, const MeasurementTable& table, int b) {
    auto sheets = app.Worksheets();
    if (!sheets || !sheets->Add())
        return false;
    auto first = app.Worksheets(1);
    if (!first || !first->Select())
        return false;
    first = app.Worksheets(1);
    if (!first || !first->set_Name(QStringLiteral("page %1").arg(b / kPageRows + 1)))
        return false;
    for (int i = 0; i < MeasurementTable::kColumns; ++i) {
        const QString header = trim_blanks(table.cell(0, i)).toString();
        if (!header.isEmpty() && !app.set_Cells(1, i + 1, header))
            return false;
    }
    return true;
}

} // namespace

bool export_xls(const QString& file_name, const MeasurementTable& table,
                SpreadsheetPlatform& platform, const std::function<void()>& warn_no_document,
                FileProgress* progress) {
    // Always an application of our own: one the user is working with must keep its alerts
    // and must not be ended.
    std::unique_ptr<SpreadsheetApplication> app =
        platform.create_application(QStringLiteral("Excel.Application"));
    if (!app)
        return false;
    std::unique_ptr<SpreadsheetWorkbook> book;
    const auto fail = [&] {
        if (book)
            book->Close();
        app->Quit();
        return false;
    };
    if (!app->set_DisplayAlerts(false))
        return fail();

    book = platform.create_document(QStringLiteral("Excel.Sheet"));
    if (!book) {
        if (warn_no_document)
            warn_no_document();
        return false; // the application goes without Quit
    }

    auto books = app->Workbooks();
    std::unique_ptr<SpreadsheetWorkbook> next = books ? books->Add() : nullptr;
    if (!next)
        return fail();
    book = std::move(next);
    if (!book->SaveAs(file_name) || !book->Close())
        return fail();
    books = app->Workbooks();
    next = books ? books->Open(file_name) : nullptr;
    if (!next)
        return fail();
    book = std::move(next);

    const int rows = table.row_count(); // rows arriving from here on are not exported
    report(progress, 0, rows);
    for (int b = 1; b < rows; ++b) {
        if (b % kPageRows == 1 && !start_page(*app, table, b))
            return fail();
        const int page_row = b % kPageRows == 0 ? kPageRows + 1 : b % kPageRows + 1;
        for (int k = 0; k < MeasurementTable::kColumns; ++k)
            if (!app->set_Cells(page_row, k + 1, table.cell(b, k)))
                return fail();
        if (b % kRowsPerReport == 0)
            report(progress, b, rows);
    }

    if (!book->Save() || !book->set_Saved(true) || !book->Close() || !app->Quit())
        return fail();
    return true;
}
