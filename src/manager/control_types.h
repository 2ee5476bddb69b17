#pragma once

#include "input/types.h"

namespace input {

// The frame update buffers these through the analogue read, every other type digitally.
inline bool isBufferedAsAnalogue(ControlType type) {
    return (type >= CONTROL_AXIS && type <= CONTROL_AXIS_NEGATIVE_HALF) ||
           type == CONTROL_ANALOGUE_BUTTON;
}

// The types a pad button answers digitally (down, pressed, released, analogue button, tap, hold).
inline bool isPadDigitalType(ControlType type) {
    return type >= CONTROL_DOWN && type <= CONTROL_HOLD;
}

} // namespace input
