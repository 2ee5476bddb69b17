#include "support/fixture.h"

namespace testing_support {

std::string padQueries(const input::Gamepad& pad, int code) {
    return {pad.buttonDown(code) ? 'd' : '-', pad.buttonPressed(code) ? 'p' : '-',
            pad.buttonReleased(code) ? 'r' : '-', pad.buttonClicked(code) ? 'c' : '-',
            pad.buttonHeld(code) ? 'h' : '-'};
}

app::InputEvent mouseEvent(std::uint16_t flags, std::int32_t x, std::int32_t y,
                           std::uint16_t buttonFlags, std::int16_t buttonData, std::uint32_t type) {
    app::InputEvent event;
    event.rawInput.header.dwType = type;
    event.rawInput.data.mouse.usFlags = flags;
    event.rawInput.data.mouse.lLastX = x;
    event.rawInput.data.mouse.lLastY = y;
    event.rawInput.data.mouse.usButtonFlags = buttonFlags;
    event.rawInput.data.mouse.usButtonData = static_cast<std::uint16_t>(buttonData);
    return event;
}

app::RawKeyEvent rawKeyEvent(int key, bool down, int modifiers, char character) {
    app::RawKeyEvent event;
    event.keyCode = key;
    event.down = down;
    event.modifiers = modifiers;
    event.character = character;
    return event;
}

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
    app::RawKeyEvent event = rawKeyEvent(vk, down, modifiers, character);
    keyboard->dispatchAppEvent(&event); // as the host delivers it
}

void ManagerTest::mouseMove(int dx, int dy, int wheel) {
    app::InputEvent event =
        mouseEvent(app::MOUSE_MOVE_RELATIVE, dx, dy, wheel ? app::RI_MOUSE_WHEEL : 0,
                   static_cast<std::int16_t>(wheel * 120));
    manager->dispatchAppEvent(&event);
}

void ManagerTest::switchToPad(unsigned user) {
    sim::connectPad(user);
    sim::setPad(user, Report().sticks(20000, 0, 0, 0));
    frame();
    sim::setPad(user, Report());
    frame();
}

bool ManagerTest::steppedDigital(int action) {
    input::BufferingMode mode = manager->getBufferingMode();
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    bool on = manager->readDigital(action);
    manager->setBufferingMode(mode);
    return on;
}

float ManagerTest::steppedAnalog(int action) {
    input::BufferingMode mode = manager->getBufferingMode();
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    float value = manager->readAnalog(action);
    manager->setBufferingMode(mode);
    return value;
}

} // namespace testing_support
