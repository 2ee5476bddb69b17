#pragma once

#include <cstdint>

#include "input/types.h"
#include "vel/xinput.h"

namespace input {

// What a pad's lock guards: the reports of this poll and the one before, and the hold timers.
// The queries below read it; the pad's methods call them under its lock, and the manager's frame
// pass calls them on a copy taken under that lock once per pass.
struct PadReports {
    static constexpr int kTimedButtons = 18; // codes 0-15 and the two triggers

    _tov_XINPUT_GAMEPAD current{};
    _tov_XINPUT_GAMEPAD previous{};
    float holdTime[kTimedButtons] = {};
};

namespace pad {

constexpr int kTriggerThreshold = 30; // XINPUT_GAMEPAD_TRIGGER_THRESHOLD: down strictly above
constexpr int kDeadZone = 7864;
constexpr float kHoldSeconds = 0.4f;
constexpr std::uint16_t kDpadMask = 0x000F;

// Codes 0-17: the buttons and triggers that have a state and a timer.
inline bool isButtonCode(int button) {
    return button >= 0 && button < PadReports::kTimedButtons;
}

// Down as the button queries see it: bit set, or trigger above the threshold.
inline bool isDown(const _tov_XINPUT_GAMEPAD& report, int button) {
    if (button == GAMEPAD_LEFT_TRIGGER)
        return report.bLeftTrigger > kTriggerThreshold;
    if (button == GAMEPAD_RIGHT_TRIGGER)
        return report.bRightTrigger > kTriggerThreshold;
    return (report.wButtons & (1u << button)) != 0;
}

// The queries take a button code already checked with isButtonCode.
inline bool buttonDown(const PadReports& r, int button) {
    return isDown(r.current, button);
}

inline bool buttonPressed(const PadReports& r, int button) {
    if (button <= GAMEPAD_DPAD_RIGHT) {
        // A direction is pressed only from rest, and alone: no slide or diagonal counts.
        return (r.previous.wButtons & kDpadMask) == 0 &&
               (r.current.wButtons & kDpadMask) == (1u << button);
    }
    return isDown(r.current, button) && !isDown(r.previous, button);
}

inline bool buttonReleased(const PadReports& r, int button) {
    return isDown(r.previous, button) && !isDown(r.current, button);
}

// Up now, after a press shorter than the hold time.
inline bool buttonClicked(const PadReports& r, int button) {
    float held = r.holdTime[button];
    return !isDown(r.current, button) && held > 0.0f && held < kHoldSeconds;
}

inline bool buttonHeld(const PadReports& r, int button) {
    return isDown(r.current, button) && r.holdTime[button] >= kHoldSeconds;
}

// Triggers 0.0-1.0 with no threshold; buttons 1.0 or 0.0.
inline float analogButton(const PadReports& r, int button) {
    if (button == GAMEPAD_LEFT_TRIGGER)
        return r.current.bLeftTrigger / 255.0f;
    if (button == GAMEPAD_RIGHT_TRIGGER)
        return r.current.bRightTrigger / 255.0f;
    return (r.current.wButtons & (1u << button)) ? 1.0f : 0.0f;
}

inline std::int16_t axisValue(const _tov_XINPUT_GAMEPAD& report, int axis) {
    switch (axis) {
    case 0: return report.sThumbLX;
    case 1: return report.sThumbLY;
    case 2: return report.sThumbRX;
    default: return report.sThumbRY;
    }
}

// Axis 0-3 through the dead zone. The offsets differ by one so that both ends reach exactly 1.0
// and -1.0.
inline float axis(const PadReports& r, int axis) {
    int v = axisValue(r.current, axis);
    if (v > kDeadZone)
        return static_cast<float>(v - kDeadZone) / 24903.0f;
    if (v < -kDeadZone)
        return static_cast<float>(v + kDeadZone + 1) / 24903.0f;
    return 0.0f;
}

inline float rawAxis(const PadReports& r, int axis) {
    return static_cast<float>(axisValue(r.current, axis)) / 32767.0f;
}

// The digital query of a control type for a button code (0-17); false for any other type.
inline bool digitalQuery(const PadReports& r, ControlType type, int button) {
    switch (type) {
    case CONTROL_DOWN:
    case CONTROL_ANALOGUE_BUTTON: return buttonDown(r, button);
    case CONTROL_PRESSED: return buttonPressed(r, button);
    case CONTROL_RELEASED: return buttonReleased(r, button);
    case CONTROL_TAP: return buttonClicked(r, button);
    case CONTROL_HOLD: return buttonHeld(r, button);
    default: return false;
    }
}

// True when no button query can hold for any code: nothing down in this poll or the one before
// and no hold timer running. Lets a walk over button bindings stop before it starts.
inline bool buttonsAtRest(const PadReports& r) {
    auto up = [](const _tov_XINPUT_GAMEPAD& report) {
        return report.wButtons == 0 && report.bLeftTrigger <= kTriggerThreshold &&
               report.bRightTrigger <= kTriggerThreshold;
    };
    if (!up(r.current) || !up(r.previous))
        return false;
    for (float held : r.holdTime) {
        if (held != 0.0f)
            return false;
    }
    return true;
}

} // namespace pad

} // namespace input
