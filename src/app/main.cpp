#include "app/command_line.h"
#include "app/frm_main.h"
#include "i18n/about.h"
#include "i18n/debug_window.h"
#include "presentation/sampling.h"
#include "state/all_v.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Answered before QApplication exists, which would need a display.
    switch (app::early_action(argc, argv)) {
    case app::EarlyAction::help:
        std::fputs(app::help_text(argc > 0 ? argv[0] : "telvane-scpi").c_str(), stdout);
        return 0;
    case app::EarlyAction::version:
        std::fputs(app::version_text().c_str(), stdout);
        return 0;
    case app::EarlyAction::run:
        break;
    }

    QApplication app(argc, argv);
    // Only the name: a display name would be appended to every window's caption, and the
    // secondary windows keep their own captions as they are.
    QApplication::setApplicationName(QStringLiteral("Telvane SCPI"));
    // Ties the windows to the installed desktop entry and its icon (Wayland asks for this).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.telvane.TelvaneSCPI"));

    ALL_V v;
    FormEnvironment env;
    env.exe_dir = QApplication::applicationDirPath();
    TForm1 form(v, env);
    // The other windows belong to the main window, so they go with it at the end; only the
    // main window is shown now.
    auto* debug = new TForm2(&form);
    auto* about = new TForm5(v, &form);
    auto* sampling = new TForm3(v, &form);
    form.set_traffic_log(debug);
    form.attach_windows(debug, about, sampling);
    form.show();
    return QApplication::exec();
}
