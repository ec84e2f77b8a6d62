// A whole session against the instrument simulator, over a pseudo-terminal and over UDP: choose
// the port, Quick Start, readings into table and chart, another function, the instrument's
// clock, a recording read back as a dump, and the table saved, loaded back and exported.
#include "e2e/e2e_window.h"
#include "support/xlrd_reader.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <qcustomplot.h>

namespace {

class Session : public E2eWindow, public ::testing::WithParamInterface<Link> {
protected:
    // Rows first..last (table rows, inclusive) are readings of one function, numbered by
    // their row, and the chart shows exactly them when `plotted`.
    void check_run(int first, int last, const QString& main_func, const QString& sub_func,
                   bool plotted) {
        ASSERT_LE(first, last);
        for (int r = first; r <= last; ++r) {
            SCOPED_TRACE(::testing::Message() << "row " << r);
            EXPECT_EQ(cell(r, Col::ColIndex), QString::number(r));
            EXPECT_TRUE(is_reading_clock(cell(r, Col::ColTime)))
                << cell(r, Col::ColTime).toStdString();
            bool main_ok = false, sub_ok = false;
            cell(r, Col::ColMain).toDouble(&main_ok);
            cell(r, Col::ColSub).toDouble(&sub_ok);
            EXPECT_TRUE(main_ok && sub_ok)
                << cell(r, Col::ColMain).toStdString() << " " << cell(r, Col::ColSub).toStdString();
            EXPECT_EQ(cell(r, Col::ColMainFunc), main_func);
            EXPECT_EQ(cell(r, Col::ColSubFunc), sub_func);
            EXPECT_EQ(cell(r, Col::ColT), QString());
        }
        if (!plotted)
            return;
        const std::size_t n = std::size_t(last - first + 1);
        ASSERT_EQ(chart().point_count(TrendChart::kMain), n);
        ASSERT_EQ(chart().point_count(TrendChart::kSub), n);
        for (std::size_t i = 0; i < n; ++i) {
            const int r = first + int(i);
            EXPECT_DOUBLE_EQ(chart().y(TrendChart::kMain, i), cell(r, Col::ColMain).toDouble());
            EXPECT_DOUBLE_EQ(chart().y(TrendChart::kSub, i), cell(r, Col::ColSub).toDouble());
        }
        EXPECT_EQ(chart().title_01(), main_func);
        EXPECT_EQ(chart().title_02(), sub_func);
    }

    // Live readings are stamped with the time they arrived.
    void check_arrival_times(int first, int last, const QTime& from, const QTime& to) {
        if (to < from)
            return; // the session crossed midnight
        for (int r = first; r <= last; ++r) {
            const QTime t = QTime::fromString(cell(r, Col::ColTime).section(u'.', 0, 0),
                                              QStringLiteral("hh:m:ss"));
            ASSERT_TRUE(t.isValid()) << cell(r, Col::ColTime).toStdString();
            EXPECT_TRUE(t >= from.addSecs(-1) && t <= to.addSecs(1))
                << "row " << r << " " << cell(r, Col::ColTime).toStdString();
        }
    }

    // The last reply line in the reply memo that is a date and time of the instrument's clock.
    QDateTime clock_reply() {
        const QStringList lines = memo();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            const QDateTime t = QDateTime::fromString(*it, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (t.isValid())
                return t;
        }
        return {};
    }

    // TIME? with the TIME button; the answer shows in the reply memo.
    QDateTime ask_clock(const std::function<bool(const QDateTime&)>& expected) {
        click("btn_time");
        wait_for([&] { return clock_reply().isValid() && expected(clock_reply()); }, 10000);
        return clock_reply();
    }

    // Double-clicks the chart to turn the cursor on, moves the mouse over the plot and keeps
    // a picture of the whole window.
    void picture_with_cursor(const QString& main_func, const QString& sub_func) {
        auto* plot = find<QCustomPlot>("cht1");
        form->chart().replot_now();
        const QRect frame = plot->axisRect()->rect();
        QTest::mouseDClick(plot, Qt::LeftButton, {}, frame.center());
        QTest::mouseRelease(plot, Qt::LeftButton, {}, frame.center());
        ASSERT_TRUE(v.cursor_on);
        const QPoint at(frame.left() + frame.width() * 3 / 5, frame.center().y());
        if (QCursor::pos() == plot->mapToGlobal(at))
            QTest::mouseMove(form.get(), QPoint(1, 1));
        QTest::mouseMove(plot, at);
        QTest::qWait(50);
        auto* chn1 = find<QLabel>("lbl_chn1");
        auto* chn2 = find<QLabel>("lbl_chn2");
        auto* time = find<QLabel>("lbl_time");
        EXPECT_TRUE(find<QWidget>("shp1")->isVisible());
        EXPECT_TRUE(chn1->isVisible() && chn2->isVisible() && time->isVisible());
        EXPECT_TRUE(chn1->text().startsWith(main_func + QStringLiteral(": ")))
            << chn1->text().toStdString();
        EXPECT_TRUE(chn2->text().startsWith(sub_func + QStringLiteral(": ")))
            << chn2->text().toStdString();
        EXPECT_TRUE(is_reading_clock(time->text().trimmed())) << time->text().toStdString();

        const QString artifacts = QStringLiteral(TELVANE_ARTIFACT_DIR);
        ASSERT_TRUE(QDir().mkpath(artifacts));
        form->chart().replot_now();
        // The picture taken on a real display (X under Xvfb) is the one to look at; the
        // offscreen platform's own is kept beside it.
        const QString name = QGuiApplication::platformName() == QLatin1String("offscreen")
                                 ? QStringLiteral("e2e_session_offscreen.png")
                                 : QStringLiteral("e2e_session.png");
        EXPECT_TRUE(form->grab().save(QDir(artifacts).filePath(name)));
    }
};

TEST_P(Session, FromQuickStartToSavedFiles) {
    const Link link = GetParam();
    ASSERT_NO_FATAL_FAILURE(start(sim_args(link, {"--rate", "20", "--time-scale", "1000"})));
    ASSERT_NO_FATAL_FAILURE(connect_to(link));

    // Quick Start: identification, then readings of the instrument's first function.
    const QTime began = QTime::currentTime();
    ASSERT_NO_FATAL_FAILURE(quick_start(10));
    ASSERT_NO_FATAL_FAILURE(check_run(1, rows(), "DCV", "ACV", true));
    check_arrival_times(1, rows(), began, QTime::currentTime());

    // Another function: its readings start a new run on the chart, which shows only them.
    const std::uint64_t clears = chart().clear_count();
    ASSERT_NO_FATAL_FAILURE(click("btn_ACV"));
    int first_acv = 0;
    ASSERT_TRUE(wait_for(
        [&] {
            for (int r = rows(); r >= 1 && cell(r, Col::ColMainFunc) == QLatin1String("ACV"); --r)
                first_acv = r;
            return first_acv > 0 && rows() - first_acv + 1 >= 10;
        },
        20000));
    ASSERT_NO_FATAL_FAILURE(check_run(1, first_acv - 1, "DCV", "ACV", false));
    ASSERT_NO_FATAL_FAILURE(check_run(first_acv, rows(), "ACV", "Hz", true));
    EXPECT_GT(chart().clear_count(), clears);
    ASSERT_NO_FATAL_FAILURE(stop_readings());

    // The instrument's clock, set from the command line and asked for with TIME.
    ASSERT_NO_FATAL_FAILURE(send_line("TIME:SET 2012-05-06-14-08"));
    const QDateTime set = ask_clock([](const QDateTime& t) { return t.date().year() == 2012; });
    ASSERT_TRUE(set.isValid()) << memo().join(u'|').toStdString();
    EXPECT_EQ(set.toString("yyyy-MM-dd HH:mm"), "2012-05-06 14:08");

    // A recording of 30 readings 7 s apart (the simulator runs it 1000 times faster), read
    // back as a dump: each record is dated from the recording's start.
    const int before_dump = rows();
    ASSERT_NO_FATAL_FAILURE(choose("cbb_target", QStringLiteral("Internal")));
    ASSERT_NO_FATAL_FAILURE(type("edt_Number", "30"));
    ASSERT_NO_FATAL_FAILURE(type("edt_Interval", "7"));
    ASSERT_NO_FATAL_FAILURE(click("btn_Log"));
    EXPECT_EQ(v.send_str, QStringLiteral("MEM:INTE 30,7"));
    QTest::qWait(1000);
    ASSERT_NO_FATAL_FAILURE(send_line("SIM:DUMP"));
    ASSERT_TRUE(wait_rows(before_dump + 30)) << rows();
    ASSERT_TRUE(wait_quiet());
    ASSERT_EQ(rows(), before_dump + 30);
    EXPECT_TRUE(memo().contains(QStringLiteral("RECALL INTERNAL MEMORY...")));
    const QTime start = QTime::fromString(cell(before_dump + 1, Col::ColTime).section(u'.', 0, 0),
                                          QStringLiteral("hh:m:ss"));
    ASSERT_TRUE(start.isValid()) << cell(before_dump + 1, Col::ColTime).toStdString();
    // The recording began within seconds of the clock being set to 14:08.
    EXPECT_GE(start, QTime(14, 8, 0));
    EXPECT_LE(start, QTime(14, 8, 10));
    for (int k = 0; k < 30; ++k) {
        EXPECT_EQ(cell(before_dump + 1 + k, Col::ColTime), reading_clock(start.addSecs(7 * k)))
            << "record " << k;
    }
    // Same function as the readings before: the dump continues their run on the chart.
    ASSERT_NO_FATAL_FAILURE(check_run(first_acv, rows(), "ACV", "Hz", true));

    // SET TIME puts the computer's clock (to the minute) into the instrument.
    const QDateTime clicked = QDateTime::currentDateTime();
    ASSERT_NO_FATAL_FAILURE(click("btn_set_time"));
    const QDateTime done = QDateTime::currentDateTime();
    const QDateTime now_clock =
        ask_clock([](const QDateTime& t) { return t.date().year() != 2012; });
    ASSERT_TRUE(now_clock.isValid()) << memo().join(u'|').toStdString();
    const auto to_minute = [](QDateTime t) {
        t.setTime(QTime(t.time().hour(), t.time().minute()));
        return t;
    };
    EXPECT_GE(now_clock, to_minute(clicked));
    EXPECT_LE(now_clock, to_minute(done).addSecs(15));

    if (link == Link::Serial) {
        ASSERT_NO_FATAL_FAILURE(picture_with_cursor("ACV", "Hz"));
    }

    // Saved as a text data file and loaded back: the same table and identification.
    const std::vector<QStringList> shown = table_cells();
    const QString txt = dir.filePath(QStringLiteral("session.txt"));
    dialogs.answers.push_back({true, txt});
    menu("Mni_Save");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes.back().text, v.text(23));
    for (const char* f : {"edt_Manu_F", "edt_Model", "edt_SN", "edt_Remark"})
        find<QLineEdit>(f)->clear();
    dialogs.answers.push_back({true, txt});
    menu("Mni_Open");
    EXPECT_EQ(dialogs.boxes.size(), 1u); // no complaint
    EXPECT_EQ(table_cells(), shown);
    EXPECT_EQ(field("edt_Manu_F"), QStringLiteral("Telvane Instruments"));
    EXPECT_EQ(field("edt_Remark"), QStringLiteral("FW1.03"));

    // Exported as .xls and read by another program: header and every row.
    const QString xls = dir.filePath(QStringLiteral("session.xls"));
    dialogs.answers.push_back({true, xls});
    menu("Mni_Save");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes.back().text, v.text(23));
    QList<int> all_rows;
    for (int r = 0; r <= rows(); ++r)
        all_rows << r;
    const std::vector<XlrdSheet> sheets = read_with_xlrd(xls, all_rows);
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_EQ(sheets[0].nrows, rows() + 1);
    for (int r = 0; r <= rows(); ++r) {
        const QJsonArray row = sheets[0].row(r);
        for (int c = 0; c < MeasurementTable::kColumns; ++c) {
            SCOPED_TRACE(::testing::Message() << "row " << r << " column " << c);
            const QString text = shown[std::size_t(r)][c];
            const QJsonArray got = row.at(c).toArray();
            bool number = false;
            const double value = text.toDouble(&number);
            if (text.isEmpty()) {
                EXPECT_TRUE(got.isEmpty() || got.at(1).toString().isEmpty());
            } else if (number) {
                ASSERT_EQ(got.at(0).toInt(), 2) << text.toStdString();
                EXPECT_DOUBLE_EQ(got.at(1).toDouble(), value);
            } else {
                ASSERT_EQ(got.at(0).toInt(), 1) << text.toStdString();
                EXPECT_EQ(got.at(1).toString(), text);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(E2e, Session, ::testing::Values(Link::Serial, Link::Network), link_name);

} // namespace
