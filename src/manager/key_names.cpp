#include "input/input_manager.h"
#include "input/input_x86.h"
#include "manager/binding_walk.h"

namespace input {

bool InputManager::getKeyName(int action, vel::InplaceWString<128>& name) {
    name.clear();
    if (!inputX86)
        return false;
    return walkBindings(keyBindingsLock, keyBindings, action, [&](unsigned short key) {
        inputX86->getKeycodeName(key, name);
        return true;
    });
}

bool InputManager::getKeyCode(int action, int& keyCode) {
    keyCode = -1;
    if (!inputX86)
        return false;
    return walkBindings(keyBindingsLock, keyBindings, action, [&](unsigned short key) {
        keyCode = key;
        return true;
    });
}

void InputManager::getKeycodeName(int keyCode, vel::InplaceWString<128>& name) {
    if (inputX86)
        inputX86->getKeycodeName(keyCode, name);
}

int InputManager::getMouseWheel() {
    return inputX86 ? inputX86->getMouseWheel() : 0;
}

void InputManager::resetMouseInputDeltas() {
    if (inputX86)
        inputX86->resetMouseInputDeltas();
}

} // namespace input
