#include "i18n/debug_window.h"

#include "presentation/window_place.h"
#include "ui_debug_window.h"

#include <QMutexLocker>
#include <QThread>

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TForm2>()) {
    ui_->setupUi(this);
    // The window fits its memo and is not meant to be resized.
    setFixedSize(sizeHint());
    // A week with the traffic log on would otherwise fill the memory: the memo keeps the
    // newest lines and drops the oldest.
    ui_->mmo1->setMaximumBlockCount(kKeptLines);
}

TForm2::~TForm2() = default;

QPlainTextEdit* TForm2::memo() const {
    return ui_->mmo1;
}

// Every entry joins one queue under the lock, so the order of the calls is the order in the
// memo whichever threads they came from. An entry made on the window thread drains the queue
// at once; one made elsewhere asks the window thread to drain it, unless a request is already
// waiting.
void TForm2::append(const QString& entry) {
    bool ask = false;
    {
        QMutexLocker lock(&pending_mutex_);
        pending_.append(entry);
        ask = pending_.size() == 1;
    }
    if (QThread::currentThread() == thread())
        flush();
    else if (ask)
        QMetaObject::invokeMethod(this, &TForm2::flush, Qt::QueuedConnection);
}

void TForm2::flush() {
    QStringList lines;
    {
        QMutexLocker lock(&pending_mutex_);
        lines.swap(pending_);
    }
    for (const QString& line : lines)
        ui_->mmo1->appendPlainText(line);
}

// Centred on the screen of the main window the first time it is shown; afterwards it stays
// where the user put it.
void TForm2::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        centre_on_screen(*this);
    }
    QWidget::showEvent(event);
}
