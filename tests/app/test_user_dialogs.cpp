// The real message boxes: a warning and an error box carry the toolkit's title for their kind
// and its sign; the plain box has no sign and the program's title. Every box shows its text
// with the language's carriage-return line breaks turned into line breaks.
#include "app/user_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Shown {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Shows a box through `show` and reads it as it stands, then closes it as the user would.
Shown read_box(const std::function<void()>& show) {
    Shown seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->windowTitle(), box->text(), box->icon()};
        box->accept();
    });
    show();
    return seen;
}

TEST(UserDialogs, BoxesCarryTheTitleAndSignOfTheirKind) {
    QtUserDialogs dialogs(nullptr);
    const QString text = QStringLiteral("No Data!\rSecond line");
    struct Case {
        const char* kind;
        std::function<void()> show;
        QString title;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {
        {"warning", [&] { dialogs.warning(text); }, QStringLiteral("Warning"),
         QMessageBox::Warning},
        {"error", [&] { dialogs.error(text); }, QStringLiteral("Error"), QMessageBox::Critical},
        {"plain", [&] { dialogs.plain(text); }, QApplication::applicationDisplayName(),
         QMessageBox::NoIcon},
    };
    for (const Case& c : cases) {
        const Shown seen = read_box(c.show);
        EXPECT_EQ(seen.title, c.title) << c.kind;
        EXPECT_EQ(seen.icon, c.icon) << c.kind;
        EXPECT_EQ(seen.text, QStringLiteral("No Data!\nSecond line")) << c.kind;
    }
}

} // namespace
