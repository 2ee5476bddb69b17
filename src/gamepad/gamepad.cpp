#include "input/gamepad.h"

#include <cstring>

#include "gamepad/gamepad_state.h"
#include "manager/heap_object.h"
#include "manager/locks.h"
#include "manager/settings.h"

namespace input {

namespace {

// Down as the hold timers see it: a trigger counts as soon as it leaves zero.
bool isTimedDown(const _tov_XINPUT_GAMEPAD& report, int button) {
    if (button == GAMEPAD_LEFT_TRIGGER)
        return report.bLeftTrigger != 0;
    if (button == GAMEPAD_RIGHT_TRIGGER)
        return report.bRightTrigger != 0;
    return (report.wButtons & (1u << button)) != 0;
}

bool outsideDeadZone(std::int16_t v) {
    return v > pad::kDeadZone || v < -pad::kDeadZone;
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
    // A pad at rest that reads at rest again changes nothing: skip the lock and the timers (only
    // this thread writes the reports, so reading them here needs no lock).
    static const PadReports kAtRest{};
    static const _tov_XINPUT_GAMEPAD kNoReport{};
    bool atRest = std::memcmp(&state.Gamepad, &kNoReport, sizeof kNoReport) == 0 &&
                  std::memcmp(&s.reports, &kAtRest, sizeof kAtRest) == 0;
    if (!atRest) {
        RecursiveLockGuard guard(s.lock);
        PadReports& r = s.reports;
        r.previous = r.current;
        r.current = state.Gamepad;
        for (int c = 0; c < PadReports::kTimedButtons; ++c) {
            if (isTimedDown(r.current, c))
                r.holdTime[c] += dt;
            else if (!isTimedDown(r.previous, c))
                r.holdTime[c] = 0.0f;
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
    s.reports.current = _tov_XINPUT_GAMEPAD{};
    s.reports.previous = _tov_XINPUT_GAMEPAD{};
    s.lowFrequencyRumble = 0.0f;
    s.highFrequencyRumble = 0.0f;
    for (float& t : s.reports.holdTime)
        t = 0.0f;
}

bool Gamepad::isConnected() const {
    return m_state->connected;
}

bool Gamepad::isActivity() const {
    const GamepadState& s = *m_state;
    RecursiveLockGuard guard(s.lock);
    const _tov_XINPUT_GAMEPAD& r = s.reports.current;
    return r.wButtons != 0 || r.bLeftTrigger > pad::kTriggerThreshold ||
           r.bRightTrigger > pad::kTriggerThreshold || outsideDeadZone(r.sThumbLX) ||
           outsideDeadZone(r.sThumbLY) || outsideDeadZone(r.sThumbRX) ||
           outsideDeadZone(r.sThumbRY);
}

// A query of a button code: false (or 0.0) for a code without a state or a pad that is not
// connected, else the answer under the pad's lock.
template <class Result, class Query>
Result buttonQuery(const GamepadState& s, int button, Query query) {
    if (!s.connected || !pad::isButtonCode(button))
        return Result();
    RecursiveLockGuard guard(s.lock);
    return query(s.reports, button);
}

bool Gamepad::buttonDown(int button) const {
    return buttonQuery<bool>(*m_state, button, pad::buttonDown);
}

bool Gamepad::buttonPressed(int button) const {
    return buttonQuery<bool>(*m_state, button, pad::buttonPressed);
}

bool Gamepad::buttonReleased(int button) const {
    return buttonQuery<bool>(*m_state, button, pad::buttonReleased);
}

bool Gamepad::buttonClicked(int button) const {
    return buttonQuery<bool>(*m_state, button, pad::buttonClicked);
}

bool Gamepad::buttonHeld(int button) const {
    return buttonQuery<bool>(*m_state, button, pad::buttonHeld);
}

float Gamepad::getAnalogButton(int button) const {
    return buttonQuery<float>(*m_state, button, pad::analogButton);
}

float Gamepad::getAxis(int axis) const {
    const GamepadState& s = *m_state;
    if (!s.connected || axis < 0 || axis > 3)
        return 0.0f;
    RecursiveLockGuard guard(s.lock);
    return pad::axis(s.reports, axis);
}

float Gamepad::getRawAxis(int axis) const {
    const GamepadState& s = *m_state;
    if (!s.connected || axis < 0 || axis > 3)
        return 0.0f;
    RecursiveLockGuard guard(s.lock);
    return pad::rawAxis(s.reports, axis);
}

void Gamepad::refreshGamepadConnectivity() {
    m_state->refreshRequested = true;
}

int Gamepad::getID() const {
    return m_state->id;
}

} // namespace input
