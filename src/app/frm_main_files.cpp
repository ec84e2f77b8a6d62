// The File menu's Open and Save: the text data file, the spreadsheet exports and the .csv file.
#include "app/file_progress_dialog.h"
#include "app/frm_main.h"
#include "files/csv_save.h"
#include "files/export_xls.h"
#include "files/export_xlsx.h"
#include "files/native_spreadsheet.h"
#include "files/text_data_file.h"
#include "presentation/measurement_table.h"
#include "ui_frm_main.h"

#include <QFileInfo>

namespace {

// The extension of a file name, from its last "." on, in lower case; empty without one.
QString extension_of(const QString& file_name) {
    const QString name = QFileInfo(file_name).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

} // namespace

// While one file operation runs, the File menu offers no second one.
class TForm1::FileOperation {
public:
    explicit FileOperation(TForm1& form) : form_(form) { set(true); }
    ~FileOperation() { set(false); }
    FileOperation(const FileOperation&) = delete;
    FileOperation& operator=(const FileOperation&) = delete;

private:
    void set(bool busy) {
        form_.file_busy_ = busy;
        form_.ui_->Mni_Open->setEnabled(!busy);
        form_.ui_->Mni_Save->setEnabled(!busy);
    }
    TForm1& form_;
};

void TForm1::wire_files() {
    connect(ui_->Mni_Open, &QAction::triggered, this, &TForm1::Mni_OpenClick);
    connect(ui_->Mni_Save, &QAction::triggered, this, &TForm1::Mni_SaveClick);
}

void TForm1::Mni_OpenClick() {
    if (file_busy_)
        return;
    dlgOpen1.file_name.clear();
    if (!dialogs_->open_file(dlgOpen1))
        return;
    const QString file_name = dlgOpen1.file_name;
    if (!QFileInfo::exists(file_name)) {
        dialogs_->error(v_.text(25));
        return;
    }
    if (!load_text_file(file_name))
        dialogs_->plain(v_.text(22));
}

void TForm1::Mni_SaveClick() {
    if (file_busy_)
        return;
    if (table_->cell(2, 0).isEmpty()) {
        dialogs_->warning(v_.text(16));
        return;
    }
    if (!dialogs_->save_file(dlgSave1))
        return;
    const QString file_name = dlgSave1.file_name;
    const QString ext = extension_of(file_name);
    bool saved = false;
    if (ext == QLatin1String(".xls"))
        saved = export_xls(file_name);
    else if (ext == QLatin1String(".txt"))
        saved = save_text_file(file_name);
    else if (ext == QLatin1String(".csv"))
        saved = save_csv_file(file_name);
    else if (ext == QLatin1String(".xlsx"))
        saved = export_xlsx(file_name);
    dialogs_->plain(v_.text(saved ? 23 : 24));
}

bool TForm1::save_text_file(const QString& file_name) {
    FileOperation busy(*this);
    FileProgressDialog progress(this, file_name, file_progress_delay_ms);
    const IdentTexts labels = {ui_->lbl_Manu_F->text(), ui_->lbl_Model->text(), ui_->lbl_SN->text(),
                               ui_->lbl_Remark->text()};
    const IdentTexts fields = {ui_->edt_Manu_F->text(), ui_->edt_Model->text(), ui_->edt_SN->text(),
                               ui_->edt_Remark->text()};
    return ::save_text_file(file_name, labels, fields, *table_, &progress);
}

bool TForm1::load_text_file(const QString& file_name) {
    FileOperation busy(*this);
    FileProgressDialog progress(this, file_name, file_progress_delay_ms);
    LoadTarget target{v_.separator(), v_.file_records, *table_,
                      [this](const IdentTexts& t) {
                          ui_->edt_Manu_F->setText(t[0]);
                          ui_->edt_Model->setText(t[1]);
                          ui_->edt_SN->setText(t[2]);
                          ui_->edt_Remark->setText(t[3]);
                      },
                      [this] { return chart_add_loaded(); }};
    return ::load_text_file(file_name, target, &progress);
}

bool TForm1::export_xls(const QString& file_name) {
    FileOperation busy(*this);
    FileProgressDialog progress(this, file_name, file_progress_delay_ms);
    NativeSpreadsheetPlatform native(v_.separator(), &progress);
    SpreadsheetPlatform& platform = spreadsheet_platform ? *spreadsheet_platform : native;
    return ::export_xls(
        file_name, *table_, platform, [this] { dialogs_->warning(v_.text(15)); }, &progress);
}

bool TForm1::save_csv_file(const QString& file_name) {
    FileOperation busy(*this);
    FileProgressDialog progress(this, file_name, file_progress_delay_ms);
    return ::save_csv_file(file_name, *table_, v_.separator(), &progress);
}

bool TForm1::export_xlsx(const QString& file_name) {
    FileOperation busy(*this);
    FileProgressDialog progress(this, file_name, file_progress_delay_ms);
    return ::export_xlsx(file_name, *table_, v_.separator(), &progress);
}
