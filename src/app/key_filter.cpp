#include "app/key_filter.h"

#include <QKeyEvent>

void cbb_portKeyPress(QObject* /*Sender*/, QChar& Key) {
    const char16_t c = Key.unicode();
    if (c == 8 || (c >= u'0' && c <= u'9'))
        return;
    Key = QChar(0);
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    QChar c = text.at(0);
    const bool typed = c.unicode() >= 0x20 && c.unicode() != 0x7F;
    if (!typed && c.unicode() != 8)
        return false;
    cbb_portKeyPress(watched, c);
    return c.isNull();
}
