#include "app/user_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// Language texts break lines with a lone carriage return; Qt wants a line feed.
QString shown(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    return s;
}

// A warning or an error box carries the toolkit's own title for its kind, as every program's
// does; only the plain box, which has no sign, is titled with this program's name.
QString box_title(QMessageBox::Icon icon) {
    switch (icon) {
    case QMessageBox::Warning:
        return QMessageBox::tr("Warning");
    case QMessageBox::Critical:
        return QMessageBox::tr("Error");
    default:
        return QApplication::applicationDisplayName();
    }
}

void box(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    QMessageBox mb(icon, box_title(icon), shown(text), QMessageBox::Ok, owner);
    mb.exec();
}

bool run_file_dialog(QWidget* owner, FileDialogSpec& spec, QFileDialog::AcceptMode mode) {
    QFileDialog dlg(owner);
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                    : QFileDialog::AnyFile);
    dlg.setNameFilters(spec.filters);
    if (spec.selected_filter >= 0 && spec.selected_filter < spec.filters.size())
        dlg.selectNameFilter(spec.filters.at(spec.selected_filter));
    dlg.setDefaultSuffix(spec.default_suffix);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !spec.confirm_overwrite);
    dlg.setOption(QFileDialog::ReadOnly, false);
    dlg.setSizeGripEnabled(true);
    if (!spec.file_name.isEmpty())
        dlg.selectFile(spec.file_name);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    spec.file_name = dlg.selectedFiles().constFirst();
    return true;
}

} // namespace

void QtUserDialogs::warning(const QString& text) {
    box(owner_, QMessageBox::Warning, text);
}
void QtUserDialogs::error(const QString& text) {
    box(owner_, QMessageBox::Critical, text);
}
void QtUserDialogs::plain(const QString& text) {
    box(owner_, QMessageBox::NoIcon, text);
}

bool QtUserDialogs::input(const QString& caption, const QString& prompt, QString& value) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(owner_, shown(caption), shown(prompt), QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

bool QtUserDialogs::open_file(FileDialogSpec& spec) {
    return run_file_dialog(owner_, spec, QFileDialog::AcceptOpen);
}

bool QtUserDialogs::save_file(FileDialogSpec& spec) {
    return run_file_dialog(owner_, spec, QFileDialog::AcceptSave);
}
