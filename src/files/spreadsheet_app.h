#pragma once

#include <QString>

#include <memory>

// The spreadsheet application that the export drives, with exactly the members it calls. It
// stands for an application reached by automation, so every member can fail: calls answer
// false, object reads answer null. Objects are released by dropping them.

class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;
    virtual bool SaveAs(const QString& file_name) = 0; // replaces an existing file
    virtual bool Save() = 0;
    virtual bool set_Saved(bool saved) = 0;
    virtual bool Close() = 0;
};

class SpreadsheetWorksheet {
public:
    virtual ~SpreadsheetWorksheet() = default;
    virtual bool Select() = 0;
    virtual bool set_Name(const QString& name) = 0;
};

class SpreadsheetWorkbooks {
public:
    virtual ~SpreadsheetWorkbooks() = default;
    virtual std::unique_ptr<SpreadsheetWorkbook> Add() = 0; // a new, empty workbook
    virtual std::unique_ptr<SpreadsheetWorkbook> Open(const QString& file_name) = 0;
};

class SpreadsheetWorksheets {
public:
    virtual ~SpreadsheetWorksheets() = default;
    // A new worksheet of the active workbook; it becomes worksheet 1 and the active sheet.
    virtual std::unique_ptr<SpreadsheetWorksheet> Add() = 0;
};

class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;
    // Off: no questions while saving, replacing files and quitting.
    virtual bool set_DisplayAlerts(bool on) = 0;
    virtual std::unique_ptr<SpreadsheetWorkbooks> Workbooks() = 0;
    virtual std::unique_ptr<SpreadsheetWorksheets> Worksheets() = 0;
    // Worksheet `index` (from 1) of the active workbook.
    virtual std::unique_ptr<SpreadsheetWorksheet> Worksheets(int index) = 0;
    // Hands `text` to a cell of the active sheet (row and column from 1); the application
    // makes of it what it would make of the same text typed into the cell.
    virtual bool set_Cells(int row, int column, const QString& text) = 0;
    virtual bool Quit() = 0;
};

// Where application and document objects come from, by automation name.
class SpreadsheetPlatform {
public:
    virtual ~SpreadsheetPlatform() = default;
    virtual std::unique_ptr<SpreadsheetApplication> create_application(const QString& name) = 0;
    // A spreadsheet document on its own: proof that documents can be made at all.
    virtual std::unique_ptr<SpreadsheetWorkbook> create_document(const QString& name) = 0;
};
