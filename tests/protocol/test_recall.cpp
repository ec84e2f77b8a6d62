#include "protocol/decimal_text.h"
#include "protocol/recall_step.h"
#include "rx_fixture.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QByteArray value_bytes(float f) {
    QByteArray b(4, '\0');
    qToLittleEndian(f, b.data());
    return b;
}

struct Dump {
    QByteArray bank = " 1bank,";
    QByteArray number = "8number,";
    QByteArray start = "2012-05-06 14:30:00,";
    QByteArray interval = "5interval,";
    QByteArray mfunction = "DCVMfunction,";
    QByteArray sfunction = "NULLSfunction:";
    std::vector<float> values;

    QByteArray bytes() const {
        QByteArray b =
            QByteArray(kRecallHeader) + bank + number + start + interval + mfunction + sfunction;
        for (float f : values)
            b += value_bytes(f);
        return b;
    }
};

Row rec(const char* time, const char* main_no, const char* main_range, const char* sub_no = "",
        const char* sub_range = "") {
    return {time, main_no, main_range, sub_no, sub_range, "", ""};
}

struct RecallCase {
    const char* name;
    QByteArray in;
    std::vector<Row> rows;
    QStringList shown;
};

const std::vector<RecallCase>& recall_cases() {
    static const std::vector<RecallCase> cases = [] {
        std::vector<RecallCase> c;
        Dump plain;
        plain.values = {1.5f, 0.0f, -5.5f, 1.2345f, 123456.78f, 0.0000123f, 1e9f, 2.25f};
        c.push_back({"eight values without sub values",
                     plain.bytes(),
                     {rec("14:30:00.0", "1.5", "DCV"), rec("14:30:05.5", "0", "DCV"),
                      rec("14:30:10.10", "-5.5", "DCV"), rec("14:30:15.15", "1.2345", "DCV"),
                      rec("14:30:20.20", "123456.78", "DCV"), rec("14:30:25.25", "0.000012", "DCV"),
                      rec("14:30:30.30", "1000000000", "DCV"), rec("14:30:35.35", "2.25", "DCV")},
                     {"RECALL INTERNAL MEMORY..."}});

        Dump pairs;
        pairs.number = "  3 number  ,";
        pairs.interval = "60interval,";
        pairs.sfunction = " ACV Sfunction:";
        pairs.values = {1, 2, 3, 4, 5, 6};
        c.push_back(
            {"three records with sub values",
             pairs.bytes(),
             {rec("14:30:00.0", "1", "DCV", "2", "ACV"), rec("14:31:00.0", "3", "DCV", "4", "ACV"),
              rec("14:32:00.0", "5", "DCV", "6", "ACV")},
             {"RECALL INTERNAL MEMORY..."}});

        // A reply before the dump leaves its CR LF at the front of the pending bytes.
        Dump after_reply;
        after_reply.number = "2number,";
        after_reply.values = {1, 2};
        c.push_back({"dump behind a reply",
                     "OK\r\n" + after_reply.bytes() + "\r\nEND\r\n",
                     {rec("14:30:00.0", "1", "DCV"), rec("14:30:05.5", "2", "DCV")},
                     {"OK", "RECALL INTERNAL MEMORY...", "END"}});

        Dump none;
        none.number = "0 number,";
        c.push_back({"no records: skipped up to the next line end",
                     none.bytes() + "garbage\x01\x02\r\nOK\r\n",
                     {},
                     {"RECALL INTERNAL MEMORY...", "OK"}});

        Dump bad_number;
        bad_number.number = "x8number,";
        c.push_back({"a number that does not convert counts as none",
                     bad_number.bytes() + "....\r\nOK\r\n",
                     {},
                     {"RECALL INTERNAL MEMORY...", "OK"}});

        Dump bad_interval;
        bad_interval.number = "3number,";
        bad_interval.interval = "fiveinterval,";
        bad_interval.values = {1, 2, 3};
        c.push_back({"an interval that does not convert is one second",
                     bad_interval.bytes(),
                     {rec("14:30:00.0", "1", "DCV"), rec("14:30:01.1", "2", "DCV"),
                      rec("14:30:02.2", "3", "DCV")},
                     {"RECALL INTERNAL MEMORY..."}});

        Dump no_keyword;
        no_keyword.number = "2,";
        c.push_back({"a missing keyword leaves the text empty",
                     no_keyword.bytes() + "xxxxxxxxx\r\n",
                     {},
                     {"RECALL INTERNAL MEMORY..."}});
        return c;
    }();
    return cases;
}

// A recalled value as a "," locale shows it: six decimals always, the text whole.
QString comma_form(const QString& dot) {
    if (dot.isEmpty())
        return dot;
    QString s = dot;
    const qsizetype at = s.indexOf(QLatin1Char('.'));
    if (at < 0)
        s += QStringLiteral(",000000");
    else
        s = s.replace(at, 1, QLatin1Char(',')).leftJustified(at + 7, QLatin1Char('0'));
    return s;
}

TEST(Recall, RowsWhateverTheBlocksAndTheSeparator) {
    for (QChar sep : {QLatin1Char('.'), QLatin1Char(',')})
        for (const RecallCase& c : recall_cases())
            for (int size : kBlockSizes) {
                std::vector<Row> expected = c.rows;
                if (sep == QLatin1Char(','))
                    for (Row& r : expected) {
                        r[1] = comma_form(r[1]);
                        r[3] = comma_form(r[3]);
                    }
                RxRig rig(sep);
                rig.feed(c.in, size);
                const std::string where = std::string(c.name) + ", blocks of " +
                                          std::to_string(size) + ", separator " +
                                          char(sep.unicode());
                EXPECT_EQ(rig.sink.rows, expected) << where;
                EXPECT_EQ(rig.sink.shown, c.shown) << where;
                EXPECT_TRUE(rig.v.recall_state.isEmpty()) << where;
            }
}

TEST(Recall, UnreadableStartKeepsTheStartTimeHeld) {
    for (const char* start :
         {"2012-13-06 14:30:00,", "2012-05-06 14:30,", "2012-05-06 24:00:00,"}) {
        Dump d;
        d.number = "1number,";
        d.start = start;
        d.values = {1, 0, 0, 0, 0, 0}; // enough bytes behind the sub function field
        RxRig rig;
        rig.v.start_time = QDateTime(QDate(2020, 1, 2), QTime(8, 7, 6));
        rig.feed(d.bytes());
        EXPECT_EQ(rig.sink.rows, (std::vector<Row>{rec("08:7:06.6", "1", "DCV")})) << start;
    }
}

TEST(Recall, WaitsWhileCheckHoldsAndGoesOnAfterwards) {
    Dump d;
    d.number = "2number,";
    d.values = {1, 2};
    const QByteArray all = d.bytes();
    RxRig rig;
    rig.v.check_hold = true;
    rig.pass(all.left(40));
    EXPECT_EQ(rig.sink.shown, QStringList{"RECALL INTERNAL MEMORY..."});
    EXPECT_EQ(rig.v.recall_state, QStringLiteral("BANK"));
    // Check and Quick Start drop the pending bytes and leave the read-back where it is.
    rig.v.rx_pos = rig.v.rx_len = 0;
    rig.v.check_hold = false;
    rig.pass(all.mid(kRecallHeaderSize));
    EXPECT_EQ(rig.sink.rows,
              (std::vector<Row>{rec("14:30:00.0", "1", "DCV"), rec("14:30:05.5", "2", "DCV")}));
}

TEST(Recall, TimesBeyondTheCalendarDoNotFail) {
    Dump d;
    d.number = "3number,";
    d.start = "9999-12-31 23:59:50,";
    d.interval = "2147483647interval,";
    d.values = {1, 2, 3, 0, 0, 0};
    RxRig rig;
    rig.feed(d.bytes());
    // 2147483647 s is 24855 days, 3 h, 14 min and 7 s.
    EXPECT_EQ(rig.sink.rows,
              (std::vector<Row>{rec("23:59:50.50", "1", "DCV"), rec("03:13:57.57", "2", "DCV"),
                                rec("06:28:04.4", "3", "DCV")}));
    EXPECT_FALSE(rig.v.last_rx_time.isValid());

    Dump back;
    back.number = "2number,";
    back.start = "0001-01-01 00:00:01,";
    back.interval = "-2147483648interval,";
    back.values = {1, 2, 0, 0, 0, 0};
    RxRig rig2;
    rig2.feed(back.bytes());
    ASSERT_EQ(rig2.sink.rows.size(), 2u);
    EXPECT_EQ(rig2.sink.rows[0][0], QStringLiteral("00:0:01.1"));
    EXPECT_EQ(rig2.sink.rows[1][0], QStringLiteral("20:45:53.53"));
}

TEST(Recall, ALaterDumpReusesTheStore) {
    Dump first;
    first.number = "3number,";
    first.sfunction = "ACVSfunction:";
    first.values = {1, 2, 3, 4, 5, 6};
    Dump second;
    second.number = "1number,";
    second.values = {9, 0, 0, 0, 0, 0};
    RxRig rig;
    rig.feed(first.bytes());
    rig.feed(second.bytes());
    ASSERT_EQ(rig.sink.rows.size(), 4u);
    EXPECT_EQ(rig.sink.rows[3], rec("14:30:00.0", "9", "DCV")); // no sub value left over
    EXPECT_EQ(rig.v.recall_records.size(), 1u);                 // the second dump's records only
}

TEST(Recall, DumpThatSendsTooFewValuesTakesLaterBytesAsValues) {
    Dump d;
    d.number = "7number,";
    d.values = {1, 2, 3, 4, 5, 6};
    RxRig rig;
    rig.feed(d.bytes());
    EXPECT_TRUE(rig.sink.rows.empty());
    EXPECT_EQ(rig.v.recall_state, QStringLiteral("Record"));
    rig.pass("OK\r\n"); // taken as the seventh value, not framed
    ASSERT_EQ(rig.sink.rows.size(), 7u);
    EXPECT_EQ(rig.sink.rows[6], rec("14:30:30.30", "0", "DCV"));
    EXPECT_TRUE(rig.sink.shown.endsWith(QStringLiteral("RECALL INTERNAL MEMORY...")));
    EXPECT_TRUE(rig.v.recall_state.isEmpty());
}

// A dump whose bytes stop coming (cable pulled, instrument reset) ends when the read-back is
// ended: the records that arrived go out as a complete dump's would, a reply line says how
// many of how many arrived, and what follows is framed as replies and readings again.
TEST(Recall, EndingAStalledDumpShowsWhatArrivedAndReceptionGoesOn) {
    struct Case {
        const char* name;
        QByteArray sfunction;
        std::vector<float> values;
        std::vector<Row> rows;
        const char* line;
    };
    const Case cases[] = {
        {"3 of 8 without sub values",
         "NULLSfunction:",
         {1.5f, 2.5f, 3.5f},
         {rec("14:30:00.0", "1.5", "DCV"), rec("14:30:05.5", "2.5", "DCV"),
          rec("14:30:10.10", "3.5", "DCV")},
         "RECALL ENDED: 3 of 8 records"},
        {"a pair cut after its main value",
         "ACVSfunction:",
         {1, 2, 3},
         {rec("14:30:00.0", "1", "DCV", "2", "ACV")},
         "RECALL ENDED: 1 of 8 records"},
        {"no value at all", "NULLSfunction:", {}, {}, "RECALL ENDED: 0 of 8 records"},
    };
    for (const Case& c : cases)
        for (int size : kBlockSizes) {
            SCOPED_TRACE(::testing::Message() << c.name << ", blocks of " << size);
            Dump d;
            d.sfunction = c.sfunction;
            d.values = c.values;
            RxRig rig;
            rig.reading().feed(d.bytes() + "\x01\x02", size); // and half a value
            EXPECT_TRUE(rig.sink.rows.empty());
            recall_end(rig.v, rig.sink);
            EXPECT_EQ(rig.sink.rows, c.rows);
            EXPECT_EQ(rig.sink.shown.last(), QString::fromLatin1(c.line));
            EXPECT_TRUE(rig.v.recall_state.isEmpty());
            EXPECT_EQ(rig.v.rx_len, 0);
            rig.sink.rows.clear();
            rig.v.last_rx_time = QDateTime(QDate(2024, 3, 1), QTime(9, 5, 7)); // as each block is
            rig.feed("OK\r\n7.5 DCV\r\n", size);
            EXPECT_EQ(rig.sink.rows, std::vector<Row>{rec("09:5:07.7", "7.5", "DCV")});
            EXPECT_TRUE(rig.sink.shown.contains(QStringLiteral("OK")));
        }
}

TEST(Recall, StalledAfterThreeSilentSecondsWhileAReadBackWaits) {
    RxRig rig;
    rig.v.last_rx_tick = 10'000;
    EXPECT_FALSE(recall_stalled(rig.v, 20'000)); // nothing in progress
    Dump d;
    rig.feed(d.bytes().left(40)); // still in the header fields
    EXPECT_FALSE(recall_stalled(rig.v, 10'000 + kRecallStallMs - 1));
    EXPECT_TRUE(recall_stalled(rig.v, 10'000 + kRecallStallMs));
    recall_end(rig.v, rig.sink);
    EXPECT_EQ(rig.sink.shown.last(), QStringLiteral("RECALL ENDED: 0 of 0 records"));
    EXPECT_FALSE(recall_stalled(rig.v, 10'000 + kRecallStallMs));
    recall_end(rig.v, rig.sink); // nothing in progress: nothing happens
    EXPECT_EQ(rig.sink.shown.size(), 2);
}

// Two dumps back to back in one block: the second starts where the first ends.
TEST(Recall, ADumpRightAfterADump) {
    Dump first;
    first.number = "2number,";
    first.values = {1, 2};
    Dump second;
    second.number = "1number,";
    second.mfunction = "ACVMfunction,";
    second.values = {3};
    for (int size : kBlockSizes) {
        RxRig rig;
        rig.reading().feed(first.bytes() + second.bytes() + "4 DCV\r\n", size);
        EXPECT_EQ(rig.sink.rows,
                  (std::vector<Row>{rec("14:30:00.0", "1", "DCV"), rec("14:30:05.5", "2", "DCV"),
                                    rec("14:30:00.0", "3", "ACV"), rec("14:30:05.5", "4", "DCV")}))
            << "blocks of " << size;
    }
}

// A corrupt count announces two billion records: the store grows with the values that arrive.
TEST(Recall, StoreGrowsWithTheBytesNotTheAnnouncedCount) {
    Dump d;
    d.number = "2000000000number,";
    d.values = {1, 2, 3};
    RxRig rig;
    rig.feed(d.bytes());
    EXPECT_EQ(rig.v.recall_records.size(), 3u);
    EXPECT_LT(rig.v.recall_records.memory_bytes(), std::size_t(8) << 20);
    recall_end(rig.v, rig.sink);
    EXPECT_EQ(rig.sink.rows.size(), 3u);
    EXPECT_EQ(rig.sink.shown.last(), QStringLiteral("RECALL ENDED: 3 of 2000000000 records"));
}

// Values that are not finite go through as texts the loader reads back, with their numbers.
TEST(Recall, InfiniteAndNotANumberValues) {
    Dump d;
    d.number = "3number,";
    d.values = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                std::numeric_limits<float>::quiet_NaN()};
    RxRig rig;
    rig.feed(d.bytes());
    ASSERT_EQ(rig.sink.rows.size(), 3u);
    EXPECT_EQ(rig.sink.rows[0][1], QStringLiteral("INF"));
    EXPECT_EQ(rig.sink.rows[1][1], QStringLiteral("-INF"));
    EXPECT_EQ(rig.sink.rows[2][1], QStringLiteral("0"));
    EXPECT_EQ(rig.sink.numbers[0].main, std::numeric_limits<double>::infinity());
    EXPECT_EQ(rig.sink.numbers[1].main, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(rig.sink.numbers[2].main, 0.0);
}

} // namespace

namespace {

TEST(DumpFields, Dates) {
    struct DateCase {
        const char* text;
        QDateTime value; // invalid: does not convert
    };
    const DateCase dates[] = {
        {"2012-05-06 14:30:00", QDateTime(QDate(2012, 5, 6), QTime(14, 30))},
        {"2012/05/06T14.30.59", QDateTime(QDate(2012, 5, 6), QTime(14, 30, 59))},
        {"2012-02-30 14:30:00", {}},
        {"2012-05-06 14:60:00", {}},
        {"0000-05-06 14:30:00", {}},
        {"2012-05-06 14:30:0", {}},
        {"2012-05-06 14:30:000", {}},
        {"2012-5-06 14:30:00", {}},
    };
    for (const DateCase& c : dates) {
        QDateTime v;
        EXPECT_EQ(read_dump_date_time(QString::fromLatin1(c.text), v), c.value.isValid()) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

} // namespace
