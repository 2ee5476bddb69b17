#pragma once

#include "input/export.h"
#include "input/types.h"

namespace vel {
class FileStream;
}

namespace input {

struct GamepadState;

// One XInput controller slot: the reports of this poll and the one before, per-button hold
// timers, connection state and the rumble request. Button codes are GamepadButton values; a code
// outside 0-17 (and 255) reads as up, never pressed, with a zero timer and the value 0.0, and an
// axis index outside 0-3 reads 0.0. Queries take the pad's own lock and may come from any thread.
class INPUT_API Gamepad {
public:
    // Reads the controller of XInput user `id` once to learn whether it is connected.
    explicit Gamepad(int id);
    // Stops the motors when rumble is enabled.
    ~Gamepad();
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    // The per-frame poll; `dt` (seconds) advances the hold timers. A controller that is not
    // connected is read again only after refreshGamepadConnectivity. Sends the rumble request
    // when rumble is enabled and the "Rumble:Enable old system (PC)" setting is on.
    void update(float dt);
    // Forgets reports, timers and the rumble request; connection and id stay.
    void reset();

    bool isConnected() const;
    // Any button, a trigger above 30 or a stick outside the dead zone in the latest report.
    bool isActivity() const;

    bool buttonDown(int button) const;
    // D-pad directions count as pressed only from a rest with no direction held, and alone.
    bool buttonPressed(int button) const;
    bool buttonReleased(int button) const;
    // Up now, after a press shorter than 0.4 s (true in the poll of the release).
    bool buttonClicked(int button) const;
    // Down now for at least 0.4 s.
    bool buttonHeld(int button) const;
    // Triggers 0.0-1.0 with no threshold; buttons 1.0 or 0.0.
    float getAnalogButton(int button) const;
    // Axis 0-3 (left X, left Y, right X, right Y) through a per-axis dead zone, -1.0 to 1.0.
    float getAxis(int axis) const;
    // The same without dead zone: value / 32767.
    float getRawAxis(int axis) const;

    // The next poll reads the controller even when it is not connected.
    void refreshGamepadConnectivity();
    int getID() const;

    // Transfers one 24-byte record (current report, then previous) between the stream and the
    // pad: a stream in mode 2 is written to, any other is read from.
    void updateDemoRecording(vel::FileStream& stream);

    // Motor speeds 0.0-1.0 (clamped; NaN stores 0.0), sent by the next poll that may send.
    void setLowFrequencyRumble(float speed);
    void setHighFrequencyRumble(float speed);
    float getLowFrequencyRumble() const;
    float getHighFrequencyRumble() const;
    void enableRumble(bool enabled);

private:
    friend struct GamepadAccess;
    GamepadState* m_state;
};

} // namespace input
