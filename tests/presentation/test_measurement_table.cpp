#include "app/app_load.h"
#include "presentation/measurement_table.h"
#include "state/all_v.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList row_cells(const MeasurementTable& t, int row) {
    QStringList cells;
    for (int c = 0; c < MeasurementTable::kColumns; ++c)
        cells << t.cell(row, c);
    return cells;
}

// A table as start-up leaves it, watched by Qt's model tester so that every change is also
// checked against the item-model contract the view relies on.
class Table : public ::testing::Test {
protected:
    Table() { app_load(v, {}, table); }
    void add(const QString& time, const QString& main, const QString& func = "DCV",
             const QString& sub = {}, const QString& sfunc = {}) {
        table.grid_add_row(time, main, func, sub, sfunc, {}, {});
    }
    ALL_V v;
    MeasurementTable table;
    QAbstractItemModelTester tester{&table, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(Table, FirstReadingFillsRowOneWithoutGrowing) {
    table.grid_add_row("10:5:07.3", "1.2345", "DCV", {}, {}, {}, {});
    EXPECT_EQ(table.row_count(), 2);
    EXPECT_EQ(row_cells(table, 1),
              QStringList({"1", "10:5:07.3", "1.2345", "DCV", "", "", "", ""}));
    EXPECT_EQ(table.current_row(), 1);

    table.grid_add_row("10:5:07.4", "1.2346", "DCV", "50.01", "Hz", "7", "T");
    EXPECT_EQ(table.row_count(), 3);
    EXPECT_EQ(row_cells(table, 2),
              QStringList({"2", "10:5:07.4", "1.2346", "DCV", "50.01", "Hz", "7", "T"}));
    EXPECT_EQ(table.current_row(), 2);
}

TEST_F(Table, RowsAfterALoadAreNumberedByPosition) {
    table.set_row_count(11);
    for (int r = 1; r <= 10; ++r)
        table.set_row(r, 100 + r, {"1:0:00.0", QString::number(r), "DCV", "", "", "", ""});
    EXPECT_EQ(table.cell(1, 0), QStringLiteral("101"));
    EXPECT_EQ(table.cell(10, 0), QStringLiteral("110"));

    add("2:0:00.0", "9.5");
    EXPECT_EQ(table.row_count(), 12);
    EXPECT_EQ(row_cells(table, 11), QStringList({"11", "2:0:00.0", "9.5", "DCV", "", "", "", ""}));
    EXPECT_EQ(table.cell(10, 0), QStringLiteral("110"));
}

TEST_F(Table, CuttingTheTableDiscardsRowsForGood) {
    for (int i = 1; i <= 50; ++i)
        add(QStringLiteral("0:0:%1.0").arg(i), QString::number(i), "ACV", "1", "Hz");
    ASSERT_EQ(table.row_count(), 51);
    table.set_row_count(11);
    EXPECT_EQ(table.row_count(), 11);
    EXPECT_EQ(table.cell(10, 2), QStringLiteral("10"));

    add("9:9:09.9", "0.5", "DCV");
    EXPECT_EQ(table.row_count(), 12);
    EXPECT_EQ(row_cells(table, 11), QStringList({"11", "9:9:09.9", "0.5", "DCV", "", "", "", ""}));
    // Growing again shows empty rows, not what stood there before the cut.
    table.set_row_count(20);
    for (int r = 12; r < 20; ++r)
        EXPECT_EQ(row_cells(table, r), QStringList(8, QString())) << r;
    add("9:9:10.0", "0.6");
    EXPECT_EQ(table.cell(12, 0), QStringLiteral("12"));
}

TEST_F(Table, TextsAreStoredWholeAndUnchanged) {
    const QString long_function(40, 'F');
    const QString odd = QString::fromUtf8(" 1,5 Ω \t°C 😀");
    table.grid_add_row(" 10:5:07.3 ", odd, long_function, QString(300, '9'), odd, odd,
                       long_function);
    EXPECT_EQ(row_cells(table, 1), QStringList({"1", " 10:5:07.3 ", odd, long_function,
                                                QString(300, '9'), odd, odd, long_function}));
}

// Readings' times are kept in a compact form; every time text still comes back as it went in.
TEST_F(Table, TimesComeBackAsTheyWentIn) {
    const char* times[] = {"14:30:15.15", "09:5:07.7",  "00:0:00.0",       "23:59:59.59",
                           "09:05:07.7",  "9:5:07.7",   "14:30:15.14",     "24:0:00.0",
                           "12:60:00.0",  "12:5:61.61", "1:0:00.00000000", "",
                           "ab:c:de.f",   "10:5:07.7x", "10:5:07:7"};
    for (const char* t : times)
        add(QString::fromLatin1(t), "1.5", "DCV", "2", "Hz");
    for (int i = 0; i < int(std::size(times)); ++i) {
        EXPECT_EQ(table.cell(i + 1, MeasurementTable::ColTime), QString::fromLatin1(times[i]));
        EXPECT_EQ(table.cell(i + 1, MeasurementTable::ColMain), QStringLiteral("1.5")) << times[i];
        EXPECT_EQ(table.cell(i + 1, MeasurementTable::ColSub), QStringLiteral("2")) << times[i];
    }
}

TEST_F(Table, RewritingRowsKeepsCellsAndReclaimsMemory) {
    const int rows = 50000;
    std::size_t after_first = 0;
    for (int load = 0; load < 8; ++load) {
        table.set_row_count(rows + 1);
        for (int r = 1; r <= rows; ++r)
            table.set_row(r, r + load,
                          {"12:34:56.7", QString::number(r * 0.5), "DCV", QString::number(load),
                           "Hz", "", ""});
        if (load == 0)
            after_first = table.memory_bytes();
    }
    EXPECT_EQ(table.cell(rows, 0), QString::number(rows + 7));
    EXPECT_EQ(table.cell(rows, 2), QString::number(rows * 0.5));
    EXPECT_EQ(table.cell(1, 4), QStringLiteral("7"));
    EXPECT_LT(table.memory_bytes(), 3 * after_first);
}

// Typical readings of a multimeter, with their whole values: small currents in scientific
// form, a sub value, the time of day.
TEST_F(Table, TypicalRowsStayWithin64Bytes) {
    const int rows = 300000;
    for (int i = 0; i < rows; ++i)
        add(QStringLiteral("13:%1:%2.%3")
                .arg(i / 60 % 60)
                .arg(i % 60, 2, 10, QLatin1Char('0'))
                .arg(i % 60),
            QStringLiteral("-1.23%1E-5").arg(i % 997, 3, 10, QLatin1Char('0')),
            i % 2 ? "DCA" : "ACA", QString::number(50.01 + i % 3), "Hz");
    EXPECT_EQ(table.row_count(), rows + 1);
    EXPECT_EQ(table.cell(rows, 0), QString::number(rows));
    EXPECT_LE(double(table.memory_bytes()) / rows, 64.0);
}

TEST_F(Table, ViewLearnsOfRowsInOneBatchAndFollowsTheNewest) {
    QTableView view;
    view.setModel(&table);
    int inserts = 0;
    QObject::connect(&table, &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    QObject::connect(&table, &MeasurementTable::current_row_changed, &view, [&](int row) {
        view.selectionModel()->setCurrentIndex(table.index(row - 1, 0),
                                               QItemSelectionModel::ClearAndSelect);
    });
    for (int i = 0; i < 1000; ++i)
        add("0:0:00.0", QString::number(i));
    EXPECT_EQ(table.rowCount(), 1); // nothing announced until the next frame
    ASSERT_TRUE(QTest::qWaitFor([&] { return inserts > 0; }, 2000));
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(table.rowCount(), 1000);
    EXPECT_EQ(view.currentIndex().row(), 999);
    EXPECT_EQ(view.model()->index(999, 2).data().toString(), QStringLiteral("999"));
}

// One reading per event-loop turn, as a stream of datagrams brings them: every row is in the
// table at once, while the view hears of them at most once per frame and still ends on the
// newest row.
TEST_F(Table, RowsOfManyTurnsReachTheViewOncePerFrame) {
    QTableView view;
    view.setModel(&table);
    int inserts = 0, moves = 0;
    QObject::connect(&table, &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    QObject::connect(&table, &MeasurementTable::current_row_changed, &view, [&](int row) {
        ++moves;
        view.selectionModel()->setCurrentIndex(table.index(row - 1, 0),
                                               QItemSelectionModel::ClearAndSelect);
    });
    QElapsedTimer clock;
    clock.start();
    int added = 0;
    while (clock.elapsed() < 300) {
        add("0:0:00.0", QString::number(++added));
        ASSERT_EQ(table.row_count() - 1, added);
        ASSERT_EQ(table.cell(added, 2), QString::number(added));
        QApplication::processEvents();
    }
    const qint64 ms = clock.elapsed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return table.rowCount() == added; }, 2000));
    // Flushes are at least MeasurementTable::kFlushIntervalMs apart, less a timer's slack.
    const qint64 most = ms / 25 + 2;
    EXPECT_LE(inserts, most) << added << " rows in " << ms << " ms";
    EXPECT_LE(moves, most);
    EXPECT_EQ(view.currentIndex().row(), added - 1);
    EXPECT_EQ(view.model()->index(added - 1, 2).data().toString(), QString::number(added));
}

} // namespace
