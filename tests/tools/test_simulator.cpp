#include "instrument.h"

#include <QList>

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Recorder {
    QByteArray all;
    sim::Instrument make(sim::Settings s = {}) {
        return sim::Instrument(s, [this](const QByteArray& b) { all += b; });
    }
    QByteArray take() { return std::exchange(all, QByteArray()); }
};

TEST(Simulator, AnswersQueriesAndKeepsSettings) {
    Recorder r;
    sim::Instrument inst = r.make();
    inst.command("*IDN?");
    EXPECT_EQ(r.take().count(','), 3); // four fields
    inst.command("OUT:1.5");
    inst.command("OUT?");
    EXPECT_EQ(r.take(), QByteArray("1.5\r\n"));
    inst.command("TIME:SET 2012-05-06-09-07");
    inst.command("TIME?");
    EXPECT_TRUE(r.take().startsWith("2012-05-06 09:07:"));
    inst.command("CONF:FREQ");
    inst.command("READ?");
    const QByteArray plain = r.take();
    EXPECT_TRUE(plain.endsWith(" FREQ\r\n")) << plain.constData();
    EXPECT_TRUE(plain.startsWith('+') || plain.startsWith('-')) << plain.constData();
    inst.command("CONF:VOLT");
    inst.command("READ?");
    const QList<QByteArray> pair = r.take().split('\n');
    ASSERT_EQ(pair.size(), 3);
    EXPECT_TRUE(pair[0].startsWith('M') && pair[0].endsWith(" DCV\r"));
    EXPECT_TRUE(pair[1].startsWith('S') && pair[1].endsWith(" ACV\r"));
    inst.command("NONSENSE");
    EXPECT_TRUE(r.take().isEmpty());
}

TEST(Simulator, ContinuousReadingStopsAtCountAndOnReadArgument) {
    Recorder r;
    sim::Settings s;
    s.sequence = true;
    s.count = 7;
    sim::Instrument inst = r.make(s);
    inst.rate_hz = 1000;
    inst.command("CONF:RES");
    inst.command("READ:GOON");
    inst.tick(100); // 100 due, but only 7 are allowed
    const QList<QByteArray> lines = r.take().split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines[0].startsWith("+1.000000000E+00 RES"));
    EXPECT_TRUE(lines[6].startsWith("+7.000000000E+00 RES"));
    EXPECT_FALSE(inst.streaming());

    sim::Instrument other = r.make();
    other.command("READ:GOON");
    other.tick(0);
    EXPECT_FALSE(r.take().isEmpty());
    other.command("READ:STOP");
    other.tick(5000);
    EXPECT_TRUE(r.take().isEmpty());
}

float value_at(const QByteArray& dump, qsizetype offset) {
    float v;
    std::memcpy(&v, dump.constData() + offset, 4);
    return v;
}

TEST(Simulator, DumpCarriesTheRecordingInTheDumpLayout) {
    struct Case {
        const char* conf;
        int skew;
        const char* fields;
        int values_per_record;
    };
    const Case cases[] = {
        {"CONF:RES", 0, "1 bank,3 number,", 1},
        {"CONF:VOLT", 0, "1 bank,3 number,", 2},
        {"CONF:RES", 2, "1 bank,5 number,", 1},
        {"CONF:RES", -1, "1 bank,2 number,", 1},
    };
    for (const Case& c : cases) {
        Recorder r;
        sim::Settings s;
        s.sequence = true;
        s.time_scale = 1000;
        s.dump_skew = c.skew;
        sim::Instrument inst = r.make(s);
        inst.command(c.conf);
        inst.command("MEM:INTE 3,2");
        inst.tick(10000); // 10 s at 1000 x: all three taken
        inst.command("SIM:DUMP");
        const QByteArray dump = r.take();
        const QByteArray head = "RECALL INTERNAL MEMORY:" + QByteArray(c.fields);
        ASSERT_TRUE(dump.startsWith(head)) << dump.left(60).constData();
        const qsizetype colon = dump.indexOf("Sfunction:");
        ASSERT_GT(colon, 0);
        const QByteArray text = dump.left(colon);
        EXPECT_TRUE(text.contains(",2 interval,")) << text.constData();
        EXPECT_EQ(text.mid(head.size() + 19, 1), QByteArray(",")) << "start is 19 characters";
        EXPECT_TRUE(
            text.endsWith(c.values_per_record == 2 ? "DCV Mfunction,ACV " : "RES Mfunction,NULL "));
        const qsizetype values = colon + 10;
        ASSERT_EQ(dump.size(), values + 3 * 4 * c.values_per_record + 2);
        EXPECT_EQ(value_at(dump, values), 1.0f);
        EXPECT_EQ(value_at(dump, values + 4 * c.values_per_record), 2.0f);
        EXPECT_TRUE(dump.endsWith("\r\n"));
    }
}

} // namespace
