#include "app/all_v.h"
#include "app/frm_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Telvane SCPI"));
    QApplication::setApplicationDisplayName(QStringLiteral("Telvane SCPI"));

    ALL_V v;
    FormEnvironment env;
    env.exe_dir = QApplication::applicationDirPath();
    TForm1 form(v, env);
    form.show();
    return QApplication::exec();
}
