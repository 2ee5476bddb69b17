#pragma once

#include <cstdint>

#include "input/types.h"
#include "vel/vector.h"

namespace input {

// What the readers and the frame update share about control types and the step buffers.

// The frame update buffers these through the analogue read, every other type digitally.
inline bool isBufferedAsAnalogue(ControlType type) {
    return (type >= CONTROL_AXIS && type <= CONTROL_AXIS_NEGATIVE_HALF) ||
           type == CONTROL_ANALOGUE_BUTTON;
}

// The types a pad button answers digitally (down, pressed, released, analogue button, tap, hold).
inline bool isPadDigitalType(ControlType type) {
    return type >= CONTROL_DOWN && type <= CONTROL_HOLD;
}

// A world-step buffer's value for an action; ids beyond the buffer read 0.0.
inline float stepValue(const vel::Vector<float>& buffer, int action) {
    std::uint32_t index = static_cast<std::uint32_t>(action);
    return index < buffer.size() ? buffer[index] : 0.0f;
}

} // namespace input
