// The main window's language menu, help menu and the windows they open.
#include "app/frm_main.h"

#include "i18n/about.h"
#include "i18n/debug_window.h"
#include "i18n/lan_apply.h"
#include "presentation/sampling.h"
#include "presentation/trend_chart_view.h"
#include "ui_frm_main.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

// The language item of language number n (1..9).
QAction* language_item(Ui::TForm1& ui, int n) {
    QAction* const items[] = {ui.lan_01, ui.lan_02, ui.lan_03, ui.lan_04, ui.lan_05,
                              ui.lan_06, ui.lan_07, ui.lan_08, ui.lan_09};
    return items[n - 1];
}

} // namespace

void TForm1::wire_i18n() {
    for (int n = 1; n <= 9; ++n)
        connect(language_item(*ui_, n), &QAction::triggered, this, [this, n] { lan_click(n); });
    connect(ui_->Mni_About, &QAction::triggered, this, &TForm1::Mni_AboutClick);
    connect(ui_->mni_HMun, &QAction::triggered, this, &TForm1::mni_HMunClick);
    // The log follows the Debug item's check mark, which a click inverts.
    connect(ui_->mni_debug, &QAction::toggled, this, [this](bool on) { v_.debug_on = on; });
    connect(ui_->Mni_Spr, &QAction::triggered, this, &TForm1::Mni_SprClick);
}

void TForm1::attach_windows(TForm2* debug, TForm5* about, TForm3* sampling) {
    debug_window_ = debug;
    about_window_ = about;
    sampling_dialog_ = sampling;
}

void TForm1::show_debug_window() {
    if (debug_window_)
        debug_window_->show();
}

void TForm1::lan_apply(int index) {
    if (::lan_apply(v_, *this, index))
        chart_->show_stats(); // the strip's item names are the language's
}

// Each language item applies its language, then takes the check mark; the items form one
// exclusive group, so the item that had it loses it.
void TForm1::lan_click(int n) {
    lan_apply(1000 * n);
    language_item(*ui_, n)->setChecked(true);
}

void TForm1::lan_01Click() {
    lan_click(1);
}
void TForm1::lan_02Click() {
    lan_click(2);
}
void TForm1::lan_03Click() {
    lan_click(3);
}
void TForm1::lan_04Click() {
    lan_click(4);
}
void TForm1::lan_05Click() {
    lan_click(5);
}
void TForm1::lan_06Click() {
    lan_click(6);
}
void TForm1::lan_07Click() {
    lan_click(7);
}
void TForm1::lan_08Click() {
    lan_click(8);
}
void TForm1::lan_09Click() {
    lan_click(9);
}

void TForm1::Mni_AboutClick() {
    if (about_window_)
        about_window_->exec();
}

// The manual lies beside the program. A missing manual shows nothing: asking the desktop to
// open a file that is not there would only bring up the viewer's own complaint.
void TForm1::mni_HMunClick() {
    const QString manual = QDir(env_.exe_dir).filePath(QStringLiteral("Manual_en.pdf"));
    if (!QFileInfo::exists(manual))
        return;
    if (env_.open_document)
        env_.open_document(manual);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

// What a click on the Debug item does: invert its check mark, and with it debug_on.
void TForm1::mni_debugClick() {
    ui_->mni_debug->trigger();
}

void TForm1::Mni_SprClick() {
    if (sampling_dialog_)
        sampling_dialog_->exec();
}
