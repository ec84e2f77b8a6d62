#pragma once

#include "state/language_state.h"

// The about box's text in the current language: texts 201 to 220, each that is not empty
// followed by CR LF. Empty texts leave no line; a text of one space makes a line that looks
// blank.
QString about_text(const LanguageState& v);
