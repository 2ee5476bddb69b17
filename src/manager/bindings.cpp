#include "input/default_actions.h"
#include "input/input_manager.h"
#include "manager/binding_walk.h"
#include "manager/default_bindings.h"

namespace input {

namespace {

struct DefaultBinding {
    int action;
    unsigned short code;
};

// Default keys, in binding order (Windows virtual-key codes).
const DefaultBinding kDefaultKeys[] = {
    {ACTION_ABORT_VIDEO, 32},            // Space
    {ACTION_ABORT_VIDEO, 27},            // Escape
    {ACTION_ABORT_VIDEO_CONFIRM, 32},    // Space
    {ACTION_ABORT_TIMELINE, 32},         // Space
    {ACTION_ABORT_TIMELINE_CONFIRM, 32}, // Space
    {ACTION_SCROLL_TIMELINES_UP, 33},    // Page Up
    {ACTION_SCROLL_TIMELINES_DOWN, 34},  // Page Down
    {ACTION_TOGGLE_MENU, 27},            // Escape
    {ACTION_MENU_A, 13},                 // Enter
    {ACTION_MENU_A_DOWN, 13},            // Enter
    {ACTION_MENU_B, 27},                 // Escape
    {ACTION_MENU_X, 70},                 // F
    {ACTION_MENU_X_DOWN, 70},            // F
    {ACTION_MENU_Y, 8},                  // Backspace
    {ACTION_MENU_Y, 89},                 // Y
    {ACTION_MENU_Y_DOWN, 89},            // Y
    {ACTION_MENU_LEFTSHOULDER, 81},      // Q
    {ACTION_MENU_RIGHTSHOULDER, 69},     // E
    {ACTION_MENU_RIGHTSHOULDER, 9},      // Tab
    {ACTION_MENU_PADUP, 38},             // Up arrow
    {ACTION_MENU_PADUP, 87},             // W
    {ACTION_MENU_PADDOWN, 40},           // Down arrow
    {ACTION_MENU_PADDOWN, 83},           // S
    {ACTION_MENU_PADLEFT, 37},           // Left arrow
    {ACTION_MENU_PADLEFT, 65},           // A
    {ACTION_MENU_PADRIGHT, 39},          // Right arrow
    {ACTION_MENU_PADRIGHT, 68},          // D
    {ACTION_FREECAMERA_FORWARD1, 119},   // F8
    {ACTION_FREECAMERA_BACKWARD1, 118},  // F7
    {ACTION_FREECAMERA_UP, 81},          // Q
    {ACTION_FREECAMERA_DOWN, 69},        // E
    {ACTION_FREECAMERA_FASTER, 1},       // left mouse button
    {ACTION_FREECAMERA_SLOWER, 2},       // right mouse button
    {ACTION_FREECAMERA_SCALE_TRANSLATION_UP, KEY_WHEEL_UP},
    {ACTION_FREECAMERA_SCALE_TRANSLATION_DOWN, KEY_WHEEL_DOWN},
    {ACTION_FREECAMERA_SCALE_ROTATION_UP, 187},   // VK_OEM_PLUS
    {ACTION_FREECAMERA_SCALE_ROTATION_DOWN, 189}, // VK_OEM_MINUS
    {ACTION_PAUSE, 19},                           // Pause
    {ACTION_DEBUG_DISABLE, 27},                   // Escape
    {ACTION_DEBUG_SELECT_HIDDEN, 17},             // Ctrl
    {ACTION_PHOTOMODE_UP, 32},                    // Space
    {ACTION_PHOTOMODE_DOWN, 17},                  // Ctrl
    {ACTION_PHOTOMODE_ENABLE_CAMERA_MOVEMENT, 2}, // right mouse button
    {ACTION_PHOTOMODE_HIDE_MENU, 84},             // T
    {ACTION_PHOTOMODE_RESET, 82},                 // R
    {ACTION_PHOTOMODE_TAKE_PHOTO_PC, 9},          // Tab
};

// Default pad codes, in binding order, but for the sticks of movement and camera (below).
const DefaultBinding kDefaultPadCodes[] = {
    {ACTION_ABORT_VIDEO, GAMEPAD_A},
    {ACTION_ABORT_VIDEO, GAMEPAD_B},
    {ACTION_ABORT_VIDEO, GAMEPAD_Y},
    {ACTION_ABORT_VIDEO, GAMEPAD_X},
    {ACTION_ABORT_VIDEO_CONFIRM, GAMEPAD_B},
    {ACTION_ABORT_TIMELINE, GAMEPAD_A},
    {ACTION_ABORT_TIMELINE, GAMEPAD_B},
    {ACTION_ABORT_TIMELINE, GAMEPAD_Y},
    {ACTION_ABORT_TIMELINE, GAMEPAD_X},
    {ACTION_ABORT_TIMELINE_CONFIRM, GAMEPAD_B},
    {ACTION_LOADING_CONTINUE, GAMEPAD_A},
    {ACTION_TOGGLE_MENU, GAMEPAD_START},
    {ACTION_TOGGLE_GAMEPLAY_MENU, GAMEPAD_BACK},
    {ACTION_TOGGLE_GAMEPLAY_MENU_DOWN, GAMEPAD_BACK},
    {ACTION_MENU_A, GAMEPAD_A},
    {ACTION_MENU_A_DOWN, GAMEPAD_A},
    {ACTION_MENU_B, GAMEPAD_B},
    {ACTION_MENU_B_DOWN, GAMEPAD_B},
    {ACTION_MENU_X, GAMEPAD_X},
    {ACTION_MENU_X_DOWN, GAMEPAD_X},
    {ACTION_MENU_Y, GAMEPAD_Y},
    {ACTION_MENU_Y_DOWN, GAMEPAD_Y},
    {ACTION_MENU_START, GAMEPAD_START},
    {ACTION_MENU_BACK, GAMEPAD_BACK},
    {ACTION_MENU_LEFTTHUMB, GAMEPAD_LEFT_THUMB},
    {ACTION_MENU_RIGHTTHUMB, GAMEPAD_RIGHT_THUMB},
    {ACTION_MENU_LEFTSHOULDER, GAMEPAD_LEFT_SHOULDER},
    {ACTION_MENU_RIGHTSHOULDER, GAMEPAD_RIGHT_SHOULDER},
    {ACTION_MENU_PADUP, GAMEPAD_DPAD_UP},
    {ACTION_MENU_PADDOWN, GAMEPAD_DPAD_DOWN},
    {ACTION_MENU_PADLEFT, GAMEPAD_DPAD_LEFT},
    {ACTION_MENU_PADRIGHT, GAMEPAD_DPAD_RIGHT},
    {ACTION_MENU_LEFTTHUMBX, GAMEPAD_LEFT_STICK_X},
    {ACTION_MENU_LEFTTHUMBY, GAMEPAD_LEFT_STICK_Y},
    {ACTION_MENU_RIGHTTHUMBX, GAMEPAD_RIGHT_STICK_X},
    {ACTION_MENU_RIGHTTHUMBY, GAMEPAD_RIGHT_STICK_Y},
    {ACTION_MENU_LEFTTRIGGER, GAMEPAD_LEFT_TRIGGER},
    {ACTION_MENU_RIGHTTRIGGER, GAMEPAD_RIGHT_TRIGGER},
    {ACTION_PRESENTATION_LEFT, GAMEPAD_DPAD_LEFT},
    {ACTION_PRESENTATION_RIGHT, GAMEPAD_DPAD_RIGHT},
    {ACTION_FREECAMERA_FORWARD2, GAMEPAD_RIGHT_SHOULDER},
    {ACTION_FREECAMERA_BACKWARD2, GAMEPAD_LEFT_SHOULDER},
    {ACTION_FREECAMERA_X, GAMEPAD_LEFT_STICK_X},
    {ACTION_FREECAMERA_Z, GAMEPAD_LEFT_STICK_Y},
    {ACTION_FREECAMERA_HEADING, GAMEPAD_RIGHT_STICK_X},
    {ACTION_FREECAMERA_PITCH, GAMEPAD_RIGHT_STICK_Y},
    {ACTION_FREECAMERA_UP, GAMEPAD_Y},
    {ACTION_FREECAMERA_DOWN, GAMEPAD_A},
    {ACTION_FREECAMERA_FASTER, GAMEPAD_RIGHT_TRIGGER},
    {ACTION_FREECAMERA_SLOWER, GAMEPAD_LEFT_TRIGGER},
    {ACTION_FREECAMERA_SCALE_TRANSLATION_UP, GAMEPAD_B},
    {ACTION_FREECAMERA_SCALE_TRANSLATION_DOWN, GAMEPAD_X},
    {ACTION_FREECAMERA_SCALE_ROTATION_UP, GAMEPAD_RIGHT_SHOULDER},
    {ACTION_FREECAMERA_SCALE_ROTATION_DOWN, GAMEPAD_LEFT_SHOULDER},
    {ACTION_FREECAMERA_ZOOM_IN, GAMEPAD_Y},
    {ACTION_FREECAMERA_ZOOM_OUT, GAMEPAD_A},
    {ACTION_FREECAMERA_LENS_PREV, GAMEPAD_DPAD_LEFT},
    {ACTION_FREECAMERA_LENS_NEXT, GAMEPAD_DPAD_RIGHT},
    {ACTION_DEBUG_ENABLE, GAMEPAD_START},
    {ACTION_PHOTOMODE_X, GAMEPAD_LEFT_STICK_X},
    {ACTION_PHOTOMODE_Z, GAMEPAD_LEFT_STICK_Y},
    {ACTION_PHOTOMODE_UP, GAMEPAD_RIGHT_TRIGGER},
    {ACTION_PHOTOMODE_DOWN, GAMEPAD_LEFT_TRIGGER},
    {ACTION_PHOTOMODE_HEADING, GAMEPAD_RIGHT_STICK_X},
    {ACTION_PHOTOMODE_PITCH, GAMEPAD_RIGHT_STICK_Y},
    {ACTION_PHOTOMODE_HIDE_MENU, GAMEPAD_Y},
    {ACTION_PHOTOMODE_RESET, GAMEPAD_X},
    {ACTION_PHOTOMODE_TAKE_PHOTO_PC, GAMEPAD_RIGHT_THUMB},
};

} // namespace

void InputManager::bindKeyboard(int action, unsigned short key) {
    SpinLockGuard guard(keyBindingsLock);
    keyBindings.add(action, key); // after the action's existing bindings
}

void InputManager::bindGamepad(int action, unsigned short button) {
    SpinLockGuard guard(padBindingsLock);
    padBindings.add(action, button);
}

void InputManager::clearKeyBindings() {
    SpinLockGuard guard(keyBindingsLock);
    keyBindings.clear();
}

void InputManager::clearGamepadBindings() {
    SpinLockGuard guard(padBindingsLock);
    padBindings.clear();
}

bool InputManager::isKeyBound(unsigned short key, int channels) const {
    SpinLockGuard guard(keyBindingsLock);
    return walkCodeBindings(keyBindings, actions, key, channels, [](int) { return true; });
}

bool InputManager::isButtonBound(unsigned short button, int channels) const {
    SpinLockGuard guard(padBindingsLock);
    return walkCodeBindings(padBindings, actions, button, channels, [](int) { return true; });
}

int InputManager::getGamepadButton(int action) {
    int code = -1;
    walkBindings(padBindingsLock, padBindings, action, [&](unsigned short first) {
        code = first;
        return true;
    });
    return code;
}

void buildDefaultBindings(bool sticksSwapped, BindingTable& keys, BindingTable& pads) {
    for (const DefaultBinding& binding : kDefaultKeys)
        keys.add(binding.action, binding.code);
    pads.add(sticksSwapped ? ACTION_CAMERA_X : ACTION_MOVEMENT_X, GAMEPAD_LEFT_STICK_X);
    pads.add(sticksSwapped ? ACTION_CAMERA_Y : ACTION_MOVEMENT_Y, GAMEPAD_LEFT_STICK_Y);
    pads.add(sticksSwapped ? ACTION_MOVEMENT_X : ACTION_CAMERA_X, GAMEPAD_RIGHT_STICK_X);
    pads.add(sticksSwapped ? ACTION_MOVEMENT_Y : ACTION_CAMERA_Y, GAMEPAD_RIGHT_STICK_Y);
    for (const DefaultBinding& binding : kDefaultPadCodes)
        pads.add(binding.action, binding.code);
}

void InputManager::bindDefaultInputs() {
    // Both tables are built aside and swapped in under their locks: a failed allocation leaves
    // the old bindings in place, and a reader sees the old table or the new one, never a part.
    BindingTable keys;
    BindingTable pads;
    buildDefaultBindings(sticksSwapped, keys, pads);
    {
        SpinLockGuard guard(keyBindingsLock);
        keyBindings.swap(keys);
    }
    {
        SpinLockGuard guard(padBindingsLock);
        padBindings.swap(pads);
    }
    // The old bindings are freed here, outside the locks.
}

} // namespace input
