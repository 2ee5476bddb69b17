#include "input/gamepad.h"

#include "gamepad/gamepad_state.h"
#include "vel/file_stream.h"

namespace input {

namespace {

// max(speed, 0) then min(that, 1); NaN stores 0.
float clampSpeed(float speed) {
    if (!(speed > 0.0f))
        return 0.0f;
    return speed > 1.0f ? 1.0f : speed;
}

std::uint16_t motorSpeed(float speed) {
    return static_cast<std::uint16_t>(static_cast<double>(speed) * 65535.0);
}

} // namespace

void sendVibration(std::int32_t id, float low, float high) {
    _tov_XINPUT_VIBRATION message{motorSpeed(low), motorSpeed(high)};
    tovXInputSetState(static_cast<std::uint32_t>(id), &message);
}

void Gamepad::setLowFrequencyRumble(float speed) {
    m_state->lowFrequencyRumble = clampSpeed(speed);
}

void Gamepad::setHighFrequencyRumble(float speed) {
    m_state->highFrequencyRumble = clampSpeed(speed);
}

float Gamepad::getLowFrequencyRumble() const {
    return m_state->lowFrequencyRumble;
}

float Gamepad::getHighFrequencyRumble() const {
    return m_state->highFrequencyRumble;
}

void Gamepad::enableRumble(bool enabled) {
    m_state->rumbleEnabled = enabled;
}

void Gamepad::updateDemoRecording(vel::FileStream& stream) {
    GamepadState& s = *m_state;
    static_assert(sizeof(s.reports.current) == 12, "a demo record holds two 12-byte reports");
    if (stream.getMode() == vel::FileStream::MODE_WRITE) {
        stream.write(&s.reports.current, sizeof s.reports.current);
        stream.write(&s.reports.previous, sizeof s.reports.previous);
    } else {
        stream.read(&s.reports.current, sizeof s.reports.current);
        stream.read(&s.reports.previous, sizeof s.reports.previous);
    }
}

} // namespace input
