#pragma once

#include "files/file_progress.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// Progress of long file work on the window thread. Every few milliseconds it lets the event
// loop run, so that the window repaints and readings that arrive are taken into the table and
// chart; user input waits until the work is done. Work that lasts longer than
// `show_after_ms` shows a progress dialog, labelled with the file's name.
class FileProgressDialog : public FileProgress {
public:
    FileProgressDialog(QWidget* owner, QString label, int show_after_ms);
    ~FileProgressDialog() override;

    void advance(qint64 done, qint64 total) override;

private:
    QWidget* owner_;
    QString label_;
    int show_after_ms_;
    QElapsedTimer started_;
    QElapsedTimer pumped_;
    std::unique_ptr<QProgressDialog> dialog_;
};
