#pragma once

#include "state/language_state.h"

class QWidget;

// The language menu's part of building the tables: captions the items lan_01 to lan_09 of
// `window` with the language names (lan_09 first) and shows each item whose name is not
// empty. The check mark is left alone.
void lan_show_names(const LanguageState& v, QWidget& window);

// Rewrites the main window's menu captions and control texts, found by their names under
// `window`, from the block of language `index`, then makes it the current language. An index
// whose language has no name changes nothing, lan_index included. Returns whether the
// language was applied.
bool lan_apply(LanguageState& v, QWidget& window, int index);

// A language text as a label or button shows it: the texts break lines with a lone carriage
// return, which Qt's widgets do not take for a line break.
QString shown_text(const QString& text);
