#include "link/receive_buffer.h"

#include <cstring>

int append_pending(std::uint8_t* buf, int capacity, std::int32_t& pos, std::int32_t& len,
                   const std::uint8_t* data, int n) {
    if (n <= 0)
        return 0;
    // Counters that someone else left out of range are repaired rather than trusted.
    if (pos < 0 || len < 0 || pos > capacity || len > capacity - pos) {
        pos = 0;
        len = 0;
    }
    if (pos + len + n <= capacity) {
        std::memcpy(buf + pos + len, data, static_cast<size_t>(n));
        len += n;
        return 0;
    }
    int dropped = 0;
    if (n >= capacity) {
        dropped = len + (n - capacity);
        std::memcpy(buf, data + (n - capacity), static_cast<size_t>(capacity));
        pos = 0;
        len = capacity;
        return dropped;
    }
    int keep = len;
    if (keep + n > capacity) {
        dropped = keep + n - capacity;
        keep = capacity - n;
    }
    std::memmove(buf, buf + pos + (len - keep), static_cast<size_t>(keep));
    std::memcpy(buf + keep, data, static_cast<size_t>(n));
    pos = 0;
    len = keep + n;
    return dropped;
}
