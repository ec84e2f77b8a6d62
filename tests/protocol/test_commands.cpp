#include "protocol/commands.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(Commands, EveryButtonSendsItsOwnCommand) {
    const std::pair<const char*, const char*> expected[] = {
        {"btn_DCV", "CONF:VOLT"},    {"btn_ACV", "CONF:VOLT:AC"}, {"btn_DCA", "CONF:CURR"},
        {"btn_ACA", "CONF:CURR:AC"}, {"btn_DCmA", "CONF:MCUR"},   {"btn_ACmA", "CONF:MCUR:AC"},
        {"btn_RES", "CONF:RES"},     {"btn_FRE", "CONF:FREQ"},    {"btn_TCK", "CONF:TCK"},
        {"btn_TCJ", "CONF:TCJ"},     {"btn_PT100", "CONF:PT1H"},  {"btn_PT1000", "CONF:PT1K"},
        {"btn_time", "TIME?"},       {"btn_Check", "*IDN?"},
    };
    for (const auto& [control, text] : expected)
        EXPECT_EQ(fixed_command(QString::fromLatin1(control)), QLatin1String(text)) << control;
    EXPECT_EQ(std::size(kFixedCommands), std::size(expected));
    EXPECT_TRUE(fixed_command(u"btn_Send").isEmpty());
    EXPECT_STREQ(kReadGoonCommand, "READ:GOON");
}

TEST(Commands, FieldsFormTheirCommandsAsTyped) {
    EXPECT_EQ(read_command(""), "READ?");
    EXPECT_EQ(read_command("GOON"), "READ:GOON");
    EXPECT_EQ(read_command(" 5 "), "READ: 5 "); // not trimmed
    EXPECT_EQ(output_command(""), "OUT?");
    EXPECT_EQ(output_command("1"), "OUT:1");
}

TEST(Commands, SetTimeUsesTheLocalClockInMinutes) {
    EXPECT_EQ(set_time_command(QDateTime(QDate(2012, 5, 6), QTime(9, 7, 59))),
              "TIME:SET 2012-05-06-09-07");
    EXPECT_EQ(set_time_command(QDateTime(QDate(2012, 5, 6), QTime(14, 30))),
              "TIME:SET 2012-05-06-14-30");
    EXPECT_EQ(set_time_command(QDateTime(QDate(987, 12, 31), QTime(23, 0))),
              "TIME:SET 0987-12-31-23-00");
}

TEST(Commands, RecordingTargetChoosesThePrefix) {
    struct Case {
        int item;
        const char* number;
        const char* interval;
        const char* text; // null: nothing is sent
    };
    const Case cases[] = {
        {0, "100", "5", "MEM:INTE 100,5"}, {1, "50", "10", "MMEM:SD 50,10"},
        {2, "1", "1", "MMEM:USB 1,1"},     {0, "", "5", "MEM:INTE ,5"},
        {-1, "1", "1", nullptr},           {3, "1", "1", nullptr},
    };
    for (const Case& c : cases) {
        const auto cmd = log_command(c.item, c.number, c.interval);
        ASSERT_EQ(cmd.has_value(), c.text != nullptr) << c.item;
        if (c.text) {
            EXPECT_EQ(*cmd, QLatin1String(c.text));
        }
    }
}

TEST(Commands, CommandLineIsSentAsTypedWhenItFits) {
    EXPECT_EQ(line_command("TIME?"), QStringLiteral("TIME?"));
    EXPECT_EQ(line_command(" x "), QStringLiteral(" x "));
    EXPECT_FALSE(line_command("").has_value());
    const QString longest(kMaxCommandChars, QLatin1Char('A'));
    EXPECT_EQ(line_command(longest), longest);
    EXPECT_FALSE(line_command(longest + QLatin1Char('A')).has_value());
    EXPECT_TRUE(command_fits(longest));
    EXPECT_FALSE(command_fits(read_command(longest)));
}

TEST(Commands, IdentificationReplyFillsFourFields) {
    using F = std::array<QString, 4>;
    struct Case {
        const char* reply;
        F fields;
    };
    const Case cases[] = {
        {"MAKER , DL1 ,123, V1.0", {"MAKER", "DL1", "123", "V1.0"}},
        {"MAKER,DL1", {"MAKER", "DL1", "", ""}},
        {"A,B,C,D,E", {"A", "B", "C", "D"}},
        {"", {"", "", "", ""}},
        {",,,x", {"", "", "", "x"}},
        {"\x01 A\x7F,B", {"A", "B", "", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse_identification(QString::fromLatin1(c.reply)), c.fields) << c.reply;

    // Each step keeps at most 300 characters of the rest of the reply.
    const QString model(310, QLatin1Char('m'));
    const F cut = parse_identification(QStringLiteral("MAKER,") + model + QStringLiteral(",SN"));
    EXPECT_EQ(cut[0], QStringLiteral("MAKER"));
    EXPECT_TRUE(cut[1].isEmpty()); // its comma fell beyond the 300 characters
}

} // namespace
