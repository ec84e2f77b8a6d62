#pragma once

#include "state/traffic_log.h"

#include <QStringList>

#include <mutex>

// A traffic log that keeps every entry for the test to read.
class RecordingLog : public TrafficLog {
public:
    void append(const QString& entry) override {
        std::lock_guard lock(m_);
        entries_ << entry;
    }
    QStringList entries() const {
        std::lock_guard lock(m_);
        return entries_;
    }
    void clear() {
        std::lock_guard lock(m_);
        entries_.clear();
    }

private:
    mutable std::mutex m_;
    QStringList entries_;
};
