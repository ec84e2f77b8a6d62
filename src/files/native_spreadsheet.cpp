#include "files/native_spreadsheet.h"

#include "files/xls/xls_workbook.h"
#include "protocol/number_text.h"

#include <QFileInfo>

#include <algorithm>

namespace {

struct Book {
    XlsWorkbook book;
    std::vector<XlsSheet*> order; // worksheet 1 first
    XlsSheet* active = nullptr;
    QString file;
    bool open = true;
    bool saved = false;

    XlsSheet* add_sheet() {
        QString name;
        for (int n = 1;; ++n) {
            name = QStringLiteral("Sheet%1").arg(n);
            if (std::none_of(order.begin(), order.end(), [&](XlsSheet* s) {
                    return s->name().compare(name, Qt::CaseInsensitive) == 0;
                }))
                break;
        }
        XlsSheet* s = &book.add_sheet(name);
        order.insert(order.begin(), s);
        active = s;
        return s;
    }
};

struct App {
    QChar dec_sep;
    FileProgress* progress = nullptr;
    bool alerts = true;
    bool running = true;
    std::vector<std::shared_ptr<Book>> books; // open workbooks; the last one is active

    Book* active() { return running && !books.empty() ? books.back().get() : nullptr; }
};

bool valid_sheet_name(const QString& name, const Book& book, const XlsSheet* self) {
    if (name.isEmpty() || name.size() > XlsWorkbook::kMaxSheetNameChars || name.startsWith(u'\'') ||
        name.endsWith(u'\''))
        return false;
    for (const QChar c : name)
        if (QStringView(u":\\/?*[]").contains(c))
            return false;
    return std::none_of(book.order.begin(), book.order.end(), [&](XlsSheet* s) {
        return s != self && s->name().compare(name, Qt::CaseInsensitive) == 0;
    });
}

class NativeWorkbook : public SpreadsheetWorkbook {
public:
    NativeWorkbook(std::shared_ptr<App> app, std::shared_ptr<Book> book)
        : app_(std::move(app)), book_(std::move(book)) {}

    bool SaveAs(const QString& file_name) override {
        if (!usable() || file_name.isEmpty())
            return false;
        if (QFileInfo::exists(file_name) && (!app_ || app_->alerts))
            return false;
        return write(file_name);
    }
    bool Save() override { return usable() && !book_->file.isEmpty() && write(book_->file); }
    bool set_Saved(bool saved) override {
        if (!usable())
            return false;
        book_->saved = saved;
        return true;
    }
    bool Close() override {
        if (!usable())
            return false;
        book_->open = false;
        if (app_)
            std::erase(app_->books, book_);
        return true;
    }

private:
    bool usable() const { return book_->open && (!app_ || app_->running); }
    bool write(const QString& file_name) {
        if (!book_->book.save(file_name, app_ ? app_->progress : nullptr))
            return false;
        book_->file = file_name;
        book_->saved = true;
        return true;
    }

    std::shared_ptr<App> app_; // null for a document made on its own
    std::shared_ptr<Book> book_;
};

class NativeWorksheet : public SpreadsheetWorksheet {
public:
    NativeWorksheet(std::shared_ptr<Book> book, XlsSheet* sheet)
        : book_(std::move(book)), sheet_(sheet) {}
    bool Select() override {
        if (!book_->open)
            return false;
        book_->active = sheet_;
        return true;
    }
    bool set_Name(const QString& name) override {
        if (!book_->open || !valid_sheet_name(name, *book_, sheet_))
            return false;
        sheet_->set_name(name);
        return true;
    }

private:
    std::shared_ptr<Book> book_;
    XlsSheet* sheet_;
};

class NativeWorkbooks : public SpreadsheetWorkbooks {
public:
    explicit NativeWorkbooks(std::shared_ptr<App> app) : app_(std::move(app)) {}
    std::unique_ptr<SpreadsheetWorkbook> Add() override {
        if (!app_->running)
            return nullptr;
        auto book = std::make_shared<Book>();
        book->add_sheet();
        return adopt(std::move(book));
    }
    std::unique_ptr<SpreadsheetWorkbook> Open(const QString& file_name) override {
        if (!app_->running)
            return nullptr;
        std::optional<XlsWorkbook> read = XlsWorkbook::open(file_name);
        if (!read)
            return nullptr;
        auto book = std::make_shared<Book>();
        book->book = std::move(*read);
        for (const auto& s : book->book.sheets())
            book->order.push_back(s.get());
        book->active = book->order.front();
        book->file = file_name;
        book->saved = true;
        return adopt(std::move(book));
    }

private:
    std::unique_ptr<SpreadsheetWorkbook> adopt(std::shared_ptr<Book> book) {
        app_->books.push_back(book);
        return std::make_unique<NativeWorkbook>(app_, std::move(book));
    }
    std::shared_ptr<App> app_;
};

class NativeWorksheets : public SpreadsheetWorksheets {
public:
    explicit NativeWorksheets(std::shared_ptr<Book> book) : book_(std::move(book)) {}
    std::unique_ptr<SpreadsheetWorksheet> Add() override {
        if (!book_->open)
            return nullptr;
        XlsSheet* s = book_->add_sheet();
        return std::make_unique<NativeWorksheet>(book_, s);
    }

private:
    std::shared_ptr<Book> book_;
};

class NativeApplication : public SpreadsheetApplication {
public:
    NativeApplication(QChar dec_sep, FileProgress* progress) : app_(std::make_shared<App>()) {
        app_->dec_sep = dec_sep;
        app_->progress = progress;
    }
    bool set_DisplayAlerts(bool on) override {
        if (!app_->running)
            return false;
        app_->alerts = on;
        return true;
    }
    std::unique_ptr<SpreadsheetWorkbooks> Workbooks() override {
        return app_->running ? std::make_unique<NativeWorkbooks>(app_) : nullptr;
    }
    std::unique_ptr<SpreadsheetWorksheets> Worksheets() override {
        Book* b = app_->active();
        return b ? std::make_unique<NativeWorksheets>(app_->books.back()) : nullptr;
    }
    std::unique_ptr<SpreadsheetWorksheet> Worksheets(int index) override {
        Book* b = app_->active();
        if (!b || index < 1 || index > static_cast<int>(b->order.size()))
            return nullptr;
        return std::make_unique<NativeWorksheet>(app_->books.back(), b->order[index - 1]);
    }
    bool set_Cells(int row, int column, const QString& text) override {
        Book* b = app_->active();
        if (!b || !b->active || row < 1 || row > XlsWorkbook::kMaxRows || column < 1 ||
            column > XlsWorkbook::kMaxColumns)
            return false;
        double value;
        if (text.isEmpty())
            b->active->clear(row - 1, column - 1);
        else if (text_to_number(text, app_->dec_sep, value))
            b->active->set_number(row - 1, column - 1, value);
        else
            b->active->set_text(row - 1, column - 1, text);
        b->saved = false;
        return true;
    }
    bool Quit() override {
        if (!app_->running)
            return false;
        for (auto& b : app_->books)
            b->open = false;
        app_->books.clear();
        app_->running = false;
        return true;
    }

private:
    std::shared_ptr<App> app_;
};

} // namespace

std::unique_ptr<SpreadsheetApplication>
NativeSpreadsheetPlatform::create_application(const QString& name) {
    if (name.compare(QLatin1String("Excel.Application"), Qt::CaseInsensitive) != 0)
        return nullptr;
    return std::make_unique<NativeApplication>(dec_sep_, progress_);
}

std::unique_ptr<SpreadsheetWorkbook>
NativeSpreadsheetPlatform::create_document(const QString& name) {
    if (name.compare(QLatin1String("Excel.Sheet"), Qt::CaseInsensitive) != 0)
        return nullptr;
    auto book = std::make_shared<Book>();
    book->add_sheet();
    return std::make_unique<NativeWorkbook>(nullptr, std::move(book));
}
