#pragma once

#include "files/spreadsheet_app.h"

#include <QChar>

class FileProgress;

// A spreadsheet application built into the program: it keeps its workbooks in memory and
// writes them as Excel 97-2003 files, so that exporting needs no other program. It answers to
// the automation names "Excel.Application" and "Excel.Sheet" (in any case).
//
// It behaves as the export expects of such an application: a new workbook holds one blank
// sheet; a new worksheet becomes worksheet 1 and the active sheet; a cell handed a text that
// is a number in the user's locale (decimal separator `dec_sep`) holds that number, an empty
// text empties the cell, any other text stays text. With alerts on it would have to ask before
// replacing a file, and as nobody can be asked it refuses instead. Saved files list their
// sheets in the order they were added, and leave out sheets without cells when others have
// some. Opening reads back the blank workbooks it saves.
class NativeSpreadsheetPlatform : public SpreadsheetPlatform {
public:
    explicit NativeSpreadsheetPlatform(QChar dec_sep, FileProgress* progress = nullptr)
        : dec_sep_(dec_sep), progress_(progress) {}

    std::unique_ptr<SpreadsheetApplication> create_application(const QString& name) override;
    std::unique_ptr<SpreadsheetWorkbook> create_document(const QString& name) override;

private:
    QChar dec_sep_;
    FileProgress* progress_;
};
