#pragma once

// What one action's bindings read, given a span of a binding table and the devices. The live
// reads call these under the table's lock for one action; the frame update calls them for every
// bound action under one hold of each lock. So both give the same answers by construction.

#include "gamepad/pad_reports.h"
#include "input/binding_table.h"
#include "input/default_actions.h"
#include "input/keyboard.h"
#include "input/types.h"
#include "manager/reading.h"
#include "pc/input_x86_access.h"

namespace input {

// The current pad as a walk sees it; `reports` is read only when `connected`.
struct PadView {
    bool connected;
    const PadReports* reports;
};

// The devices the key bindings read; either may be absent.
struct KeyView {
    const InputX86* inputX86;
    const Keyboard* keyboard;
};

constexpr int kShiftKey = 16;

// The look axes: on keyboard and mouse they read the mouse, and the user's inversion flags flip
// them. The raw read does not invert photo mode.
struct LookAxis {
    int action;
    bool vertical;
    bool invertedByRawRead;
};
inline constexpr LookAxis kLookAxes[] = {
    {ACTION_CAMERA_X, false, true},           {ACTION_CAMERA_Y, true, true},
    {ACTION_FREECAMERA_HEADING, false, true}, {ACTION_FREECAMERA_PITCH, true, true},
    {ACTION_PHOTOMODE_HEADING, false, false}, {ACTION_PHOTOMODE_PITCH, true, false},
};

// Movement axes that the keyboard builds from the keys of two MOVE actions.
struct KeyPairAxis {
    int action;
    int negative;
    int positive;
};
inline constexpr KeyPairAxis kKeyPairAxes[] = {
    {ACTION_MOVEMENT_X, ACTION_MOVE_LEFT, ACTION_MOVE_RIGHT},
    {ACTION_FREECAMERA_X, ACTION_MOVE_LEFT, ACTION_MOVE_RIGHT},
    {ACTION_PHOTOMODE_X, ACTION_MOVE_LEFT, ACTION_MOVE_RIGHT},
    {ACTION_MOVEMENT_Y, ACTION_MOVE_DOWN, ACTION_MOVE_UP},
    {ACTION_FREECAMERA_Z, ACTION_MOVE_DOWN, ACTION_MOVE_UP},
    {ACTION_PHOTOMODE_Z, ACTION_MOVE_DOWN, ACTION_MOVE_UP},
};

// Calls visit(action, span) for each action of the table in order, with all its bindings.
template <class Visit> void forEachBoundAction(const BindingTable& table, Visit&& visit) {
    const BindingTable::Entry* end = table.end();
    for (const BindingTable::Entry* e = table.begin(); e != end;) {
        const BindingTable::Entry* first = e;
        std::int32_t action = e->action;
        while (++e != end && e->action == action) {
        }
        visit(action, BindingTable::Span{first, e});
    }
}

// Whether a key counts for the keyboard-and-mouse device's digital types (5-10).
inline bool keyCounts(const InputX86& device, ControlType type, unsigned short key) {
    return type == CONTROL_PRESSED || type == CONTROL_TAP ? InputX86Access::keyClicked(device, key)
                                                          : InputX86Access::keyDown(device, key);
}

// Digital: the first binding that counts makes the action true.

inline bool padDigital(BindingTable::Span span, ControlType type, const PadView& pad) {
    // The type is the same for every binding: CONTROL_NONE stops the walk at once, and the
    // types that are not pad buttons never count.
    if (!isPadDigitalType(type) || !pad.connected)
        return false;
    for (const BindingTable::Entry* e = span.first; e != span.last; ++e) {
        if (pad::isButtonCode(e->code) && pad::digitalQuery(*pad.reports, type, e->code))
            return true;
    }
    return false;
}

inline bool keyDigital(BindingTable::Span span, ControlType type, const KeyView& keys) {
    if (span.first == span.last)
        return false;
    const InputX86* x86 = keys.inputX86;
    const Keyboard* keyboard = keys.keyboard;
    switch (type) {
    case CONTROL_DOWN:
    case CONTROL_RELEASED:
    case CONTROL_ANALOGUE_BUTTON:
    case CONTROL_HOLD:
        for (const BindingTable::Entry* e = span.first; x86 && e != span.last; ++e) {
            if (InputX86Access::keyDown(*x86, e->code))
                return true;
        }
        return false;
    case CONTROL_PRESSED:
    case CONTROL_TAP:
        for (const BindingTable::Entry* e = span.first; x86 && e != span.last; ++e) {
            if (InputX86Access::keyClicked(*x86, e->code))
                return true;
        }
        return false;
    case CONTROL_RAW_KEY_DOWN:
    case CONTROL_RAW_KEY_PRESSED:
    case CONTROL_RAW_SHIFT_KEY_DOWN:
    case CONTROL_RAW_SHIFT_KEY_PRESSED: {
        if (!keyboard)
            return false;
        // Shift is sampled once per walk; the plain raw types want it up, the shift types down.
        bool shift = keyboard->keyDown(kShiftKey);
        bool wantShift =
            type == CONTROL_RAW_SHIFT_KEY_DOWN || type == CONTROL_RAW_SHIFT_KEY_PRESSED;
        if (shift != wantShift)
            return false;
        bool pressed = type == CONTROL_RAW_KEY_PRESSED || type == CONTROL_RAW_SHIFT_KEY_PRESSED;
        for (const BindingTable::Entry* e = span.first; e != span.last; ++e) {
            if (pressed ? keyboard->keyPressed(e->code) : keyboard->keyDown(e->code))
                return true;
        }
        return false;
    }
    default: return false; // CONTROL_NONE, analogue types and unknown values never count
    }
}

namespace detail {

// The stick axis of code 20-23; any other code reads as a centred stick.
template <bool Raw> inline float stickValue(const PadView& pad, unsigned short code) {
    if (!pad.connected || code < GAMEPAD_LEFT_STICK_X || code > GAMEPAD_RIGHT_STICK_Y)
        return 0.0f;
    int axis = code - GAMEPAD_LEFT_STICK_X;
    return Raw ? pad::rawAxis(*pad.reports, axis) : pad::axis(*pad.reports, axis);
}

// [0, 1] onto [-1, 1]; anything at or below 0 is -1.
inline float halfAxis(float value) {
    if (value <= 0.0f)
        return -1.0f;
    if (value >= 1.0f)
        return 1.0f;
    return -1.0f + value * 2.0f;
}

template <bool Raw>
inline float bindingValue(const PadView& pad, ControlType type, unsigned short code) {
    switch (type) {
    case CONTROL_AXIS: return stickValue<Raw>(pad, code);
    case CONTROL_AXIS_INVERTED: return -stickValue<Raw>(pad, code); // sign flip: 0.0 gives -0.0
    case CONTROL_AXIS_POSITIVE_HALF: return halfAxis(stickValue<Raw>(pad, code));
    case CONTROL_AXIS_NEGATIVE_HALF: return halfAxis(-stickValue<Raw>(pad, code));
    default:
        // Buttons and triggers as analogue buttons (no trigger threshold).
        if (!pad.connected || !pad::isButtonCode(code))
            return 0.0f;
        return pad::analogButton(*pad.reports, code);
    }
}

} // namespace detail

// Analogue on the pad: the first binding with a non-zero value (a NaN counts, -0.0 does not),
// else the last value computed. `Raw` reads the sticks without dead zone.
template <bool Raw>
inline float padValue(BindingTable::Span span, ControlType type, const PadView& pad) {
    if (type == CONTROL_NONE)
        return 0.0f;
    float value = 0.0f;
    for (const BindingTable::Entry* e = span.first; e != span.last; ++e) {
        value = detail::bindingValue<Raw>(pad, type, e->code);
        if (!(value == 0.0f))
            return value;
    }
    return value;
}

// Analogue on the keyboard and mouse, by action id: the mouse for the look axes, a key pair for
// the movement axes, else 1.0 while a bound key is down. `keys` is the key table, its lock held.
float keyboardValue(const BindingTable& table, int action, const KeyView& keys);

// The two sources of keyboardValue that are not the action's own keys, for callers that already
// know the row.
inline float lookValue(const LookAxis& look, const KeyView& keys) {
    if (!keys.inputX86)
        return 0.0f;
    return look.vertical ? keys.inputX86->getMouseDeltaY() : keys.inputX86->getMouseDeltaX();
}
inline float keyPairValue(const BindingTable& table, const KeyPairAxis& pair, const KeyView& keys) {
    // The MOVE actions' keys, whatever their own channels say.
    float value = 0.0f;
    if (keyDigital(table.find(pair.negative), CONTROL_DOWN, keys))
        value = -1.0f;
    if (keyDigital(table.find(pair.positive), CONTROL_DOWN, keys))
        value += 1.0f;
    return value;
}

// The look axes flip with the user's inversion flags; the raw read does not flip photo mode.
struct Inversion {
    bool vertical;
    bool horizontal;
};
bool isInverted(int action, const Inversion& flags, bool raw);
inline bool isLookInverted(const LookAxis& look, const Inversion& flags, bool raw) {
    return (look.vertical ? flags.vertical : flags.horizontal) && (!raw || look.invertedByRawRead);
}

// Whether the keyboard value of an action reads the mouse alone (no key binding).
bool readsMouse(int action);
// Whether it reads the mouse or another action's keys rather than its own keys.
bool hasOwnKeyboardSource(int action);

} // namespace input
