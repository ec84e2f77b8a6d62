#pragma once

#include "state/traffic_log.h"

#include <QMutex>
#include <QStringList>
#include <QWidget>

#include <memory>

class QPlainTextEdit;

namespace Ui {
class TForm2;
}

// The debug window: the memo mmo1 collects the traffic log. Entries may arrive from any
// thread; they reach the memo on the window thread in the order in which append was called.
class TForm2 : public QWidget, public TrafficLog {
    Q_OBJECT

public:
    // Lines the traffic log keeps, the newest.
    static constexpr int kKeptLines = 100000;

    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    void append(const QString& entry) override;
    QPlainTextEdit* memo() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void flush();

    std::unique_ptr<Ui::TForm2> ui_;
    QMutex pending_mutex_;
    QStringList pending_; // entries not yet in the memo, oldest first
    bool placed_ = false;
};
