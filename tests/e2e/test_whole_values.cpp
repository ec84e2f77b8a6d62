// Readings that an ordinary multimeter sends (small currents, overloads, many digits) through
// the window from a scripted instrument on UDP: the table and the chart show the whole values,
// a saved file opens again into the same rows, and a dump that stops half way shows what came
// and leaves reception working.
#include "e2e/e2e_window.h"

#include <QtEndian>

namespace {

// The instrument: answers the identification and, once continuous reading is asked for,
// sends what the test gives it.
class ScriptedInstrument : public QObject {
public:
    explicit ScriptedInstrument(quint16 port) {
        socket_.setProxy(QNetworkProxy::NoProxy);
        bound = socket_.bind(QHostAddress(QStringLiteral("127.0.0.2")), port,
                             QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
        connect(&socket_, &QUdpSocket::readyRead, this, [this, port] {
            while (socket_.hasPendingDatagrams()) {
                const QByteArray command = socket_.receiveDatagram().data().trimmed();
                if (command == "*IDN?")
                    send("Telvane Instruments,TDL-20,0451207,FW1.03\r\n", port);
            }
        });
        port_ = port;
    }
    void send(const QByteArray& bytes, quint16 port = 0) {
        socket_.writeDatagram(bytes, QHostAddress::LocalHost, port ? port : port_);
    }
    bool bound = false;

private:
    QUdpSocket socket_;
    quint16 port_ = 0;
};

class WholeValues : public E2eWindow {
protected:
    void open_window() {
        ASSERT_TRUE(dir.isValid());
        udp_port = free_udp_port();
        instrument = std::make_unique<ScriptedInstrument>(udp_port);
        ASSERT_TRUE(instrument->bound);
        ASSERT_NO_FATAL_FAILURE(open_form());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_NO_FATAL_FAILURE(connect_to(Link::Network));
        ASSERT_NO_FATAL_FAILURE(click("btn_QS"));
        ASSERT_EQ(field("edt_Model"), QStringLiteral("TDL-20"));
    }
    std::unique_ptr<ScriptedInstrument> instrument;
};

TEST_F(WholeValues, ShowSaveAndOpenAgain) {
    ASSERT_NO_FATAL_FAILURE(open_window());
    struct Reading {
        const char* line;
        const char* shown;
        double y;
    };
    const Reading readings[] = {
        {"-1.23456E-05 DCA", "-1.23456E-5", -1.23456e-5},
        {"+1.2000E+10 DCV", "12000000000", 1.2e10},
        {"-9.9E+37 OHM", "-9.9E37", -9.9e37},
        {"+3.14159265E+00 TCK", "3.14159265", 3.14159265},
    };
    int filled = 0;
    for (const Reading& r : readings) {
        SCOPED_TRACE(r.line);
        instrument->send(QByteArray(r.line) + "\r\n");
        ASSERT_TRUE(wait_for([&] { return form->table().row_filled(filled + 1); }, 3000));
        ++filled;
        EXPECT_EQ(cell(filled, Col::ColMain), QString::fromLatin1(r.shown));
        // Each function starts a run of its own: the chart holds this reading alone.
        ASSERT_EQ(chart().point_count(TrendChart::kMain), 1u);
        EXPECT_EQ(chart().y(TrendChart::kMain, 0), r.y);
    }

    const std::vector<QStringList> shown = table_cells();
    const QString file = dir.filePath(QStringLiteral("whole.txt"));
    dialogs.answers.push_back({true, file});
    menu("Mni_Save");
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.back().text, v.text(23)); // "File has been Saved!"
    dialogs.answers.push_back({true, file});
    menu("Mni_Open");
    EXPECT_EQ(dialogs.boxes.back().text, v.text(23)); // no "Error file format!" after it
    EXPECT_EQ(table_cells(), shown);
    EXPECT_EQ(chart().y(TrendChart::kMain, chart().point_count(TrendChart::kMain) - 1), 3.14159265);
}

TEST_F(WholeValues, ADumpThatStopsShowsWhatCame) {
    ASSERT_NO_FATAL_FAILURE(open_window());
    QByteArray dump = "RECALL INTERNAL MEMORY: 1bank,8number,2012-05-06 14:30:00,5interval,"
                      "DCVMfunction,NULLSfunction:";
    for (float f : {1.5f, 2.5f, 3.5f}) {
        char bytes[4];
        qToLittleEndian(f, bytes);
        dump.append(bytes, 4);
    }
    instrument->send(dump);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(wait_rows(3, 6000)) << rows();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(cell(3, Col::ColMain), QStringLiteral("3.5"));
    EXPECT_EQ(cell(3, Col::ColTime), QStringLiteral("14:30:10.10"));
    EXPECT_TRUE(memo().contains(QStringLiteral("RECALL ENDED: 3 of 8 records")));
    EXPECT_EQ(chart().point_count(TrendChart::kMain), 3u);

    instrument->send("7.25 DCV\r\n");
    ASSERT_TRUE(wait_rows(4, 3000));
    EXPECT_EQ(cell(4, Col::ColMain), QStringLiteral("7.25"));
    EXPECT_TRUE(v.recall_state.isEmpty());
}

} // namespace
