// telvane-sim: plays the bench data logger on a pseudo-terminal and/or on UDP.
#include "wire.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

const char* const kDescription =
    "Plays the multifunction data logger on the wire, for trying out and testing the program\n"
    "without an instrument.\n\n"
    "Commands understood: *IDN?, CONF:VOLT, CONF:VOLT:AC, CONF:CURR, CONF:CURR:AC, CONF:MCUR,\n"
    "CONF:MCUR:AC, CONF:RES, CONF:FREQ, CONF:TCK, CONF:TCJ, CONF:PT1H, CONF:PT1K, READ?,\n"
    "READ:GOON (continuous readings; READ: with any other argument stops them), OUT?, OUT:<x>,\n"
    "TIME?, TIME:SET yyyy-mm-dd-hh-mm, MEM:INTE n,i / MMEM:SD n,i / MMEM:USB n,i (record n\n"
    "readings every i seconds), and the simulator's own\n"
    "  SIM:DUMP   send the last recording back as a memory dump (text header, six fields,\n"
    "             little-endian single-precision values).\n"
    "Readings of functions with a sub value (DCV, ACV, ACA, ACmA) are M and S lines; the others\n"
    "are plain lines.";

void on_signal(int) {
    QCoreApplication::quit();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telvane-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELVANE_VERSION));

    QCommandLineParser p;
    p.setApplicationDescription(QString::fromLatin1(kDescription));
    p.addHelpOption();
    p.addVersionOption();
    const QCommandLineOption pty(QStringLiteral("pty"),
                                 "Open a pseudo-terminal and print its device path.");
    const QCommandLineOption pty_link(QStringLiteral("pty-link"),
                                      "Also make a symbolic link to the device.", "path");
    const QCommandLineOption udp(QStringLiteral("udp"),
                                 "Listen for UDP datagrams on this address and port.",
                                 "address:port");
    const QCommandLineOption rate(QStringLiteral("rate"),
                                  "Readings per second while reading continuously.", "hz", "5");
    const QCommandLineOption count(QStringLiteral("count"),
                                   "Stop continuous reading after n readings.", "n", "0");
    const QCommandLineOption sequence(QStringLiteral("sequence"),
                                      "Main values count 1, 2, 3, ... (to check order).");
    const QCommandLineOption chunk(QStringLiteral("chunk"), "Send in pieces of n bytes.", "n", "0");
    const QCommandLineOption chunk_delay(QStringLiteral("chunk-delay"), "Pause between pieces.",
                                         "ms", "0");
    const QCommandLineOption garbage(QStringLiteral("garbage"),
                                     "Insert control and 8-bit bytes and junk lines.");
    const QCommandLineOption time_scale(QStringLiteral("time-scale"),
                                        "Recordings run this many times faster.", "factor", "1");
    const QCommandLineOption dump_skew(QStringLiteral("dump-skew"),
                                       "The dump announces n records more (or fewer, when "
                                       "negative) than it carries.",
                                       "n", "0");
    p.addOptions({pty, pty_link, udp, rate, count, sequence, chunk, chunk_delay, garbage,
                  time_scale, dump_skew});
    p.process(app);

    if (!p.isSet(pty) && !p.isSet(udp)) {
        std::fprintf(stderr, "telvane-sim: give --pty, --udp address:port, or both (see --help)\n");
        return 2;
    }

    sim::Settings settings;
    settings.sequence = p.isSet(sequence);
    settings.count = p.value(count).toLongLong();
    settings.time_scale = std::max(0.001, p.value(time_scale).toDouble());
    settings.dump_skew = p.value(dump_skew).toInt();
    sim::Shaping shaping;
    shaping.chunk = p.value(chunk).toInt();
    shaping.chunk_delay_ms = p.value(chunk_delay).toInt();
    shaping.garbage = p.isSet(garbage);
    const double hz = std::max(0.01, p.value(rate).toDouble());

    std::unique_ptr<sim::PtyWire> pty_wire;
    std::unique_ptr<sim::UdpWire> udp_wire;
    if (p.isSet(pty)) {
        pty_wire = std::make_unique<sim::PtyWire>(settings, shaping, hz);
        if (!pty_wire->ok()) {
            std::perror("telvane-sim: pseudo-terminal");
            return 1;
        }
        if (p.isSet(pty_link)) {
            QFile::remove(p.value(pty_link));
            if (!QFile::link(pty_wire->slave_path(), p.value(pty_link)))
                std::fprintf(stderr, "telvane-sim: cannot link %s\n",
                             qPrintable(p.value(pty_link)));
        }
        std::printf("pty: %s\n", qPrintable(pty_wire->slave_path()));
    }
    if (p.isSet(udp)) {
        const QString spec = p.value(udp);
        const qsizetype colon = spec.lastIndexOf(QLatin1Char(':'));
        bool port_ok = false;
        const quint16 port = colon > 0 ? spec.mid(colon + 1).toUShort(&port_ok) : 0;
        const QHostAddress address(spec.left(colon));
        udp_wire = std::make_unique<sim::UdpWire>(settings, shaping, hz);
        if (!port_ok || address.isNull() || !udp_wire->bind(address, port)) {
            std::fprintf(stderr, "telvane-sim: cannot listen on UDP %s\n", qPrintable(spec));
            return 1;
        }
        std::printf("udp: %s\n", qPrintable(spec));
    }
    std::fflush(stdout);

    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    const int rc = QCoreApplication::exec();
    if (p.isSet(pty_link))
        QFile::remove(p.value(pty_link));
    return rc;
}
