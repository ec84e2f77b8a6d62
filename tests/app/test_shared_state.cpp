#include "app/all_v.h"

#include <gtest/gtest.h>

namespace {

TEST(SharedState, TextFieldsCutToTheirWidthWhenStored) {
    struct Case {
        const char* what;
        QString stored;
        QString (*read)(real_Record&, const QString&);
        QString expected;
    };
    const Case cases[] = {
        {"Main_No keeps 10 of 14", "12345678901234",
         [](real_Record& r, const QString& s) { return (r.Main_No = s).str(); }, "1234567890"},
        {"Time keeps exactly 15", "10:05:07.300000",
         [](real_Record& r, const QString& s) { return (r.Time = s).str(); }, "10:05:07.300000"},
        {"Time cuts the 16th", "10:05:07.3000001",
         [](real_Record& r, const QString& s) { return (r.Time = s).str(); }, "10:05:07.300000"},
        {"Main_Range keeps 35 of 40", QString(40, 'F'),
         [](real_Record& r, const QString& s) { return (r.Main_Range = s).str(); },
         QString(35, 'F')},
        {"T_no non-ASCII kept", QString::fromUtf8("±1.5 Ω"),
         [](real_Record& r, const QString& s) { return (r.T_no = s).str(); },
         QString::fromUtf8("±1.5 Ω")},
    };
    for (const Case& c : cases) {
        real_Record r;
        EXPECT_EQ(c.read(r, c.stored), c.expected) << c.what;
    }
}

TEST(SharedState, EmptySubValueMarksARowWithoutOne) {
    real_Record r;
    r.Sub_No = QStringLiteral("1.5");
    EXPECT_FALSE(r.Sub_No.isEmpty());
    r.Sub_No = QString();
    EXPECT_TRUE(r.Sub_No.isEmpty());
    EXPECT_EQ(r.Sub_No.str(), QString());
}

TEST(SharedState, FreshStateHasTheDocumentedShape) {
    ALL_V v;
    EXPECT_EQ(v.port_no, 0);
    for (const com_Status& s : v.com_state)
        EXPECT_FALSE(s.is_open);
    EXPECT_EQ(v.com_state.size(), 100u);
    EXPECT_EQ(v.rx_buf.size(), 19201u);
    EXPECT_EQ(v.udp_buf.size(), 19201u);
    EXPECT_EQ(v.live_records.size(), 101u);
    EXPECT_EQ(v.lan_text.size(), 20001u);
    EXPECT_TRUE(v.wheel_ready);
    EXPECT_FALSE(v.cursor_on);
    EXPECT_TRUE(v.reply_lines.isEmpty());
    EXPECT_TRUE(v.recall_state.isEmpty());
}

TEST(SharedState, TextReadsTheBlockOfTheCurrentLanguage) {
    ALL_V v;
    v.lan_text[11000 + 116] = QStringLiteral("Manufacturers");
    v.lan_text[14000 + 116] = QStringLiteral("Hersteller");
    v.lan_index = 1000;
    EXPECT_EQ(v.text(116), QStringLiteral("Manufacturers"));
    v.lan_index = 4000;
    EXPECT_EQ(v.text(116), QStringLiteral("Hersteller"));
    EXPECT_EQ(v.text(117), QString()); // never filled: reads as empty
}

} // namespace
