#pragma once

#include <cstdint>

namespace input {

// How an action is read. Stored as a 32-bit int; values outside 0-14 read as false and 0.0.
enum ControlType : std::int32_t {
    CONTROL_NONE = 0,                  // never true, always 0.0
    CONTROL_AXIS = 1,                  // stick axis with dead zone
    CONTROL_AXIS_INVERTED = 2,         // the same, negated
    CONTROL_AXIS_POSITIVE_HALF = 3,    // positive half of an axis stretched onto [-1, 1]
    CONTROL_AXIS_NEGATIVE_HALF = 4,    // negative half, negated and stretched
    CONTROL_DOWN = 5,                  // true while down
    CONTROL_PRESSED = 6,               // true on the frame of the press
    CONTROL_RELEASED = 7,              // true on the frame of the release (pad)
    CONTROL_ANALOGUE_BUTTON = 8,       // down digitally, buffered as the analogue value
    CONTROL_TAP = 9,                   // released after a hold shorter than 0.4 s (pad)
    CONTROL_HOLD = 10,                 // held for at least 0.4 s (pad)
    CONTROL_RAW_KEY_DOWN = 11,         // raw keyboard key down, Shift up
    CONTROL_RAW_KEY_PRESSED = 12,      // raw keyboard key pressed, Shift up
    CONTROL_RAW_SHIFT_KEY_DOWN = 13,   // raw keyboard key down, Shift down
    CONTROL_RAW_SHIFT_KEY_PRESSED = 14 // raw keyboard key pressed, Shift down
};

// Channel bits. An action is live while its bits meet the active mask.
enum Channel : std::uint32_t {
    CHANNEL_GAME = 0x1,
    CHANNEL_PLAYER = 0x2,
    CHANNEL_KEYFRAMER = 0x4,
    CHANNEL_FREE_CAMERA = 0x8,
    CHANNEL_DEBUG = 0x10,
    CHANNEL_MENU = 0x20,
    CHANNEL_CONSOLE = 0x40,
    CHANNEL_DEBUG_BLOCK_POLLING = 0x80,
    CHANNEL_LOADING = 0x100,
    CHANNEL_DEBUG_KEYS = 0x200, // never opened by the mode flags
    CHANNEL_UI_MESSAGE = 0x400,
    CHANNEL_VIDEO = 0x800,
    CHANNEL_ALL = 0xFFFFFFFFu // action side only: live whenever any channel is open
};

enum BufferingMode : std::int32_t {
    BUFFERING_LIVE = 1,       // reads query the devices at the time of the call
    BUFFERING_WORLD_STEP = 2, // reads answer from the world-step buffers
};

// The glyph sets of the HUD atlas; each shifts the cell positions.
enum GlyphSet : std::int32_t {
    GLYPH_SET_0 = 0,
    GLYPH_SET_1 = 1,
    GLYPH_SET_2 = 2,
    GLYPH_SET_3 = 3,
    GLYPH_SET_4 = 4,
};

// Pad codes: 0-15 are bits of XInput's buttons word, 16/17 the triggers as buttons (down above
// 30), 20-23 the stick axes (bindings only), 255 no button.
enum GamepadButton : std::int32_t {
    GAMEPAD_DPAD_UP = 0,
    GAMEPAD_DPAD_DOWN = 1,
    GAMEPAD_DPAD_LEFT = 2,
    GAMEPAD_DPAD_RIGHT = 3,
    GAMEPAD_START = 4,
    GAMEPAD_BACK = 5,
    GAMEPAD_LEFT_THUMB = 6,
    GAMEPAD_RIGHT_THUMB = 7,
    GAMEPAD_LEFT_SHOULDER = 8,
    GAMEPAD_RIGHT_SHOULDER = 9,
    GAMEPAD_A = 12,
    GAMEPAD_B = 13,
    GAMEPAD_X = 14,
    GAMEPAD_Y = 15,
    GAMEPAD_LEFT_TRIGGER = 16,
    GAMEPAD_RIGHT_TRIGGER = 17,
    GAMEPAD_LEFT_STICK_X = 20,
    GAMEPAD_LEFT_STICK_Y = 21,
    GAMEPAD_RIGHT_STICK_X = 22,
    GAMEPAD_RIGHT_STICK_Y = 23,
    GAMEPAD_BUTTON_NONE = 255,
};

// Key codes 0-255 are Windows virtual-key codes (mouse buttons 1, 2, 4, 5, 6 included); two more
// codes stand for the mouse wheel.
enum Key : std::uint16_t {
    KEY_WHEEL_UP = 256,
    KEY_WHEEL_DOWN = 257,
    KEY_COUNT = 258,
};

} // namespace input
