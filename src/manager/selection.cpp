#include "input/gamepad.h"
#include "input/input_manager.h"
#include "manager/locks.h"

namespace input {

namespace {

bool isSlot(int slot) {
    return slot >= 0 && slot < 4;
}

} // namespace

void InputManager::clearSelectedGamepad() {
    RecursiveLockGuard guard(gamepadLock);
    selectedGamepad = -1;
    activeGamepadID = -1;
}

void InputManager::setSelectedGamepad(int slot) {
    if (!isSlot(slot))
        return;
    RecursiveLockGuard guard(gamepadLock);
    selectedGamepad = slot;
    activeGamepadID = gamepads[slot]->getID();
}

int InputManager::getSelectedGamepad() {
    RecursiveLockGuard guard(gamepadLock);
    return selectedGamepad;
}

Gamepad* InputManager::getGamepad() {
    RecursiveLockGuard guard(gamepadLock);
    return gamepads[selectedGamepad >= 0 ? selectedGamepad : 0];
}

Gamepad* InputManager::getGamepad(int slot) {
    return isSlot(slot) ? gamepads[slot] : nullptr;
}

int InputManager::getActiveGamepadID() {
    RecursiveLockGuard guard(gamepadLock);
    return activeGamepadID;
}

void InputManager::unassignGamepad(int) {}

void InputManager::refreshGamepadConnectivity() {
    for (Gamepad* pad : gamepads)
        pad->refreshGamepadConnectivity();
}

void InputManager::keepTrackOfCurrentController() {
    RecursiveLockGuard guard(gamepadLock);
    int id = getActiveGamepadID();
    if (selectedGamepad >= 0 && gamepads[selectedGamepad]->getID() == id)
        return;
    for (int slot = 0; slot < 4; ++slot) {
        if (gamepads[slot]->getID() == id) {
            selectedGamepad = slot;
            activeGamepadID = id;
            return;
        }
    }
}

void InputManager::updateDemoRecording(vel::FileStream& stream) {
    getGamepad()->updateDemoRecording(stream);
}

} // namespace input
