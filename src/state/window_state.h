#pragma once

// What the windows share: the sampling ratio and the chart's cursor and wheel.

#include <cstdint>

struct WindowState {
    std::int32_t samp_ratio = 0;
    bool cursor_on = false;
    bool wheel_ready = true;
};
