#pragma once

#include <cstdint>

#include "gamepad/pad_reports.h"
#include "input/gamepad.h"
#include "input/relaxed.h"
#include "vel/xinput.h"

namespace input {

struct RecursiveLock;

// The pad's private record. `lock` guards the reports; the flags and the rumble request are
// single values written and read without it.
struct GamepadState {
    PadReports reports;
    Relaxed<bool> refreshRequested{true};
    Relaxed<bool> connected{false};
    std::int32_t id = 0;
    RecursiveLock* lock = nullptr;
    Relaxed<float> lowFrequencyRumble{0.0f};
    Relaxed<float> highFrequencyRumble{0.0f};
    Relaxed<bool> rumbleEnabled{true};
};

// The manager's frame pass reads a pad's record directly (the pad's lock still guards it).
struct GamepadAccess {
    static const GamepadState& state(const Gamepad& pad) { return *pad.m_state; }
};

// XInput user indices 0-3 are the only ones the wrapper is called for.
inline bool isUserIndex(std::int32_t id) {
    return id >= 0 && id <= 3;
}

// Sends the rumble request (or the stop) of a pad; rumble.cpp.
void sendVibration(std::int32_t id, float low, float high);

} // namespace input
