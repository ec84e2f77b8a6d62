#pragma once

// The real main window on the offscreen platform, connected to the instrument simulator running
// as its own process, and driven as a user drives it: choosing from the port list, typing into
// the fields, clicking the buttons and the menu items. File dialogs and message boxes are
// answered from a script. Every wait keeps the event loop running, so the read thread's steps
// and the network listener are served the way they are in the program.

#include "app/frm_main.h"
#include "e2e/sim_process.h"
#include "link/udp_peer.h"
#include "presentation/measurement_table.h"
#include "presentation/trend_chart.h"
#include "presentation/trend_chart_view.h"
#include "support/form_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// How the window reaches the simulator.
enum class Link { Serial, Network };

inline void PrintTo(Link link, std::ostream* os) {
    *os << (link == Link::Serial ? "Serial" : "Network");
}

inline std::string link_name(const ::testing::TestParamInfo<Link>& info) {
    return info.param == Link::Serial ? "Serial" : "Network";
}

// The clock text of a reading: two-digit hour, minute without leading zero, two-digit second,
// "." and the second again without leading zero ("09:5:07.7").
inline QString reading_clock(const QTime& t) {
    return QStringLiteral("%1:%2:%3.%4")
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute())
        .arg(t.second(), 2, 10, QLatin1Char('0'))
        .arg(t.second());
}

// Whether a text is a reading's clock text, consistent in itself.
inline bool is_reading_clock(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^([01]\\d|2[0-3]):([1-5]?\\d):([0-5]\\d)\\.([1-5]?\\d)$"));
    const QRegularExpressionMatch m = form.match(text);
    return m.hasMatch() && m.captured(3).toInt() == m.captured(4).toInt();
}

class E2eWindow : public ::testing::Test, protected FormFixture {
protected:
    using Col = MeasurementTable::Column;

    void TearDown() override {
        if (form)
            form->close();
        form.reset();
        sim.stop();
        qunsetenv("TELVANE_EXTRA_PORTS");
    }

    // Starts the simulator with `sim_args` and then the program, whose port list shows the
    // simulator's pseudo-terminal (when there is one) among the serial ports.
    void start(QStringList sim_args) {
        ASSERT_TRUE(dir.isValid());
        if (sim_args.contains(QStringLiteral("--udp"))) {
            udp_port = free_udp_port();
            ASSERT_NE(udp_port, 0);
            const int at = int(sim_args.indexOf(QStringLiteral("--udp")));
            sim_args.insert(at + 1, QStringLiteral("127.0.0.2:%1").arg(udp_port));
        }
        ASSERT_TRUE(sim.start(sim_args)) << sim.errors().toStdString();
        // The port list comes from the real enumeration, told about the pseudo-terminal the way
        // the run command tells it.
        if (!sim.pty().isEmpty())
            qputenv("TELVANE_EXTRA_PORTS", QFile::encodeName(sim.pty()));
        ASSERT_NO_FATAL_FAILURE(open_form({.ports = list_serial_devices}));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // The simulator's arguments for a link: the transport first, then `more`.
    static QStringList sim_args(Link link, const QStringList& more) {
        return (link == Link::Serial ? QStringList{QStringLiteral("--pty")}
                                     : QStringList{QStringLiteral("--udp")}) +
               more;
    }

    // The user picks an entry of a drop-down list.
    void choose(const char* list, const QString& item) {
        QComboBox* c = find<QComboBox>(list);
        ASSERT_NE(c, nullptr);
        const int i = c->findText(item);
        ASSERT_GE(i, 0) << list << ": no " << item.toStdString();
        c->setCurrentIndex(i);
        emit c->activated(i);
    }

    // Chooses the simulator in the port list: its device, or "Network" and its address.
    void connect_to(Link link) {
        if (link == Link::Serial) {
            ASSERT_FALSE(sim.pty().isEmpty());
            ASSERT_NO_FATAL_FAILURE(choose("cbb_port", sim.pty()));
            ASSERT_GT(v.port_no, 0);
        } else {
            dialogs.answers.push_back({true, QStringLiteral("127.0.0.2:%1").arg(udp_port)});
            ASSERT_NO_FATAL_FAILURE(choose("cbb_port", QStringLiteral("Network")));
            ASSERT_EQ(v.port_no, kNetworkLink);
        }
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_TRUE(find<QWidget>("btn_QS")->isEnabled());
    }

    void click(const char* button) {
        QAbstractButton* b = find<QAbstractButton>(button);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // Replaces the text of an edit field by typing.
    void type(const char* field, const QString& text) {
        QLineEdit* e = find<QLineEdit>(field);
        ASSERT_NE(e, nullptr);
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
        ASSERT_EQ(e->text(), text) << field;
    }

    // A manual command on the command line.
    void send_line(const QString& command) {
        ASSERT_NO_FATAL_FAILURE(type("edt_COM_line", command));
        ASSERT_NO_FATAL_FAILURE(click("btn_Send"));
    }

    void menu(const char* item) { find<QAction>(item)->trigger(); }

    // Waits with the event loop running.
    template <class Pred> bool wait_for(Pred done, int ms) { return QTest::qWaitFor(done, ms); }

    // Waits until the table holds at least `n` rows; gives up once no row has come for
    // `stall_ms`, so that a stream that stopped short fails at once.
    bool wait_rows(int n, int stall_ms = 15000) {
        int last = rows();
        QElapsedTimer still;
        still.start();
        while (rows() < n) {
            if (still.elapsed() > stall_ms)
                return false;
            QTest::qWait(20);
            if (rows() != last) {
                last = rows();
                still.restart();
            }
        }
        return true;
    }

    // Waits until no row has arrived for `quiet_ms`.
    bool wait_quiet(int quiet_ms = 700, int max_ms = 60000) {
        QElapsedTimer clock;
        clock.start();
        int last = rows();
        QElapsedTimer still;
        still.start();
        while (clock.elapsed() < max_ms) {
            QTest::qWait(50);
            if (rows() != last) {
                last = rows();
                still.restart();
            } else if (still.elapsed() >= quiet_ms) {
                return true;
            }
        }
        return false;
    }

    // Quick Start: identification, then continuous reading; true once `n` rows have come.
    void quick_start(int n) {
        ASSERT_NO_FATAL_FAILURE(click("btn_QS"));
        EXPECT_EQ(field("edt_Manu_F"), QStringLiteral("Telvane Instruments"));
        EXPECT_EQ(field("edt_Model"), QStringLiteral("TDL-20"));
        EXPECT_EQ(field("edt_SN"), QStringLiteral("0451207"));
        EXPECT_EQ(field("edt_Remark"), QStringLiteral("FW1.03"));
        EXPECT_TRUE(v.goon_active);
        ASSERT_TRUE(wait_rows(n)) << rows() << " rows";
    }

    // Stops continuous reading ("READ:" with another argument) and lets the last rows land.
    void stop_readings() {
        ASSERT_NO_FATAL_FAILURE(type("edt_Read", QStringLiteral("STOP")));
        ASSERT_NO_FATAL_FAILURE(click("btn_Read"));
        ASSERT_TRUE(wait_quiet());
        ASSERT_NO_FATAL_FAILURE(type("edt_Read", QString()));
    }

    QString field(const char* name) { return find<QLineEdit>(name)->text(); }
    int rows() { return form->table().row_count() - 1; }
    QString cell(int row, int col) { return form->table().cell(row, col); }
    const TrendChart& chart() { return form->chart().model(); }
    QStringList memo() { return find<QPlainTextEdit>("mmo_re")->toPlainText().split(u'\n'); }

    // Every cell of the table, header row included.
    std::vector<QStringList> table_cells() {
        std::vector<QStringList> out;
        for (int r = 0; r < form->table().row_count(); ++r) {
            QStringList row;
            for (int c = 0; c < MeasurementTable::kColumns; ++c)
                row << cell(r, c);
            out.push_back(row);
        }
        return out;
    }

    SimProcess sim;
    quint16 udp_port = 0;
};
