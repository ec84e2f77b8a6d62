#pragma once

#include "files/spreadsheet_app.h"

#include <QStringList>

#include <memory>

// A spreadsheet application that writes nothing: it records every call as "object.member(args)"
// and fails the call whose number (from 1) is `fail_call`, or every call of `fail_member`.
struct SpreadsheetCalls {
    QStringList calls;
    int fail_call = 0;
    QString fail_member;
    int workbooks_made = 0;

    bool call(const QString& what) {
        calls << what;
        return calls.size() != fail_call && (fail_member.isEmpty() || !what.contains(fail_member));
    }
};

class FakeSpreadsheetPlatform : public SpreadsheetPlatform {
public:
    SpreadsheetCalls log;

    std::unique_ptr<SpreadsheetApplication> create_application(const QString& name) override;
    std::unique_ptr<SpreadsheetWorkbook> create_document(const QString& name) override;

    class Book : public SpreadsheetWorkbook {
    public:
        Book(SpreadsheetCalls& log, QString id) : log_(log), id_(std::move(id)) {}
        bool SaveAs(const QString& f) override { return log_.call(id_ + ".SaveAs(" + f + ")"); }
        bool Save() override { return log_.call(id_ + ".Save"); }
        bool set_Saved(bool s) override {
            return log_.call(id_ + (s ? ".Saved=true" : ".Saved=false"));
        }
        bool Close() override { return log_.call(id_ + ".Close"); }

    private:
        SpreadsheetCalls& log_;
        QString id_;
    };

private:
    class Sheet : public SpreadsheetWorksheet {
    public:
        explicit Sheet(SpreadsheetCalls& log) : log_(log) {}
        bool Select() override { return log_.call("sheet.Select"); }
        bool set_Name(const QString& n) override { return log_.call("sheet.Name=" + n); }

    private:
        SpreadsheetCalls& log_;
    };
    class Books : public SpreadsheetWorkbooks {
    public:
        explicit Books(SpreadsheetCalls& log) : log_(log) {}
        std::unique_ptr<SpreadsheetWorkbook> Add() override { return make("Add"); }
        std::unique_ptr<SpreadsheetWorkbook> Open(const QString& f) override {
            return make("Open(" + f + ")");
        }

    private:
        std::unique_ptr<SpreadsheetWorkbook> make(const QString& what) {
            if (!log_.call("workbooks." + what))
                return nullptr;
            return std::make_unique<Book>(log_, QStringLiteral("wb%1").arg(++log_.workbooks_made));
        }
        SpreadsheetCalls& log_;
    };
    class Sheets : public SpreadsheetWorksheets {
    public:
        explicit Sheets(SpreadsheetCalls& log) : log_(log) {}
        std::unique_ptr<SpreadsheetWorksheet> Add() override {
            return log_.call("worksheets.Add") ? std::make_unique<Sheet>(log_) : nullptr;
        }

    private:
        SpreadsheetCalls& log_;
    };
    class App : public SpreadsheetApplication {
    public:
        explicit App(SpreadsheetCalls& log) : log_(log) {}
        bool set_DisplayAlerts(bool on) override {
            return log_.call(on ? "app.DisplayAlerts=true" : "app.DisplayAlerts=false");
        }
        std::unique_ptr<SpreadsheetWorkbooks> Workbooks() override {
            return log_.call("app.Workbooks") ? std::make_unique<Books>(log_) : nullptr;
        }
        std::unique_ptr<SpreadsheetWorksheets> Worksheets() override {
            return log_.call("app.Worksheets") ? std::make_unique<Sheets>(log_) : nullptr;
        }
        std::unique_ptr<SpreadsheetWorksheet> Worksheets(int i) override {
            return log_.call(QStringLiteral("app.Worksheets(%1)").arg(i))
                       ? std::make_unique<Sheet>(log_)
                       : nullptr;
        }
        bool set_Cells(int r, int c, const QString& t) override {
            return log_.call(QStringLiteral("app.Cells(%1,%2)=%3").arg(r).arg(c).arg(t));
        }
        bool Quit() override { return log_.call("app.Quit"); }

    private:
        SpreadsheetCalls& log_;
    };
};

inline std::unique_ptr<SpreadsheetApplication>
FakeSpreadsheetPlatform::create_application(const QString& name) {
    return log.call("create(" + name + ")") ? std::make_unique<App>(log) : nullptr;
}

inline std::unique_ptr<SpreadsheetWorkbook>
FakeSpreadsheetPlatform::create_document(const QString& name) {
    return log.call("create(" + name + ")") ? std::make_unique<Book>(log, "doc") : nullptr;
}
