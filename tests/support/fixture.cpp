#include "support/fixture.h"

#include "app/events.h"

namespace testing_support {

void ManagerTest::SetUp() {
    FreshMachine::SetUp();
    make();
}

void ManagerTest::TearDown() {
    manager.reset();
    keyboard.reset();
    FreshMachine::TearDown();
}

input::InputManager& ManagerTest::make(bool createPCDevice, bool pcInputMode) {
    manager.reset();
    keyboard.reset();
    manager = std::make_unique<input::InputManager>(createPCDevice, pcInputMode);
    keyboard = std::make_unique<input::Keyboard>();
    manager->setKeyboard(keyboard.get());
    manager->setFocus(true);
    for (bool& key : keys)
        key = false;
    return *manager;
}

void ManagerTest::frame(float dt) {
    if (input::InputX86* pc = manager->getInputX86())
        pc->updateKeyboardState(keys);
    keyboard->update();
    manager->update(dt);
}

void ManagerTest::rawKey(int vk, bool down, int modifiers, char character) {
    app::RawKeyEvent event;
    event.keyCode = vk;
    event.down = down;
    event.modifiers = modifiers;
    event.character = character;
    keyboard->handleAppEvent(&event);
}

void ManagerTest::mouseMove(int dx, int dy, int wheel) {
    app::InputEvent event;
    event.rawInput.header.dwType = app::RIM_TYPEMOUSE;
    event.rawInput.data.mouse.usFlags = app::MOUSE_MOVE_RELATIVE;
    event.rawInput.data.mouse.lLastX = dx;
    event.rawInput.data.mouse.lLastY = dy;
    if (wheel != 0) {
        event.rawInput.data.mouse.usButtonFlags = app::RI_MOUSE_WHEEL;
        event.rawInput.data.mouse.usButtonData = static_cast<std::uint16_t>(wheel * 120);
    }
    manager->dispatchAppEvent(&event);
}

void ManagerTest::switchToPad(unsigned user) {
    sim::setPad(user, Report().sticks(20000, 0, 0, 0));
    frame();
    sim::setPad(user, Report());
    frame();
}

} // namespace testing_support
