#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "input/keyboard.h"
#include "manager/binding_walk.h"
#include "manager/reading.h"

namespace input {

namespace {

constexpr int kShiftKey = 16;

bool padQuery(const Gamepad& pad, ControlType type, int code) {
    switch (type) {
    case CONTROL_DOWN:
    case CONTROL_ANALOGUE_BUTTON: return pad.buttonDown(code);
    case CONTROL_PRESSED: return pad.buttonPressed(code);
    case CONTROL_RELEASED: return pad.buttonReleased(code);
    case CONTROL_TAP: return pad.buttonClicked(code);
    case CONTROL_HOLD: return pad.buttonHeld(code);
    default: return false;
    }
}

} // namespace

bool InputManager::readDigital(int action, bool) {
    if (action < 0 || static_cast<std::uint32_t>(action) >= actions.size())
        return false;
    if (bufferingMode == BUFFERING_LIVE)
        return readDigitalInternal(action);
    // Buffered: the gates were applied when the values were gathered.
    float current = stepValue(currentStepValues, action);
    float previous = stepValue(previousStepValues, action);
    switch (actions[static_cast<std::uint32_t>(action)].controlType) {
    case CONTROL_PRESSED:
    case CONTROL_TAP: return current > 0.0f && previous == 0.0f;
    case CONTROL_RELEASED: return current == 0.0f && previous > 0.0f;
    case CONTROL_HOLD: return current > 0.0f && previous > 0.0f;
    default: return current > 0.0f;
    }
}

bool InputManager::readDigitalInternal(int action, bool) {
    if (!isLive(action))
        return false;
    ControlType type = actions[static_cast<std::uint32_t>(action)].controlType;
    // Raw key types always read the keyboard, whichever device is in use.
    if (!usingKeyboardAndMouse && type < CONTROL_RAW_KEY_DOWN)
        return readGamepad(action, type);
    return readKeyboard(action, type);
}

bool InputManager::readGamepad(int action, ControlType type) {
    Gamepad* pad = getGamepad(); // takes and releases gamepadLock before the binding lock
    bool on = false;
    walkBindings(padBindingsLock, padBindings, action, [&](unsigned short code) {
        if (type == CONTROL_NONE)
            return true;
        if (!isPadDigitalType(type) || code == GAMEPAD_BUTTON_NONE || !pad->isConnected())
            return false;
        on = padQuery(*pad, type, code);
        return on;
    });
    return on;
}

bool InputManager::readKeyboard(int action, ControlType type) {
    bool shift = keyboard && keyboard->keyDown(kShiftKey);
    bool on = false;
    walkBindings(keyBindingsLock, keyBindings, action, [&](unsigned short key) {
        switch (type) {
        case CONTROL_NONE: return true;
        case CONTROL_DOWN:
        case CONTROL_RELEASED:
        case CONTROL_ANALOGUE_BUTTON:
        case CONTROL_HOLD: on = inputX86 && inputX86->keyDown(key); break;
        case CONTROL_PRESSED:
        case CONTROL_TAP: on = inputX86 && inputX86->keyClicked(key); break;
        case CONTROL_RAW_KEY_DOWN: on = keyboard && !shift && keyboard->keyDown(key); break;
        case CONTROL_RAW_KEY_PRESSED: on = keyboard && !shift && keyboard->keyPressed(key); break;
        case CONTROL_RAW_SHIFT_KEY_DOWN: on = keyboard && shift && keyboard->keyDown(key); break;
        case CONTROL_RAW_SHIFT_KEY_PRESSED:
            on = keyboard && shift && keyboard->keyPressed(key);
            break;
        default: return false; // analogue types and unknown values never count
        }
        return on;
    });
    return on;
}

} // namespace input
