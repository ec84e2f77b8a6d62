#pragma once

// Waits at least `ms` milliseconds while the window thread keeps handling its events (input,
// painting, timers), so the windows stay responsive. Handlers may therefore run in the middle
// of the caller. Zero or a negative value handles pending events once and returns.
void wait_ms(int ms);
