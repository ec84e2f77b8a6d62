// What the program saves, it loads back: tables built the way the program builds them (live
// readings through the interpreter, read-backs of dumps, loads), saved and loaded again, give
// the same rows, the same identification and the same chart, in every language and with
// either decimal separator.
#include "app/app_load.h"
#include "files/text_data_file.h"
#include "i18n/lan_tables.h"
#include "presentation/measurement_table.h"
#include "presentation/trend_chart.h"
#include "protocol/interpret_rx.h"
#include "protocol/recall_step.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A table and its chart fed as the main window feeds them.
struct Window : RxSink {
    ALL_V& v;
    MeasurementTable table;
    TrendChart chart{table, v};
    explicit Window(ALL_V& state) : v(state) { app_load(v, {}, table, QLocale::c()); }
    void show_replies(const QStringList&) override {}
    void add_reading(const RecordView& r) override {
        table.grid_add_row(r);
        chart.chart_add_last(r);
    }
    void log_traffic(const QString&) override {}
};

void receive(ALL_V& v, RxSink& sink, const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size(); at += 4000) {
        const QByteArray block = bytes.mid(at, 4000);
        if (v.rx_pos + v.rx_len + block.size() > kRxBufSize) {
            std::memmove(v.rx_buf.data(), v.rx_buf.data() + v.rx_pos, std::size_t(v.rx_len));
            v.rx_pos = 0;
        }
        std::memcpy(v.rx_buf.data() + v.rx_pos + v.rx_len, block.constData(),
                    std::size_t(block.size()));
        v.rx_len += int(block.size());
        v.last_rx_time = QDateTime(QDate(2024, 3, 1), QTime(23, 59, 58)).addSecs(at / 4000);
        interpret_rx(v, sink);
    }
}

QByteArray dump(const std::vector<float>& values, const char* mfunction, const char* sfunction) {
    QByteArray b =
        QByteArray(kRecallHeader) + " 1bank," +
        QByteArray::number(qsizetype(values.size()) / (std::strcmp(sfunction, "NULL") ? 2 : 1)) +
        "number,2012-05-06 23:59:50,7interval," + mfunction + "Mfunction," + sfunction +
        "Sfunction:";
    for (float f : values) {
        char bytes[4];
        qToLittleEndian(f, bytes);
        b.append(bytes, 4);
    }
    return b;
}

// Readings and dumps with the values at the edges: the double range, infinities, not a number,
// the longest function texts a reading can carry, many digits.
QByteArray session(QRandomGenerator& rng) {
    QByteArray s = "OK\r\n";
    const char* long_function = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"; // cut to 20 by the interpreter
    for (const char* line : {"-1.23456E-05 DCA", "+1.2000E+10 DCV", "-9.9E+37 OHM",
                             "+3.14159265E+00 TCK", "1.7976931348623157E+308 V", "4.9E-324 V",
                             "-2.2250738585072014E-308 V", "0.000123456789012345678 V"}) {
        s += QByteArray(line) + "\r\n";
    }
    s += QByteArray("M1.5 ") + long_function + "\r\nS-2.5E-3 " + long_function + "\r\n";
    s += dump({std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
               std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::max(),
               -std::numeric_limits<float>::denorm_min(), 1.2345f},
              "DCV", "NULL");
    std::vector<float> pairs;
    for (int i = 0; i < 40; ++i)
        pairs.push_back(std::ldexp(float(rng.generateDouble()) - 0.5f, rng.bounded(-140, 128)));
    pairs.push_back(std::numeric_limits<float>::infinity());
    pairs.push_back(1.0f);
    s += dump(pairs, "TCKTCKTCK", "ACV");
    // The last run: random readings with a sub value, main and sub function both new.
    for (int i = 0; i < 50; ++i) {
        const double x = std::ldexp(rng.generateDouble() - 0.5, rng.bounded(-1000, 1000));
        s += "M" + QByteArray::number(x, 'E', rng.bounded(0, 17)) + " " + long_function + "\r\n";
        s += "S" + QByteArray::number(rng.generateDouble() * 1e6, 'f', rng.bounded(0, 9)) +
             " HZ\r\n";
    }
    return s;
}

std::vector<std::array<QString, 8>> rows(const MeasurementTable& t) {
    std::vector<std::array<QString, 8>> out;
    for (int r = 1; r < t.row_count(); ++r) {
        std::array<QString, 8> row;
        for (int c = 0; c < 8; ++c)
            row[std::size_t(c)] = t.cell(r, c);
        out.push_back(row);
    }
    return out;
}

void expect_same_chart(const TrendChart& a, const TrendChart& b) {
    for (int line : {TrendChart::kMain, TrendChart::kSub}) {
        ASSERT_EQ(a.point_count(line), b.point_count(line)) << "line " << line;
        for (std::size_t i = 0; i < a.point_count(line); ++i) {
            ASSERT_EQ(a.y(line, i), b.y(line, i)) << "line " << line << " point " << i;
            ASSERT_EQ(a.label(line, i), b.label(line, i)) << "line " << line << " point " << i;
        }
    }
    EXPECT_EQ(a.title_01(), b.title_01());
    EXPECT_EQ(a.series2_active(), b.series2_active());
    if (a.series2_active()) {
        EXPECT_EQ(a.title_02(), b.title_02());
    }
}

TEST(RoundTrip, SavedTablesLoadBackWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ALL_V names;
    lan_build(names);
    QRandomGenerator rng(20261210);
    for (QChar sep : {QLatin1Char('.'), QLatin1Char(',')})
        for (int language = 1; language <= 7; ++language) {
            SCOPED_TRACE(::testing::Message()
                         << "language " << language << ", separator " << char(sep.unicode()));
            ALL_V v;
            Window live(v);
            v.dec_sep = sep;
            v.goon_active = true;
            receive(v, live, session(rng));
            ASSERT_EQ(live.table.row_count(), 1 + 8 + 1 + 6 + 21 + 50);

            IdentTexts labels;
            for (int k = 0; k < 4; ++k)
                labels[std::size_t(k)] =
                    names.lan_text.at(std::size_t(10000 + 1000 * language + 116 + k));
            const IdentTexts fields = {"ACME, Instruments " + QString(120, 'x'), "X1 ±",
                                       QString::fromUtf8("序列 42: 7"), "fw 1.0"};
            const QString first = dir.filePath(QStringLiteral("first.txt"));
            ASSERT_TRUE(save_text_file(first, labels, fields, live.table));

            // Loaded into a fresh window: the same rows, identification and chart.
            ALL_V v2;
            Window loaded(v2);
            v2.dec_sep = sep;
            IdentTexts shown;
            LoadTarget target{sep, v2.file_records, loaded.table,
                              [&shown](const IdentTexts& t) { shown = t; },
                              [&] { return loaded.chart.chart_add_loaded(v2.file_records); }};
            ASSERT_TRUE(load_text_file(first, target));
            EXPECT_EQ(shown, fields);
            EXPECT_EQ(rows(loaded.table), rows(live.table));
            expect_same_chart(loaded.chart, live.chart);

            // A loaded table saves to the same bytes.
            const QString second = dir.filePath(QStringLiteral("second.txt"));
            ASSERT_TRUE(save_text_file(second, labels, shown, loaded.table));
            QFile a(first), b(second);
            ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            EXPECT_TRUE(a.readAll() == b.readAll());
        }
}

} // namespace
