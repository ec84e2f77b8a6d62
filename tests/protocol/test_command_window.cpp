// The operator's commands as bytes on a real serial line (a pseudo-terminal), and Check and
// Quick Start against an instrument scripted on the other side.
#include "app/frm_main.h"
#include "link/pty_pair.h"
#include "presentation/measurement_table.h"
#include "support/form_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class CommandWindow : public ::testing::Test, public FormFixture {
public:
    void SetUp() override {
        ASSERT_TRUE(pty.valid());
        ASSERT_NO_FATAL_FAILURE(
            open_form({.ports = [path = pty.path()] { return QStringList{path}; }}));
        auto* port = form->findChild<QComboBox*>("cbb_port");
        port->setCurrentIndex(0);
        emit port->activated(0);
        ASSERT_GT(v.port_no, 0);
        // The instrument answers while the window waits: it polls the line like a device.
        connect_instrument();
    }
    void TearDown() override {
        if (form)
            form->close();
        form.reset(); // the window lets go of the line before the instrument hangs up
    }
    void connect_instrument() {
        QObject::connect(&instrument_clock, &QTimer::timeout, [this] {
            heard += pty.received_within(1);
            qsizetype end;
            while ((end = heard.indexOf("\r\n")) >= 0) {
                const QByteArray line = heard.left(end);
                heard.remove(0, end + 2);
                commands << line;
                if (answer)
                    answer(line);
            }
        });
        instrument_clock.start(5);
    }
    void click(const char* button) { find<QPushButton>(button)->click(); }
    // Everything the program put on the line within `ms`.
    QByteArray sent_within(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QByteArray all = commands.join("\r\n");
        if (!commands.isEmpty())
            all += "\r\n";
        commands.clear();
        return all + heard;
    }
    template <class Pred> bool wait_for(Pred done, int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    QStringList fields() {
        QStringList out;
        for (const char* n : {"edt_Manu_F", "edt_Model", "edt_SN", "edt_Remark"})
            out << find<QLineEdit>(n)->text();
        return out;
    }

    PtyPair pty;
    QTimer instrument_clock;
    QByteArray heard;
    QList<QByteArray> commands;
    std::function<void(const QByteArray&)> answer;
};

TEST_F(CommandWindow, EveryCommandGoesOutAsItsExactBytes) {
    struct Case {
        const char* button;
        std::function<void(CommandWindow&)> setup;
        QByteArray bytes;
    };
    auto field = [](const char* name, QString text) {
        return [name, text](CommandWindow& w) { w.find<QLineEdit>(name)->setText(text); };
    };
    auto target = [](int item) {
        return [item](CommandWindow& w) { w.find<QComboBox>("cbb_target")->setCurrentIndex(item); };
    };
    const Case cases[] = {
        {"btn_DCV", {}, "CONF:VOLT\r\n"},
        {"btn_ACV", {}, "CONF:VOLT:AC\r\n"},
        {"btn_DCA", {}, "CONF:CURR\r\n"},
        {"btn_ACA", {}, "CONF:CURR:AC\r\n"},
        {"btn_DCmA", {}, "CONF:MCUR\r\n"},
        {"btn_ACmA", {}, "CONF:MCUR:AC\r\n"},
        {"btn_RES", {}, "CONF:RES\r\n"},
        {"btn_FRE", {}, "CONF:FREQ\r\n"},
        {"btn_TCK", {}, "CONF:TCK\r\n"},
        {"btn_TCJ", {}, "CONF:TCJ\r\n"},
        {"btn_PT100", {}, "CONF:PT1H\r\n"},
        {"btn_PT1000", {}, "CONF:PT1K\r\n"},
        {"btn_time", {}, "TIME?\r\n"},
        {"btn_Read", field("edt_Read", ""), "READ?\r\n"},
        {"btn_Read", field("edt_Read", "GOON"), "READ:GOON\r\n"},
        {"btn_output", field("edt_output", ""), "OUT?\r\n"},
        {"btn_output", field("edt_output", "1"), "OUT:1\r\n"},
        {"btn_Log",
         [](CommandWindow& w) {
             w.find<QComboBox>("cbb_target")->setCurrentIndex(1);
             w.find<QLineEdit>("edt_Number")->setText("50");
             w.find<QLineEdit>("edt_Interval")->setText("10");
         },
         "MMEM:SD 50,10\r\n"},
        {"btn_Log", target(0), "MEM:INTE 50,10\r\n"},
        {"btn_Log", target(2), "MMEM:USB 50,10\r\n"},
        {"btn_Log", target(-1), ""},
        {"btn_Send", field("edt_COM_line", ""), ""},
        {"btn_Send", field("edt_COM_line", "TIME?"), "TIME?\r\n"},
        {"btn_Send", field("edt_COM_line", QString(3000, 'X')), ""},
    };
    for (const Case& c : cases) {
        if (c.setup)
            c.setup(*this);
        click(c.button);
        EXPECT_EQ(sent_within(60), c.bytes) << c.button;
    }
    click("btn_set_time");
    const QByteArray set = sent_within(60);
    EXPECT_TRUE(QRegularExpression("^TIME:SET \\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d\r\n$")
                    .match(QString::fromLatin1(set))
                    .hasMatch())
        << set.constData();
    EXPECT_TRUE(set.startsWith("TIME:SET " +
                               QDateTime::currentDateTime().toString("yyyy-MM-dd").toLatin1()));
}

TEST_F(CommandWindow, CheckDrainsAsksAndFillsTheIdentification) {
    struct Case {
        QByteArray reply;
        QStringList expected;
    };
    const Case cases[] = {
        {"MAKER , DL1 ,123, V1.0\r\n", {"MAKER", "DL1", "123", "V1.0"}},
        {"MAKER,DL1\r\n", {"MAKER", "DL1", "", ""}},
        {"A,B,C,D,E\r\n", {"A", "B", "C", "D"}},
        {"", {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        // Stale bytes waiting on the line are drained and never shown as the identification.
        ASSERT_TRUE(pty.send("STALE,JUNK,1,2\r\n"));
        wait_for([] { return false; }, 150);
        answer = [this, reply = c.reply](const QByteArray& line) {
            if (line == "*IDN?")
                pty.send(reply);
        };
        click("btn_Check");
        EXPECT_EQ(fields(), c.expected) << c.reply.constData();
        EXPECT_TRUE(v.check_hold);
        EXPECT_EQ(v.send_str, QStringLiteral("*IDN?"));
    }
}

TEST_F(CommandWindow, ReadingsReachTheTableOnlyAfterQuickStart) {
    answer = [this](const QByteArray& line) {
        if (line == "*IDN?")
            pty.send("MAKER,DL1,123,V1.0\r\n");
    };
    click("btn_Check");
    ASSERT_EQ(fields().first(), QStringLiteral("MAKER"));
    auto* memo = find<QPlainTextEdit>("mmo_re");
    pty.send("M+1.2345E+00 DCV\r\nS+5.0E-03 ACV\r\n");
    ASSERT_TRUE(wait_for([&] { return memo->toPlainText().contains("S+5.0E-03 ACV"); }));
    EXPECT_FALSE(form->table().row_filled(1));

    click("btn_QS");
    EXPECT_FALSE(v.check_hold);
    EXPECT_TRUE(v.goon_active);
    EXPECT_TRUE(sent_within(60).endsWith("*IDN?\r\nREAD:GOON\r\n"));
    EXPECT_EQ(v.send_str, QStringLiteral("READ:GOON"));
    pty.send("M+1.2345E+00 DCV\r\nS+5.0E-03 ACV\r\n-12.5 DCA\r\n");
    ASSERT_TRUE(wait_for([&] { return form->table().row_filled(2); }));
    const MeasurementTable& t = form->table();
    EXPECT_EQ(t.cell(1, 2), QStringLiteral("1.2345"));
    EXPECT_EQ(t.cell(1, 3), QStringLiteral("DCV"));
    EXPECT_EQ(t.cell(1, 4), QStringLiteral("0.005"));
    EXPECT_EQ(t.cell(1, 5), QStringLiteral("ACV"));
    EXPECT_EQ(t.cell(2, 2), QStringLiteral("-12.5"));
    EXPECT_EQ(t.cell(2, 3), QStringLiteral("DCA"));
}

// A read-back in progress ends when the user closes the port, chooses a link or runs Check:
// the records that came reach the table, and what comes next is read as replies again.
TEST_F(CommandWindow, ClosePortChoosingALinkAndCheckEndAReadBack) {
    answer = [this](const QByteArray& line) {
        if (line == "*IDN?")
            pty.send("MAKER,DL1,123,V1.0\r\n");
    };
    auto* port = find<QComboBox>("cbb_port");
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"Close Port", [this] { click("btn_closecom"); }},
        {"choosing the port again",
         [port] {
             port->setCurrentIndex(0);
             emit port->activated(0);
         }},
        {"Check", [this] { click("btn_Check"); }},
    };
    int filled = 0, ended = 0;
    for (const auto& [name, act] : actions) {
        SCOPED_TRACE(name);
        if (v.port_no <= 0) {
            port->setCurrentIndex(0);
            emit port->activated(0);
        }
        QByteArray dump = "RECALL INTERNAL MEMORY: 1bank,8number,2012-05-06 14:30:00,5interval,"
                          "DCVMfunction,NULLSfunction:";
        dump += QByteArray("\x00\x00\xC0\x3F\x00\x00\x20\x40", 8); // 1.5, 2.5
        pty.send(dump);
        ASSERT_TRUE(wait_for([&] { return v.recall_count == 2; }));
        act();
        EXPECT_TRUE(v.recall_state.isEmpty());
        ASSERT_TRUE(wait_for([&] { return form->table().row_filled(filled + 2); }));
        EXPECT_EQ(form->table().cell(filled + 2, 2), QStringLiteral("2.5"));
        filled += 2;
        auto* memo = find<QPlainTextEdit>("mmo_re");
        ++ended; // the memo tells of each ending once
        EXPECT_TRUE(wait_for([&] {
            return memo->toPlainText().count(QStringLiteral("RECALL ENDED: 2 of 8 records")) ==
                   ended;
        }));
    }
    EXPECT_EQ(fields().first(), QStringLiteral("MAKER")); // Check went on after the read-back
}

// Replies taken by several receive steps: the reply memo ends with exactly the newest 200
// lines, in order.
TEST_F(CommandWindow, ReplyMemoKeepsTheNewestLinesOfSeveralReceiveSteps) {
    auto* memo = find<QPlainTextEdit>("mmo_re");
    QStringList expected;
    for (int first : {1, 101, 201}) {
        QByteArray part;
        for (int i = first; i < first + 100 && i <= 250; ++i)
            part += "L" + QByteArray::number(i) + "\r\n";
        pty.send(part);
        wait_for([] { return false; }, 300); // a receive step for each part
    }
    for (int i = 51; i <= 250; ++i)
        expected << QStringLiteral("L%1").arg(i);
    ASSERT_TRUE(wait_for([&] { return memo->toPlainText().endsWith(QLatin1String("\nL250")); }));
    EXPECT_EQ(memo->toPlainText().split(u'\n'), expected);
}

TEST_F(CommandWindow, WaitsSurviveASecondCheckAndClosingThePort) {
    int idn = 0;
    answer = [&](const QByteArray& line) {
        if (line == "*IDN?")
            ++idn;
    };
    // A second Check and a Quick Start pressed during the wait are ignored; then the user
    // closes the port before the answer could come: the sequence ends quietly.
    QTimer::singleShot(300, [&] {
        click("btn_Check");
        click("btn_QS");
    });
    QTimer::singleShot(600, [&] { click("btn_closecom"); });
    click("btn_Check");
    EXPECT_EQ(idn, 1);
    EXPECT_EQ(v.port_no, 0);
    EXPECT_EQ(fields(), QStringList({"", "", "", ""}));
    EXPECT_FALSE(form->identification_running());
    // Quick Start on no link goes no further than Check.
    click("btn_QS");
    EXPECT_FALSE(v.goon_active);
}

} // namespace
