#include "input/gamepad.h"

#include "gamepad/gamepad_state.h"
#include "manager/heap_object.h"
#include "manager/locks.h"
#include "manager/settings.h"

namespace input {

namespace {

constexpr int kTriggerThreshold = 30; // XINPUT_GAMEPAD_TRIGGER_THRESHOLD: down strictly above
constexpr int kDeadZone = 7864;
constexpr float kHoldSeconds = 0.4f;
constexpr std::uint16_t kDpadMask = 0x000F;

bool isButtonCode(int button) {
    return button >= 0 && button < GamepadState::kTimedButtons;
}

// Down as the button queries see it: bit set, or trigger above the threshold.
bool isDown(const _tov_XINPUT_GAMEPAD& report, int button) {
    if (button == GAMEPAD_LEFT_TRIGGER)
        return report.bLeftTrigger > kTriggerThreshold;
    if (button == GAMEPAD_RIGHT_TRIGGER)
        return report.bRightTrigger > kTriggerThreshold;
    return (report.wButtons & (1u << button)) != 0;
}

// Down as the hold timers see it: a trigger counts as soon as it leaves zero.
bool isTimedDown(const _tov_XINPUT_GAMEPAD& report, int button) {
    if (button == GAMEPAD_LEFT_TRIGGER)
        return report.bLeftTrigger != 0;
    if (button == GAMEPAD_RIGHT_TRIGGER)
        return report.bRightTrigger != 0;
    return (report.wButtons & (1u << button)) != 0;
}

std::int16_t axisValue(const _tov_XINPUT_GAMEPAD& report, int axis) {
    switch (axis) {
    case 0: return report.sThumbLX;
    case 1: return report.sThumbLY;
    case 2: return report.sThumbRX;
    default: return report.sThumbRY;
    }
}

bool outsideDeadZone(std::int16_t v) {
    return v > kDeadZone || v < -kDeadZone;
}

} // namespace

Gamepad::Gamepad(int id) : m_state(newObject<GamepadState>()) {
    try {
        m_state->id = id;
        if (isUserIndex(id)) {
            _tov_XINPUT_STATE scratch{};
            m_state->connected = tovXInputGetState(static_cast<std::uint32_t>(id), &scratch) == 0;
        }
        m_state->lock = RecursiveLock::create();
    } catch (...) {
        deleteObject(m_state);
        throw;
    }
}

Gamepad::~Gamepad() {
    if (m_state->rumbleEnabled && isUserIndex(m_state->id))
        sendVibration(m_state->id, 0.0f, 0.0f);
    RecursiveLock::destroy(m_state->lock);
    deleteObject(m_state);
}

void Gamepad::update(float dt) {
    GamepadState& s = *m_state;
    if (!isUserIndex(s.id))
        return;
    _tov_XINPUT_STATE state{};
    if (s.connected || s.refreshRequested)
        s.connected = tovXInputGetState(static_cast<std::uint32_t>(s.id), &state) == 0;
    s.refreshRequested = false;
    {
        RecursiveLockGuard guard(s.lock);
        s.previous = s.current;
        s.current = state.Gamepad;
        for (int c = 0; c < GamepadState::kTimedButtons; ++c) {
            if (isTimedDown(s.current, c))
                s.holdTime[c] += dt;
            else if (!isTimedDown(s.previous, c))
                s.holdTime[c] = 0.0f;
            // else: released by this poll; the timer keeps the length of the press one frame.
        }
    }
    if (s.rumbleEnabled && settings::rumbleEnableOldSystem.get()) {
        sendVibration(s.id, s.lowFrequencyRumble, s.highFrequencyRumble);
        s.lowFrequencyRumble = 0.0f;
        s.highFrequencyRumble = 0.0f;
    }
}

void Gamepad::reset() {
    GamepadState& s = *m_state;
    s.current = _tov_XINPUT_GAMEPAD{};
    s.previous = _tov_XINPUT_GAMEPAD{};
    s.lowFrequencyRumble = 0.0f;
    s.highFrequencyRumble = 0.0f;
    for (float& t : s.holdTime)
        t = 0.0f;
}

bool Gamepad::isConnected() const {
    return m_state->connected;
}

bool Gamepad::isActivity() const {
    const GamepadState& s = *m_state;
    RecursiveLockGuard guard(s.lock);
    const _tov_XINPUT_GAMEPAD& r = s.current;
    return r.wButtons != 0 || r.bLeftTrigger > kTriggerThreshold ||
           r.bRightTrigger > kTriggerThreshold || outsideDeadZone(r.sThumbLX) ||
           outsideDeadZone(r.sThumbLY) || outsideDeadZone(r.sThumbRX) ||
           outsideDeadZone(r.sThumbRY);
}

bool Gamepad::buttonDown(int button) const {
    const GamepadState& s = *m_state;
    if (button == GAMEPAD_BUTTON_NONE || !s.connected || !isButtonCode(button))
        return false;
    RecursiveLockGuard guard(s.lock);
    return isDown(s.current, button);
}

bool Gamepad::buttonPressed(int button) const {
    const GamepadState& s = *m_state;
    if (button == GAMEPAD_BUTTON_NONE || !s.connected || !isButtonCode(button))
        return false;
    RecursiveLockGuard guard(s.lock);
    if (button <= GAMEPAD_DPAD_RIGHT) {
        // A direction is pressed only from rest, and alone: no slide or diagonal counts.
        return (s.previous.wButtons & kDpadMask) == 0 &&
               (s.current.wButtons & kDpadMask) == (1u << button);
    }
    return isDown(s.current, button) && !isDown(s.previous, button);
}

bool Gamepad::buttonReleased(int button) const {
    const GamepadState& s = *m_state;
    if (button == GAMEPAD_BUTTON_NONE || !s.connected || !isButtonCode(button))
        return false;
    RecursiveLockGuard guard(s.lock);
    return isDown(s.previous, button) && !isDown(s.current, button);
}

bool Gamepad::buttonClicked(int button) const {
    const GamepadState& s = *m_state;
    if (button == GAMEPAD_BUTTON_NONE || !s.connected || !isButtonCode(button))
        return false;
    RecursiveLockGuard guard(s.lock);
    float held = s.holdTime[button];
    return !isDown(s.current, button) && held > 0.0f && held < kHoldSeconds;
}

bool Gamepad::buttonHeld(int button) const {
    const GamepadState& s = *m_state;
    if (button == GAMEPAD_BUTTON_NONE || !s.connected || !isButtonCode(button))
        return false;
    RecursiveLockGuard guard(s.lock);
    return isDown(s.current, button) && s.holdTime[button] >= kHoldSeconds;
}

float Gamepad::getAnalogButton(int button) const {
    const GamepadState& s = *m_state;
    if (button == GAMEPAD_BUTTON_NONE || !s.connected || !isButtonCode(button))
        return 0.0f;
    RecursiveLockGuard guard(s.lock);
    if (button == GAMEPAD_LEFT_TRIGGER)
        return s.current.bLeftTrigger / 255.0f;
    if (button == GAMEPAD_RIGHT_TRIGGER)
        return s.current.bRightTrigger / 255.0f;
    return (s.current.wButtons & (1u << button)) ? 1.0f : 0.0f;
}

float Gamepad::getAxis(int axis) const {
    const GamepadState& s = *m_state;
    if (!s.connected || axis < 0 || axis > 3)
        return 0.0f;
    RecursiveLockGuard guard(s.lock);
    int v = axisValue(s.current, axis);
    // The offsets differ by one so that both ends reach exactly 1.0 and -1.0.
    if (v > kDeadZone)
        return static_cast<float>(v - kDeadZone) / 24903.0f;
    if (v < -kDeadZone)
        return static_cast<float>(v + kDeadZone + 1) / 24903.0f;
    return 0.0f;
}

float Gamepad::getRawAxis(int axis) const {
    const GamepadState& s = *m_state;
    if (!s.connected || axis < 0 || axis > 3)
        return 0.0f;
    RecursiveLockGuard guard(s.lock);
    return static_cast<float>(axisValue(s.current, axis)) / 32767.0f;
}

void Gamepad::refreshGamepadConnectivity() {
    m_state->refreshRequested = true;
}

int Gamepad::getID() const {
    return m_state->id;
}

} // namespace input
