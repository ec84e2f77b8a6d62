#include "app/frm_main.h"
#include "app/key_filter.h"
#include "app/wait.h"
#include "support/form_fixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ctime>

namespace {

TEST(KeyFilter, PassesDigitsAndBackspaceOnly) {
    const std::pair<char16_t, bool> cases[] = {
        {u'0', true},  {u'5', true},  {u'9', true},  {8, true},     {u'a', false}, {u'Z', false},
        {u'-', false}, {u'.', false}, {u' ', false}, {u'/', false}, {u':', false}, {u'٣', false},
    };
    for (auto [ch, passes] : cases) {
        QChar key(ch);
        cbb_portKeyPress(nullptr, key);
        EXPECT_EQ(key, passes ? QChar(ch) : QChar(0)) << int(ch);
    }
}

TEST(KeyFilter, TypingIntoTheFilteredFields) {
    FormFixture windows;
    ASSERT_NO_FATAL_FAILURE(windows.open_form());
    TForm1& form = *windows.form;
    for (const char* name : {"edt_Number", "edt_Interval"}) {
        auto* edit = form.findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(edit, nullptr);
        edit->setEnabled(true);
        edit->clear();
        QTest::keyClicks(edit, "1a2-. 3x");
        EXPECT_EQ(edit->text(), QStringLiteral("123")) << name;
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), QStringLiteral("12")) << name;
    }
    // Letters typed into the port list do not pick an item.
    auto* port = form.findChild<QComboBox*>(QStringLiteral("cbb_port"));
    ASSERT_NE(port, nullptr);
    QTest::keyClicks(port, "N");
    EXPECT_EQ(port->currentIndex(), -1);
}

TEST(WaitMs, ReturnsNoSoonerThanAskedAndKeepsEventsFlowing) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpu_before = std::clock();
    wait_ms(500);
    const double cpu_ms = 1000.0 * double(std::clock() - cpu_before) / CLOCKS_PER_SEC;
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_GE(ticks, 10); // events were handled throughout the wait
    EXPECT_LT(cpu_ms, 250.0) << "the wait must sleep in the event loop, not spin";
}

TEST(WaitMs, ZeroOrNegativeHandlesPendingEventsOnce) {
    for (int ms : {0, -5}) {
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        QElapsedTimer clock;
        clock.start();
        wait_ms(ms);
        EXPECT_TRUE(ran) << ms;
        EXPECT_LT(clock.elapsed(), 200) << ms;
    }
}

} // namespace
