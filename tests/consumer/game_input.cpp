#include "game_input.h"

#include "input/input.h"

namespace game {

namespace {
bool g_keys[256] = {};
}

void setUpInput() {
    input::InputManager& manager = *input::InputManager::getInstance();
    manager.registerAction(kJump, vel::InplaceString<32>("JUMP"), input::CONTROL_PRESSED,
                           input::CHANNEL_GAME);
    manager.bindKeyboard(kJump, 0x20); // Space
    manager.bindGamepad(kJump, input::GAMEPAD_A);
}

void inputFrame(bool spaceDown) {
    input::InputManager& manager = *input::InputManager::getInstance();
    g_keys[0x20] = spaceDown;
    manager.getInputX86()->updateKeyboardState(g_keys);
    manager.update(1.0f / 60.0f);
}

bool jumped() {
    return input::InputManager::getInstance()->readDigital(kJump);
}

} // namespace game
