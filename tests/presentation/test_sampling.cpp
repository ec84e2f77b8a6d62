#include "app/frm_main.h"
#include "i18n/lan_tables.h"
#include "presentation/sampling.h"
#include "support/form_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class SamplingDialog : public ::testing::Test {
protected:
    void SetUp() override {
        lan_build(v);
        v.lan_index = 1000;
        v.samp_ratio = 5;
        dialog = std::make_unique<TForm3>(v);
        slider = dialog->findChild<QSlider*>("trckbr_samp1");
        label = dialog->findChild<QLabel*>("lbl_Sampling");
        ok = dialog->findChild<QPushButton*>("btn_OK");
        cancel = dialog->findChild<QPushButton*>("btn_cancel");
        ASSERT_TRUE(slider && label && ok && cancel);
    }

public: // the cases below reach the dialog through the fixture
    ALL_V v;
    std::unique_ptr<TForm3> dialog;
    QSlider* slider = nullptr;
    QLabel* label = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

TEST_F(SamplingDialog, FirstShowStandsAtOne) {
    dialog->show();
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 120);
    EXPECT_EQ(slider->value(), 1);
    EXPECT_EQ(label->text(), QStringLiteral("Recording interval : 1 Seconds"));
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog->size(), QSize(547, 153));
    EXPECT_EQ(label->font().pixelSize(), 16);
    dialog->close();
}

TEST_F(SamplingDialog, SlidingRewritesTheLabel) {
    dialog->show();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(label->text(), QStringLiteral("Recording interval : 2 Seconds"));
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(label->text(), QStringLiteral("Recording interval : 120 Seconds"));
    EXPECT_EQ(v.samp_ratio, 5); // nothing is kept before the user confirms
    dialog->close();
}

// Only confirming keeps the position; every way of leaving without it keeps the ratio, and
// the next show starts from the ratio again.
TEST_F(SamplingDialog, OnlyConfirmingKeepsThePosition) {
    struct Case {
        const char* how;
        std::function<void(SamplingDialog&)> leave;
        int ratio_after;
    };
    const Case cases[] = {
        {"OK", [](SamplingDialog& t) { QTest::mouseClick(t.ok, Qt::LeftButton); }, 60},
        {"Enter", [](SamplingDialog& t) { QTest::keyClick(t.dialog.get(), Qt::Key_Return); }, 60},
        {"Cancel", [](SamplingDialog& t) { QTest::mouseClick(t.cancel, Qt::LeftButton); }, 35},
        {"Esc", [](SamplingDialog& t) { QTest::keyClick(t.dialog.get(), Qt::Key_Escape); }, 35},
        {"close box", [](SamplingDialog& t) { t.dialog->close(); }, 35},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        v.samp_ratio = 35;
        dialog->show();
        EXPECT_EQ(slider->value(), 7);
        slider->setValue(12);
        EXPECT_EQ(label->text(), QStringLiteral("Recording interval : 12 Seconds"));
        c.leave(*this);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(v.samp_ratio, c.ratio_after);
        dialog->show();
        EXPECT_EQ(slider->value(), c.ratio_after / 5);
        dialog->close();
    }
}

TEST_F(SamplingDialog, NextShowUsesTheCurrentLanguage) {
    dialog->show();
    dialog->close();
    v.lan_index = 7000;
    v.samp_ratio = 60;
    dialog->show();
    // Dutch keeps the space at the end of its unit.
    EXPECT_EQ(label->text(), QStringLiteral("Registratie-interval : 12 seconden "));
    EXPECT_EQ(ok->text(), QStringLiteral("bepalen"));
    EXPECT_EQ(cancel->text(), QStringLiteral("annuleren"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Bemonsteringsfrequentie"));
    dialog->close();
}

// The menu item stays hidden, but once shown it runs the dialog modally.
TEST(SamplingMenu, HiddenItemOpensTheDialogWhenShown) {
    FormFixture windows;
    ASSERT_NO_FATAL_FAILURE(windows.open_form({.windows = true}));
    TForm3* dialog = windows.sampling;
    auto* item = windows.find<QAction>("Mni_Spr");
    EXPECT_FALSE(item->isVisible());
    EXPECT_EQ(item->text(), QStringLiteral("Sampling rate"));

    item->setVisible(true);
    bool was_modal = false;
    QTimer::singleShot(0, [&] {
        was_modal = QApplication::activeModalWidget() == dialog;
        dialog->findChild<QSlider*>("trckbr_samp1")->setValue(24);
        QTest::mouseClick(dialog->findChild<QPushButton*>("btn_OK"), Qt::LeftButton);
    });
    item->trigger();
    EXPECT_TRUE(was_modal);
    EXPECT_EQ(windows.v.samp_ratio, 120);
}

} // namespace
