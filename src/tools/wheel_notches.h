// Wheel deltas summed into notches of 120: the sum starts afresh when more than 50 ms passed since the
// previous wheel message. The Tiles and Mosaics windows scroll and zoom by notches.
#pragma once

#include <cstdint>

namespace zorva {

class WheelNotches {
public:
    static constexpr int kNotch = 120;
    static constexpr std::int64_t kPauseMs = 50;

    // Adds `delta` at `now_ms`; returns +1 or -1 when a notch is full (taken off the sum), else 0.
    int add(int delta, std::int64_t now_ms) {
        if (!started_ || now_ms - last_ms_ > kPauseMs) sum_ = 0;
        started_ = true;
        last_ms_ = now_ms;
        sum_ += delta;
        if (sum_ >= kNotch) {
            sum_ -= kNotch;
            return 1;
        }
        if (sum_ <= -kNotch) {
            sum_ += kNotch;
            return -1;
        }
        return 0;
    }

private:
    int sum_ = 0;
    std::int64_t last_ms_ = 0;
    bool started_ = false;
};

}  // namespace zorva
