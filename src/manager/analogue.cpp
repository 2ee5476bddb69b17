#include "gamepad/gamepad_state.h"
#include "input/default_actions.h"
#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "manager/binding_reads.h"
#include "manager/locks.h"
#include "manager/reading.h"

namespace input {

namespace {

template <class Row, std::size_t N> const Row* findRow(const Row (&rows)[N], int action) {
    // Every special id is below the largest default id: most actions leave at the first test.
    if (static_cast<std::uint32_t>(action) > ACTION_PHOTOMODE_PITCH)
        return nullptr;
    for (const Row& row : rows) {
        if (row.action == action)
            return &row;
    }
    return nullptr;
}

} // namespace

bool readsMouse(int action) {
    return findRow(kLookAxes, action) != nullptr;
}

bool hasOwnKeyboardSource(int action) {
    return findRow(kLookAxes, action) || findRow(kKeyPairAxes, action);
}

float keyboardValue(const BindingTable& table, int action, const KeyView& keys) {
    if (const LookAxis* look = findRow(kLookAxes, action))
        return lookValue(*look, keys);
    if (const KeyPairAxis* pair = findRow(kKeyPairAxes, action))
        return keyPairValue(table, *pair, keys);
    return keyDigital(table.find(action), CONTROL_DOWN, keys) ? 1.0f : 0.0f;
}

bool isInverted(int action, const Inversion& flags, bool raw) {
    if (!flags.vertical && !flags.horizontal)
        return false;
    const LookAxis* look = findRow(kLookAxes, action);
    return look && isLookInverted(*look, flags, raw);
}

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
    Inversion inversion = onKeyboardAndMouse
                              ? Inversion{invertVerticalForMouse, invertHorizontalForMouse}
                              : Inversion{invertVerticalForPad, invertHorizontalForPad};
    float value;
    if (onKeyboardAndMouse) {
        value = readKeyboardAnalogue(action);
    } else {
        ControlType type = actions[static_cast<std::uint32_t>(action)].controlType;
        value = Raw ? readGamepadRawAnalogue(action, type) : readGamepadAnalogue(action, type);
    }
    return isInverted(action, inversion, Raw) ? -value : value; // 0.0 becomes -0.0
}

float InputManager::readKeyboardAnalogue(int action) {
    KeyView keys{inputX86, keyboard};
    if (readsMouse(action))
        return keyboardValue(keyBindings, action, keys); // no binding is read
    // One hold of the lock for both keys of a pair.
    SpinLockGuard guard(keyBindingsLock);
    return keyboardValue(keyBindings, action, keys);
}

float InputManager::readGamepadAnalogue(int action, ControlType type) {
    return readGamepadValue<false>(action, type);
}

float InputManager::readGamepadRawAnalogue(int action, ControlType type) {
    return readGamepadValue<true>(action, type);
}

template <bool Raw> float InputManager::readGamepadValue(int action, ControlType type) {
    const GamepadState& pad = GamepadAccess::state(*getGamepad());
    SpinLockGuard guard(padBindingsLock);
    BindingTable::Span span = padBindings.find(action);
    if (span.first == span.last)
        return 0.0f;
    if (!pad.connected)
        return padValue<Raw>(span, type, PadView{false, nullptr});
    RecursiveLockGuard padGuard(pad.lock);
    return padValue<Raw>(span, type, PadView{true, &pad.reports});
}

} // namespace input
