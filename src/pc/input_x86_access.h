#pragma once

#include "input/input_x86.h"

namespace input {

// The key tests, inline for the manager's binding walks, which make them for every bound key of
// every action each frame. The device's own keyDown and keyClicked are these.
struct InputX86Access {
    // A state word is down when its top bit is set.
    static bool keyDown(const InputX86& device, unsigned short key) {
        return key < KEY_COUNT && device.keyState[key].load() < 0;
    }
    static bool keyClicked(const InputX86& device, unsigned short key) {
        return key < KEY_COUNT && device.keyState[key].load() < 0 &&
               device.previousKeyState[key].load() >= 0;
    }
    static float mouseSensitivity(const InputX86& device) { return device.mouseSensitivity; }
    // The device's frame step. False only when no key is down after it, so that the manager's
    // activity check can skip its walk of the key bindings on frames without keys.
    static bool update(InputX86& device);
};

} // namespace input
