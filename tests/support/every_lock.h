#pragma once

// Takes and releases every lock of the manager and of its pads, through calls that any thread may
// make. Run on another thread after a failed call: a lock that call left held blocks it. Plain
// C++ over the library's header, so the MSVC-mode program without GoogleTest shares it.

#include "input/input.h"

namespace testing_support {

inline void takeEveryLock(input::InputManager& manager) {
    manager.isKeyBound(32, -1);    // keyBindingsLock
    manager.isButtonBound(12, -1); // padBindingsLock
    manager.getSelectedGamepad();  // gamepadLock
    manager.isChannelOn(-1);       // channelLock
    for (int slot = 0; slot < 4; ++slot)
        manager.getGamepad(slot)->buttonDown(input::GAMEPAD_A); // each pad's lock
}

} // namespace testing_support
