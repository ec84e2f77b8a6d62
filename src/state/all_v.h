#pragma once

// The process-wide shared state of the program: every variable that more than one subsystem
// touches, under the name the rest of the code uses for it (v.rx_buf, v.lan_text). It is
// composed of one part per subsystem, and a subsystem that needs only its part takes only that.
// The program makes exactly one ALL_V and hands it around by reference; tests make their own
// fresh ones.

#include "state/language_state.h"
#include "state/link_state.h"
#include "state/reception_state.h"
#include "state/window_state.h"

struct ALL_V : LinkState, ReceptionState, LanguageState, WindowState {};
