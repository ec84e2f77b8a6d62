#pragma once

// The instrument simulator telvane-sim, run as its own process the way a user runs it: it
// prints where it listens ("pty: /dev/pts/N", "udp: address:port") and plays the instrument
// until it is told to stop.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/prctl.h>

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the simulator with `args` and waits until it has said where it listens. False
    // when it does not start, ends, or stays silent; errors() then tells why.
    bool start(const QStringList& args) {
        const bool want_pty = args.contains(QStringLiteral("--pty"));
        const bool want_udp = args.contains(QStringLiteral("--udp"));
        process_.setProgram(QStringLiteral(TELVANE_SIM_PATH));
        process_.setArguments(args);
        // A test that dies (a crash, a closed output pipe, a time-out) takes its simulator
        // with it rather than leave it running.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process_.start();
        if (!process_.waitForStarted(10000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while ((want_pty && pty_.isEmpty()) || (want_udp && udp_.isEmpty())) {
            if (clock.elapsed() > 30000 || process_.state() != QProcess::Running)
                return false;
            process_.waitForReadyRead(100);
            while (process_.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
                if (line.startsWith(QLatin1String("pty: ")))
                    pty_ = line.mid(5);
                else if (line.startsWith(QLatin1String("udp: ")))
                    udp_ = line.mid(5);
            }
        }
        return true;
    }

    // Ends the simulator as an interrupt from the terminal would.
    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    const QString& pty() const { return pty_; } // the device the program opens
    const QString& udp() const { return udp_; } // the address the program is told
    QString errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
    QString pty_;
    QString udp_;
};
