// The reply memo shows lines once per frame: whatever the number of calls in between, it ends
// up with exactly the newest lines, in order, scrolled to its end.
#include "presentation/reply_memo.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kLines = 200;

// Lines "L<first>" .. "L<last>".
QStringList lines(int first, int last) {
    QStringList out;
    for (int i = first; i <= last; ++i)
        out << QStringLiteral("L%1").arg(i);
    return out;
}

// The same joined by "|", as shown() gives a memo's lines.
std::string numbered(int first, int last) {
    return lines(first, last).join(u'|').toStdString();
}

class Memo : public ::testing::Test {
protected:
    Memo() {
        edit.setReadOnly(true);
        edit.resize(300, 150); // far fewer rows than lines: the memo has to scroll
        edit.show();
    }
    // The memo's lines joined by "|".
    std::string shown() const { return edit.toPlainText().replace(u'\n', u'|').toStdString(); }
    // Waits for the update that shows `last` as the memo's last line.
    bool frame_shows(const QString& last) {
        return QTest::qWaitFor(
            [&] {
                const QString text = edit.toPlainText();
                return text == last || text.endsWith(u'\n' + last);
            },
            2000);
    }

    QPlainTextEdit edit;
    ReplyMemo memo{edit, kLines};
};

struct Case {
    const char* name;
    // Per frame, the sizes of the calls made before it is shown; lines are numbered on
    // through all calls.
    std::vector<std::vector<int>> frames;
};

TEST_F(Memo, ShowsExactlyTheNewestLinesInOrderAfterEachFrame) {
    const Case cases[] = {
        {"a few lines into the empty memo", {{3}}},
        {"a burst longer than the memo, in several calls", {{100, 99, 1, 50}}},
        {"one call longer than the memo", {{250}}},
        {"exactly as many lines as the memo holds", {{120, 80}}},
        {"new lines after shown ones push the oldest out", {{150}, {30, 70}}},
        {"a memo's worth of new lines replaces the shown ones", {{150}, {120, 80}, {5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit.clear();
        int sent = 0;
        for (const std::vector<int>& calls : c.frames) {
            const std::string before = shown();
            for (int n : calls) {
                memo.append(lines(sent + 1, sent + n));
                sent += n;
            }
            EXPECT_EQ(shown(), before) << "shown before the frame";
            ASSERT_TRUE(frame_shows(QStringLiteral("L%1").arg(sent)));
            EXPECT_EQ(shown(), numbered(std::max(1, sent - kLines + 1), sent));
        }
        EXPECT_EQ(edit.blockCount(), std::min(sent, kLines));
        if (sent > kLines) {
            const QScrollBar* bar = edit.verticalScrollBar();
            EXPECT_GT(bar->maximum(), 0);
            EXPECT_EQ(bar->value(), bar->maximum()) << "not scrolled to the end";
        }
    }
}

// One line per event-loop turn, as a stream of datagrams brings them: the memo changes at most
// once per frame, and still shows every line of the last frame.
TEST_F(Memo, ChangesAtMostOncePerFrame) {
    int changes = 0;
    QObject::connect(&edit, &QPlainTextEdit::textChanged, [&] { ++changes; });
    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    while (clock.elapsed() < 300) {
        ++sent;
        memo.append({QStringLiteral("L%1").arg(sent)});
        QCoreApplication::processEvents();
    }
    const qint64 ms = clock.elapsed();
    ASSERT_TRUE(frame_shows(QStringLiteral("L%1").arg(sent)));
    EXPECT_EQ(shown(), numbered(std::max(1, sent - kLines + 1), sent));
    // Frames are at least ReplyMemo::kShowIntervalMs apart, less a timer's slack.
    EXPECT_LE(changes, 2 * (ms / 25 + 2)) << sent << " lines in " << ms << " ms";
}

} // namespace
