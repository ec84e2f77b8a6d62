#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <random>
#include <vector>

namespace sim {

// One measurement function of the simulated logger: the command that selects it, the name its
// readings carry, and the sub value that comes with it (empty: readings are plain lines).
struct Function {
    const char* command; // "CONF:VOLT"
    const char* name;    // "DCV"
    const char* sub;     // "ACV", or "" for none
    double base;         // typical main value
    double swing;        // amplitude of its slow wave
};

const std::vector<Function>& functions();

struct Settings {
    bool sequence = false;   // main values count 1, 2, 3, ... so a receiver can check order
    qint64 count = 0;        // continuous reading stops after this many readings (0: never)
    double time_scale = 1.0; // recordings run this many times faster than the wall clock
    int dump_skew = 0;       // the dump announces this many records more (or fewer) than it holds
};

// The logger's behaviour on the wire: takes command lines, answers with bytes. Knows nothing of
// the transport; the caller sends what `reply` receives.
class Instrument {
public:
    using Reply = std::function<void(const QByteArray&)>;
    Instrument(Settings settings, Reply reply);

    void command(const QString& line);
    // Called by the transport's clock: emits the readings due by `now_ms` of continuous
    // reading and advances a running recording.
    void tick(qint64 now_ms);

    bool streaming() const { return streaming_; }
    qint64 readings_sent() const { return sent_; }
    const Function& function() const { return *function_; }
    QByteArray reading_lines(); // one reading as it goes on the wire
    QByteArray dump() const;

    double rate_hz = 5.0; // readings per second while streaming

private:
    struct Sample {
        float main;
        float sub;
    };
    QDateTime instrument_now() const;
    Sample next_sample();

    Settings settings_;
    Reply reply_;
    const Function* function_;
    QString output_ = QStringLiteral("0");
    qint64 clock_offset_ms_ = 0;
    std::mt19937 noise_{12345};
    qint64 serial_ = 0;

    bool streaming_ = false;
    qint64 stream_start_ms_ = 0;
    qint64 due_ = 0; // readings due since streaming started
    qint64 sent_ = 0;
    qint64 last_now_ms_ = 0;

    // The last recording: what it measured, when it started, and its samples.
    const Function* rec_function_ = nullptr;
    QDateTime rec_start_;
    int rec_interval_s_ = 1;
    qint64 rec_target_ = 0;
    qint64 rec_started_ms_ = 0;
    std::vector<Sample> rec_samples_;
};

} // namespace sim
