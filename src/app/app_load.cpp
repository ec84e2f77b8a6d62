#include "app/app_load.h"

#include "presentation/measurement_table.h"

namespace {

struct HeaderColumn {
    const char* text;
    int width;
};

constexpr HeaderColumn kHeader[MeasurementTable::kColumns] = {
    {"Index", 60},      {"Time", 120},        {"Main_Number", 80}, {"Main_Function", 80},
    {"Sub_Number", 80}, {"Sub_Function", 80}, {"T_Number", 80},    {"T_Function", 80},
};

} // namespace

QString probe_dec_sep(const QLocale& locale) {
    const QString probe = locale.toString(1.1, 'f', 1);
    return probe.size() >= 2 ? probe.mid(1, 1) : QStringLiteral(",");
}

QStringList app_load(ALL_V& v, const QStringList& serial_devices, MeasurementTable& table,
                     const QLocale& locale) {
    v.debug_on = false;

    for (int p = 1; p < kPortCount; ++p)
        v.com_state[p].is_open = false;

    // Port numbers are given in list order; port 0 stays unused, so at most 99 devices.
    QStringList items;
    v.port_table.fill(QString());
    for (const QString& device : serial_devices) {
        if (items.size() + 1 >= kPortCount)
            break;
        items << device;
        v.port_table[items.size()] = device;
    }
    items << QStringLiteral("Network");

    table.set_row_count(2);
    for (int c = 0; c < MeasurementTable::kColumns; ++c) {
        table.set_header(c, QString::fromLatin1(kHeader[c].text));
        table.set_column_width(c, kHeader[c].width);
    }

    v.samp_ratio = 5;
    v.goon_active = false;
    v.reply_lines.clear();
    v.dec_sep = probe_dec_sep(locale);
    return items;
}

int port_number_of(const ALL_V& v, const QString& item) {
    if (item.isEmpty())
        return 0;
    for (int p = 1; p < kPortCount; ++p)
        if (v.port_table[p] == item)
            return p;
    return 0;
}
