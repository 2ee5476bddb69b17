#include "gamepad/gamepad_state.h"
#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "input/keyboard.h"
#include "manager/binding_reads.h"
#include "manager/locks.h"
#include "manager/reading.h"

namespace input {

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
    const GamepadState& pad = GamepadAccess::state(*getGamepad()); // gamepadLock, released
    SpinLockGuard guard(padBindingsLock);
    BindingTable::Span span = padBindings.find(action);
    if (span.first == span.last || !isPadDigitalType(type) || !pad.connected)
        return false;
    // One hold of the pad's lock, after the binding lock, for the whole walk.
    RecursiveLockGuard padGuard(pad.lock);
    return padDigital(span, type, PadView{true, &pad.reports});
}

bool InputManager::readKeyboard(int action, ControlType type) {
    SpinLockGuard guard(keyBindingsLock);
    return keyDigital(keyBindings.find(action), type, KeyView{inputX86, keyboard});
}

} // namespace input
