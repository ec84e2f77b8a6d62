#pragma once

class QWidget;

// Puts a window's frame in the middle of the free area of its screen: the screen of the window
// that owns it, or its own for a window without an owner. The windows call it at their first
// show only, so afterwards each stays where the user put it.
void centre_on_screen(QWidget& window);
