// Readings at a high rate through the real main window: the instrument simulator streams over
// UDP, the user's steps (Network, the address, Quick Start) are taken as a user takes them, and
// the run reports
//   - whether every reading reached the table, in order;
//   - the process's CPU time against the wall-clock time of the stream (share of one core);
//   - how long the window thread takes to answer: another thread posts a stamped event every
//     few milliseconds and the window thread notes how late each one is handled, which is what
//     a key press or a mouse click would wait.
// Run it through bench/window_rate.sh to see what a desktop user gets: a real X display (Xvfb)
// with the accessibility bridge on, which reports every change of the table and the memo.
// It exits with 1 when a reading is missing or out of order.
#include "app/frm_main.h"
#include "app/user_dialogs.h"
#include "presentation/measurement_table.h"
#include "state/all_v.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QEvent>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The one question the program asks on the way (the network address) gets the simulator's
// address; nothing else may be asked.
class ScriptedDialogs : public UserDialogs {
public:
    explicit ScriptedDialogs(QString address) : address_(std::move(address)) {}
    void warning(const QString& text) override { complain("warning", text); }
    void error(const QString& text) override { complain("error", text); }
    void plain(const QString& text) override { complain("message", text); }
    bool input(const QString&, const QString&, QString& value) override {
        value = address_;
        return true;
    }
    bool open_file(FileDialogSpec&) override { return false; }
    bool save_file(FileDialogSpec&) override { return false; }

private:
    static void complain(const char* kind, const QString& text) {
        std::fprintf(stderr, "window_rate: unexpected %s: %s\n", kind, qPrintable(text));
    }
    QString address_;
};

// Notes how late each stamped event reaches the window thread.
class Probe : public QObject {
public:
    static QEvent::Type type() {
        static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    struct Stamped : QEvent {
        explicit Stamped(Clock::time_point at) : QEvent(Probe::type()), posted(at) {}
        Clock::time_point posted;
    };

    bool event(QEvent* e) override {
        if (e->type() != type())
            return QObject::event(e);
        const auto late = Clock::now() - static_cast<Stamped*>(e)->posted;
        if (recording)
            late_ms.push_back(std::chrono::duration<double, std::milli>(late).count());
        return true;
    }

    bool recording = false;
    std::vector<double> late_ms;
};

double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Runs the event loop as the program does (sleeping while there is nothing to do).
void run_loop_for(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

quint16 free_udp_port() {
    QUdpSocket probe;
    probe.setProxy(QNetworkProxy::NoProxy);
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Readings over UDP through the main window: losses, CPU share and how "
                       "fast the window answers."));
    p.addHelpOption();
    const QCommandLineOption rate_opt(QStringLiteral("rate"), "Readings per second.", "hz", "5000");
    const QCommandLineOption seconds_opt(QStringLiteral("seconds"), "Length of the stream.", "s",
                                         "20");
    const QCommandLineOption page_opt(QStringLiteral("page"),
                                      "Page shown while reading: chart (as at start) or table.",
                                      "page", "chart");
    const QCommandLineOption probe_opt(QStringLiteral("probe-ms"),
                                       "Interval of the responsiveness probe.", "ms", "10");
    const QCommandLineOption sim_opt(QStringLiteral("sim"), "The instrument simulator.", "path",
                                     QStringLiteral(TELVANE_SIM_PATH));
    p.addOptions({rate_opt, seconds_opt, page_opt, probe_opt, sim_opt});
    p.process(app);
    const int rate = std::max(1, p.value(rate_opt).toInt());
    const int seconds = std::max(1, p.value(seconds_opt).toInt());
    const int probe_ms = std::max(1, p.value(probe_opt).toInt());
    const qint64 count = qint64(rate) * seconds;

    const quint16 port = free_udp_port();
    const QString address = QStringLiteral("127.0.0.2:%1").arg(port);
    QProcess sim;
    sim.setProgram(p.value(sim_opt));
    sim.setArguments({QStringLiteral("--udp"), address, QStringLiteral("--rate"),
                      QString::number(rate), QStringLiteral("--count"), QString::number(count),
                      QStringLiteral("--sequence")});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    sim.start();
    bool listening = false;
    for (int i = 0; i < 100 && !listening && sim.state() != QProcess::NotRunning; ++i) {
        sim.waitForReadyRead(100);
        while (sim.canReadLine())
            listening |= sim.readLine().startsWith("udp: ");
    }
    if (!listening) {
        std::fprintf(stderr, "window_rate: the simulator did not start (%s)\n",
                     qPrintable(sim.program()));
        return 2;
    }

    ALL_V v;
    ScriptedDialogs dialogs(address);
    FormEnvironment env;
    env.exe_dir = QCoreApplication::applicationDirPath();
    env.dialogs = &dialogs;
    env.exit_process = [](int) {};
    TForm1 form(v, env);
    form.show();
    if (p.value(page_opt) == QLatin1String("table")) {
        auto* pages = form.findChild<QTabWidget*>(QStringLiteral("pgc_main"));
        pages->setCurrentWidget(form.findChild<QWidget*>(QStringLiteral("ts_grid")));
    }
    run_loop_for(500); // shown, and the accessibility bridge has registered

    auto* ports = form.findChild<QComboBox*>(QStringLiteral("cbb_port"));
    const int network = ports->findText(QStringLiteral("Network"));
    ports->setCurrentIndex(network);
    emit ports->activated(network);
    if (v.port_no != kNetworkLink) {
        std::fprintf(stderr, "window_rate: the network link did not open\n");
        return 2;
    }

    Probe probe;
    std::atomic<bool> probing{true};
    std::thread poster([&] {
        while (probing.load()) {
            QCoreApplication::postEvent(&probe, new Probe::Stamped(Clock::now()));
            std::this_thread::sleep_for(std::chrono::milliseconds(probe_ms));
        }
    });

    form.findChild<QAbstractButton*>(QStringLiteral("btn_QS"))->click();
    if (!v.goon_active) {
        std::fprintf(stderr, "window_rate: Quick Start did not start reading\n");
        return 2;
    }
    const MeasurementTable& table = form.table();
    auto rows = [&] { return qint64(table.row_count() - 1); };

    // From here the simulator streams `count` readings over `seconds`.
    const double cpu0 = cpu_seconds();
    const auto start = Clock::now();
    probe.recording = true;
    // Until the last reading is in, or none has come for 3 s; the figures stop at the last row.
    qint64 seen = rows();
    auto last_row_at = Clock::now();
    double cpu_at_last_row = cpu0;
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (rows() != seen) {
            seen = rows();
            last_row_at = Clock::now();
            cpu_at_last_row = cpu_seconds();
        }
        if (seen >= count || seconds_since(last_row_at) >= 3.0)
            loop.quit();
    });
    watch.start(20);
    loop.exec();
    watch.stop();
    probe.recording = false;
    const double wall = std::chrono::duration<double>(last_row_at - start).count();
    const double cpu = cpu_at_last_row - cpu0;
    probing = false;
    poster.join();
    run_loop_for(200); // the last view notifications

    qint64 out_of_place = 0, first_wrong = 0;
    for (qint64 r = 1; r <= rows(); ++r) {
        if (table.cell(int(r), MeasurementTable::ColMain).toDouble() != double(r) &&
            out_of_place++ == 0)
            first_wrong = r;
    }
    const bool all = rows() == count && out_of_place == 0;

    std::printf("window_rate: %d readings/s for %d s over UDP, page %s, platform %s, "
                "accessibility %s\n",
                rate, seconds, qPrintable(p.value(page_opt)),
                qPrintable(QGuiApplication::platformName()),
                QAccessible::isActive() ? "on" : "off");
    std::printf("  readings: %lld sent, %lld in the table, %lld out of place (first at row "
                "%lld): %s\n",
                static_cast<long long>(count), static_cast<long long>(rows()),
                static_cast<long long>(out_of_place), static_cast<long long>(first_wrong),
                all ? "all there" : "MISSING");
    std::printf("  last row landed %.2f s after Quick Start (the stream lasts %d s)\n", wall,
                seconds);
    std::printf("  cpu: %.2f s in %.2f s = %.3f of one core\n", cpu, wall, cpu / wall);
    std::printf("  window thread answers: %zu probes, median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                probe.late_ms.size(), percentile(probe.late_ms, 0.5),
                percentile(probe.late_ms, 0.99), percentile(probe.late_ms, 1.0));

    form.close();
    sim.terminate();
    sim.waitForFinished(5000);
    return all ? 0 : 1;
}
