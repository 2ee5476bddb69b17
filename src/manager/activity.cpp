#include <cmath>

#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "manager/binding_reads.h"
#include "manager/locks.h"
#include "manager/reading.h"

namespace input {

namespace {

constexpr float kActivity = 0.01f;

} // namespace

// Keyboard activity is a digital action whose keys count while its pad bindings do not; pad
// activity is one whose pad bindings count. Channels play no part, and an action without
// bindings counts for neither, so the walks go over the tables themselves: gaps and unbound
// actions cost nothing. The walks change no state, so the cheapest evidence is looked at first;
// each table's lock is held once for the pass (the key table's once per 64 actions with keys
// down, so that no list of them has to be stored). Every key that counts is down, so without a
// key down (`keysDown` false) the key table is not walked at all. Pad evidence is gathered first:
// on keyboard and mouse, keys decide something only when the pad is active, so a frame of typing
// with the pad at rest walks no table.
void InputManager::updateActivityCheck(bool keysDown, PadView pad) {
    if (!inputX86 || !pcInputMode) {
        usingKeyboardAndMouse = false;
        return;
    }
    bool keyboardActive = std::fabs(inputX86->getMouseDeltaX()) > kActivity ||
                          std::fabs(inputX86->getMouseDeltaY()) > kActivity;
    bool padActive = false;
    for (int axis = 0; axis < 4 && pad.connected && !padActive; ++axis)
        padActive = std::fabs(pad::axis(*pad.reports, axis)) > kActivity;

    std::uint32_t count = actions.size();
    auto digitalType = [&](std::int32_t action, ControlType& type) {
        if (static_cast<std::uint32_t>(action) >= count)
            return false;
        type = actions[static_cast<std::uint32_t>(action)].controlType;
        return isPadDigitalType(type);
    };
    if (!keyboardActive && !padActive && pad.connected && !pad::buttonsAtRest(*pad.reports)) {
        SpinLockGuard guard(padBindingsLock);
        for (const BindingTable::Entry& e : padBindings) {
            ControlType type;
            if (digitalType(e.action, type) && pad::isButtonCode(e.code) &&
                pad::digitalQuery(*pad.reports, type, e.code)) {
                padActive = true;
                break;
            }
        }
    }
    const InputX86& device = *inputX86;
    std::uint32_t resume = 0; // the key table position where the next batch starts
    bool decides = !usingKeyboardAndMouse || padActive;
    for (bool done = !keysDown || !decides; !done && !keyboardActive;) {
        std::int32_t batch[64];
        int found = 0;
        {
            SpinLockGuard guard(keyBindingsLock);
            const BindingTable::Entry* end = keyBindings.end();
            const BindingTable::Entry* e =
                keyBindings.begin() + (resume < keyBindings.size() ? resume : keyBindings.size());
            for (; e != end && found < 64; ++e) {
                // Most keys are up, and every key that counts is down: that test comes first.
                ControlType type;
                if (InputX86Access::keyDown(device, e->code) && digitalType(e->action, type) &&
                    keyCounts(device, type, e->code) &&
                    (found == 0 || batch[found - 1] != e->action))
                    batch[found++] = e->action;
            }
            resume = static_cast<std::uint32_t>(e - keyBindings.begin());
            done = e == end;
        }
        if (found > 0) {
            SpinLockGuard guard(padBindingsLock);
            for (int i = 0; i < found && !keyboardActive; ++i) {
                ControlType type = actions[static_cast<std::uint32_t>(batch[i])].controlType;
                keyboardActive = !padDigital(padBindings.find(batch[i]), type, pad);
            }
        }
    }
    // Keyboard and mouse win a tie; no evidence changes nothing.
    if (keyboardActive)
        usingKeyboardAndMouse = true;
    else if (padActive)
        usingKeyboardAndMouse = false;
}

bool InputManager::isUsingKeyboardAndMouse() const {
    return usingKeyboardAndMouse;
}

bool InputManager::isPCInputMode() const {
    return pcInputMode;
}

} // namespace input
