#pragma once

#include <cstdint>

#include "input/relaxed.h"
#include "vel/xinput.h"

namespace input {

struct RecursiveLock;

// The pad's private record. `lock` guards current, previous and holdTime; the flags and the
// rumble request are single values written and read without it.
struct GamepadState {
    static constexpr int kTimedButtons = 18; // codes 0-15 and the two triggers

    _tov_XINPUT_GAMEPAD current{};
    _tov_XINPUT_GAMEPAD previous{};
    Relaxed<bool> refreshRequested{true};
    Relaxed<bool> connected{false};
    std::int32_t id = 0;
    RecursiveLock* lock = nullptr;
    Relaxed<float> lowFrequencyRumble{0.0f};
    Relaxed<float> highFrequencyRumble{0.0f};
    Relaxed<bool> rumbleEnabled{true};
    float holdTime[kTimedButtons] = {};
};

// XInput user indices 0-3 are the only ones the wrapper is called for.
inline bool isUserIndex(std::int32_t id) {
    return id >= 0 && id <= 3;
}

// Sends the rumble request (or the stop) of a pad; rumble.cpp.
void sendVibration(std::int32_t id, float low, float high);

} // namespace input
