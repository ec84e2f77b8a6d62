// A data file of many rows opened through the main window (File > Open), and then, on request,
// the loaded table exported to .xls (File > Save), as a user does it. Each run is its own
// process, so the peak resident size it reports is the whole program's:
//   bench_window_files <rows> [xls]
// prints the seconds of the load (and of the export) and the peak resident size in MB.
#include "app/frm_main.h"
#include "presentation/measurement_table.h"
#include "support/fake_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

long peak_rss_mb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6)) / 1024;
    return 0;
}

// Typical readings: a main value with its sub value, ten a second.
bool write_file(const QString& name, long rows) {
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray block =
        "Manufacturers: ACME\r\nModel: X1\r\nSerial number: SN0042\r\nInfo: fw 1.0\r\n"
        "Index\tTime\tMain_Number\tMain_Function\tSub_Number\tSub_Function\t"
        "T_Number\tT_Function\t\r\n";
    for (long i = 0; i < rows; ++i) {
        block += QByteArray::number(qlonglong(i % 2'000'000'000 + 1)) + '\t' +
                 QByteArray::number(int(i / 36000 % 24)) + ':' +
                 QByteArray::number(int(i / 600 % 60)) + ':' +
                 QByteArray::number(int(i / 10 % 60)).rightJustified(2, '0') + '.' +
                 QByteArray::number(int(i % 10)) + '\t' +
                 QByteArray::number(1.23456 + double(i % 1000) * 1e-4, 'f', 5) + "\tDCV\t" +
                 QByteArray::number(50.012 + double(i % 7) * 1e-3, 'f', 3) + "\tHz\t\t\t\r\n";
        if (block.size() > (1 << 20)) {
            if (f.write(block) != block.size())
                return false;
            block.clear();
        }
    }
    return f.write(block) == block.size();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const long rows = argc > 1 ? std::stol(argv[1]) : 1'000'000;
    const bool xls = argc > 2 && std::string(argv[2]) == "xls";
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.txt"));
    if (!write_file(data, rows)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(data));
        return 1;
    }

    ALL_V v;
    FakeDialogs dialogs;
    FormEnvironment env;
    env.exe_dir = dir.path();
    env.ports = [] { return QStringList(); };
    env.dialogs = &dialogs;
    TForm1 form(v, env);
    form.show();
    QApplication::processEvents();

    QElapsedTimer clock;
    dialogs.answers.push_back({true, data});
    clock.start();
    form.findChild<QAction*>(QStringLiteral("Mni_Open"))->trigger();
    QApplication::processEvents();
    const double load_s = double(clock.nsecsElapsed()) / 1e9;
    const int loaded = form.table().row_count() - 1;
    std::printf("rows %ld: loaded %d in %.2f s", rows, loaded, load_s);
    if (!dialogs.boxes.empty())
        std::printf(" (box: %s)", qPrintable(dialogs.boxes.back().text));

    if (xls) {
        dialogs.answers.push_back({true, dir.filePath(QStringLiteral("out.xls"))});
        clock.restart();
        form.findChild<QAction*>(QStringLiteral("Mni_Save"))->trigger();
        QApplication::processEvents();
        std::printf(", exported to .xls in %.2f s", double(clock.nsecsElapsed()) / 1e9);
        if (!dialogs.boxes.empty())
            std::printf(" (box: %s)", qPrintable(dialogs.boxes.back().text));
    }
    std::printf("; peak resident %ld MB\n", peak_rss_mb());
    form.close();
    return loaded == rows ? 0 : 1;
}
