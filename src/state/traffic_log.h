#pragma once

#include <QString>
#include <QTime>

// Where the traffic log goes (the debug window's memo). Callers append only while debug_on is
// true; append may be called from any thread and keeps the order of the calls.
class TrafficLog {
public:
    virtual ~TrafficLog() = default;
    virtual void append(const QString& entry) = 0;
};

// Time stamp that starts every log entry: "hh:mm:ss.z", the milliseconds without leading zeros.
inline QString log_time_text(const QTime& t) {
    return t.toString(QStringLiteral("hh:mm:ss.")) + QString::number(t.msec());
}
