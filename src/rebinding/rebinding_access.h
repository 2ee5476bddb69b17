#pragma once

#include "input/input_manager.h"
#include "input/rebinding.h"

namespace input {

// What the key binding screen's helpers reach inside the manager: the binding tables with their
// locks, the action table and names, and the PC device.
struct RebindingAccess {
    struct Table {
        vel::SpinLock& lock;
        BindingTable& table;
    };

    static bool isDevice(BindingDevice device) {
        return device == BINDING_KEYBOARD || device == BINDING_GAMEPAD;
    }
    // The table of a valid device.
    static Table table(const InputManager& manager, BindingDevice device) {
        InputManager& m = const_cast<InputManager&>(manager);
        if (device == BINDING_GAMEPAD)
            return {m.padBindingsLock, m.padBindings};
        return {m.keyBindingsLock, m.keyBindings};
    }
    static const vel::Vector<ActionEntry, vel::Allocator<ActionEntry, 0>>&
    actions(const InputManager& manager) {
        return manager.actions;
    }
    static const ActionNameTable& actionNames(const InputManager& manager) {
        return manager.actionNames;
    }
    static const InputX86* inputX86(const InputManager& manager) { return manager.inputX86; }
};

// Whether a profile can carry `code` in `device`'s table: keys 0-257; pad buttons and triggers
// 0-17 and the stick axes 20-23.
inline bool isProfileCode(BindingDevice device, unsigned code) {
    if (device == BINDING_KEYBOARD)
        return code < KEY_COUNT;
    return code <= GAMEPAD_RIGHT_TRIGGER ||
           (code >= GAMEPAD_LEFT_STICK_X && code <= GAMEPAD_RIGHT_STICK_Y);
}

} // namespace input
