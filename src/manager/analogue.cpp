#include "input/default_actions.h"
#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "manager/binding_walk.h"
#include "manager/reading.h"

namespace input {

namespace {

// The look axes: on keyboard and mouse they read the mouse, and the user's inversion flags flip
// them. The raw read does not invert photo mode.
struct LookAxis {
    int action;
    bool vertical;
    bool invertedByRawRead;
};
const LookAxis kLookAxes[] = {
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
const KeyPairAxis kKeyPairAxes[] = {
    {ACTION_MOVEMENT_X, ACTION_MOVE_LEFT, ACTION_MOVE_RIGHT},
    {ACTION_FREECAMERA_X, ACTION_MOVE_LEFT, ACTION_MOVE_RIGHT},
    {ACTION_PHOTOMODE_X, ACTION_MOVE_LEFT, ACTION_MOVE_RIGHT},
    {ACTION_MOVEMENT_Y, ACTION_MOVE_DOWN, ACTION_MOVE_UP},
    {ACTION_FREECAMERA_Z, ACTION_MOVE_DOWN, ACTION_MOVE_UP},
    {ACTION_PHOTOMODE_Z, ACTION_MOVE_DOWN, ACTION_MOVE_UP},
};

template <class Row, std::size_t N> const Row* findRow(const Row (&rows)[N], int action) {
    for (const Row& row : rows) {
        if (row.action == action)
            return &row;
    }
    return nullptr;
}

// The stick axis of code 20-23; any other code reads as a centred stick.
template <bool Raw> float stickValue(const Gamepad& pad, unsigned short code) {
    if (!pad.isConnected() || code < GAMEPAD_LEFT_STICK_X || code > GAMEPAD_RIGHT_STICK_Y)
        return 0.0f;
    int axis = code - GAMEPAD_LEFT_STICK_X;
    return Raw ? pad.getRawAxis(axis) : pad.getAxis(axis);
}

// [0, 1] onto [-1, 1]; anything at or below 0 is -1.
float halfAxis(float value) {
    if (value <= 0.0f)
        return -1.0f;
    if (value >= 1.0f)
        return 1.0f;
    return -1.0f + value * 2.0f;
}

template <bool Raw> float bindingValue(const Gamepad& pad, ControlType type, unsigned short code) {
    switch (type) {
    case CONTROL_AXIS: return stickValue<Raw>(pad, code);
    case CONTROL_AXIS_INVERTED: return -stickValue<Raw>(pad, code); // sign flip: 0.0 gives -0.0
    case CONTROL_AXIS_POSITIVE_HALF: return halfAxis(stickValue<Raw>(pad, code));
    case CONTROL_AXIS_NEGATIVE_HALF: return halfAxis(-stickValue<Raw>(pad, code));
    default:
        // Buttons and triggers as analogue buttons (no trigger threshold).
        if (code == GAMEPAD_BUTTON_NONE || !pad.isConnected())
            return 0.0f;
        return pad.getAnalogButton(code);
    }
}

} // namespace

float InputManager::readAnalog(int action, bool) {
    if (action < 0 || static_cast<std::uint32_t>(action) >= actions.size())
        return 0.0f;
    if (bufferingMode == BUFFERING_WORLD_STEP)
        return stepValue(currentStepValues, action);
    return readAnalogInternal(action);
}

float InputManager::readAnalogInternal(int action, bool) {
    return readAnalogGated<false>(action);
}

float InputManager::readRawAnalog(int action, bool) {
    return readAnalogGated<true>(action);
}

template <bool Raw> float InputManager::readAnalogGated(int action) {
    if (!isLive(action))
        return 0.0f;
    bool onKeyboardAndMouse = usingKeyboardAndMouse;
    bool invert = false;
    if (const LookAxis* look = findRow(kLookAxes, action)) {
        bool vertical = onKeyboardAndMouse ? invertVerticalForMouse : invertVerticalForPad;
        bool horizontal = onKeyboardAndMouse ? invertHorizontalForMouse : invertHorizontalForPad;
        invert = (look->vertical ? vertical : horizontal) && (!Raw || look->invertedByRawRead);
    }
    float value;
    if (onKeyboardAndMouse) {
        value = readKeyboardAnalogue(action);
    } else {
        ControlType type = actions[static_cast<std::uint32_t>(action)].controlType;
        value = Raw ? readGamepadRawAnalogue(action, type) : readGamepadAnalogue(action, type);
    }
    return invert ? -value : value; // the sign bit flips, so 0.0 becomes -0.0
}

float InputManager::readKeyboardAnalogue(int action) {
    if (const LookAxis* look = findRow(kLookAxes, action)) {
        if (!inputX86)
            return 0.0f;
        return look->vertical ? inputX86->getMouseDeltaY() : inputX86->getMouseDeltaX();
    }
    if (const KeyPairAxis* pair = findRow(kKeyPairAxes, action)) {
        // The MOVE actions' keys, whatever their own channels say.
        float value = 0.0f;
        if (readKeyboard(pair->negative, CONTROL_DOWN))
            value = -1.0f;
        if (readKeyboard(pair->positive, CONTROL_DOWN))
            value += 1.0f;
        return value;
    }
    return readKeyboard(action, CONTROL_DOWN) ? 1.0f : 0.0f;
}

float InputManager::readGamepadAnalogue(int action, ControlType type) {
    return readGamepadValue<false>(action, type);
}

float InputManager::readGamepadRawAnalogue(int action, ControlType type) {
    return readGamepadValue<true>(action, type);
}

template <bool Raw> float InputManager::readGamepadValue(int action, ControlType type) {
    Gamepad* pad = getGamepad();
    float value = 0.0f;
    // The first binding with a non-zero value wins; -0.0 counts as zero, a NaN as non-zero.
    walkBindings(padBindingsLock, padBindings, action, [&](unsigned short code) {
        if (type == CONTROL_NONE) {
            value = 0.0f;
            return true;
        }
        value = bindingValue<Raw>(*pad, type, code);
        return !(value == 0.0f);
    });
    return value;
}

} // namespace input
