#include "rx_fixture.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QByteArray bytes(const char* s, int n = -1) {
    return QByteArray(s, n < 0 ? int(std::strlen(s)) : n);
}

struct FramingCase {
    const char* name;
    QByteArray in;
    QStringList lines;
    QByteArray pending; // bytes left for the next pass
};

const std::vector<FramingCase>& framing_cases() {
    static const std::vector<FramingCase> cases = {
        {"two replies leave their last CR LF",
         bytes("OK1\r\nOK2\r\n"),
         {"OK1", "OK2"},
         bytes("\r\n")},
        {"short replies are lines of their own",
         bytes("AB\r\nCD\r\n"),
         {"AB", "CD"},
         bytes("\r\n")},
        {"one character", bytes("A\r\n"), {"A"}, bytes("\r\n")},
        {"control and high bytes leave the text",
         bytes("X\tY\xC8Z\x7F\r\n"),
         {"XYZ"},
         bytes("\r\n")},
        {"a lone CR inside a line", bytes("ABC\rDEF\r\n"), {"ABCDEF"}, bytes("\r\n")},
        {"empty lines are not lines", bytes("\r\n\r\nOK\r\n\r\n"), {"OK"}, bytes("\r\n\r\n")},
        {"a line of control bytes only", bytes("\x01\x02\r\nOK\r\n"), {"OK"}, bytes("\r\n")},
        {"an unfinished line waits", bytes("OK\r\nPART"), {"OK"}, bytes("\r\nPART")},
        {"a CR alone does not end a line", bytes("OK\r"), {}, bytes("OK\r")},
        {"LF CR is no line end", bytes("OK\n\r"), {}, bytes("OK\n\r")},
        {"blanks are text", bytes("  a b  \r\n"), {"  a b  "}, bytes("\r\n")},
    };
    return cases;
}

QByteArray pending_of(const ALL_V& v) {
    return QByteArray(reinterpret_cast<const char*>(v.rx_buf.data() + v.rx_pos), v.rx_len);
}

TEST(Framing, LinesAndPendingBytesWhateverTheBlocks) {
    for (const FramingCase& c : framing_cases())
        for (int size : kBlockSizes) {
            RxRig rig;
            rig.feed(c.in, size);
            EXPECT_EQ(rig.sink.shown, c.lines) << c.name << ", blocks of " << size;
            EXPECT_EQ(rig.v.reply_lines, c.lines) << c.name << ", blocks of " << size;
            EXPECT_EQ(pending_of(rig.v), c.pending) << c.name << ", blocks of " << size;
        }
}

TEST(Framing, ShortReplyAtTheStartIsNotMergedWithTheNext) {
    RxRig rig;
    rig.pass("AB\r\n");
    EXPECT_EQ(rig.sink.shown, QStringList{"AB"});
    rig.pass("CD\r\n");
    EXPECT_EQ(rig.sink.shown, (QStringList{"AB", "CD"}));
}

TEST(Framing, RepliesAreNotReadingsWhileReadingsAreOff) {
    // After Check without Quick Start, or before any Quick Start.
    for (bool check_hold : {false, true}) {
        RxRig rig;
        rig.v.goon_active = check_hold; // off, or on but held by Check
        rig.v.check_hold = check_hold;
        rig.pass("M1 DCV\r\nS2 ACV\r\n5 DCA\r\n");
        EXPECT_TRUE(rig.sink.rows.empty());
        EXPECT_EQ(rig.v.reply_lines, (QStringList{"M1 DCV", "S2 ACV", "5 DCA"}));
    }
}

TEST(Framing, ReplyLinesKeepOnlyTheNewestWhileNothingConsumesThem) {
    RxRig rig;
    const int total = kReplyLinesKept + 500;
    QByteArray block;
    for (int i = 0; i < total; ++i) {
        block += "L" + QByteArray::number(i) + "\r\n";
        if (block.size() > 4000) {
            rig.pass(block);
            block.clear();
        }
    }
    rig.pass(block);
    ASSERT_EQ(rig.v.reply_lines.size(), kReplyLinesKept);
    EXPECT_EQ(rig.v.reply_lines.front(), QStringLiteral("L500"));
    EXPECT_EQ(rig.v.reply_lines.back(), QStringLiteral("L%1").arg(total - 1));
    EXPECT_EQ(rig.sink.shown.size(), total); // the memo was handed every line
}

TEST(Framing, TrafficLogEntryOnlyWhileDebugIsOn) {
    RxRig rig;
    rig.pass("\r\nOK\r\n");
    EXPECT_TRUE(rig.sink.log.empty());

    RxRig dbg;
    dbg.v.debug_on = true;
    dbg.pass("\r\nOK\r\n");
    ASSERT_EQ(dbg.sink.log.size(), 1);
    const QString entry = dbg.sink.log.front();
    // time stamp, two blanks, the lines, the text after the last line, the byte codes
    const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{1,3}  "));
    EXPECT_TRUE(stamp.match(entry).hasMatch()) << entry.toStdString();
    EXPECT_TRUE(entry.endsWith(QStringLiteral("  OK\r\n |  | 13 10 79 75 13 10 ")))
        << entry.toStdString();

    dbg.pass("P\x01Q");
    EXPECT_TRUE(dbg.sink.log.back().endsWith(QStringLiteral("OK\r\n | PQ | 13 10 80 1 81 ")))
        << dbg.sink.log.back().toStdString();
}

TEST(Framing, TidyKeepsPendingBytesInsideTheBuffer) {
    RxRig rig;
    rig.pass("OK\r\n");
    rig.v.rx_pos = 12000; // a read position past the compaction mark
    rig.v.rx_len = 0;
    rig.pass("PART");
    EXPECT_EQ(rig.v.rx_pos, 0);
    EXPECT_EQ(pending_of(rig.v), QByteArray("PART"));

    // Pending bytes that claim to lie outside the buffer are dropped, not read.
    rig.v.rx_pos = kRxBufSize - 2;
    rig.v.rx_len = 10;
    interpret_rx(rig.v, rig.sink);
    EXPECT_EQ(rig.v.rx_pos, 0);
    EXPECT_EQ(rig.v.rx_len, 0);
}

} // namespace
