#include "protocol/split_reading.h"
#include "rx_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr char kTime[] = "09:5:07.7"; // the rig's last_rx_time, 09:05:07

Row row(const char* main_no, const char* main_range, const char* sub_no = "",
        const char* sub_range = "", const char* t_no = "", const char* t_range = "") {
    return {kTime, main_no, main_range, sub_no, sub_range, t_no, t_range};
}

// The same rows with "," as the decimal separator.
Row with_comma(Row r) {
    for (int c : {1, 3, 5})
        r[c].replace(QLatin1Char('.'), QLatin1Char(','));
    return r;
}

struct ReadingCase {
    const char* name;
    QByteArray in;
    std::vector<Row> rows;
};

const std::vector<ReadingCase>& reading_cases() {
    static const std::vector<ReadingCase> cases = {
        {"M and S make one record",
         "M+1.2345E+00 DCV\r\nS+5.0E-03 ACV\r\n",
         {row("1.2345", "DCV", "0.005", "ACV")}},
        {"plain line", "-12.5 DCA\r\n", {row("-12.5", "DCA")}},
        {"values whole, however long their text",
         "M0.000012345678 DCV\r\nS1 HZ\r\n"
         "-1.23456E-05 DCA\r\n+1.2000E+10 DCV\r\n-9.9E+37 OHM\r\n+3.14159265E+00 TCK\r\n",
         {row("1.2345678E-5", "DCV", "1", "HZ"), row("-1.23456E-5", "DCA"),
          row("12000000000", "DCV"), row("-9.9E37", "OHM"), row("3.14159265", "TCK")}},
        {"values at the edges of the double range",
         "1.7976931348623157E+308 V\r\n-2.2250738585072014E-308 V\r\n4.9E-324 V\r\n"
         "M-0.000123456789012345678 V\r\nS999999999999999 V\r\n",
         {row("1.79769313486231E308", "V"), row("-2.2250738585072E-308", "V"),
          row("4.94065645841247E-324", "V"),
          row("-0.000123456789012346", "V", "999999999999999", "V")}},
        {"value without a blank is skipped", "M5\r\nS1 HZ\r\n7 DCV\r\n", {row("7", "DCV")}},
        {"S without a pending M is skipped", "S2 ACV\r\n3 DCV\r\n", {row("3", "DCV")}},
        {"R lines are never readings", "R1 DCV\r\n", {}},
        {"a plain line beginning with a blank never converts", " 1 DCV\r\n", {}},
        {"non-numeric values are skipped", "Mabc DCV\r\nS1 X\r\nxyz\r\n1.5E DCV\r\n", {}},
        {"function cut to 20 characters",
         "1 ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n",
         {row("1", "ABCDEFGHIJKLMNOPQRST")}},
        {"a second M replaces an unfinished one",
         "M1 A\r\nM2 B\r\nS3 C\r\n",
         {row("2", "B", "3", "C")}},
        {"readings around replies",
         "OK\r\nM1 A\r\nS2 B\r\nREADY\r\n4 C\r\n",
         {row("1", "A", "2", "B"), row("4", "C")}},
        {"exponents scale the value",
         "1.5E3 V\r\n2E-6 V\r\n-3.25e1 V\r\n",
         {row("1500", "V"), row("2E-6", "V"), row("-32.5", "V")}},
        {"a value too large for a double is skipped", "1E400 V\r\n2 V\r\n", {row("2", "V")}},
    };
    return cases;
}

TEST(Readings, RowsWhateverTheBlocksAndTheSeparator) {
    for (QChar sep : {QLatin1Char('.'), QLatin1Char(',')})
        for (const ReadingCase& c : reading_cases())
            for (int size : kBlockSizes) {
                RxRig rig(sep);
                rig.reading().feed(c.in, size);
                std::vector<Row> expected = c.rows;
                if (sep == QLatin1Char(','))
                    for (Row& r : expected)
                        r = with_comma(r);
                EXPECT_EQ(rig.sink.rows, expected)
                    << c.name << ", blocks of " << size << ", separator " << char(sep.unicode());
            }
}

// Each value reaches the table and the chart as its text and the number that text reads as,
// so the two can never disagree.
TEST(Readings, NumbersTravelWithTheirTexts) {
    for (QChar sep : {QLatin1Char('.'), QLatin1Char(',')})
        for (const ReadingCase& c : reading_cases()) {
            RxRig rig(sep);
            rig.reading().feed(c.in);
            ASSERT_EQ(rig.sink.numbers.size(), rig.sink.rows.size());
            for (std::size_t i = 0; i < rig.sink.rows.size(); ++i) {
                const Row& r = rig.sink.rows[i];
                double main = 0, sub = 0;
                ASSERT_TRUE(text_to_number(r[1], sep, main)) << c.name;
                EXPECT_EQ(rig.sink.numbers[i].main, main) << c.name << ": " << r[1].toStdString();
                if (r[3].isEmpty()) {
                    EXPECT_TRUE(std::isnan(rig.sink.numbers[i].sub)) << c.name;
                } else {
                    ASSERT_TRUE(text_to_number(r[3], sep, sub)) << c.name;
                    EXPECT_EQ(rig.sink.numbers[i].sub, sub) << c.name;
                }
            }
        }
}

TEST(Readings, ThirdValueJoinsTheLastRecordOfThePass) {
    RxRig rig;
    rig.reading().pass("M1 DCV\r\nS2 ACV\r\nT3 OHM\r\n");
    // A T line first in its pass has no record to join, and a plain record never shows the
    // third value of an earlier one that used the same slot.
    rig.pass("T9 OHM\r\n5 DCA\r\n");
    EXPECT_EQ(rig.sink.rows,
              (std::vector<Row>{row("1", "DCV", "2", "ACV", "3", "OHM"), row("5", "DCA")}));
}

TEST(Readings, MainValueWaitsForItsSubValueInALaterPass) {
    RxRig rig;
    rig.reading().pass("M1.5 DCV\r\n");
    EXPECT_TRUE(rig.sink.rows.empty());
    EXPECT_TRUE(rig.v.reply_lines.isEmpty());
    EXPECT_EQ(rig.v.live_records[0].Sub_range.view(), QByteArrayView("Pending"));
    rig.v.last_rx_time = QDateTime(QDate(2024, 3, 1), QTime(14, 30, 15));
    rig.pass("S2 ACV\r\n");
    EXPECT_EQ(rig.sink.rows, (std::vector<Row>{{"14:30:15.15", "1.5", "DCV", "2", "ACV", "", ""}}));
    EXPECT_EQ(rig.v.live_count, 0);
    EXPECT_EQ(rig.v.start_time, rig.v.last_rx_time);
}

TEST(Readings, MoreReadingsInOnePassThanSlotsAllReachTheTableInOrder) {
    for (const char* kind : {"plain", "pairs", "triples"}) {
        RxRig rig;
        QByteArray block;
        std::vector<Row> expected;
        const int n = 3 * kLiveRecordCount + 7;
        for (int i = 0; i < n; ++i) {
            const QByteArray num = QByteArray::number(i);
            if (kind == QByteArray("plain")) {
                block += num + " V\r\n";
                expected.push_back(row(num.constData(), "V"));
            } else {
                block += "M" + num + " V\r\nS-" + num + " A\r\n";
                if (kind == QByteArray("triples"))
                    block += "T" + num + "0 C\r\n";
                const QByteArray sub = i == 0 ? "0" : "-" + num;
                const QByteArray third = i == 0 ? "0" : num + "0";
                expected.push_back(row(num.constData(), "V", sub.constData(), "A",
                                       kind == QByteArray("triples") ? third.constData() : "",
                                       kind == QByteArray("triples") ? "C" : ""));
            }
        }
        ASSERT_LT(block.size(), kRxBufSize) << kind;
        rig.reading().pass(block);
        EXPECT_EQ(rig.sink.rows, expected) << kind;
        EXPECT_EQ(rig.v.live_count, 0);
    }
}

TEST(SplitReading, NumberAndFunction) {
    struct Case {
        const char* text;
        bool ok;
        const char* value;
        const char* function;
    };
    const Case cases[] = {
        {"+1.2345E+00 DCV", true, "1.2345", "DCV"},
        {"+5.0E-03 ACV", true, "0.005", "ACV"},
        {"1 2 3", true, "1", "2 3"},
        {"1   DCV  ", true, "1", "DCV"},
        {"12", false, "", ""},
        {"1.5E+x V", false, "", ""},
        {"E5 V", false, "", ""},
        {"2E0.5 V", true, "6.32455532033676", "V"}, // the exponent is a number, not a count
        {"0.1 V", true, "0.1", "V"},
        {"1e-3 V", true, "0.001", "V"},
        {"1,5 V", false, "", ""}, // the instrument's separator is "."
    };
    for (const Case& c : cases) {
        QString value = QStringLiteral("old"), function = QStringLiteral("old");
        EXPECT_EQ(split_reading(QString::fromLatin1(c.text), QLatin1Char('.'), value, function),
                  c.ok)
            << c.text;
        EXPECT_EQ(value, c.ok ? QString::fromLatin1(c.value) : QStringLiteral("old")) << c.text;
        EXPECT_EQ(function, c.ok ? QString::fromLatin1(c.function) : QStringLiteral("old"))
            << c.text;
    }
}

} // namespace
