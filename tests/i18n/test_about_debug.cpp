#include "app/frm_main.h"
#include "i18n/about.h"
#include "i18n/debug_window.h"
#include "presentation/sampling.h"
#include "support/form_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

class HelpWindows : public ::testing::Test, protected FormFixture {
protected:
    void start(std::initializer_list<const char*> files_beside_program = {}) {
        ASSERT_NO_FATAL_FAILURE(open_form({.windows = true}, files_beside_program));
    }

    struct AboutSeen {
        QString title;
        QString text;
        QString button;
        bool modal = false;
    };

    // Opens the about window from the menu and reads it while it is up; pressing its button
    // ends the modal run.
    AboutSeen show_about() {
        AboutSeen seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<TForm5*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.modal = true;
            seen.title = box->windowTitle();
            seen.text = box->findChild<QLabel*>("Label1")->text();
            auto* ok = box->findChild<QPushButton*>("Button1");
            seen.button = ok->text();
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        form->findChild<QAction*>("Mni_About")->trigger();
        EXPECT_FALSE(about->isVisible());
        return seen;
    }
};

TEST_F(HelpWindows, AboutWindowFollowsTheLanguageAndKeepsItsLines) {
    start();
    const QString stars = QString(34, QChar('*'));
    const QString lines = stars + "\n \nTelvane SCPI Software \n \nVersion 1.0\n \n" + stars + "\n";
    struct Case {
        int language;
        const char* title;
        const char* button;
    };
    const Case cases[] = {{1, "About", "OK"}, {3, "Sur", "déterminer"}, {2, "关于", "确定"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        form->findChild<QAction*>(QStringLiteral("lan_0%1").arg(c.language))->trigger();
        const AboutSeen seen = show_about();
        EXPECT_TRUE(seen.modal);
        EXPECT_EQ(seen.title, QString::fromUtf8(c.title));
        EXPECT_EQ(seen.text, lines);
        EXPECT_EQ(seen.button, QString::fromUtf8(c.button));
    }
}

TEST_F(HelpWindows, AboutWindowHasItsFixedShape) {
    start();
    about->show();
    auto* label = about->findChild<QLabel*>("Label1");
    EXPECT_EQ(label->size(), QSize(315, 165));
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(label->font().pixelSize(), 20);
    EXPECT_EQ(about->size(), QSize(334, 230));
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);
    // Every line of the text fits the label without being cut.
    const QFontMetrics metrics(label->font());
    for (const QString& line : label->text().split('\n'))
        EXPECT_LE(metrics.horizontalAdvance(line), label->width()) << qPrintable(line);
    about->close();
}

TEST_F(HelpWindows, HelpOpensTheManualOnlyWhenItIsThere) {
    start();
    form->findChild<QAction*>("mni_HMun")->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(dialogs.boxes.empty());

    QFile manual(dir.filePath("Manual_en.pdf"));
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.close();
    form->mni_HMunClick();
    EXPECT_EQ(opened, QStringList{dir.filePath("Manual_en.pdf")});
}

TEST_F(HelpWindows, WithoutDebugFileTheItemIsAbsentAndTheLogOff) {
    start();
    auto* item = form->findChild<QAction*>("mni_debug");
    EXPECT_FALSE(item->isVisible());
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(v.debug_on);
    EXPECT_FALSE(debug->isVisible());
    EXPECT_TRUE(debug->memo()->toPlainText().isEmpty());
}

TEST_F(HelpWindows, DebugItemSwitchesTheLogBackAndForth) {
    start({"debug.txt"});
    auto* item = form->findChild<QAction*>("mni_debug");
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(v.debug_on);
    EXPECT_EQ(item->text(), QStringLiteral("Debug"));

    item->trigger(); // the user's click
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(v.debug_on);
    form->mni_debugClick();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(v.debug_on);

    // Switching never opens, closes or clears the window.
    form->show_debug_window();
    debug->append(QStringLiteral("10:00:00.1 line"));
    item->trigger();
    EXPECT_TRUE(debug->isVisible());
    EXPECT_EQ(debug->memo()->toPlainText(), QStringLiteral("10:00:00.1 line"));
    debug->close();
}

TEST_F(HelpWindows, DebugWindowIsAPlainWrappingMemo) {
    start({"debug.txt"});
    EXPECT_FALSE(debug->isVisible());
    form->show_debug_window();
    EXPECT_TRUE(debug->isVisible());
    EXPECT_EQ(debug->windowTitle(), QStringLiteral("Form2"));
    EXPECT_FALSE(debug->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(debug->windowFlags() & Qt::WindowMinimizeButtonHint);
    QPlainTextEdit* memo = debug->memo();
    EXPECT_EQ(memo->objectName(), QStringLiteral("mmo1"));
    EXPECT_EQ(memo->size(), QSize(704, 437));
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // Closing only hides it; lines keep arriving while it is hidden.
    debug->append(QStringLiteral("one"));
    debug->close();
    EXPECT_FALSE(debug->isVisible());
    debug->append(QStringLiteral("two"));
    form->show_debug_window();
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("one\ntwo"));
    debug->close();
}

// The debug window and the sampling dialog open in the middle of the main window's screen, and
// afterwards stay where the user moved them.
TEST_F(HelpWindows, SecondaryWindowsOpenCentredOnceAndThenStayPut) {
    start({"debug.txt"});
    const QRect screen = form->screen()->availableGeometry();
    for (QWidget* window : {static_cast<QWidget*>(debug), static_cast<QWidget*>(sampling)}) {
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        EXPECT_LE((window->frameGeometry().center() - screen.center()).manhattanLength(), 2);
        window->move(screen.topLeft() + QPoint(40, 30));
        const QPoint moved = window->pos();
        window->hide();
        window->show();
        EXPECT_EQ(window->pos(), moved);
        window->close();
    }
}

// Lines from other threads arrive on the window thread in the order append was called, also
// when the window thread logs in between.
TEST(DebugWindowLog, LinesFromAnyThreadKeepTheOrderOfTheCalls) {
    TForm2 window;
    std::thread first([&] { window.append(QStringLiteral("a1")); });
    first.join();
    window.append(QStringLiteral("main"));
    std::thread second([&] { window.append(QStringLiteral("a2")); });
    second.join();
    QApplication::processEvents();
    EXPECT_EQ(window.memo()->toPlainText(), QStringLiteral("a1\nmain\na2"));

    constexpr int kThreads = 4;
    constexpr int kLines = 300;
    window.memo()->clear();
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&window, t] {
            for (int i = 0; i < kLines; ++i)
                window.append(QStringLiteral("%1 %2").arg(t).arg(i));
        });
    }
    for (std::thread& w : writers)
        w.join();
    QApplication::processEvents();
    const QStringList lines = window.memo()->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), kThreads * kLines);
    std::vector<int> next(kThreads, 0);
    for (const QString& line : lines) {
        const int t = line.section(' ', 0, 0).toInt();
        EXPECT_EQ(line.section(' ', 1, 1).toInt(), next[t]++) << qPrintable(line);
    }
}

// A week with the traffic log on: the log keeps its newest lines and drops the oldest.
TEST(DebugWindowLog, KeepsTheNewestLinesOnly) {
    TForm2 window;
    for (int i = 0; i < TForm2::kKeptLines + 3; ++i)
        window.append(QString::number(i));
    QApplication::processEvents();
    QPlainTextEdit* memo = window.memo();
    ASSERT_EQ(memo->blockCount(), TForm2::kKeptLines);
    EXPECT_EQ(memo->document()->firstBlock().text(), QStringLiteral("3"));
    EXPECT_EQ(memo->document()->lastBlock().text(), QString::number(TForm2::kKeptLines + 2));
}

} // namespace
