#include "instrument.h"

#include <QRegularExpression>

#include <cmath>
#include <cstring>

namespace sim {

const std::vector<Function>& functions() {
    static const std::vector<Function> table = {
        {"CONF:VOLT", "DCV", "ACV", 1.2345, 0.05}, {"CONF:VOLT:AC", "ACV", "Hz", 230.1, 1.5},
        {"CONF:CURR", "DCA", "", 0.5012, 0.01},    {"CONF:CURR:AC", "ACA", "Hz", 1.204, 0.02},
        {"CONF:MCUR", "DCmA", "", 12.034, 0.4},    {"CONF:MCUR:AC", "ACmA", "Hz", 4.51, 0.1},
        {"CONF:RES", "RES", "", 1000.4, 2.0},      {"CONF:FREQ", "FREQ", "", 50.012, 0.03},
        {"CONF:TCK", "TCK", "", 23.7, 0.8},        {"CONF:TCJ", "TCJ", "", 24.1, 0.8},
        {"CONF:PT1H", "PT100", "", 21.35, 0.2},    {"CONF:PT1K", "PT1000", "", 21.41, 0.2},
    };
    return table;
}

Instrument::Instrument(Settings settings, Reply reply)
    : settings_(settings), reply_(std::move(reply)), function_(&functions().front()) {}

QDateTime Instrument::instrument_now() const {
    return QDateTime::currentDateTime().addMSecs(clock_offset_ms_);
}

Instrument::Sample Instrument::next_sample() {
    ++serial_;
    std::normal_distribution<double> noise(0.0, function_->swing * 0.02);
    const double phase = double(serial_) / 50.0;
    Sample s;
    s.main = settings_.sequence
                 ? float(serial_)
                 : float(function_->base + function_->swing * std::sin(phase) + noise(noise_));
    s.sub = float(std::strlen(function_->sub) == 0         ? 0.0
                  : std::strcmp(function_->sub, "Hz") == 0 ? 50.0 + 0.05 * std::cos(phase)
                                                           : 0.005 + 0.001 * std::cos(phase));
    return s;
}

QByteArray Instrument::reading_lines() {
    const Sample s = next_sample();
    const QByteArray name(function_->name);
    const QByteArray main = QByteArray::number(double(s.main), 'E', settings_.sequence ? 9 : 4);
    auto signed_text = [](const QByteArray& t) { return t.startsWith('-') ? t : '+' + t; };
    if (std::strlen(function_->sub) == 0)
        return signed_text(main) + ' ' + name + "\r\n";
    return 'M' + signed_text(main) + ' ' + name + "\r\nS" +
           signed_text(QByteArray::number(double(s.sub), 'E', 4)) + ' ' + function_->sub + "\r\n";
}

void Instrument::command(const QString& raw) {
    const QString line = raw.trimmed();
    const QString upper = line.toUpper();
    if (upper == QLatin1String("*IDN?")) {
        reply_("Telvane Instruments,TDL-20,0451207,FW1.03\r\n");
        return;
    }
    for (const Function& f : functions()) {
        if (upper == QLatin1String(f.command)) {
            function_ = &f;
            return;
        }
    }
    if (upper == QLatin1String("READ?")) {
        reply_(reading_lines());
        ++sent_;
        return;
    }
    if (upper == QLatin1String("READ:GOON")) {
        streaming_ = true;
        stream_start_ms_ = last_now_ms_;
        due_ = 0;
        return;
    }
    if (upper.startsWith(QLatin1String("READ:"))) {
        streaming_ = false;
        return;
    }
    if (upper == QLatin1String("OUT?")) {
        reply_(output_.toLatin1() + "\r\n");
        return;
    }
    if (upper.startsWith(QLatin1String("OUT:"))) {
        output_ = line.mid(4);
        return;
    }
    if (upper == QLatin1String("TIME?")) {
        reply_(instrument_now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() +
               "\r\n");
        return;
    }
    if (upper.startsWith(QLatin1String("TIME:SET "))) {
        const QDateTime set =
            QDateTime::fromString(line.mid(9).trimmed(), QStringLiteral("yyyy-MM-dd-HH-mm"));
        if (set.isValid())
            clock_offset_ms_ = QDateTime::currentDateTime().msecsTo(set);
        return;
    }
    static const QRegularExpression record(
        QStringLiteral("^(MEM:INTE|MMEM:SD|MMEM:USB) (\\d+),(\\d+)$"));
    const auto m = record.match(upper);
    if (m.hasMatch()) {
        rec_function_ = function_;
        rec_start_ = instrument_now();
        rec_start_.setTime(QTime(rec_start_.time().hour(), rec_start_.time().minute(),
                                 rec_start_.time().second()));
        rec_target_ = m.captured(2).toLongLong();
        rec_interval_s_ = std::max(1, m.captured(3).toInt());
        rec_started_ms_ = last_now_ms_;
        rec_samples_.clear();
        tick(last_now_ms_);
        return;
    }
    if (upper == QLatin1String("SIM:DUMP")) {
        reply_(dump());
        return;
    }
}

void Instrument::tick(qint64 now_ms) {
    last_now_ms_ = now_ms;
    if (streaming_) {
        const qint64 due = 1 + qint64(double(now_ms - stream_start_ms_) * rate_hz / 1000.0);
        QByteArray batch;
        while (due_ < due && (settings_.count == 0 || sent_ < settings_.count)) {
            batch += reading_lines();
            ++due_;
            ++sent_;
        }
        if (settings_.count != 0 && sent_ >= settings_.count)
            streaming_ = false;
        if (!batch.isEmpty())
            reply_(batch);
    }
    if (rec_function_ && qint64(rec_samples_.size()) < rec_target_) {
        const double elapsed_s = double(now_ms - rec_started_ms_) * settings_.time_scale / 1000.0;
        const qint64 due = std::min<qint64>(rec_target_, 1 + qint64(elapsed_s / rec_interval_s_));
        const Function* measuring = function_;
        function_ = rec_function_;
        while (qint64(rec_samples_.size()) < due)
            rec_samples_.push_back(next_sample());
        function_ = measuring;
    }
}

QByteArray Instrument::dump() const {
    const Function* f = rec_function_ ? rec_function_ : function_;
    const bool with_sub = std::strlen(f->sub) != 0;
    const qint64 held = qint64(rec_samples_.size());
    const qint64 announced = std::max<qint64>(0, held + settings_.dump_skew);
    const QDateTime start = rec_start_.isValid() ? rec_start_ : instrument_now();

    QByteArray out = "RECALL INTERNAL MEMORY:";
    out += "1 bank,";
    out += QByteArray::number(announced) + " number,";
    out += start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() + ',';
    out += QByteArray::number(rec_interval_s_) + " interval,";
    out += QByteArray(f->name) + " Mfunction,";
    out += (with_sub ? QByteArray(f->sub) : QByteArray("NULL")) + " Sfunction:";
    auto put = [&out](float v) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        for (int i = 0; i < 4; ++i)
            out += char((bits >> (8 * i)) & 0xFF);
    };
    for (const Sample& s : rec_samples_) {
        put(s.main);
        if (with_sub)
            put(s.sub);
    }
    return out + "\r\n";
}

} // namespace sim
