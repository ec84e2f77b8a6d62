#include "presentation/window_place.h"

#include <QScreen>
#include <QWidget>

void centre_on_screen(QWidget& window) {
    const QWidget* owner = window.parentWidget();
    QScreen* screen = owner ? owner->screen() : window.screen();
    if (!screen)
        return;
    // The frame is what the user sees; move() places the frame's corner at pos().
    window.move(screen->availableGeometry().center() - window.frameGeometry().center() +
                window.pos());
}
