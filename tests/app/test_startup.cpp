#include "app/app_load.h"
#include "presentation/measurement_table.h"

#include <gtest/gtest.h>

namespace {

TEST(AppLoad, PortListIsTheDevicesThenNetwork) {
    struct Case {
        QStringList devices;
        QStringList items;
    };
    const Case cases[] = {
        {{}, {"Network"}},
        {{"/dev/ttyS0", "/dev/ttyUSB0"}, {"/dev/ttyS0", "/dev/ttyUSB0", "Network"}},
    };
    for (const Case& c : cases) {
        ALL_V v;
        MeasurementTable table;
        EXPECT_EQ(app_load(v, c.devices, table), c.items);
    }
}

TEST(AppLoad, PortNumbersFollowListOrderAndStopAt99) {
    ALL_V v;
    MeasurementTable table;
    QStringList devices;
    for (int i = 0; i < 120; ++i)
        devices << QStringLiteral("/dev/ttyX%1").arg(i, 3, 10, QChar('0'));
    const QStringList items = app_load(v, devices, table);
    ASSERT_EQ(items.size(), 100);
    EXPECT_EQ(items.last(), QStringLiteral("Network"));
    EXPECT_EQ(v.port_table[1], QStringLiteral("/dev/ttyX000"));
    EXPECT_EQ(v.port_table[99], QStringLiteral("/dev/ttyX098"));
    EXPECT_EQ(port_number_of(v, QStringLiteral("/dev/ttyX004")), 5);
    EXPECT_EQ(port_number_of(v, QStringLiteral("Network")), 0);
    EXPECT_EQ(port_number_of(v, QString()), 0);
}

TEST(AppLoad, SetsDefaultsAndClearsOpenPorts) {
    ALL_V v;
    v.debug_on = true;
    v.goon_active = true;
    v.com_state[3].is_open = true;
    v.reply_lines << "stale";
    MeasurementTable table;
    app_load(v, {}, table, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(v.debug_on);
    EXPECT_FALSE(v.goon_active);
    EXPECT_FALSE(v.com_state[3].is_open);
    EXPECT_TRUE(v.reply_lines.isEmpty());
    EXPECT_EQ(v.samp_ratio, 5);
    EXPECT_EQ(v.dec_sep, QStringLiteral("."));
}

TEST(AppLoad, TableGetsHeaderWidthsAndOneEmptyRow) {
    ALL_V v;
    MeasurementTable table;
    app_load(v, {}, table);
    const char* headers[] = {"Index",      "Time",         "Main_Number", "Main_Function",
                             "Sub_Number", "Sub_Function", "T_Number",    "T_Function"};
    const int widths[] = {60, 120, 80, 80, 80, 80, 80, 80};
    EXPECT_EQ(table.row_count(), 2);
    EXPECT_FALSE(table.row_filled(1));
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(table.cell(0, c), QString::fromLatin1(headers[c]));
        EXPECT_EQ(table.column_width(c), widths[c]);
        EXPECT_EQ(table.cell(1, c), QString());
    }
}

TEST(AppLoad, DecimalSeparatorFollowsTheLocale) {
    struct Case {
        QLocale locale;
        const char* sep;
    };
    const Case cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "."},
        {QLocale(QLocale::German, QLocale::Germany), ","},
        {QLocale(QLocale::French, QLocale::France), ","},
        {QLocale::c(), "."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(probe_dec_sep(c.locale), QString::fromLatin1(c.sep))
            << c.locale.name().toStdString();
}

} // namespace
