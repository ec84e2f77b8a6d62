#include "presentation/reply_memo.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>

ReplyMemo::ReplyMemo(QPlainTextEdit& memo, int max_lines)
    : memo_(memo), max_lines_(static_cast<std::size_t>(std::max(1, max_lines))),
      frame_(kShowIntervalMs, [this] { show_pending(); }) {
    memo_.setMaximumBlockCount(static_cast<int>(max_lines_));
}

void ReplyMemo::append(const QStringList& lines) {
    // Of a burst longer than the memo, only its end can ever be seen.
    const qsizetype from = std::max<qsizetype>(0, lines.size() - qsizetype(max_lines_));
    for (qsizetype i = from; i < lines.size(); ++i)
        pending_.push_back(lines[i]);
    while (pending_.size() > max_lines_)
        pending_.pop_front();
    if (!pending_.empty())
        frame_.request();
}

void ReplyMemo::show_pending() {
    frame_.ran();
    if (pending_.empty())
        return;
    QString text;
    qsizetype size = qsizetype(pending_.size());
    for (const QString& line : pending_)
        size += line.size();
    text.reserve(size);
    for (const QString& line : pending_) {
        if (&line != &pending_.front())
            text += u'\n';
        text += line;
    }
    // As many new lines as the memo holds leave nothing of the old text to keep.
    if (pending_.size() == max_lines_)
        memo_.setPlainText(text);
    else
        memo_.appendPlainText(text);
    pending_.clear();
    memo_.verticalScrollBar()->setValue(memo_.verticalScrollBar()->maximum());
}
