#include <cmath>

#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "manager/reading.h"

namespace input {

namespace {

constexpr float kActivity = 0.01f;

} // namespace

void InputManager::updateActivityCheck() {
    if (!inputX86 || !pcInputMode) {
        usingKeyboardAndMouse = false;
        return;
    }
    Gamepad* pad = getGamepad();
    bool keyboardActive = false;
    bool padActive = false;
    // Digital actions only, whatever their channels: the bindings and the devices decide.
    for (std::uint32_t id = 0; id < actions.size(); ++id) {
        ControlType type = actions[id].controlType;
        if (!isPadDigitalType(type))
            continue;
        int action = static_cast<int>(id);
        if (readGamepad(action, type))
            padActive = true;
        else if (readKeyboard(action, type))
            keyboardActive = true;
    }
    if (std::fabs(inputX86->getMouseDeltaX()) > kActivity ||
        std::fabs(inputX86->getMouseDeltaY()) > kActivity)
        keyboardActive = true;
    for (int axis = 0; axis < 4; ++axis) {
        if (std::fabs(pad->getAxis(axis)) > kActivity) {
            padActive = true;
            break;
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
