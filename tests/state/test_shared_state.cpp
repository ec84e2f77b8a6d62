#include "state/all_v.h"
#include "state/text_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A slot of the live batch holds every value text whole; only the function and time fields
// keep their widths.
TEST(SharedState, SlotFieldsKeepValuesWholeAndCutFunctionsToTheirWidth) {
    const QByteArray longest_value(kValueTextMax, '7');
    real_Record r;
    r.Main_No.assign(longest_value);
    r.Main_Range.assign(QByteArray(40, 'F'));
    r.Time.assign("10:05:07.3000001");
    EXPECT_EQ(r.Main_No.view(), longest_value);
    EXPECT_EQ(r.Main_Range.view(), QByteArray(35, 'F'));
    EXPECT_EQ(r.Time.view(), QByteArrayView("10:05:07.300000"));
    r.Sub_No.assign("1.5");
    EXPECT_FALSE(r.Sub_No.isEmpty());
    r.Sub_No.clear(); // an empty sub value marks a row without one
    EXPECT_TRUE(r.view().Sub_No.isEmpty());
}

// The store of many records gives back every text whole and every number exactly, whatever
// their length, and keeps them while it grows past its chunks.
TEST(SharedState, RecordStoreKeepsTextsWholeAndNumbersExact) {
    RecordStore store;
    const QByteArray long_value = "-1.234567890123456789012345678901234567890E-300";
    const QByteArray non_ascii = QString::fromUtf8("µV€ Ω").toUtf8();
    constexpr std::size_t kRecords = 200'000; // more than one chunk of each kind
    for (std::size_t i = 0; i < kRecords; ++i) {
        RecordView r;
        r.Index = std::int64_t(i) - 5;
        const QByteArray time = QByteArray::number(qulonglong(i));
        r.Time = time;
        r.Main_No = i % 3 ? QByteArrayView(long_value) : QByteArrayView();
        r.Main_Range = non_ascii;
        r.main_value = i % 2 ? -1.5e-300 : std::numeric_limits<double>::infinity();
        r.sub_value = double(i);
        store.push_back(r);
    }
    ASSERT_EQ(store.size(), kRecords);
    for (std::size_t i :
         {std::size_t(0), std::size_t(1), std::size_t(65535), std::size_t(65536), kRecords - 1}) {
        const RecordView r = store[i];
        EXPECT_EQ(r.Index, std::int64_t(i) - 5);
        EXPECT_EQ(r.Time, QByteArray::number(qulonglong(i)));
        EXPECT_EQ(r.Main_No, i % 3 ? QByteArrayView(long_value) : QByteArrayView());
        EXPECT_EQ(r.Main_Range, non_ascii);
        EXPECT_TRUE(r.Sub_No.isEmpty() && r.T_Range.isEmpty());
        EXPECT_EQ(r.main_value, i % 2 ? -1.5e-300 : std::numeric_limits<double>::infinity());
        EXPECT_EQ(r.sub_value, double(i));
    }
    // Growing adds empty records, shrinking drops the last ones, clearing empties the store.
    store.resize(kRecords + 2);
    EXPECT_TRUE(store[kRecords + 1].Time.isEmpty());
    EXPECT_TRUE(std::isnan(store[kRecords + 1].main_value));
    store.resize(3);
    EXPECT_EQ(store.size(), 3u);
    EXPECT_EQ(store[2].Time, QByteArrayView("2"));
    store.clear();
    EXPECT_TRUE(store.empty());
    // A compact record: the fixed part and its texts, a fraction of the 322 bytes that fixed
    // UTF-16 fields took.
    RecordStore typical;
    for (int i = 0; i < 100'000; ++i)
        typical.push_back(
            {i, "14:30:15.15", "-1.23456E-5", "DCA", "", "", "", "", -1.23456e-5, kNoNumber});
    EXPECT_LT(typical.memory_bytes() / 100'000, 96u);
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

TEST(SharedState, SeparatorFallsBackToAPointUntilTheSystemWasAsked) {
    ALL_V v;
    EXPECT_EQ(v.separator(), QChar(u'.'));
    v.dec_sep = QStringLiteral(",");
    EXPECT_EQ(v.separator(), QChar(u','));
}

TEST(TextFields, TrimTakesBlanksAndControlsFromBothEndsOnly) {
    const struct {
        const char16_t* text;
        const char16_t* trimmed;
    } cases[] = {
        {u" \t DCV \r\n", u"DCV"},
        {u"\x7F"
         u"5 V\x7F",
         u"5 V"}, // DEL counts as a control character
        {u"\x01\x1F", u""},
        {u"a b", u"a b"},                     // inside: data
        {u"\u00A0x\u3000", u"\u00A0x\u3000"}, // a Unicode space is data, not padding
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trim_blanks(QStringView(c.text)), QStringView(c.trimmed))
            << QString::fromUtf16(c.text).toStdString();
}

TEST(TextFields, DecimalIntIsASignAndDigitsWithin32Bits) {
    const struct {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"8", true, 8},
        {"0", true, 0},
        {"+12", true, 12},
        {"-5", true, -5},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {" 8", false, 0}, // blanks are the caller's to trim
        {"8 ", false, 0},
        {"1 2", false, 0},
        {"1e3", false, 0},
        {"0x10", false, 0},
        {"1.5", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t v = 77;
        EXPECT_EQ(read_decimal_int(QString::fromLatin1(c.text), v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : 77) << c.text; // left alone on failure
    }
}

} // namespace
